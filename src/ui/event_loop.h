#pragma once

#include <QObject>
#include <QTimer>

namespace trazel {

// Lets the events waiting in the queue run (clicks, keys, timer ticks) and returns.
void yieldToEvents();
// Sleeps until at least one event arrives, lets the waiting events run and returns.
void waitForEvents();

// Seconds on a clock that never goes back; where it starts is of no meaning.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double Seconds() = 0;
};

// The system's monotonic clock.
class SteadyClock : public Clock {
public:
    double Seconds() override;
};

// A timer that raises Timer every Interval milliseconds while it is enabled.
class Timer : public QObject {
    Q_OBJECT

public:
    explicit Timer(QObject* parent = nullptr);
    int Interval() const { return m_timer.interval(); }
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    bool Enabled() const { return m_timer.isActive(); }
    void setEnabled(bool enabled);

signals:
    void Tick();

private:
    QTimer m_timer;
};

} // namespace trazel
