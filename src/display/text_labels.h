#pragma once

#include "core/app_state.h"

#include <array>

class QLabel;

namespace trazel {

class PlotSurface;
class TextBox;

constexpr int TextLabelCount = 20;
using TextLabelBoxes = std::array<TextBox*, TextLabelCount>;

// The label boxes over the plot, and a hidden label that measures a text's width.
struct LabelControls {
    TextLabelBoxes Text1{};
    QLabel* dummy = nullptr;
};

// Short text labels over the plot: Insert puts up the first free one of 20 to be typed into, Enter ends
// the editing and the label shrinks to its text, an emptied label is free again; Delete frees the label
// that last had the focus. A label is dragged with the left button held and lands where it is let go
// over the plot.
class Labels {
public:
    Labels(AppState& state, PlotSurface& disp, const LabelControls& controls);

    void mnuTextInsert_Click();
    void mnuTextDelete_Click();
    void Text1_GotFocus(int Index);
    void Text1_KeyPress(int Index, int KeyAscii);
    void Text1_LostFocus(int Index);
    void Text1_MouseMove(int Index, int Button, int Shift, double X, double Y);
    // The dragged label let go at X, Y in the plot's pixels.
    void disp_DragDrop(int Index, double X, double Y);

    // Every label emptied and freed, as a new file or the recording layout starts.
    void clearAnnotations();
    const TextLabelBoxes& boxes() const { return m_c.Text1; }

private:
    AppState& s;
    PlotSurface& m_disp;
    LabelControls m_c;
};

} // namespace trazel
