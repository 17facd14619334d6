#pragma once

#include "support/data_files.h"
#include "support/drawing_log.h"
#include "support/main_window_fixture.h"
#include "ui/controls.h"
#include "ui/flex_grid.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <QAction>
#include <QLabel>
#include <algorithm>
#include <tuple>

namespace trazel::testing {

inline QString qs(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A two-channel continuous recording of 4 points at 500 us; traces on inputs 3 and 4.
inline Bytes smallContinuousFile() {
    return versionedFile(recordedHeader(2, {0, 3, 4}, 500), {1, -2, 3, -400, -5, 6, 7, 8}, {0, 100, 200, 0});
}

// The example files of the project.
inline const std::filesystem::path Examples = TRAZEL_EXAMPLES;

// Values for a Labtech file: quarters and halves between -2 and 2.25.
inline std::vector<float> labtechValues(int count) {
    std::vector<float> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(static_cast<float>(i % 9 - 4) * 0.5F + (i % 2 == 0 ? 0.25F : 0));
    }
    return values;
}

// A window whose files are opened through File > Open, with what every open must leave behind.
class OpenFileTest : public MainWindowTest {
protected:
    using Question = ScriptedDialogs::Question;

    // Answers the open dialog with the file (an empty path cancels), then the input boxes in order and,
    // when the open is to fail, the error message.
    void open(const std::filesystem::path& file, const std::vector<QString>& inputs = {},
              bool fails = false) {
        m_firstQuestion = dialogs.questions().size();
        dialogs.answerOpen(qs(file));
        for (const QString& input : inputs) {
            dialogs.answerInput(input);
        }
        if (fails) {
            dialogs.answerMessage(MsgAnswer::Ok);
        }
        window->files().mnuOpen_Click();
        EXPECT_TRUE(dialogs.allAnswered()) << "the program asked fewer questions than scripted";
    }
    void openFailing(const std::filesystem::path& file, const std::vector<QString>& inputs = {}) {
        open(file, inputs, true);
    }

    // The questions of the last open, the open dialog first.
    std::vector<Question> lastQuestions() const {
        const auto& all = dialogs.questions();
        return {all.begin() + static_cast<std::ptrdiff_t>(m_firstQuestion), all.end()};
    }

    // The one message of the last open is the error message.
    void expectErrorReported() const {
        const std::vector<Question> asked = lastQuestions();
        ASSERT_FALSE(asked.empty());
        const Question& last = asked.back();
        EXPECT_EQ(QStringList({last.text, last.title}),
                  QStringList({"Error encountered while trying to open file, please retry.", "File input"}));
        EXPECT_EQ(std::tuple(last.kind, last.icon, last.buttons),
                  std::tuple(ScriptedDialogs::Kind::MsgBox, MsgIcon::Exclamation, MsgButtons::Ok));
        EXPECT_EQ(std::ranges::count(asked, ScriptedDialogs::Kind::MsgBox, &Question::kind), 1);
    }

    std::size_t countOf(DrawnFigure::Kind kind) const { return figuresOfKind(*window->ui.disp, kind).size(); }

    // The time and amplitude axes and nothing else.
    void expectOnlyEmptyAxes() const {
        EXPECT_EQ((std::array{countOf(DrawnFigure::Kind::Line), countOf(DrawnFigure::Kind::Text),
                              countOf(DrawnFigure::Kind::Box)}),
                  (std::array<std::size_t, 3>{12, 10, 0}));
    }

    void expectNothingLoaded() const {
        EXPECT_EQ(
            (std::array{state.DataLoaded, state.TraceData.exists(), state.RawData.exists(),
                        state.Markers.exists(), state.AverageData.exists(), window->ui.Scroll->isVisible()}),
            (std::array{false, false, false, false, false, false}))
            << "loaded, trace data, raw data, markers, average, progress window";
        EXPECT_EQ((std::array<int, 2>{state.SampleCount, state.InFile}), (std::array{0, 0}));
        EXPECT_EQ(window->ui.status->text(), QString());
        expectOnlyEmptyAxes();
    }

    // What every successful read leaves: the data arrays, the progress window gone, no file being read.
    void expectLoaded(Long samples) const {
        EXPECT_TRUE(state.DataLoaded);
        EXPECT_EQ((std::array<int, 2>{state.SampleCount, state.InFile}), (std::array<int, 2>{samples, 0}));
        EXPECT_FALSE(window->ui.Scroll->isVisible());
        EXPECT_EQ(window->ui.Scroll->value(), 100);
        EXPECT_EQ(window->ui.Scroll->caption(), QStringLiteral("Reading data..."));
        EXPECT_EQ(state.Markers.upper(), state.TraceData.upper());
        ASSERT_EQ(state.RawData.upper(), state.TraceData.upper());
        for (int t = 1; t <= TraceCount; ++t) {
            EXPECT_TRUE(std::ranges::equal(state.RawData.trace(t), state.TraceData.trace(t)))
                << "trace " << t;
        }
    }

    // The menus and state of continuous data, nothing left of a block file before.
    void expectContinuousMenus() const {
        EXPECT_FALSE(window->ui.mnuContinuous->isVisible());
        EXPECT_EQ(window->ui.mnuBlock->text(), QStringLiteral("Block mode"));
        EXPECT_TRUE(window->ui.mnuS->isChecked());
        EXPECT_EQ(window->ui.SA_label->text(), QStringLiteral("single"));
        EXPECT_EQ((std::array{state.BlockMode, state.FileBlockMode, state.AverageData.exists()}),
                  (std::array{false, false, false}))
            << "block mode, block mode of the file, average";
        EXPECT_EQ((std::array{state.SweepLength, state.CurveCount}), (std::array<Long, 2>{-1, -1}));
    }

    void expectContinuousSpan(Single screenLen, const char* unit) const {
        const Single factor = std::string_view(unit) == "ms" ? 0.001F : 1.0F;
        EXPECT_EQ((std::array{state.ScreenLen, state.ContScreenLen, state.FileScreenLen}),
                  (std::array{screenLen, screenLen, screenLen}));
        EXPECT_EQ((std::array{state.TimeFactor, state.ContTimeFactor}), (std::array{factor, factor}));
        EXPECT_EQ(state.TimeUnit, unit);
        EXPECT_EQ(state.ContTimeUnit, unit);
    }

    TestFiles files;

private:
    std::size_t m_firstQuestion = 0;
};

// A window with a recorded file opened through File > Open.
class MeasurementTest : public OpenFileTest {
protected:
    // One trace, sweeps of 100 points at 1 ms: sweep 1 is flat at 0, sweeps 2 .. 4 are the same ramp
    // 3 x j - 30 (j the point in the sweep). No stimulus delay in the header.
    void openBlockFile() {
        std::vector<std::int16_t> samples;
        for (int sweep = 0; sweep < 4; ++sweep) {
            for (int j = 0; j < 100; ++j) {
                samples.push_back(static_cast<std::int16_t>(sweep == 0 ? 0 : 3 * j - 30));
            }
        }
        open(files.write("block.bin", versionedFile(recordedHeader(1, {1, 0, 0}, 1000, 100), samples,
                                                    std::vector<std::int16_t>(samples.size(), 0))));
        ASSERT_TRUE(state.DataLoaded);
    }

    // One trace of `points` points at 100 ms whose value is the point number.
    void openContinuousFile(int points = 200) {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < points; ++i) {
            samples.push_back(static_cast<std::int16_t>(i));
        }
        open(files.write("continuous.bin", versionedFile(recordedHeader(1, {1, 0, 0}, 100000), samples,
                                                         std::vector<std::int16_t>(samples.size(), 0))));
        ASSERT_TRUE(state.DataLoaded);
    }

    void press(double x, int button = 1) { window->measurements().disp_MouseDown(button, 0, x, 0); }

    // In the second sweep of openBlockFile, a block "A" (stimulus delay 10 ms) of rows at 20 and 50 ms,
    // closed with its statistics.
    void measureBlockOfTwoRows() {
        window->views().PgDn_Click();
        press(20);
        dialogs.answerInput("10");
        dialogs.answerInput("A");
        window->measurements().add_Click();
        press(50);
        window->measurements().add_Click();
        window->measurements().newblk_Click();
    }

    FlexGrid& grid() { return *window->ui.Grid1[static_cast<std::size_t>(state.CurrentTrace - 1)]; }

    QStringList row(int r) {
        QStringList cells;
        for (int col = 0; col < grid().Cols(); ++col) {
            cells << grid().TextMatrix(r, col);
        }
        return cells;
    }
};

} // namespace trazel::testing
