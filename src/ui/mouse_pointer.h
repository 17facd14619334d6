#pragma once

class QWidget;

namespace trazel {

enum class MousePointer { Default = 0, Hourglass = 11 };

// The mouse pointer shown over a window or control; long operations show the hourglass.
void setMousePointer(QWidget& widget, MousePointer pointer);
MousePointer mousePointer(const QWidget& widget);

// The hourglass while it lives, then the pointer shown before: work within a longer one keeps its hourglass.
class HourglassPointer {
public:
    explicit HourglassPointer(QWidget& widget) : m_widget(widget), m_before(mousePointer(widget)) {
        setMousePointer(widget, MousePointer::Hourglass);
    }
    ~HourglassPointer() { setMousePointer(m_widget, m_before); }
    HourglassPointer(const HourglassPointer&) = delete;
    HourglassPointer& operator=(const HourglassPointer&) = delete;

private:
    QWidget& m_widget;
    MousePointer m_before;
};

} // namespace trazel
