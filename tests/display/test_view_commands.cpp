#include "support/drawing_log.h"
#include "support/open_file_fixture.h"

#include <QAction>
#include <QLabel>
#include <algorithm>

namespace trazel::testing {
namespace {

class ViewCommands : public MeasurementTest {
protected:
    // `sweeps` sweeps of 100 points at 1 ms whose value is the sweep number times 10.
    void openSweeps(int sweeps) {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < sweeps * 100; ++i) {
            samples.push_back(static_cast<std::int16_t>(i / 100 * 10));
        }
        open(files.write("sweeps.bin", versionedFile(recordedHeader(1, {1, 0, 0}, 1000, 100), samples,
                                                     std::vector<std::int16_t>(samples.size(), 0))));
    }

    // A line of its own colour on the plot: it stays until something clears the plot to redraw it.
    void markPlot() { window->ui.disp->Line(0, 0, 1, 1, rgb(1, 2, 3)); }
    bool plotRedrawn() const {
        const auto& log = window->ui.disp->drawingLog();
        return std::none_of(log.begin(), log.end(),
                            [](const DrawnFigure& f) { return f.colour == rgb(1, 2, 3); });
    }

    QString timeBase() const {
        return QString::number(state.ScreenLen) + QString::fromStdString(state.TimeUnit.str());
    }
};

TEST_F(ViewCommands, ExpandAndCompressStepThroughTheTimeBases) {
    state.SampleInterval = 0.001F; // 8 s of 8000 points
    window->viewCommands().mnuRaw_Click();
    const auto E = &trazel::ViewCommands::mnuExpand_Click;
    const auto C = &trazel::ViewCommands::mnuCompress_Click;
    const std::pair<void (trazel::ViewCommands::*)(), const char*> steps[] = {
        {E, "4 s"}, {E, "2 s"},   {E, "512ms"}, {E, "256ms"}, {C, "512ms"},
        {C, "1 s"}, {E, "512ms"}, {C, "1 s"},   {C, "2 s"}};
    for (const auto& [command, expected] : steps) {
        (window->viewCommands().*command)();
        EXPECT_EQ(timeBase(), expected);
        EXPECT_NEAR(window->ui.disp->ScaleWidth(), state.TimeFactor * state.ScreenLen / 0.001F / 0.8, 1e-3);
    }
    window->viewCommands().mnuExpand_Click();
    state.ScreenLen = 600; // 600 ms
    window->viewCommands().mnuCompress_Click();
    EXPECT_EQ(timeBase(), "1 s");
    state.SampleInterval = 0.1F; // 512 ms hold 5 points: half of that is too few
    window->viewCommands().mnuExpand_Click();
    window->viewCommands().mnuExpand_Click();
    EXPECT_EQ(timeBase(), "512ms");
    for (int i = 0; i < 40; ++i) {
        window->viewCommands().mnuCompress_Click();
    }
    EXPECT_LE(0.8 * window->ui.disp->ScaleWidth(), 2147483648.0); // the plot's positions still hold the view
}

TEST_F(ViewCommands, ZoomSelectionShowsTheStretchInRoundUnits) {
    window->viewCommands().mnuZoom_sel_Click(); // no selection: nothing
    EXPECT_EQ(timeBase(), "8 s");
    struct Case {
        Single selStart, selEnd;
        const char* shown;
        Single viewStart;
    };
    const Case cases[] = {{13, 10, "300ms", 10}, {7.66F, 1241.66F, "120 s", 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        window->viewCommands().mnuRaw_Click(); // back to 8 s on 100 units of width
        state.SelStart = c.selStart;
        state.SelEnd = c.selEnd;
        window->viewCommands().mnuZoom_sel_Click();
        EXPECT_EQ(timeBase(), c.shown);
        EXPECT_FLOAT_EQ(state.ViewStart, c.viewStart);
        EXPECT_EQ(state.SelEnd, -1.0F); // the redraw clears the selection
    }
}

TEST_F(ViewCommands, GainStopsAtTheEndStepsWithoutRedrawing) {
    openContinuousFile();
    const Single peak = state.TracePeak(1);
    window->viewCommands().mul_Click();
    EXPECT_EQ(state.TracePeak(1), peak / 2);
    for (const auto& [index, command] :
         {std::pair{20, &trazel::ViewCommands::mul_Click}, std::pair{1, &trazel::ViewCommands::div_Click}}) {
        state.TraceScaleIndex(1) = static_cast<Integer>(index);
        const Single before = state.TracePeak(1);
        markPlot();
        (window->viewCommands().*command)();
        EXPECT_EQ(state.TracePeak(1), before);
        EXPECT_FALSE(plotRedrawn());
    }
    window->viewCommands().pshift_Click();
    window->viewCommands().pshift_Click();
    window->viewCommands().nshift_Click();
    EXPECT_EQ(state.TraceShift(1), 1);
    state.Acquiring = true; // while monitoring the loop redraws at its next point
    markPlot();
    window->viewCommands().mul_Click();
    EXPECT_TRUE(state.RedrawRequested && !plotRedrawn());
    state.Acquiring = false;
    EXPECT_EQ(state.TraceOffset(1), state.ScaleSteps(state.TraceScaleIndex(1)));
}

TEST_F(ViewCommands, InvertTwiceRestoresTheDataAndRawUndoesEverything) {
    openContinuousFile();
    const AppState& read = state; // reading through it keeps the samples shared
    EXPECT_TRUE(read.TraceData.sharesTrace(1, read.RawData)) << "the views draw the data read, no copy";
    const Single peak = state.TracePeak(1);
    window->viewCommands().pshift_Click();
    window->viewCommands().mnuInvert_Click();
    EXPECT_EQ(std::pair(read.RawData(1, 7), read.TraceData(1, 7)), std::pair(-7.0F, -7.0F));
    EXPECT_TRUE(read.TraceData.sharesTrace(1, read.RawData)) << "negated once, still shared";
    EXPECT_EQ(state.TraceShift(1), -1);
    window->viewCommands().mnuInvert_Click();
    EXPECT_EQ(state.TraceData(1, 7), 7.0F);
    state.SpectrumShown = true; // a spectrum is not inverted
    window->viewCommands().mnuInvert_Click();
    EXPECT_EQ(state.RawData(1, 7), 7.0F);

    window->viewCommands().div_Click();
    window->viewCommands().mnuExpand_Click();
    window->viewCommands().mnuRaw_Click();
    EXPECT_EQ(state.TracePeak(1), peak); // the scale it was opened in
    EXPECT_EQ(state.TraceShift(1), 0);
    EXPECT_EQ(state.ScreenLen, state.ContScreenLen);
    window->viewCommands().mnuInvert_Click(); // Raw curves ended the spectrum
    EXPECT_EQ(state.RawData(1, 7), -7.0F);
    window->viewCommands().mnuRaw_Click();
    EXPECT_TRUE(read.TraceData.sharesTrace(1, read.RawData)) << "Raw curves shares again";
}

TEST_F(ViewCommands, OverplotLaysTheSweepsOneBelowTheOther) {
    openSweeps(20);
    dialogs.answerInput(QString()); // cancelled: the view is set up but nothing is drawn
    markPlot();
    window->viewCommands().mnuOverplot_Click();
    EXPECT_TRUE(window->ui.mnuOverplot->isChecked());
    EXPECT_EQ(window->ui.SA_label->text(), " over");
    EXPECT_FALSE(plotRedrawn());
    EXPECT_EQ(dialogs.questions().back().text, "Enter displacement of first curve in % of display height:");
    EXPECT_EQ(dialogs.questions().back().defaultText, "10");

    dialogs.answerInput("20");
    dialogs.answerInput("no number"); // counts as none: 10 %
    window->viewCommands().mnuOverplot_Click();
    EXPECT_EQ(dialogs.questions().back().title, "Further displacement");
    const double H = -state.TraceRange(1) / 0.8;
    EXPECT_FLOAT_EQ(state.TraceOffset(1),
                    static_cast<float>((0.2 - 0.5) * 0.8 * H + 20 * 10 * 0.8 * H / 100));
    EXPECT_EQ(state.ViewStart, 0.0F);
    const auto lines = figuresOfKind(*window->ui.disp, DrawnFigure::Kind::Line);
    EXPECT_GE(std::count_if(lines.begin(), lines.end(),
                            [&](const DrawnFigure& f) { return f.colour == state.SingleColour(1); }),
              20 * 99); // every sweep, point by point

    state.FirstDisplacement(1) = 0; // the arrows move the curves in this view
    window->viewCommands().pshift_Click();
    EXPECT_EQ(state.FirstDisplacement(1), 0.0F);
    window->viewCommands().nshift_Click();
    EXPECT_EQ(state.FirstDisplacement(1), 1.0F);
    window->views().PgDn_Click(); // paging is off in this view
    EXPECT_EQ(state.CurrentCurve, 1);
}

} // namespace
} // namespace trazel::testing
