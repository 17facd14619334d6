#include "support/open_file_fixture.h"
#include "support/recording_fixture.h"

#include <QLabel>

namespace trazel::testing {
namespace {

using Modes = RecordingLayoutTest;

TEST_F(Modes, BlockLengthsGiveTheirTimeBaseAndCaption) {
    struct Case {
        const char* answer;
        const char* offered;
        Single screenLen;
        const char* unit;
        const char* caption;
    };
    const Case cases[] = {{"500", "500", 500, "ms", "BLOCK MODE (500.ms)"},
                          {"200", "500", 200, "ms", "BLOCK MODE (200.ms)"},
                          {"1000", "200", 1000, "ms", "BLOCK MODE (1000.ms)"},
                          {"1500", "1000", 1.5F, " s", "BLOCK MODE (1.5 s)"},
                          {"2000", "1500", 2, " s", "BLOCK MODE (2. s)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        enterBlockMode(c.answer);
        const auto& question = dialogs.questions().back();
        EXPECT_EQ(question.text + "|" + question.title + "|" + question.defaultText,
                  QStringLiteral("Block length (ms):|Get length|") + c.offered);
        EXPECT_EQ(state.ScreenLen, c.screenLen);
        EXPECT_EQ(state.TimeUnit.str(), c.unit);
        EXPECT_EQ(window->ui.scr_unit->text(), c.unit);
        EXPECT_EQ(state.SweepLength, QString(c.answer).toInt()); // at 1000 points per second
        EXPECT_EQ(state.Markers.upper(), state.SweepLength - 1);
        EXPECT_EQ(window->windowTitle(), c.caption);
    }
    window->settings().mnuContinuous_Click(); // the continuous span and rate come back
    EXPECT_EQ(state.ScreenLen, 8.0F);
    EXPECT_EQ(state.TimeUnit.str(), " s");
    EXPECT_EQ(window->ui.scr_lng->Text(), "8");
    EXPECT_EQ(state.SamplingRate, 10.0F);
    EXPECT_EQ(state.SampleCount, 1800); // a continuous recording holds the file length again
    EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE");
}

TEST_F(Modes, RecordingInBlockModeShowsTheStimulusControlsAndHidesMonitor) {
    enterBlockMode("500");
    EXPECT_EQ(window->ui.sampling_hz->Text() + window->ui.hz->text(), "1000us");
    EXPECT_EQ(window->ui.mnuBlock->text(), "Block length");
    expectShown({window->ui.monitor}, false);
    expectShown({window->ui.save}, true);
    expectEnabled({window->ui.save, window->ui.scr_lng, window->ui.file_lng}, false);
    expectEnabled({window->ui.stim, window->ui.dly1, window->ui.stim_num, window->ui.interval,
                   window->ui.accept, window->ui.clear_ave, window->ui.newblk},
                  true);
    expectMenusEnabled({window->ui.mnuS, window->ui.mnuA, window->ui.mnuS_A, window->ui.mnuA_S}, true);
    expectMenusEnabled(
        {window->ui.mnuPeaks, window->ui.mnuCopyitem(2), window->ui.mnuOverplot, window->ui.mnuPSD}, false);
    EXPECT_EQ(window->focusWidget(), window->ui.stim);

    window->views().mnuA_Click(); // continuous data show single curves only
    window->settings().mnuContinuous_Click();
    expectShown({window->ui.save}, false);
    expectEnabled({window->ui.dly1, window->ui.accept}, false);
    expectMenusEnabled({window->ui.mnuA}, false);
    EXPECT_TRUE(window->ui.mnuS->isChecked() && !window->ui.mnuA->isChecked());
    EXPECT_TRUE(state.ShowSingle && !state.ShowAverage);
}

TEST_F(Modes, AnswersWithoutAWholeSweepChangeNothing) {
    enterBlockMode("300");
    state.AveragedCount = 2;
    state.Acquiring = true;
    for (const char* answer : {"", "abc", "0", "-5", "0.4", "1e30"}) {
        SCOPED_TRACE(answer);
        state.StopRequested = false;
        enterBlockMode(answer);
        EXPECT_TRUE(state.StopRequested); // the loop was asked to stop before the question
        EXPECT_EQ(state.SweepLength, 300);
        EXPECT_EQ(state.AveragedCount, 2.0F);
        EXPECT_EQ(window->windowTitle(), "BLOCK MODE (300.ms)");
    }
    state.Acquiring = false;
    window->settings().mnuContinuous_Click();
    enterBlockMode("abc"); // refused on the way in: continuous mode stays, with its rate
    EXPECT_FALSE(state.BlockMode);
    EXPECT_EQ(state.SamplingRate, 10.0F);
    EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE");
}

using EvaluationModes = MeasurementTest;

TEST_F(EvaluationModes, ALoadedRecordingIsCutIntoCompleteSweeps) {
    for (const int points : {10000, 10100}) {
        SCOPED_TRACE(points);
        openContinuousFile(points);
        dialogs.answerInput("40000"); // 400 points at 100 ms
        window->settings().mnuBlock_Click();
        EXPECT_EQ(state.CurveCount, 25);
        EXPECT_EQ(state.SampleCount, points); // the data stay as loaded
        EXPECT_EQ(window->ui.status->text(), "current curve: 1/25     averaged: 0");
        const QString file = QString::fromStdString(state.FileName);
        EXPECT_EQ(window->windowTitle(), "BLOCK MODE (40. s)       " + file);
        EXPECT_EQ(grid().TextMatrix(0, 1).trimmed(), "t");
        window->views().PgDn_Click();
        EXPECT_EQ(state.ViewStart, 400.0F);

        window->settings().mnuContinuous_Click();
        EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE   " + file);
        EXPECT_EQ(window->ui.status->text(), "");
        EXPECT_EQ(grid().TextMatrix(0, 1).trimmed(), "x1");
        expectEnabled({window->ui.newblk}, true);
        expectMenusEnabled({window->ui.mnuCopyitem(2)}, true);
    }
}

TEST_F(EvaluationModes, LeavingBlockModeFromTheSpectrumBringsBackTheRawCurves) {
    openBlockFile();
    state.TraceData(1, 50) = 12345;
    state.TraceShift(1) = 2;
    state.SavedPeak(1) = 97;
    state.SpectrumShown = true;
    window->ui.mnuPSD->setChecked(true);
    window->ui.mnuRaw->setChecked(false);
    window->ui.mnuBlock->setEnabled(false);
    window->settings().mnuContinuous_Click();
    EXPECT_EQ(state.TraceData(1, 50), state.RawData(1, 50));
    EXPECT_EQ(state.TraceShift(1), 0);
    EXPECT_EQ(state.TracePeak(1), 97.0F);
    EXPECT_FALSE(state.SpectrumShown || window->ui.mnuPSD->isChecked());
    EXPECT_TRUE(window->ui.mnuRaw->isChecked() && window->ui.mnuBlock->isEnabled());
}

} // namespace
} // namespace trazel::testing
