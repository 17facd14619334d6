#include "ui/progress_window.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace trazel {

namespace {
constexpr qint64 PaintIntervalMs = 50;
}

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
}

QString ProgressWindow::caption() const {
    return m_caption->text();
}

int ProgressWindow::value() const {
    return m_value;
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
    m_value = percent; // the bar itself only when painted: a spectrum sets it a million times
    if (isVisible() && (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= PaintIntervalMs)) {
        HScroll1->setValue(m_value);
        setWindowTitle(m_caption->text());
        repaint();
        m_sincePaint.start();
    }
}

void ProgressWindow::showEvent(QShowEvent* event) {
    m_sincePaint.invalidate();
    QWidget::showEvent(event);
}

} // namespace trazel
