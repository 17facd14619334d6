#include "ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace trazel::clipboard {

void clear() {
    QGuiApplication::clipboard()->clear();
}

void setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString text() {
    return QGuiApplication::clipboard()->text();
}

void setPicture(const QImage& picture) {
    QGuiApplication::clipboard()->setImage(picture);
}

QImage picture() {
    return QGuiApplication::clipboard()->image();
}

} // namespace trazel::clipboard
