#include "support/open_file_fixture.h"

namespace trazel::testing {
namespace {

using Cursor = MeasurementTest;

TEST_F(Cursor, IsHeldWithinTheViewTheSweepAndTheDataAndNeedsData) {
    press(20);
    EXPECT_EQ(state.CursorX, -1.0F) << "no data, no cursor";
    EXPECT_FALSE(window->ui.Label1->isVisible());

    openBlockFile(); // 0.8 x scale width = one sweep of 100 points
    press(-5);
    EXPECT_EQ(state.CursorX, 0.0F);
    press(250);
    EXPECT_EQ(state.CursorX, 100.0F);
    window->views().mnuA_Click(); // the readout reads the average at x, which ends at 99
    press(250);
    EXPECT_EQ(window->ui.Label1->text(), "100.00ms") << "past the stored curve the time stands alone";

    openContinuousFile(); // 200 points on a screen of 256
    press(250);
    EXPECT_EQ(state.CursorX, 200.0F) << "not past the end of the recording";
    press(1000);
    EXPECT_EQ(state.CursorX, 200.0F);
}

TEST_F(Cursor, ReadsTimeAndValueOfTheShownCurveOrTheAverage) {
    openContinuousFile();
    state.ViewStart = 50;
    press(12.4);
    EXPECT_EQ(window->ui.Label1->text(), "6.24 s, 62.0")
        << "time from the recording start, value at the nearest point";
    press(12.5);
    EXPECT_EQ(window->ui.Label1->text(), "6.25 s, 62.0") << "halves go to the even point";
    window->ui.mnuOverplot->setChecked(true);
    press(10);
    EXPECT_EQ(window->ui.Label1->text(), "6.00 s") << "overplot shows the time only";

    openBlockFile();
    window->views().PgDn_Click();
    window->views().accept_Click();
    window->views().PgDn_Click();
    window->views().mnuA_Click();
    state.AverageData(1, 20) = 7.25F;
    press(20);
    EXPECT_EQ(window->ui.Label1->text(), "20.00ms, 7.25");
}

// Exactly one cursor line stays on the plot however it is pressed, dragged and entered, at positions off
// whole numbers as the mouse gives them; a redraw takes it away.
TEST_F(Cursor, NeverLeavesMoreThanOneLineOnThePlot) {
    open(Examples / "block.bin");
    const QImage clean = window->ui.disp->Image();
    press(100);
    const QImage oneLine = window->ui.disp->Image();
    EXPECT_NE(oneLine, clean);
    window->ch_select_Click(0);
    EXPECT_EQ(state.CursorX, -1.0F);
    ASSERT_EQ(window->ui.disp->Image(), clean);
    press(24.794162);
    dialogs.answerInput(QStringLiteral("ctrl"));
    window->measurements().add_Click();
    press(59.724301);
    press(59.724301); // the same place twice
    window->measurements().add_Click();
    for (int pixel = 120; pixel < 320; pixel += 3) { // where mouse events land: on pixel edges
        press(window->ui.disp->userX(pixel));
        window->measurements().disp_MouseMove(LeftButton, 0, window->ui.disp->userX(pixel + 1), 0);
    }
    press(100);
    window->measurements().add_Click();
    window->measurements().disp_MouseMove(0, 0, 40, 0); // no button, or the right one: the cursor stays
    window->measurements().disp_MouseMove(RightButton, 0, 40, 0);
    EXPECT_EQ(state.CursorX, 100.0F);
    EXPECT_EQ(window->ui.disp->Image(), oneLine);
}

TEST_F(Cursor, RightPressesMarkASelectionInContinuousDataOnly) {
    openBlockFile();
    auto drawn = window->ui.disp->drawingLog().size();
    press(20, RightButton);
    EXPECT_EQ(window->ui.disp->drawingLog().size(), drawn) << "nothing in block data";
    EXPECT_EQ(state.SelStart, -1.0F);
    EXPECT_EQ(window->focusWidget(), window->ui.add);

    openContinuousFile();
    state.ViewStart = 10;
    press(20, RightButton);
    EXPECT_EQ(state.SelStart, 30.0F);
    EXPECT_EQ(state.SelEnd, -1.0F);
    auto figures = window->ui.disp->drawingLog();
    ASSERT_FALSE(figures.empty());
    EXPECT_EQ(figures.back().kind, DrawnFigure::Kind::Line);
    EXPECT_EQ(figures.back().mode, DrawMode::Invert);
    EXPECT_DOUBLE_EQ(figures.back().y1, window->ui.disp->ScaleTop());
    press(50, RightButton);
    EXPECT_EQ(state.SelEnd, 60.0F);
    press(5, RightButton);
    EXPECT_EQ(state.SelStart, 30.0F) << "later presses move only the end";
    EXPECT_EQ(state.SelEnd, 15.0F);
    figures = window->ui.disp->drawingLog();
    const auto n = figures.size();
    EXPECT_EQ(figures[n - 2].kind, DrawnFigure::Kind::Box) << "the old rectangle is taken away";
    EXPECT_DOUBLE_EQ(figures[n - 2].x2, 50);
    EXPECT_EQ(std::pair(figures[n - 1].x1, figures[n - 1].x2), std::pair(20.0, 5.0));
    EXPECT_EQ(window->focusWidget(), window->ui.add);
}

} // namespace
} // namespace trazel::testing
