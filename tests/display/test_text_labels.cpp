#include "support/open_file_fixture.h"

#include <QAction>

namespace trazel::testing {
namespace {

using TextLabels = MeasurementTest;

TEST_F(TextLabels, TwentyLabelsAreTypedShrinkToTheirTextAndAreReused) {
    window->labels().mnuTextInsert_Click(); // nothing to label yet
    EXPECT_FALSE(window->ui.Text1[0]->isEnabled());
    openContinuousFile();
    for (int k = 0; k < 21; ++k) {
        window->labels().mnuTextInsert_Click();
    }
    EXPECT_TRUE(std::all_of(window->ui.Text1.begin(), window->ui.Text1.end(),
                            [](TextBox* t) { return t->isVisible(); }));
    TextBox& label = *window->ui.Text1[19];
    EXPECT_EQ(window->focusWidget(), &label);
    EXPECT_TRUE(label.styleSheet().contains("rgb(255, 255, 255)"));
    label.setText("peak");
    const int typingWidth = label.width();
    window->labels().Text1_KeyPress(19, 13); // Enter ends the editing
    EXPECT_EQ(window->focusWidget(), window->ui.disp);
    window->labels().Text1_LostFocus(19); // what leaving the label does (offscreen, no focus events arrive)
    EXPECT_TRUE(label.styleSheet().startsWith("background-color: rgb(0, 0, 255)"));
    EXPECT_LT(label.width(), typingWidth + 20);
    EXPECT_GT(label.width(), label.fontMetrics().horizontalAdvance("peak"));

    window->labels().Text1_GotFocus(5);
    window->labels().mnuTextDelete_Click();
    EXPECT_FALSE(window->ui.Text1[5]->isVisible());
    window->labels().mnuTextInsert_Click();
    EXPECT_EQ(window->focusWidget(), window->ui.Text1[5]); // the freed label comes back first
    window->ui.Text1[5]->setText("");
    window->labels().Text1_LostFocus(5); // an emptied label is free again
    EXPECT_FALSE(window->ui.Text1[5]->isEnabled());
}

TEST_F(TextLabels, ADraggedLabelLandsWhereLetGoAndTheCursorWhereClicked) {
    openContinuousFile();
    window->labels().mnuTextInsert_Click();
    TextBox& label = *window->ui.Text1[0];
    const QPoint start = label.pos();
    window->labels().Text1_MouseMove(0, 1, 0, 10, 5); // taken at (10, 5) within the label
    window->labels().Text1_MouseMove(0, 1, 0, 40, 25);
    EXPECT_EQ(label.pos(), start + QPoint(30, 20));
    window->labels().disp_DragDrop(0, 200, 100);
    EXPECT_EQ(label.pos(), QPoint(190, 95));
    EXPECT_FALSE(state.LabelDragging);
    press(37);
    EXPECT_EQ(state.CursorX, 37.0F); // the plot's scale is as before
}

TEST_F(TextLabels, MarksOffWipesTheBandAndTheSelectionPixelForPixel) {
    openContinuousFile();
    const QImage before = window->ui.disp->Image();
    press(10, 2);
    press(30, 2);
    window->measurements().mnuPeaks_Click();
    press(20);
    ASSERT_NE(window->ui.disp->Image(), before);
    window->measurements().mnuMarksoff_Click();
    EXPECT_EQ(window->ui.disp->Image(), before);
    EXPECT_FALSE(state.AutoPeaks);
    EXPECT_EQ(state.LevelY(1), NoLevel);
    EXPECT_EQ(state.SelStart + state.SelEnd, -2.0F);
}

} // namespace
} // namespace trazel::testing
