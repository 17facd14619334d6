#include "ui/mouse_pointer.h"

#include <QCursor>
#include <QWidget>

namespace trazel {

// Setting the pointer it already shows costs nothing: the overplot view draws thousands of sweeps within
// one hourglass.
void setMousePointer(QWidget& widget, MousePointer pointer) {
    if (mousePointer(widget) == pointer) {
        return;
    }
    if (pointer == MousePointer::Hourglass) {
        widget.setCursor(Qt::WaitCursor);
    } else {
        widget.unsetCursor();
    }
}

MousePointer mousePointer(const QWidget& widget) {
    return widget.testAttribute(Qt::WA_SetCursor) && widget.cursor().shape() == Qt::WaitCursor
               ? MousePointer::Hourglass
               : MousePointer::Default;
}

} // namespace trazel
