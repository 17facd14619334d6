#include "support/drawing_log.h"
#include "support/main_window_fixture.h"
#include "ui/clipboard.h"
#include "ui/controls.h"
#include "ui/flex_grid.h"
#include "ui/plot_surface.h"

#include <QApplication>

namespace trazel::testing {
namespace {

constexpr Colour Yellow = rgb(255, 255, 0);
constexpr Colour Cyan = rgb(0, 255, 255);

using TraceSelection = MainWindowTest;

TEST_F(TraceSelection, ShowsOnlyTheSelectedTracesTablePaintsTheViewButtonsAndRedrawsTheAmplitudeAxis) {
    const Colour colours[] = {rgb(255, 255, 255), Yellow, Cyan};
    state.TracePeak(2) = 30;
    for (int index : {1, 2, 0}) {
        SCOPED_TRACE(index);
        window->ui.ch_select[static_cast<std::size_t>(index)]->setValue(true);
        EXPECT_EQ(state.CurrentTrace, index + 1);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(window->ui.Grid1[static_cast<std::size_t>(k)]->isVisible(), k == index);
        }
        for (const CommandButton* button :
             {window->ui.mul, window->ui.div, window->ui.pshift, window->ui.nshift}) {
            EXPECT_EQ(button->BackColor(), colours[index]);
        }
        if (index == 1) { // in trace 2's colour and scale
            EXPECT_EQ(printedTexts(*window->ui.disp, Yellow), QStringList({"40", "20", "0", "-20", "-40"}));
            EXPECT_EQ(printedTexts(*window->ui.disp, colours[0]),
                      QStringList({"0.0", "2.0", "4.0", "6.0", " s"}));
            EXPECT_DOUBLE_EQ(window->ui.disp->ScaleHeight(), -80 / 0.8);
        }
    }
}

TEST_F(TraceSelection, ResizingThePlotRedrawsTheAxesAtTheNewSize) {
    window->resize(1024, 700);
    QApplication::processEvents();
    EXPECT_EQ(window->ui.disp->Image().size(), window->ui.disp->size());
    EXPECT_EQ(printedTexts(*window->ui.disp, rgb(255, 255, 255)).size(), 10);
}

using Exit = MainWindowTest;

TEST_F(Exit, ClearsTheClipboardAndClosesTheWindow) {
    clipboard::setText(QStringLiteral("left over"));
    ASSERT_EQ(clipboard::text(), "left over");
    window->mnuExit_Click();
    EXPECT_EQ(clipboard::text(), "");
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace trazel::testing
