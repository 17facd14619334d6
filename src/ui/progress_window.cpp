#include "ui/progress_window.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace trazel {

ProgressWindow::ProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint), HScroll1(new QScrollBar(Qt::Horizontal, this)),
      m_caption(new QLabel(this)) {
    setObjectName(QStringLiteral("Scroll"));
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(0, 100);
    HScroll1->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(HScroll1);
    setFixedSize(320, 80);
}

void ProgressWindow::setCaption(const QString& caption) {
    m_caption->setText(caption);
    setWindowTitle(caption);
}

QString ProgressWindow::caption() const {
    return m_caption->text();
}

int ProgressWindow::value() const {
    return HScroll1->value();
}

void ProgressWindow::setValue(int percent) {
    HScroll1->setValue(percent);
    HScroll1->repaint();
}

} // namespace trazel
