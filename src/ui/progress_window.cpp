#include "ui/progress_window.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace trazel {

ProgressWindow::ProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint), HScroll1(new QScrollBar(Qt::Horizontal, this)),
      m_caption(new QLabel(this)), m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("Scroll"));
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(0, 100);
    HScroll1->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(HScroll1);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelPressed = true; });
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

void ProgressWindow::offerCancel(bool offered) {
    m_cancelPressed = false;
    // While the reading can be cancelled the window takes every click: the program yields to events
    // then, and no other command may start in the middle of a reading.
    const bool shown = isVisible();
    hide();
    setWindowModality(offered ? Qt::ApplicationModal : Qt::NonModal);
    setVisible(shown);
    m_cancel->setVisible(offered);
    setFixedSize(320, offered ? 116 : 80);
}

void ProgressWindow::setValue(int percent) {
    HScroll1->setValue(percent);
    HScroll1->repaint();
}

} // namespace trazel
