#pragma once

#include <QImage>
#include <QString>

namespace trazel::clipboard {

void clear();
void setText(const QString& text);
QString text();
void setPicture(const QImage& picture);
QImage picture();

} // namespace trazel::clipboard
