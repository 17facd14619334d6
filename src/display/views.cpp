// What the plot shows of block data: the single curve, the average or both, one sweep after the other,
// and the running average of the sweeps the user accepts. Continuous data page by half a screen.

#include "display/views.h"

#include "core/display_text.h"
#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "display/average.h"
#include "display/view.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>

namespace trazel {

namespace {

enum class Pens { Bright, Grey, Unchanged };

void setPens(TraceArray<Colour>& pens, Pens choice) {
    for (int t = 1; t <= TraceCount; ++t) {
        if (choice != Pens::Unchanged) {
            pens(t) = choice == Pens::Bright ? brightColour(t) : AverageGrey;
        }
    }
}

} // namespace

Views::Views(AppState& state, View& view, PlotSurface& disp, const ModeControls& modes,
             const ViewsControls& controls)
    : s(state), m_view(view), m_disp(disp), m_modes(modes), m_c(controls) {}

struct Views::DisplaySelection {
    const char* caption;
    bool single;
    bool average;
    Pens singlePens;
    Pens averagePens;
};

void Views::mnuS_A_Click() {
    selectDisplay(m_modes.mnuS_A, {"sng/ave", true, true, Pens::Bright, Pens::Grey});
}

void Views::mnuA_S_Click() {
    selectDisplay(m_modes.mnuA_S, {"ave/sng", true, true, Pens::Grey, Pens::Bright});
}

void Views::mnuS_Click() {
    selectDisplay(m_modes.mnuS, {"single", true, false, Pens::Bright, Pens::Unchanged});
}

void Views::mnuA_Click() {
    selectDisplay(m_modes.mnuA, {" ave", false, true, Pens::Bright, Pens::Bright});
}

void Views::selectDisplay(QAction* chosen, const DisplaySelection& selection) {
    leaveOverplot();
    for (QAction* item : m_modes.displaySelections()) {
        item->setChecked(item == chosen);
    }
    m_modes.SA_label->setText(QString::fromLatin1(selection.caption));
    s.ShowSingle = selection.single;
    s.ShowAverage = selection.average;
    setPens(s.SingleColour, selection.singlePens);
    setPens(s.AverageColour, selection.averagePens);
    m_view.drawAxesAndCurves();
}

// A display selection ends the overplot view and starts again at the first curve.
void Views::leaveOverplot() {
    if (!m_modes.overplotShown()) {
        return;
    }
    m_modes.mnuOverplot->setChecked(false);
    s.Overplot = false;
    s.CurrentCurve = 1;
    writeCurveStatus();
}

void Views::resetDisplayForContinuous() {
    m_modes.mnuContinuous->setVisible(false);
    m_modes.mnuBlock->setText(QStringLiteral("&Block mode"));
    m_modes.mnuBlock->setVisible(true);
    m_modes.mnuBlock->setEnabled(true);
    for (QAction* item :
         {m_modes.mnuS_A, m_modes.mnuA_S, m_modes.mnuA, m_modes.mnuOverplot, m_modes.mnuPSD}) {
        item->setChecked(false);
        item->setEnabled(false);
    }
    m_modes.mnuS->setEnabled(true);
    m_modes.mnuS->setChecked(true);
    m_modes.mnuRaw->setChecked(true);
    m_modes.mnuPeaks->setEnabled(true);
    m_modes.mnuBlockMeans->setEnabled(true);
    m_modes.SA_label->setText(QStringLiteral(" sngl"));
    m_modes.accept->setEnabled(false);
    m_modes.clear_ave->setEnabled(false);
    s.ShowSingle = true;
    s.ShowAverage = false;
    s.Overplot = false;
    resetCurvePens(s);
}

void Views::PgDn_Click() {
    if (m_modes.overplotShown() || !s.DataLoaded) {
        return;
    }
    if (s.BlockMode) {
        if (s.CurrentCurve == s.CurveCount) {
            return;
        }
        s.CurrentCurve += 1;
        s.ViewStart = static_cast<Single>(static_cast<double>(s.CurrentCurve - 1) * s.SweepLength);
        writeCurveStatus();
        m_view.drawAxesAndCurves();
        m_modes.accept->setFocus();
        return;
    }
    const double halfScreen = 0.8 * m_disp.ScaleWidth() / 2;
    if (s.ViewStart + halfScreen < s.SampleCount) {
        s.ViewStart = static_cast<Single>(s.ViewStart + halfScreen);
    }
    m_view.drawAxesAndCurves();
}

void Views::PgUp_Click() {
    if (m_modes.overplotShown() || !s.DataLoaded || s.ViewStart == 0) {
        return;
    }
    if (s.BlockMode) {
        if (s.CurrentCurve == 1) {
            return;
        }
        s.CurrentCurve -= 1;
        s.ViewStart = static_cast<Single>(static_cast<double>(s.CurrentCurve - 1) * s.SweepLength);
        writeCurveStatus();
        m_view.drawAxesAndCurves();
        return;
    }
    // Near the beginning the view snaps to the first point.
    const double w = m_disp.ScaleWidth();
    s.ViewStart = s.ViewStart - w / 2 > 0 ? static_cast<Single>(s.ViewStart - 0.8 * w / 2) : 0;
    m_view.drawAxesAndCurves();
}

void Views::accept_Click() {
    acceptIntoAverage(s);
    if (!s.Recording) {
        m_c.ave_count->setText(displayText(s.AveragedCount, " ##0"));
    }
    if (!s.MeasureLayout) {
        writeCurveStatus();
    }
    m_view.drawAxesAndCurves();
    if (!s.MeasureLayout) {
        m_c.PgDn->setFocus();
    } else if (s.BlockMode) {
        m_c.stim->setFocus();
    }
}

void Views::clear_ave_Click() {
    s.AveragedCount = 0;
    if (!s.Recording) {
        m_c.ave_count->setText(displayText(0, " ##0"));
    }
    if (!s.MeasureLayout) {
        writeCurveStatus();
    }
    s.AverageData.create(static_cast<std::int64_t>(s.SweepLength) - 1);
    m_view.drawAxesAndCurves();
}

void Views::writeCurveStatus() {
    m_c.status->setText(QStringLiteral("current curve: ") + displayText(s.CurrentCurve, "###0/") +
                        displayText(s.CurveCount, "###0") + QStringLiteral("     averaged: ") +
                        displayText(s.AveragedCount, "###0"));
}

void Views::clearAveragedCount() {
    s.AveragedCount = 0;
    m_c.ave_count->setText(displayText(s.AveragedCount, " ###0"));
}

} // namespace trazel
