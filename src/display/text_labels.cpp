// Short text labels over the plot. The labels lie over the plot as one-line text boxes in its pixels; they
// are not part of the drawn picture.

#include "display/text_labels.h"

#include "ui/controls.h"
#include "ui/plot_surface.h"
#include "ui/twips.h"

#include <QLabel>
#include <QStyle>
#include <algorithm>

namespace trazel {

namespace {

const QString EditingLook = QStringLiteral("background-color: rgb(255, 255, 255); color: rgb(0, 0, 0);");
const QString RestingLook = QStringLiteral("background-color: rgb(0, 0, 255); color: rgb(255, 255, 255);");

} // namespace

Labels::Labels(AppState& state, PlotSurface& disp, const LabelControls& controls)
    : s(state), m_disp(disp), m_c(controls) {}

void Labels::mnuTextInsert_Click() {
    if (!s.DataLoaded) {
        return;
    }
    const auto free =
        std::find_if(m_c.Text1.begin(), m_c.Text1.end(), [](TextBox* label) { return !label->isEnabled(); });
    if (free == m_c.Text1.end()) {
        return; // all 20 in use
    }
    TextBox& label = **free;
    const double dpi = m_disp.logicalDpiX();
    label.setEnabled(true);
    label.setGeometry(twipsToPixels(1000, dpi), 0, twipsToPixels(1000, dpi), label.sizeHint().height());
    label.show();
    label.setStyleSheet(EditingLook);
    label.setFocus();
}

void Labels::mnuTextDelete_Click() {
    TextBox& label = *m_c.Text1[static_cast<std::size_t>(s.FocusedLabel)];
    label.setText(QString());
    label.setEnabled(false);
    label.hide();
}

void Labels::Text1_GotFocus(int Index) {
    s.FocusedLabel = static_cast<Integer>(Index);
}

void Labels::Text1_KeyPress(int /*Index*/, int KeyAscii) {
    if (KeyAscii == 13) {
        m_disp.setFocus(); // ends the editing
    }
}

// At rest a label is just large enough for its text; an emptied one is free again.
void Labels::Text1_LostFocus(int Index) {
    TextBox& label = *m_c.Text1[static_cast<std::size_t>(Index)];
    label.setStyleSheet(RestingLook);
    if (label.text().isEmpty()) {
        label.hide();
        label.setEnabled(false);
    }
    m_c.dummy->setFont(label.font());
    m_c.dummy->setText(label.text());
    m_c.dummy->adjustSize();
    label.resize(m_c.dummy->width() + 2 * label.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 6,
                 label.sizeHint().height());
}

// The label follows the pointer, held at the point where it was taken.
void Labels::Text1_MouseMove(int Index, int Button, int /*Shift*/, double X, double Y) {
    if (Button != LeftButton) {
        return;
    }
    TextBox& label = *m_c.Text1[static_cast<std::size_t>(Index)];
    if (!s.LabelDragging) {
        s.LabelDragging = true;
        s.DraggedLabel = static_cast<Integer>(Index);
        s.LabelGrabX = static_cast<Single>(X);
        s.LabelGrabY = static_cast<Single>(Y);
        return;
    }
    label.move(label.pos() + QPointF(X - s.LabelGrabX, Y - s.LabelGrabY).toPoint());
}

void Labels::disp_DragDrop(int Index, double X, double Y) {
    if (!s.LabelDragging || Index != s.DraggedLabel) {
        return;
    }
    s.LabelDragging = false;
    if (m_disp.rect().contains(QPointF(X, Y).toPoint())) {
        m_c.Text1[static_cast<std::size_t>(Index)]->move(
            QPointF(X - s.LabelGrabX, Y - s.LabelGrabY).toPoint());
    }
}

void Labels::clearAnnotations() {
    for (TextBox* label : m_c.Text1) {
        label->setText(QString());
        label->setEnabled(false);
        label->hide();
    }
}

} // namespace trazel
