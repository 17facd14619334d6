// Short text labels over the plot, and Marks off. The labels lie over the plot as one-line text boxes in
// its pixels; they are not part of the drawn picture.

#include "ui/controls.h"
#include "ui/plot_surface.h"
#include "ui/twips.h"
#include "window/main_window.h"

#include <QLabel>
#include <QStyle>
#include <algorithm>

namespace trazel {

namespace {

const QString EditingLook = QStringLiteral("background-color: rgb(255, 255, 255); color: rgb(0, 0, 0);");
const QString RestingLook = QStringLiteral("background-color: rgb(0, 0, 255); color: rgb(255, 255, 255);");

} // namespace

void Trazel::mnuTextInsert_Click() {
    if (!s.DataLoaded) {
        return;
    }
    const auto free =
        std::find_if(Text1.begin(), Text1.end(), [](TextBox* label) { return !label->isEnabled(); });
    if (free == Text1.end()) {
        return; // all 20 in use
    }
    TextBox& label = **free;
    const double dpi = logicalDpiX();
    label.setEnabled(true);
    label.setGeometry(twipsToPixels(1000, dpi), 0, twipsToPixels(1000, dpi), label.sizeHint().height());
    label.show();
    label.setStyleSheet(EditingLook);
    label.setFocus();
}

void Trazel::mnuTextDelete_Click() {
    TextBox& label = *Text1[static_cast<std::size_t>(s.FocusedLabel)];
    label.setText(QString());
    label.setEnabled(false);
    label.hide();
}

void Trazel::Text1_GotFocus(int Index) {
    s.FocusedLabel = static_cast<Integer>(Index);
}

void Trazel::Text1_KeyPress(int /*Index*/, int KeyAscii) {
    if (KeyAscii == 13) {
        disp->setFocus(); // ends the editing
    }
}

// At rest a label is just large enough for its text; an emptied one is free again.
void Trazel::Text1_LostFocus(int Index) {
    TextBox& label = *Text1[static_cast<std::size_t>(Index)];
    label.setStyleSheet(RestingLook);
    if (label.text().isEmpty()) {
        label.hide();
        label.setEnabled(false);
    }
    dummy->setFont(label.font());
    dummy->setText(label.text());
    dummy->adjustSize();
    label.resize(dummy->width() + 2 * label.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 6,
                 label.sizeHint().height());
}

// The label follows the pointer, held at the point where it was taken.
void Trazel::Text1_MouseMove(int Index, int Button, int /*Shift*/, double X, double Y) {
    if (Button != LeftButton) {
        return;
    }
    TextBox& label = *Text1[static_cast<std::size_t>(Index)];
    if (!s.LabelDragging) {
        s.LabelDragging = true;
        s.DraggedLabel = static_cast<Integer>(Index);
        s.LabelGrabX = static_cast<Single>(X);
        s.LabelGrabY = static_cast<Single>(Y);
        return;
    }
    label.move(label.pos() + QPointF(X - s.LabelGrabX, Y - s.LabelGrabY).toPoint());
}

void Trazel::disp_DragDrop(int Index, double X, double Y) {
    if (!s.LabelDragging || Index != s.DraggedLabel) {
        return;
    }
    s.LabelDragging = false;
    if (disp->rect().contains(QPointF(X, Y).toPoint())) {
        Text1[static_cast<std::size_t>(Index)]->move(QPointF(X - s.LabelGrabX, Y - s.LabelGrabY).toPoint());
    }
}

void Trazel::mnuMarksoff_Click() {
    setCurrentTraceScale();
    if (s.LevelY(s.CurrentTrace) != NoLevel) {
        removeLevelBand();
        s.AutoPeaks = false;
    }
    const double top = disp->ScaleTop();
    const double bottom = top + disp->ScaleHeight();
    if (s.SelStart != -1 && s.SelEnd != -1) {
        invertLine(s.SelStart - s.ViewStart, top, s.SelStart - s.ViewStart, bottom);
        invertBox(s.SelStart - s.ViewStart, top, s.SelEnd - s.ViewStart, bottom);
        s.SelStart = s.SelEnd = -1;
    } else if (s.SelStart != -1) {
        invertLine(s.SelStart - s.ViewStart, top, s.SelStart - s.ViewStart, bottom);
        s.SelStart = -1;
    }
}

} // namespace trazel
