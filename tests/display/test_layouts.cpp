#include "core/number_rules.h"
#include "support/drawing_log.h"
#include "support/open_file_fixture.h"
#include "support/recording_fixture.h"

#include <QLabel>
#include <functional>

namespace trazel::testing {
namespace {

class Layouts : public MeasurementTest {
protected:
    // A window far from its starting point: a block view of a file in the average display, shifted and
    // rescaled traces, a cursor, a text label, changed table and view settings, the third trace selected.
    void useTheWindow() {
        openBlockFile();
        window->views().mnuA_Click();
        press(30);
        window->ui.Text1[2]->setText("peak");
        window->ui.Text1[2]->show();
        state.TraceShift(2) = 3;
        state.TracePeak(3) = 77;
        state.LevelY(1) = 5;
        state.TableRow(1) = 4;
        state.SelStart = 10;
        state.TimeDivisions = 5;
        state.MaxPointsPerPixel = 2;
        state.AutoPeaks = true;
        window->ui.ch_select[2]->setValue(true);
    }

    // What both layout commands leave: continuous mode, no data, the starting time base and scales; the
    // display selection's caption is that of the layout.
    void expectFreshStart(const char* displaySelection) {
        EXPECT_FALSE(state.BlockMode || state.DataLoaded || state.Overplot || state.AutoPeaks);
        EXPECT_TRUE(state.ShowSingle && !state.ShowAverage);
        EXPECT_EQ(state.SweepLength, -1);
        EXPECT_EQ(state.SampleInterval, 0.1F);
        EXPECT_EQ(state.ScreenLen, 8.0F);
        EXPECT_EQ(state.ContScreenLen, 8.0F);
        EXPECT_EQ(state.TimeUnit.str(), " s");
        EXPECT_EQ(state.AveragedCount, 0.0F);
        EXPECT_EQ(state.MaxPointsPerPixel, 6);
        EXPECT_EQ(state.TimeDivisions, 4);
        EXPECT_EQ(state.CursorX, -1.0F);
        EXPECT_EQ(state.SelStart, -1.0F);
        EXPECT_EQ(state.CurrentTrace, 1);
        EXPECT_TRUE(window->ui.ch_select[0]->Value());
        for (int t = 1; t <= 3; ++t) {
            SCOPED_TRACE(t);
            EXPECT_EQ(state.TraceShift(t), 0);
            EXPECT_EQ(state.TracePeak(t), 1000.0F);
            EXPECT_EQ(state.LevelY(t), NoLevel);
            EXPECT_EQ(state.TableRow(t), 1);
            EXPECT_EQ(state.SingleColour(t), state.TraceColour(t));
        }
        EXPECT_DOUBLE_EQ(window->ui.disp->ScaleWidth(), 100);
        EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE");
        EXPECT_TRUE(window->ui.mnuS->isChecked() && !window->ui.mnuA->isChecked());
        EXPECT_EQ(window->ui.SA_label->text(), displaySelection);
        EXPECT_EQ(window->ui.mnuBlock->text(), "&Block mode");
    }

    MenuItems evaluationMenus() const {
        return {window->ui.mnuOpen,   window->ui.mnuSaveTable, window->ui.mnuSaveCurvePoints,
                window->ui.mnuCopy,   window->ui.mnuZoom,      window->ui.mnuText,
                window->ui.mnuPeaks,  window->ui.mnuInvert,    window->ui.mnuMarksoff,
                window->ui.mnuMeasure};
    }
};

TEST_F(Layouts, MeasureStartsTheRecordingLayoutAfresh) {
    useTheWindow();
    window->layouts().mnuMeasure_Click();
    expectFreshStart(" sngl");
    EXPECT_EQ(state.SampleCount, 1800);
    EXPECT_EQ(state.ChannelCount, 0);
    EXPECT_GT(state.PlotWidthPx, 0);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(window->ui.ch_list[k]->Text() + window->ui.gain[k]->Text(), "none1x");
    }
    EXPECT_EQ(window->ui.Text1[2]->text(), "");
    EXPECT_EQ(window->ui.sampling_hz->Text() + "|" + window->ui.scr_lng->Text() + "|" +
                  window->ui.file_lng->Text(),
              "10|8|180");
    EXPECT_EQ(window->ui.ave_count_label->text() + window->ui.ave_count->text(), " ave# 0");
    expectShown({window->ui.monitor, window->ui.store, window->ui.halt, window->ui.drug_button,
                 window->ui.ch_list[2]},
                true);
    // Nothing of the evaluation layout is left, not even the frames and the table under the plot.
    expectShown({window->ui.add, window->ui.PgUp, window->ui.Clear, window->ui.status, window->ui.save,
                 window->ui.Text1[2], window->ui.Grid1[2], window->ui.add->parentWidget(),
                 window->ui.status->parentWidget()},
                false);
    expectEnabled({window->ui.halt, window->ui.stim, window->ui.dly1}, false);
    expectMenusShown(evaluationMenus(), false);
    EXPECT_EQ(window->focusWidget(), window->ui.monitor);
}

TEST_F(Layouts, TrazelStopsTheLoopAndStartsTheEvaluationLayoutAfresh) {
    window->layouts().mnuMeasure_Click();
    dialogs.answerInput("500");
    window->settings().mnuBlock_Click();
    window->ui.ch_list[1]->setListIndex(1);
    state.Acquiring = true; // monitoring
    state.StopRequested = false;
    window->layouts().mnuTrazel_Click();
    EXPECT_TRUE(state.StopRequested);
    expectFreshStart("");
    EXPECT_EQ(state.CurveCount, -1);
    EXPECT_TRUE(printedTexts(*window->ui.disp, state.TraceColour(1)).contains("6.0")); // empty axes of 8 s
    EXPECT_EQ(grid().TextMatrix(0, 1).trimmed(), "x1");
    expectShown({window->ui.Grid1[0], window->ui.add, window->ui.PgDn, window->ui.Clear, window->ui.status},
                true);
    expectShown({window->ui.Grid1[1], window->ui.monitor, window->ui.stim, window->ui.sampling_hz,
                 window->ui.gain[2]},
                false);
    expectEnabled({window->ui.accept}, false);
    expectMenusShown(evaluationMenus(), true);
    expectMenusEnabled({window->ui.mnuPeaks, window->ui.mnuCopyitem(2)}, true);
}

TEST_F(Layouts, ClearEmptiesTheTableSoTheNextRowStartsABlock) {
    openContinuousFile();
    dialogs.answerInput(QStringLiteral("base"));
    for (const double x : {10, 12, 20, 24}) {
        press(x);
        window->measurements().add_Click();
    }
    ASSERT_EQ(row(3)[1], "2.00");
    window->measurements().Clear_Click();
    EXPECT_EQ(row(1), QStringList({"", "", "", "", "", "", "", ""}));
    EXPECT_EQ(window->focusWidget(), window->ui.add);
    press(15);
    dialogs.answerInput(QStringLiteral("again")); // a new block asks for its label
    window->measurements().add_Click();
    EXPECT_EQ(row(1)[0], "again");
    EXPECT_EQ(row(2)[1], "1.50");
}

// Every order of layout and mode commands leaves caption, controls and state in step.
TEST_F(Layouts, AnyOrderOfCommandsKeepsTheWindowConsistent) {
    openContinuousFile(1000);
    const auto block = [&](const char* ms) {
        return [&, ms] { dialogs.answerInput(ms), window->settings().mnuBlock_Click(); };
    };
    const auto measure = [&] { window->layouts().mnuMeasure_Click(); };
    const auto trazel = [&] { window->layouts().mnuTrazel_Click(); };
    const auto continuous = [&] { window->settings().mnuContinuous_Click(); };
    const std::function<void()> steps[] = {block("300"), measure,      block("1500"), block("200"),
                                           trazel,       block("100"), continuous,    measure,
                                           continuous,   measure,      trazel};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        steps[i]();
        const bool recording = state.MeasureLayout;
        expectShown({window->ui.controler}, recording);
        expectShown({window->ui.monitor}, recording && !state.BlockMode);
        expectShown({window->ui.add}, !recording);
        EXPECT_EQ(window->ui.mnuTrazel->isVisible(), recording);
        EXPECT_EQ(window->ui.mnuContinuous->isVisible(), state.BlockMode);
        EXPECT_EQ(window->windowTitle().startsWith("BLOCK MODE"), state.BlockMode);
        EXPECT_EQ(state.SampleInterval, 1 / state.SamplingRate);
        EXPECT_NEAR(window->ui.disp->ScaleWidth(),
                    state.TimeFactor * state.ScreenLen / state.SampleInterval / 0.8, 1e-3);
        if (state.BlockMode) {
            EXPECT_EQ(state.AverageData.upper(), state.SweepLength - 1);
        }
        if (recording) {
            EXPECT_EQ(window->ui.hz->text(), state.BlockMode ? "us" : "Hz");
            EXPECT_EQ(state.SampleCount, state.BlockMode ? state.SweepLength - 1
                                                         : toLong(state.FileLength * state.SamplingRate));
        }
    }
    EXPECT_TRUE(dialogs.allAnswered());
}

} // namespace
} // namespace trazel::testing
