#include "core/number_rules.h"
#include "support/recording_fixture.h"

#include <QLabel>
#include <functional>
#include <string_view>

namespace trazel::testing {
namespace {

using SettingsFields = RecordingLayoutTest;

TEST_F(SettingsFields, RateAcceptsUpTo1000HzAndPutsBackEverythingElse) {
    struct Case {
        const char* typed;
        Single rate;
        const char* field;
    };
    const Case cases[] = {{"1000", 1000, "1000"},  {"25", 25, "25"}, {"1001", 25, "25"},
                          {"0", 25, "25"},         {"-5", 25, "25"}, {"text", 25, "25"},
                          {" 2.5x", 2.5F, " 2.5x"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        type(*window->ui.sampling_hz, c.typed, &Settings::sampling_hz_LostFocus);
        EXPECT_EQ(state.SamplingRate, c.rate);
        EXPECT_EQ(state.SampleInterval, 1 / c.rate);
        EXPECT_EQ(window->ui.sampling_hz->Text(), c.field);
        EXPECT_EQ(state.SampleCount, toLong(180 * c.rate));
        EXPECT_NEAR(window->ui.disp->ScaleWidth(), 8 * c.rate / 0.8, 1e-3);
    }
}

TEST_F(SettingsFields, BlockIntervalAcceptsFrom30UsWhileTheSweepHoldsAPoint) {
    enterBlockMode("500");
    struct Case {
        const char* typed;
        Single intervalUs;
        Long sweepLength;
    };
    const Case cases[] = {{"30", 30, 16667},  {"29", 30, 16667},      {"1000", 1000, 500},
                          {"abc", 1000, 500}, {"1100000", 1000, 500}, {"600000", 600000, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        type(*window->ui.sampling_hz, c.typed, &Settings::sampling_hz_LostFocus);
        EXPECT_EQ(state.SampleInterval, static_cast<Single>(c.intervalUs / 1000000.0));
        EXPECT_EQ(state.SamplingRate, 1 / state.SampleInterval);
        EXPECT_EQ(state.BlockSweepLength, c.sweepLength);
        EXPECT_EQ(state.SampleCount, c.sweepLength - 1);
        EXPECT_EQ(state.RawData.upper(), c.sweepLength - 1);
        EXPECT_NEAR(window->ui.disp->ScaleWidth(), c.sweepLength / 0.8, 1e-3);
        EXPECT_EQ(window->windowTitle(), "BLOCK MODE (500.ms)");
    }
    type(*window->ui.sampling_hz, "29", &Settings::sampling_hz_LostFocus);
    EXPECT_EQ(window->ui.sampling_hz->Text(), "600000");
}

TEST_F(SettingsFields, AnUntouchedIntervalKeepsTheAverageAndANewOneEmptiesIt) {
    enterBlockMode("500");
    state.AverageData(1, 10) = 7;
    state.AveragedCount = 3;
    window->settings().sampling_hz_LostFocus(); // "1000" as entering block mode wrote it
    EXPECT_EQ(state.AverageData(1, 10), 7.0F);
    EXPECT_EQ(state.AveragedCount, 3.0F);
    type(*window->ui.sampling_hz, "500", &Settings::sampling_hz_LostFocus);
    EXPECT_EQ(state.AverageData(1, 10), 0.0F);
    EXPECT_EQ(state.AveragedCount, 0.0F);
    EXPECT_EQ(window->ui.ave_count->text(), " 0");
}

TEST_F(SettingsFields, ScreenLengthIsWrittenBackAfterTheNextRateChange) {
    for (const auto& [typed, shown] : {std::pair{"12.5", "12.5"}, std::pair{"12.04", "12"}}) {
        type(*window->ui.scr_lng, typed, &Settings::scr_lng_LostFocus);
        EXPECT_EQ(state.ScreenLen, QString(typed).toFloat());
        EXPECT_NEAR(window->ui.disp->ScaleWidth(), state.ScreenLen / state.SampleInterval / 0.8, 1e-3);
        type(*window->ui.sampling_hz, state.SamplingRate == 20 ? "10" : "20",
             &Settings::sampling_hz_LostFocus);
        EXPECT_EQ(window->ui.scr_lng->Text(), shown);
    }
}

TEST_F(SettingsFields, ScreenAndFileLengthRefuseLengthsOfNoTime) {
    type(*window->ui.scr_lng, "12", &Settings::scr_lng_LostFocus);
    for (const char* typed : {"0", "-3", "abc", "", "0.01"}) { // 0.01 s is not one point at 10 Hz
        SCOPED_TRACE(typed);
        type(*window->ui.scr_lng, typed, &Settings::scr_lng_LostFocus);
        EXPECT_EQ(state.ScreenLen, 12.0F);
        EXPECT_EQ(window->ui.scr_lng->Text(), "12");
        window->ui.file_lng->setText(typed); // every change of the text applies at once
        EXPECT_EQ(state.FileLength, std::string_view(typed) == "0.01" ? 0.01F : 180.0F);
    }
    type(*window->ui.file_lng, "-", &Settings::file_lng_LostFocus);
    EXPECT_EQ(window->ui.file_lng->Text(), "0.01");
    window->ui.file_lng->setText("6");
    type(*window->ui.file_lng, "60", &Settings::file_lng_LostFocus);
    EXPECT_EQ(state.FileLength, 60.0F);
    EXPECT_EQ(state.SampleCount, 600);
    EXPECT_EQ(window->ui.file_lng->Text(), "60");
}

TEST_F(SettingsFields, ChannelsSelectTheirTraceAndNoneLeftStopsTheLoop) {
    window->ui.ch_list[1]->setListIndex(2);
    EXPECT_EQ(state.TraceChannel(2), 2);
    EXPECT_EQ(state.CurrentTrace, 2);
    EXPECT_TRUE(window->ui.ch_select[1]->Value());
    EXPECT_FALSE(window->ui.ch_select[0]->Value());
    state.StopRequested = false;
    for (const auto& [typed, channel, count] : {std::tuple{"3. ch", 3, 2}, std::tuple{"9. ch", 0, 1}}) {
        window->ui.ch_list[2]->setText(typed);
        window->settings().ch_list_LostFocus(2);
        EXPECT_EQ(state.TraceChannel(3), channel);
        EXPECT_EQ(state.ChannelCount, count);
    }
    EXPECT_FALSE(state.StopRequested);
    state.Acquiring = true;
    window->ui.ch_list[1]->setListIndex(0);
    EXPECT_EQ(state.ChannelCount, 0);
    EXPECT_TRUE(state.StopRequested);
}

TEST_F(SettingsFields, WhileTheLoopRunsTheyAskForARedrawInsteadOfDrawing) {
    window->ui.ch_list[0]->setListIndex(1);
    state.Acquiring = true;
    const std::function<void()> edits[] = {
        [&] { type(*window->ui.sampling_hz, "100", &Settings::sampling_hz_LostFocus); },
        [&] { type(*window->ui.scr_lng, "4", &Settings::scr_lng_LostFocus); },
        [&] { window->ui.ch_list[0]->setListIndex(2); },
        [&] { window->ui.gain[0]->setListIndex(2); },
        [&] {
            enterBlockMode("100"), type(*window->ui.sampling_hz, "100", &Settings::sampling_hz_LostFocus);
        },
    };
    for (std::size_t i = 0; i < std::size(edits); ++i) {
        SCOPED_TRACE(i);
        state.RedrawRequested = false;
        state.ViewStart = 5;
        markPlot();
        edits[i]();
        EXPECT_TRUE(state.RedrawRequested);
        EXPECT_EQ(state.ViewStart, 0.0F);
        EXPECT_TRUE(i == 4 || !plotRedrawn()); // the block-mode command redraws as it stops the loop
    }
    state.Acquiring = false;
    markPlot();
    type(*window->ui.sampling_hz, "200", &Settings::sampling_hz_LostFocus);
    EXPECT_TRUE(plotRedrawn());
}

TEST_F(SettingsFields, EnterMovesOnOnlyToAControlThatCanTakeTheFocus) {
    window->ui.file_lng->setFocus();
    window->settings().file_lng_KeyPress('5');
    EXPECT_EQ(window->focusWidget(), window->ui.file_lng);
    window->settings().file_lng_KeyPress(13);
    EXPECT_EQ(window->focusWidget(), window->ui.monitor);
    enterBlockMode("500"); // monitor is hidden in block mode
    window->ui.ch_list[0]->setFocus();
    window->settings().ch_list_KeyPress(0, 13);
    EXPECT_EQ(window->focusWidget(), window->ui.ch_list[0]);
    window->ui.sampling_hz->setFocus();
    window->settings().sampling_hz_KeyPress(13);
    EXPECT_EQ(window->focusWidget(), window->ui.stim);
}

} // namespace
} // namespace trazel::testing
