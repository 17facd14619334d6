#include "window/main_window.h"

#include "core/display_text.h"
#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "display/axes.h"
#include "display/curves.h"
#include "measure/table_layout.h"
#include "ui/clipboard.h"
#include "ui/controls.h"
#include "ui/flex_grid.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <QAction>
#include <QLabel>

namespace trazel {

namespace {

constexpr float StartScaleSteps[] = {5000, 4000, 2000, 1000, 500, 250, 125, 100, 50,  25,
                                     20,   10,   5,    4,    2,   1,   0.5, 0.3, 0.2, 0.1};

} // namespace

Trazel::Trazel(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), s(state), dialogs(dialogs) {
    setObjectName(QStringLiteral("trazel"));
    setWindowTitle(QStringLiteral("Trazel"));
    createPlot();
    createTraceSelectors();
    createEvaluationControls();
    createRecordingControls();
    createResultGrids();
    createMenus();
    arrangeControls();
    connectHandlers();
    Form_Initialize();
    showRecentFiles();
    setAcceptDrops(true);
}

Trazel::~Trazel() = default;

void Trazel::Form_Initialize() {
    s.PlotBackColour = disp->BackColor();
    s.LevelBandDivisor = 8;
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    s.MeasureLayout = false;
    s.ShowSingle = true;
    s.ShowAverage = false;
    s.SpectrumShown = false;
    s.Overplot = false;
    SA_label->setText(QStringLiteral(" sngl"));

    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceColour(t) = brightColour(t);
    }
    resetTimeBase();
    resetRecordingSettings();
    resetTraceScales();
    resetViewState();

    for (int i = 1; i <= 20; ++i) {
        s.ScaleSteps(i) = StartScaleSteps[i - 1];
    }
    s.ScaleStepCount = 20;

    s.ChannelCount = 1;
    s.CurrentTrace = 1;
    ch_select[static_cast<std::size_t>(s.CurrentTrace - 1)]->setValue(true);

    for (int k = 0; k < TraceCount; ++k) {
        FlexGrid& grid = *Grid1[static_cast<std::size_t>(k)];
        grid.setColWidth(0, LabelColumnWidthTwips);
        for (int row = 0; row < grid.Rows(); ++row) {
            grid.setRowHeight(row, TableRowHeightTwips);
        }
        grid.setFontName(QStringLiteral("Times New Roman"));
        grid.setFontSize(11);
        grid.setFontBold(true);
        headTable(grid);
        const int t = k + 1;
        s.TableRow(t) = s.BlockStartRow(t) = s.NextRecord(t) = s.EntryColumn(t) = 1;
    }

    drawAxes();
}

void Trazel::ch_select_Click(int Index) {
    const int t = Index + 1;
    ColourViewButtons(t);
    if (!s.MeasureLayout) {
        for (int k = 0; k < TraceCount; ++k) {
            Grid1[static_cast<std::size_t>(k)]->setVisible(k == Index);
        }
    }
    s.CurrentTrace = static_cast<Integer>(t);
    redrawView();
}

void Trazel::ColourViewButtons(int t) {
    for (CommandButton* button : {mul, div, pshift, nshift}) {
        button->setBackColor(s.TraceColour(t));
    }
}

void Trazel::mnuExit_Click() {
    clipboard::clear();
    Scroll->hide();
    close();
}

void Trazel::resetTimeBase() {
    s.SamplingRate = 10;
    s.SampleInterval = 1.0F / 10;
    s.ScreenLen = 8;
    s.ContScreenLen = 8;
    s.TimeFactor = 1;
    s.ContTimeFactor = 1;
    s.TimeUnit = " s";
    s.ContTimeUnit = " s";
    disp->setScaleWidth(continuousScaleWidth(s));
}

void Trazel::resetRecordingSettings() {
    s.FileLength = 180;
    file_lng->setText(QStringLiteral("180"));
    s.SampleCount = toLong(s.SamplingRate * 180);
    s.StimDelay = 0;
    s.StimCount = 1;
    s.StimInterval = 0;
    dly1->setText(QStringLiteral(" 0"));
    stim_num->setListIndex(1);
    interval->setText(QStringLiteral(" 0"));
}

void Trazel::resetTraceScales() {
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceOffset(t) = 0;
        s.TraceShift(t) = 0;
        s.LevelY(t) = NoLevel;
        s.TraceScaleIndex(t) = 4;
        s.TracePeak(t) = 1000;
        s.SavedPeak(t) = 1000;
        s.TableRow(t) = s.BlockStartRow(t) = s.NextRecord(t) = s.EntryColumn(t) = 1;
    }
}

void Trazel::resetViewState() {
    resetCurvePens(s);
    clearAveragedCount();
    s.TimeDivisions = 4;
    s.AmpDivisions = 4;
    s.MaxPointsPerPixel = 6;
    s.DataLoaded = false;
    s.LabelDragging = false;
    s.Overplot = false;
    s.CursorX = -1;
    s.SelStart = -1;
    s.SelEnd = -1;
    s.ViewStart = 0;
    s.AutoPeaks = false;
}

void Trazel::clearAveragedCount() {
    s.AveragedCount = 0;
    ave_count->setText(displayText(s.AveragedCount, " ###0"));
}

void Trazel::measurePlotWidth() {
    const double width = disp->ScaleWidth();
    disp->setScaleMode(ScaleMode::Pixels);
    s.PlotWidthPx = toInteger(disp->ScaleWidth());
    disp->setScaleMode(ScaleMode::User);
    disp->setScaleWidth(width);
}

void Trazel::redrawAxesOrRequest() {
    if (s.Acquiring) {
        s.RedrawRequested = true;
    } else {
        drawAxes();
    }
}

void Trazel::redrawView() {
    if (s.Acquiring) {
        // A recording keeps its pen on the new axes; monitoring starts a new screen at its next point.
        if (s.Recording) {
            drawAxes();
        } else {
            s.RedrawRequested = true;
        }
        return;
    }
    if (mnuOverplot->isChecked()) {
        DrawOverplot();
        return;
    }
    drawAxes();
    if (s.DataLoaded || s.BlockMode) {
        drawCurves();
    }
}

void Trazel::drawAxes() {
    DrawAxes(s, *disp, *Label1);
}

void Trazel::drawCurves() {
    DrawCurves(s, *disp, *this, mnuOverplot->isChecked());
}

} // namespace trazel
