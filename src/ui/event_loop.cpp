#include "ui/event_loop.h"

#include <QCoreApplication>
#include <chrono>

namespace trazel {

void yieldToEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitForEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

double SteadyClock::Seconds() {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceEpoch).count();
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
