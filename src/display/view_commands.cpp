// The view commands of the evaluated data: the time span (Zoom menu), the gain, position and sign of the
// selected trace, the return to the unprocessed curves, and the overplot view of all sweeps.

#include "core/display_text.h"
#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "display/axes.h"
#include "ui/dialogs.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <cmath>

namespace trazel {

namespace {

// Beyond these the plot's scale degenerates: fewer points than make a curve (when expanding; a selection
// shows what was selected), more than its positions hold.
constexpr double FewestViewPoints = 4;
constexpr double MostViewPoints = 2147483648.0;
constexpr Single DefaultDisplacement = 10; // % of the plotting height
constexpr qint64 OverplotRefreshMs = 50;   // the sweeps appear one after another, not one repaint each

} // namespace

bool Trazel::showTimeSpan(Single screenLen, const std::string& unit, double scaleWidth, double fewestPoints) {
    const double points = 0.8 * scaleWidth;
    if (!(points >= fewestPoints && points > 0 && points <= MostViewPoints)) {
        return false;
    }
    s.ScreenLen = screenLen;
    s.TimeUnit = unit;
    s.TimeFactor = unit == "ms" ? 0.001F : 1.0F;
    disp->setScaleWidth(scaleWidth);
    return true;
}

// The scale width that puts a span of `screenLen` in milliseconds on 80 % of the plot.
double Trazel::millisecondsScaleWidth(Single screenLen) const {
    return 0.001 * screenLen / s.SampleInterval / 0.8;
}

void Trazel::setStandardScaleWidth() {
    disp->setScaleWidth(continuousScaleWidth(s));
}

// Halves the span; 2 s expands to 512 ms, not to 1 s.
void Trazel::mnuExpand_Click() {
    const bool toMilliseconds = s.TimeUnit.str() == " s" && s.ScreenLen / 2 <= 1;
    const bool shown = toMilliseconds ? showTimeSpan(512, "ms", millisecondsScaleWidth(512), FewestViewPoints)
                                      : showTimeSpan(s.ScreenLen / 2, s.TimeUnit.str(),
                                                     disp->ScaleWidth() / 2, FewestViewPoints);
    if (shown) {
        redrawView();
    }
}

// Doubles the span; 512 ms compresses to 1 s.
void Trazel::mnuCompress_Click() {
    const bool toSeconds = s.TimeUnit.str() == "ms" && s.ScreenLen * 2 > 1000;
    const bool shown = toSeconds ? showTimeSpan(1, " s", 1 / s.SampleInterval / 0.8)
                                 : showTimeSpan(s.ScreenLen * 2, s.TimeUnit.str(), disp->ScaleWidth() * 2);
    if (shown) {
        redrawView();
    }
}

void Trazel::mnuZoom_sel_Click() {
    if (mnuOverplot->isChecked() || s.SelEnd == -1) {
        return;
    }
    const double W = disp->ScaleWidth();
    double L = std::abs(s.SelEnd - s.SelStart) * s.ScreenLen / (0.8 * W);
    if (L > 100) {
        L = roundHalfEven(L / 10) * 10; // long spans in whole tens of the unit
    }
    const bool toMilliseconds = L <= 1 && s.TimeUnit.str() == " s";
    const auto ms = static_cast<Single>(L * 1000);
    const bool shown = toMilliseconds
                           ? showTimeSpan(ms, "ms", millisecondsScaleWidth(ms))
                           : showTimeSpan(static_cast<Single>(L), s.TimeUnit.str(), W / s.ScreenLen * L);
    if (!shown) {
        return;
    }
    disp->setScaleLeft(-0.125 * disp->ScaleWidth());
    // The left edge snaps to a tenth of the unit.
    const double W2 = disp->ScaleWidth();
    const double left = std::min(s.SelStart, s.SelEnd) * s.ScreenLen / (0.8 * W2);
    s.ViewStart = static_cast<Single>(roundHalfEven(left * 10) / 10 * 0.8 * W2 / s.ScreenLen);
    drawAxes();
    drawCurves();
}

void Trazel::mul_Click() {
    const int t = s.CurrentTrace;
    if (s.TraceScaleIndex(t) == s.ScaleStepCount) {
        return; // the finest step already
    }
    s.TracePeak(t) /= 2;
    redrawView();
}

void Trazel::div_Click() {
    const int t = s.CurrentTrace;
    if (s.TraceScaleIndex(t) == 1) {
        return; // the coarsest step already
    }
    s.TracePeak(t) *= 2;
    redrawView();
}

void Trazel::pshift_Click() {
    shiftCurrentTrace(1);
}

void Trazel::nshift_Click() {
    shiftCurrentTrace(-1);
}

// Up by `steps` scale steps; in the overplot view the curves move down as the first displacement grows.
void Trazel::shiftCurrentTrace(int steps) {
    const int t = s.CurrentTrace;
    if (mnuOverplot->isChecked()) {
        Single& first = s.FirstDisplacement(t);
        if (steps < 0) {
            first += 1;
        } else if (first > 0) {
            first -= 1;
        }
        DrawOverplot();
        return;
    }
    s.TraceShift(t) = toInteger(s.TraceShift(t) + steps);
    redrawView();
}

void Trazel::mnuInvert_Click() {
    if (s.MeasureLayout) {
        redrawView(); // the live input keeps its sign
        return;
    }
    if (!s.DataLoaded || s.SpectrumShown) {
        return;
    }
    s.RawData.negate(s.CurrentTrace);
    s.TraceData.negate(s.CurrentTrace);
    if (mnuOverplot->isChecked()) {
        DrawOverplot();
        return;
    }
    for (int c = 1; c <= TraceCount; ++c) {
        s.TraceOffset(c) = -s.TraceOffset(c);
        s.TraceShift(c) = toInteger(-s.TraceShift(c));
    }
    drawAxesAndCurves();
    ResetTable();
}

void Trazel::mnuRaw_Click() {
    mnuPSD->setChecked(false);
    mnuRaw->setChecked(true);
    mnuBlock->setEnabled(true);
    mnuInvert->setEnabled(true);
    s.SpectrumShown = false; // or Invert would stay without effect after a spectrum
    s.TraceData.copyFrom(s.RawData);
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceShift(t) = 0;
        s.TracePeak(t) = s.SavedPeak(t);
    }
    if (s.BlockMode) {
        s.SweepLength = s.BlockSweepLength;
        s.ScreenLen = s.BlockScreenLen;
        s.TimeFactor = s.BlockTimeFactor;
        s.TimeUnit = s.BlockTimeUnit;
        s.ViewStart = static_cast<Single>(static_cast<double>(s.CurrentCurve - 1) * s.BlockSweepLength);
    } else {
        s.ScreenLen = s.ContScreenLen;
        s.TimeFactor = s.ContTimeFactor;
        s.TimeUnit = s.ContTimeUnit;
    }
    setStandardScaleWidth();
    redrawView();
}

void Trazel::mnuOverplot_Click() {
    if (!s.MeasureLayout && !s.DataLoaded) {
        return;
    }
    if (!mnuOverplot->isChecked()) {
        for (QAction* item : {mnuA, mnuA_S, mnuS, mnuS_A}) {
            item->setChecked(false);
        }
        SA_label->setText(QStringLiteral(" over"));
        mnuOverplot->setChecked(true);
        s.ShowAverage = false;
        s.ShowSingle = true;
        resetCurvePens(s);
        for (int t = 1; t <= TraceCount; ++t) {
            s.FirstDisplacement(t) = s.FurtherDisplacement(t) = DefaultDisplacement;
        }
    }
    const std::optional<double> first =
        askDisplacement(QStringLiteral("first curve"), QStringLiteral("First displacement"),
                        s.FirstDisplacement(s.CurrentTrace));
    if (!first) {
        return;
    }
    const std::optional<double> further =
        askDisplacement(QStringLiteral("subsequent curves"), QStringLiteral("Further displacement"),
                        s.FurtherDisplacement(s.CurrentTrace));
    for (int t = 1; t <= TraceCount; ++t) {
        s.FirstDisplacement(t) = static_cast<Single>(*first);
        s.FurtherDisplacement(t) = further ? static_cast<Single>(*further) : DefaultDisplacement;
    }
    s.Overplot = true;
    DrawOverplot();
}

// A displacement in % of the plot height; an answer that is no number counts as none.
std::optional<double> Trazel::askDisplacement(const QString& curves, const QString& title, Single current) {
    const QString prompt = QStringLiteral("Enter displacement of %1 in % of display height:").arg(curves);
    return numericValue(dialogs.InputBox(prompt, title, qtext(plainText(current))).toStdString());
}

// The selected trace's sweeps one below the other: the first FirstDisplacement % of the plotting height
// below its top, each further one FurtherDisplacement % lower.
void Trazel::DrawOverplot() {
    const int t = s.CurrentTrace;
    s.TraceOffset(t) = 0;
    s.ViewStart = 0;
    drawAxes();
    const double H = disp->ScaleHeight();
    const double step = s.FurtherDisplacement(t) * 0.8 * H / 100;
    s.TraceOffset(t) = static_cast<Single>((s.FirstDisplacement(t) / 100 - 0.5) * 0.8 * H);
    QElapsedTimer sinceRefresh;
    sinceRefresh.start();
    for (std::int64_t k = 1; k <= s.CurveCount; ++k) {
        drawCurves();
        if (sinceRefresh.elapsed() >= OverplotRefreshMs) {
            disp->Refresh();
            sinceRefresh.restart();
        }
        s.TraceOffset(t) = static_cast<Single>(s.TraceOffset(t) + step);
        s.ViewStart = static_cast<Single>(static_cast<double>(k) * s.SweepLength);
    }
    s.ViewStart = 0; // back at the start of the first curve
}

} // namespace trazel
