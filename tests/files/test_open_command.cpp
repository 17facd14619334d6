#include "support/open_file_fixture.h"

namespace trazel::testing {
namespace {

using OpenCommand = OpenFileTest;

TEST_F(OpenCommand, AsksForAnyRecordingAndACancelChangesNothing) {
    const QString startTitle = window->windowTitle();
    open(std::filesystem::path());
    ASSERT_EQ(lastQuestions().size(), 1U) << "only the open dialog";
    const FileDialogRequest request = lastQuestions()[0].request; // a copy: lastQuestions() is a temporary
    EXPECT_EQ(
        QStringList({request.title, request.filter}),
        QStringList({"Open data file",
                     "All recordings|*.bin;*.prn;*.edf;*.bdf;*.abf;*.hea;*.gdf;*.vhdr;*.scp;*.cfs;*.cnt|"
                     "Trazel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn|EDF/BDF files (*.edf *.bdf)|"
                     "*.edf;*.bdf|Axon ABF files (*.abf)|*.abf|WFDB records (*.hea)|*.hea|GDF files "
                     "(*.gdf)|*.gdf|BrainVision files (*.vhdr)|*.vhdr|SCP-ECG, CFS and CNT files (*.scp "
                     "*.cfs *.cnt)|*.scp;*.cfs;*.cnt"}));
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_FALSE(state.DataLoaded || state.TraceData.exists());
    EXPECT_EQ(window->windowTitle(), startTitle);
    expectOnlyEmptyAxes();

    const std::filesystem::path file = files.write("kept.bin", smallContinuousFile());
    open(file);
    const QString title = window->windowTitle();
    const QString status = window->ui.status->text();
    const std::size_t drawn = window->ui.disp->drawingLog().size();
    const std::vector<float> trace1(state.TraceData.trace(1).begin(), state.TraceData.trace(1).end());
    open(std::filesystem::path());
    EXPECT_EQ(lastQuestions().size(), 1U);
    expectLoaded(4);
    EXPECT_TRUE(std::ranges::equal(state.TraceData.trace(1), trace1));
    EXPECT_EQ(state.FileName, file.string());
    EXPECT_EQ(QStringList({window->windowTitle(), window->ui.status->text()}), QStringList({title, status}));
    EXPECT_EQ(window->ui.disp->drawingLog().size(), drawn);
}

TEST_F(OpenCommand, MatchesTheExtensionInAnyCaseAfterTheLastFolder) {
    ASSERT_TRUE(std::filesystem::create_directory(files.path("run.v2")));
    const std::filesystem::path paths[] = {
        files.write("X.Bin", smallContinuousFile()), files.write("Y.BIN", smallContinuousFile()),
        files.write("run.v2/data.bin", smallContinuousFile()),
        files.write("a.b\\c.bin", smallContinuousFile()), // the name splits at the backslash
    };
    for (const std::filesystem::path& file : paths) {
        SCOPED_TRACE(file.string());
        open(file);
        expectLoaded(4);
        EXPECT_EQ(state.FileExt, "BIN");
    }
    open(files.write("trace.Prn", prnFile(labtechValues(20))), {"1", "300"});
    expectLoaded(20);
    EXPECT_EQ(state.FileExt, "PRN");
}

TEST_F(OpenCommand, SelectsTraceOneWithItsStartColours) {
    window->ui.ch_select[2]->setValue(true);
    state.SingleColour(2) = rgb(1, 2, 3);
    state.AverageColour(3) = rgb(4, 5, 6);
    open(files.write("colours.bin", smallContinuousFile()));
    EXPECT_EQ(state.CurrentTrace, 1);
    EXPECT_TRUE(window->ui.ch_select[0]->Value());
    EXPECT_EQ((std::array{state.SingleColour(1), state.SingleColour(2), state.SingleColour(3)}),
              (std::array{rgb(255, 255, 255), rgb(255, 255, 0), rgb(0, 255, 255)}));
    EXPECT_EQ((std::array{state.AverageColour(1), state.AverageColour(2), state.AverageColour(3)}),
              (std::array{rgb(150, 150, 150), rgb(150, 150, 150), rgb(150, 150, 150)}));
}

TEST_F(OpenCommand, LeavesOverplotForSingleCurves) {
    open(Examples / "block.bin");
    window->ui.mnuOverplot->setChecked(true);
    window->ui.mnuS->setChecked(false);
    open(Examples / "block.bin");
    EXPECT_FALSE(window->ui.mnuOverplot->isChecked());
    EXPECT_TRUE(window->ui.mnuS->isChecked());
    EXPECT_EQ(window->ui.SA_label->text(), QStringLiteral("single"));
    EXPECT_FALSE(state.Overplot);

    window->ui.mnuOverplot->setChecked(true);
    window->ui.mnuS->setChecked(false);
    openFailing(files.path("missing.bin"));
    EXPECT_FALSE(window->ui.mnuOverplot->isChecked());
    EXPECT_TRUE(window->ui.mnuS->isChecked());
    EXPECT_EQ(window->ui.SA_label->text(), QStringLiteral(" sngl")) << "no reader got to show the file";
}

} // namespace
} // namespace trazel::testing
