#include "support/data_files.h"
#include "support/drawing_log.h"
#include "support/main_window_fixture.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"

#include <QAction>

namespace trazel::testing {
namespace {

class OpenCommand : public MainWindowTest {
protected:
    void open(const std::filesystem::path& file) {
        dialogs.answerOpen(QString::fromStdString(file.string()));
        window->mnuOpen_Click();
    }
    TestFiles files;
};

TEST_F(OpenCommand, ShowsTheExampleContinuousRecording) {
    open(std::filesystem::path(TRAZEL_EXAMPLES) / "continuous.bin");
    EXPECT_TRUE(state.DataLoaded);
    EXPECT_EQ(state.SampleCount, 1800);
    EXPECT_FALSE(figuresOfKind(*window->disp, DrawnFigure::Kind::Line).empty());
    EXPECT_GT(window->disp->drawingLog().size(), 1000U);
}

} // namespace
} // namespace trazel::testing
