// What the plot shows of block data: the single curve, the average or both, one sweep after the other,
// and the running average of the sweeps the user accepts. Continuous data page by half a screen.

#include "core/display_text.h"
#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "display/average.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

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

struct Trazel::DisplaySelection {
    const char* caption;
    bool single;
    bool average;
    Pens singlePens;
    Pens averagePens;
};

void Trazel::mnuS_A_Click() {
    selectDisplay(mnuS_A, {"sng/ave", true, true, Pens::Bright, Pens::Grey});
}

void Trazel::mnuA_S_Click() {
    selectDisplay(mnuA_S, {"ave/sng", true, true, Pens::Grey, Pens::Bright});
}

void Trazel::mnuS_Click() {
    selectDisplay(mnuS, {"single", true, false, Pens::Bright, Pens::Unchanged});
}

void Trazel::mnuA_Click() {
    selectDisplay(mnuA, {" ave", false, true, Pens::Bright, Pens::Bright});
}

void Trazel::selectDisplay(QAction* chosen, const DisplaySelection& selection) {
    leaveOverplot();
    for (QAction* item : {mnuS_A, mnuA_S, mnuS, mnuA}) {
        item->setChecked(item == chosen);
    }
    SA_label->setText(QString::fromLatin1(selection.caption));
    s.ShowSingle = selection.single;
    s.ShowAverage = selection.average;
    setPens(s.SingleColour, selection.singlePens);
    setPens(s.AverageColour, selection.averagePens);
    drawAxesAndCurves();
}

// A display selection ends the overplot view and starts again at the first curve.
void Trazel::leaveOverplot() {
    if (!mnuOverplot->isChecked()) {
        return;
    }
    mnuOverplot->setChecked(false);
    s.Overplot = false;
    s.CurrentCurve = 1;
    writeCurveStatus();
}

void Trazel::resetDisplayForContinuous() {
    mnuContinuous->setVisible(false);
    mnuBlock->setText(QStringLiteral("&Block mode"));
    mnuBlock->setVisible(true);
    mnuBlock->setEnabled(true);
    for (QAction* item : {mnuS_A, mnuA_S, mnuA, mnuOverplot, mnuPSD}) {
        item->setChecked(false);
        item->setEnabled(false);
    }
    mnuS->setEnabled(true);
    mnuS->setChecked(true);
    mnuRaw->setChecked(true);
    mnuPeaks->setEnabled(true);
    mnuCopyitem(2)->setEnabled(true);
    SA_label->setText(QStringLiteral(" sngl"));
    accept->setEnabled(false);
    clear_ave->setEnabled(false);
    s.ShowSingle = true;
    s.ShowAverage = false;
    s.Overplot = false;
    resetCurvePens(s);
}

void Trazel::PgDn_Click() {
    if (mnuOverplot->isChecked() || !s.DataLoaded) {
        return;
    }
    if (s.BlockMode) {
        if (s.CurrentCurve == s.CurveCount) {
            return;
        }
        s.CurrentCurve += 1;
        s.ViewStart = static_cast<Single>(static_cast<double>(s.CurrentCurve - 1) * s.SweepLength);
        writeCurveStatus();
        drawAxesAndCurves();
        accept->setFocus();
        return;
    }
    const double halfScreen = 0.8 * disp->ScaleWidth() / 2;
    if (s.ViewStart + halfScreen < s.SampleCount) {
        s.ViewStart = static_cast<Single>(s.ViewStart + halfScreen);
    }
    drawAxesAndCurves();
}

void Trazel::PgUp_Click() {
    if (mnuOverplot->isChecked() || !s.DataLoaded || s.ViewStart == 0) {
        return;
    }
    if (s.BlockMode) {
        if (s.CurrentCurve == 1) {
            return;
        }
        s.CurrentCurve -= 1;
        s.ViewStart = static_cast<Single>(static_cast<double>(s.CurrentCurve - 1) * s.SweepLength);
        writeCurveStatus();
        drawAxesAndCurves();
        return;
    }
    // Near the beginning the view snaps to the first point.
    const double w = disp->ScaleWidth();
    s.ViewStart = s.ViewStart - w / 2 > 0 ? static_cast<Single>(s.ViewStart - 0.8 * w / 2) : 0;
    drawAxesAndCurves();
}

void Trazel::accept_Click() {
    acceptIntoAverage(s);
    if (!s.Recording) {
        ave_count->setText(displayText(s.AveragedCount, " ##0"));
    }
    if (!s.MeasureLayout) {
        writeCurveStatus();
    }
    drawAxesAndCurves();
    if (!s.MeasureLayout) {
        PgDn->setFocus();
    } else if (s.BlockMode) {
        stim->setFocus();
    }
}

void Trazel::clear_ave_Click() {
    s.AveragedCount = 0;
    if (!s.Recording) {
        ave_count->setText(displayText(0, " ##0"));
    }
    if (!s.MeasureLayout) {
        writeCurveStatus();
    }
    s.AverageData.create(static_cast<std::int64_t>(s.SweepLength) - 1);
    drawAxesAndCurves();
}

void Trazel::writeCurveStatus() {
    status->setText(QStringLiteral("current curve: ") + displayText(s.CurrentCurve, "###0/") +
                    displayText(s.CurveCount, "###0") + QStringLiteral("     averaged: ") +
                    displayText(s.AveragedCount, "###0"));
}

void Trazel::drawAxesAndCurves() {
    drawAxes();
    drawCurves();
}

} // namespace trazel
