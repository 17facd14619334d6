#include "ui/event_loop.h"

#include <QCoreApplication>

namespace trazel {

void yieldToEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

Timer::Timer(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::Tick);
}

void Timer::setEnabled(bool enabled) {
    if (enabled) {
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

} // namespace trazel
