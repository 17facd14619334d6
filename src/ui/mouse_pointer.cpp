#include "ui/mouse_pointer.h"

#include <QVariant>
#include <QWidget>

namespace trazel {

namespace {
constexpr const char* PointerProperty = "trazelMousePointer";
}

void setMousePointer(QWidget& widget, MousePointer pointer) {
    widget.setProperty(PointerProperty, static_cast<int>(pointer));
    if (pointer == MousePointer::Hourglass) {
        widget.setCursor(Qt::WaitCursor);
    } else {
        widget.unsetCursor();
    }
}

MousePointer mousePointer(const QWidget& widget) {
    return static_cast<MousePointer>(widget.property(PointerProperty).toInt());
}

} // namespace trazel
