// The view commands of the evaluated data: the time span (Zoom menu), the gain, position and sign of the
// selected trace, the return to the unprocessed curves, and the overplot view of all sweeps.

#include "display/view_commands.h"

#include "core/display_text.h"
#include "core/doors.h"
#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "display/axes.h"
#include "display/view.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>
#include <cmath>

namespace trazel {

namespace {

// Beyond these the plot's scale degenerates: fewer points than make a curve (when expanding; a selection
// shows what was selected), more than its positions hold.
constexpr double FewestViewPoints = 4;
constexpr double MostViewPoints = 2147483648.0;
constexpr Single DefaultDisplacement = 10; // % of the plotting height

} // namespace

ViewCommands::ViewCommands(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp,
                           const ModeControls& modes, const ViewButtons& buttons, ResultsTables& tables)
    : s(state), m_dialogs(dialogs), m_view(view), m_disp(disp), m_modes(modes), m_buttons(buttons),
      m_tables(tables) {}

void ViewCommands::ColourViewButtons(int t) {
    for (CommandButton* button : {m_buttons.mul, m_buttons.div, m_buttons.pshift, m_buttons.nshift}) {
        button->setBackColor(s.TraceColour(t));
    }
}

bool ViewCommands::showTimeSpan(Single screenLen, const std::string& unit, double scaleWidth,
                                double fewestPoints) {
    const double points = 0.8 * scaleWidth;
    if (!(points >= fewestPoints && points > 0 && points <= MostViewPoints)) {
        return false;
    }
    s.ScreenLen = screenLen;
    s.TimeUnit = unit;
    s.TimeFactor = unit == "ms" ? 0.001F : 1.0F;
    m_disp.setScaleWidth(scaleWidth);
    return true;
}

// The scale width that puts a span of `screenLen` in milliseconds on 80 % of the plot.
double ViewCommands::millisecondsScaleWidth(Single screenLen) const {
    return 0.001 * screenLen / s.SampleInterval / 0.8;
}

void ViewCommands::setStandardScaleWidth() {
    m_disp.setScaleWidth(continuousScaleWidth(s));
}

// Halves the span; 2 s expands to 512 ms, not to 1 s.
void ViewCommands::mnuExpand_Click() {
    const bool toMilliseconds = s.TimeUnit.str() == " s" && s.ScreenLen / 2 <= 1;
    const bool shown = toMilliseconds ? showTimeSpan(512, "ms", millisecondsScaleWidth(512), FewestViewPoints)
                                      : showTimeSpan(s.ScreenLen / 2, s.TimeUnit.str(),
                                                     m_disp.ScaleWidth() / 2, FewestViewPoints);
    if (shown) {
        m_view.redraw();
    }
}

// Doubles the span; 512 ms compresses to 1 s.
void ViewCommands::mnuCompress_Click() {
    const bool toSeconds = s.TimeUnit.str() == "ms" && s.ScreenLen * 2 > 1000;
    const bool shown = toSeconds ? showTimeSpan(1, " s", 1 / s.SampleInterval / 0.8)
                                 : showTimeSpan(s.ScreenLen * 2, s.TimeUnit.str(), m_disp.ScaleWidth() * 2);
    if (shown) {
        m_view.redraw();
    }
}

void ViewCommands::mnuZoom_sel_Click() {
    if (m_modes.overplotShown() || s.SelEnd == -1) {
        return;
    }
    const double W = m_disp.ScaleWidth();
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
    m_disp.setScaleLeft(-0.125 * m_disp.ScaleWidth());
    // The left edge snaps to a tenth of the unit.
    const double W2 = m_disp.ScaleWidth();
    const double left = std::min(s.SelStart, s.SelEnd) * s.ScreenLen / (0.8 * W2);
    s.ViewStart = static_cast<Single>(roundHalfEven(left * 10) / 10 * 0.8 * W2 / s.ScreenLen);
    m_view.drawAxes();
    m_view.drawCurves();
}

void ViewCommands::mul_Click() {
    const int t = s.CurrentTrace;
    if (s.TraceScaleIndex(t) == s.ScaleStepCount) {
        return; // the finest step already
    }
    s.TracePeak(t) /= 2;
    m_view.redraw();
}

void ViewCommands::div_Click() {
    const int t = s.CurrentTrace;
    if (s.TraceScaleIndex(t) == 1) {
        return; // the coarsest step already
    }
    s.TracePeak(t) *= 2;
    m_view.redraw();
}

void ViewCommands::pshift_Click() {
    shiftCurrentTrace(1);
}

void ViewCommands::nshift_Click() {
    shiftCurrentTrace(-1);
}

// Up by `steps` scale steps; in the overplot view the curves move down as the first displacement grows.
void ViewCommands::shiftCurrentTrace(int steps) {
    const int t = s.CurrentTrace;
    if (m_modes.overplotShown()) {
        Single& first = s.FirstDisplacement(t);
        if (steps < 0) {
            first += 1;
        } else if (first > 0) {
            first -= 1;
        }
        m_view.DrawOverplot();
        return;
    }
    s.TraceShift(t) = toInteger(s.TraceShift(t) + steps);
    m_view.redraw();
}

void ViewCommands::mnuInvert_Click() {
    if (s.MeasureLayout) {
        m_view.redraw(); // the live input keeps its sign
        return;
    }
    if (!s.DataLoaded || s.SpectrumShown) {
        return;
    }
    s.RawData.negateTogether(s.CurrentTrace, s.TraceData);
    if (m_modes.overplotShown()) {
        m_view.DrawOverplot();
        return;
    }
    for (int c = 1; c <= TraceCount; ++c) {
        s.TraceOffset(c) = -s.TraceOffset(c);
        s.TraceShift(c) = toInteger(-s.TraceShift(c));
    }
    m_view.drawAxesAndCurves();
    m_tables.ResetTable();
}

void ViewCommands::mnuRaw_Click() {
    m_modes.mnuPSD->setChecked(false);
    m_modes.mnuRaw->setChecked(true);
    m_modes.mnuBlock->setEnabled(true);
    m_modes.mnuInvert->setEnabled(true);
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
    m_view.redraw();
}

void ViewCommands::mnuOverplot_Click() {
    if (!s.MeasureLayout && !s.DataLoaded) {
        return;
    }
    if (!m_modes.overplotShown()) {
        for (QAction* item : {m_modes.mnuA, m_modes.mnuA_S, m_modes.mnuS, m_modes.mnuS_A}) {
            item->setChecked(false);
        }
        m_modes.SA_label->setText(QStringLiteral(" over"));
        m_modes.mnuOverplot->setChecked(true);
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
    m_view.DrawOverplot();
}

// A displacement in % of the plot height; an answer that is no number counts as none.
std::optional<double> ViewCommands::askDisplacement(const QString& curves, const QString& title,
                                                    Single current) {
    const QString prompt = QStringLiteral("Enter displacement of %1 in % of display height:").arg(curves);
    return numericValue(m_dialogs.InputBox(prompt, title, qtext(plainText(current))).toStdString());
}

} // namespace trazel
