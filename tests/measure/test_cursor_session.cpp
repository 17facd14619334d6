#include "support/measurement_fixture.h"

namespace trazel::testing {
namespace {

TEST_F(MeasurementTest, CursorLinesDoNotPileUpAcrossEntries) {
    open(std::filesystem::path(TRAZEL_EXAMPLES) / "block.bin");
    window->ch_select_Click(0);
    const QImage clean = window->disp->Image();
    press(100);
    const QImage oneLine = window->disp->Image();
    window->ch_select_Click(0);
    ASSERT_EQ(window->disp->Image(), clean);
    press(24.794162); // positions that are no whole numbers, as from the mouse
    dialogs.answerInput(QStringLiteral("ctrl"));
    window->add_Click();
    press(59.724301);
    window->add_Click();
    for (int pixel = 120; pixel < 320; pixel += 3) { // where mouse events land: on pixel edges
        press(window->disp->userX(pixel));
        window->disp_MouseMove(LeftButton, 0, window->disp->userX(pixel + 1), 0);
    }
    press(100);
    window->add_Click();
    EXPECT_EQ(window->disp->Image(), oneLine);
}

} // namespace
} // namespace trazel::testing
