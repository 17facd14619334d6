#include "display/axes.h"

#include "core/app_state.h"
#include "core/display_text.h"
#include "core/number_rules.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <QLabel>

namespace trazel {

namespace {

// Points of one screen of ScreenLen.
Single pointsPerScreen(const AppState& s) {
    return s.TimeFactor * s.ScreenLen / s.SampleInterval;
}

void resetMeasurementMarks(AppState& s, PlotSurface& disp, QLabel& Label1) {
    Label1.hide();
    s.AutoPeaks = false;
    s.CursorX = -1;
    s.SelStart = -1;
    s.SelEnd = -1;
    for (int t = 1; t <= TraceCount; ++t) {
        s.LevelY(t) = NoLevel;
    }
    setMousePointer(disp, MousePointer::Default);
}

// The index into ScaleSteps of the smallest step whose double reaches the peak; the largest step when
// none does.
int autoscaleIndex(const AppState& s, float peak) {
    int i = s.ScaleStepCount;
    while (i > 1 && 2 * s.ScaleSteps(i) < peak) {
        --i;
    }
    return i;
}

void autoscaleTraces(AppState& s) {
    for (int t = 1; t <= TraceCount; ++t) {
        const int i = autoscaleIndex(s, s.TracePeak(t));
        s.TraceScaleIndex(t) = static_cast<Integer>(i);
        s.TraceOffset(t) = s.TraceShift(t) * s.ScaleSteps(i);
        s.TraceRange(t) = 4 * s.ScaleSteps(i);
    }
}

// 12.5 % of the width lies left of x = 0 for the value labels, the screen of points fills the next
// 80 %; vertically the amplitude axis spans +R/2 to -R/2 with room below it for the time axis.
void setPlotWindow(AppState& s, PlotSurface& disp) {
    const double W = disp.ScaleWidth();
    const double R = s.TraceRange(s.CurrentTrace);
    disp.Scale(-0.125 * W, 0.475 * R / 0.8, 0.875 * W, -0.525 * R / 0.8);
}

void storeAxisGeometry(AppState& s, const PlotSurface& disp) {
    const double W = disp.ScaleWidth();
    const double H = disp.ScaleHeight();
    s.TimeAxisX1 = 0;
    s.TimeAxisX2 = static_cast<Single>(0.8 * W);
    s.CursorBottom = static_cast<Single>(0.425 * H);
    s.TimeAxisY2 = static_cast<Single>(0.425 * H);
    s.AmpAxisX1 = static_cast<Single>(-0.025 * W);
    s.AmpAxisX2 = static_cast<Single>(-0.025 * W);
    s.CursorTop = static_cast<Single>(-0.4 * H);
    s.AmpAxisY2 = static_cast<Single>(0.4 * H);
}

void printAt(PlotSurface& disp, double left, double top, const QString& text) {
    disp.setCurrentX(left);
    disp.setCurrentY(top);
    disp.Print(text);
}

// Block sweeps are labelled from their start, continuous screens with the time in the recording.
Single timeLabelValue(const AppState& s, int i) {
    const Single fromScreenStart = s.ScreenLen / s.TimeDivisions * i;
    if (s.BlockMode) {
        return fromScreenStart;
    }
    return fromScreenStart + s.SampleInterval * s.ViewStart / s.TimeFactor;
}

void drawTimeAxis(AppState& s, PlotSurface& disp) {
    const double W = disp.ScaleWidth();
    const double H = disp.ScaleHeight();
    const int N = s.TimeDivisions;
    const double tickEnd = s.CursorBottom + 0.02 * H;
    // A spectrum's bins fill the plot whatever the points per unit say: its ticks follow the labels.
    const double screenPoints = s.SpectrumShown ? 0.8 * W : pointsPerScreen(s);
    disp.Line(s.TimeAxisX1, s.CursorBottom, s.TimeAxisX2, s.TimeAxisY2);
    for (int i = 0; i < N; ++i) {
        const QString text = displayText(timeLabelValue(s, i), "##0.0#");
        const double x = s.TimeAxisX1 + i * screenPoints / N;
        disp.Line(x, s.CursorBottom, x, tickEnd);
        printAt(disp, s.TimeAxisX1 + 0.8 * W / N * i - disp.TextWidth(text) / 2, tickEnd, text);
    }
    const double endX = s.TimeAxisX1 + screenPoints;
    disp.Line(endX, s.CursorBottom, endX, tickEnd);
    const QString unit = QString::fromStdString(s.TimeUnit.str());
    printAt(disp, s.TimeAxisX2 - disp.TextWidth(unit) / 2, tickEnd, unit);
}

// The sample value at the height of label i, the trace's offset taken off, to one decimal.
QString amplitudeLabel(const AppState& s, int i) {
    const int t = s.CurrentTrace;
    const int M = s.AmpDivisions;
    const double value = (M / 2.0 - i) * s.TraceRange(t) / M - s.TraceOffset(t);
    const double rounded = roundHalfEven(value * 10) / 10;
    if (s.ScaleSteps(s.TraceScaleIndex(t)) < 1) {
        return displayText(rounded, "0.0");
    }
    return QString::fromStdString(plainText(static_cast<float>(rounded)));
}

void drawAmplitudeAxis(AppState& s, PlotSurface& disp) {
    const double W = disp.ScaleWidth();
    const double H = disp.ScaleHeight();
    disp.Line(s.AmpAxisX1, s.CursorTop, s.AmpAxisX2, s.AmpAxisY2);
    for (int i = 0; i <= s.AmpDivisions; ++i) {
        const double y = s.CursorTop + 0.2 * i * H;
        disp.Line(s.AmpAxisX1 - 0.01 * W, y, s.AmpAxisX1, y);
        const QString text = amplitudeLabel(s, i);
        printAt(disp, s.AmpAxisX1 - disp.TextWidth(text) - 0.01 * W, y - disp.TextHeight(text) / 2, text);
    }
    // A file's physical unit heads the axis, as the time unit ends the time axis.
    const QString unit = QString::fromStdString(s.TraceUnit(s.CurrentTrace));
    if (!unit.isEmpty()) {
        printAt(disp, s.AmpAxisX1 - disp.TextWidth(unit) / 2, s.CursorTop - 1.5 * disp.TextHeight(unit),
                unit);
    }
}

} // namespace

Single continuousScaleWidth(const AppState& s) {
    return static_cast<Single>(pointsPerScreen(s) / 0.8);
}

void measurePlotWidth(AppState& s, PlotSurface& disp) {
    const double width = disp.ScaleWidth();
    disp.setScaleMode(ScaleMode::Pixels);
    s.PlotWidthPx = toInteger(disp.ScaleWidth());
    disp.setScaleMode(ScaleMode::User);
    disp.setScaleWidth(width);
}

void DrawAxes(AppState& s, PlotSurface& disp, QLabel& Label1) {
    resetMeasurementMarks(s, disp, Label1);
    autoscaleTraces(s);
    setPlotWindow(s, disp);
    storeAxisGeometry(s, disp);
    disp.Cls();
    drawTimeAxis(s, disp);
    // The amplitude axis, its ticks and labels take the trace's colour; the time axis keeps the pen.
    const Colour pen = disp.ForeColor();
    disp.setForeColor(s.TraceColour(s.CurrentTrace));
    drawAmplitudeAxis(s, disp);
    disp.setForeColor(pen);
}

} // namespace trazel
