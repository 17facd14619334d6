#pragma once

class QWidget;

namespace trazel {

enum class MousePointer { Default = 0, Hourglass = 11 };

// The mouse pointer shown over a window or control; long operations show the hourglass.
void setMousePointer(QWidget& widget, MousePointer pointer);
MousePointer mousePointer(const QWidget& widget);

} // namespace trazel
