// Block and continuous mode. Block mode cuts the data into stimulus-locked sweeps of a length the user
// gives in milliseconds: in the recording layout every stimulus makes a sweep, in the evaluation layout a
// loaded recording is cut into sweeps. Continuous mode shows one uninterrupted run screen by screen.

#include "acquisition/time_base.h"
#include "core/display_text.h"
#include "core/number_rules.h"
#include "display/axes.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <QAction>
#include <QLabel>

namespace trazel {

namespace {

constexpr double DefaultBlockMs = 500;
constexpr Single BlockRecordingRate = 1000;
constexpr Single ContinuousRecordingRate = 10;

} // namespace

void Trazel::mnuBlock_Click() {
    if (s.Acquiring) {
        s.StopRequested = true; // the loop ends after its current point, whatever the answer
    }
    const double currentMs =
        s.SweepLength > -1 ? toInteger(s.SweepLength * 1000.0 * s.SampleInterval) : DefaultBlockMs;
    const QString answer = dialogs.InputBox(QStringLiteral("Block length (ms):"),
                                            QStringLiteral("Get length"), QString::number(currentMs));
    if (answer.isEmpty()) {
        return;
    }
    // Entering block mode for recording sets the rate first; the sweep must have points at that rate.
    const bool entering = !s.BlockMode;
    const Single interval = entering && s.MeasureLayout ? 1 / BlockRecordingRate : s.SampleInterval;
    const std::optional<SweepSpan> span = sweepSpan(leadingNumber(answer.toStdString()), interval);
    if (!span) {
        return; // no sweep of at least one point: the previous length stays
    }
    if (entering) {
        enterBlockMode();
    }
    applySweepSpan(*span);
    s.ViewStart = 0;
    writeModeCaption();
    s.CurrentCurve = 1;
    if (s.MeasureLayout) {
        if (s.Acquiring) {
            s.RedrawRequested = true;
        }
        drawAxes();
        moveFocusTo(*stim);
        return;
    }
    if (s.DataLoaded) {
        writeCurveStatus();
    } else {
        status->setText(QString());
    }
    ResetTable();
    redrawView();
}

void Trazel::enterBlockMode() {
    s.BlockMode = true;
    s.ContScreenLen = s.ScreenLen;
    s.ContTimeFactor = s.TimeFactor;
    s.ContTimeUnit = s.TimeUnit;
    mnuContinuous->setVisible(true);
    mnuBlock->setText(QStringLiteral("Block length"));
    for (QAction* selection : {mnuS, mnuA_S, mnuA, mnuS_A}) {
        selection->setEnabled(true);
    }
    // Peaks and block means are tools of continuous data; newblk closes blocks of sweep points as well.
    mnuPeaks->setEnabled(false);
    mnuCopyitem(2)->setEnabled(false);
    monitor->hide();
    enableControls(stimulusFields(), true);
    enableControls({accept, clear_ave, stim}, true);
    // Overplot and spectra need recorded sweeps.
    mnuOverplot->setEnabled(!s.MeasureLayout);
    mnuPSD->setEnabled(!s.MeasureLayout);
    if (s.MeasureLayout) {
        save->show();
        save->setEnabled(false);
        enableControls(lengthFields(), false);
        s.SamplingRate = BlockRecordingRate;
        s.SampleInterval = 1 / BlockRecordingRate;
        sampling_hz->setText(qtext(plainText(s.SamplingRate)));
        hz->setText(QStringLiteral("us"));
    }
}

void Trazel::applySweepSpan(const SweepSpan& span) {
    s.ScreenLen = span.time.screenLen;
    s.TimeUnit = span.time.unit;
    s.TimeFactor = span.time.timeFactor;
    s.SweepLength = span.sweepLength;
    s.BlockScreenLen = s.ScreenLen;
    s.BlockTimeFactor = s.TimeFactor;
    s.BlockTimeUnit = s.TimeUnit;
    scr_lng->setText(displayText(s.ScreenLen, "#####"));
    scr_unit->setText(qtext(s.TimeUnit.str()));
    s.BlockSweepLength = s.SweepLength;
    s.CurveCount = s.SampleCount / s.SweepLength; // complete sweeps only
    disp->setScaleWidth(s.SweepLength / 0.8);
    createSweepBuffers();
}

// A new sweep length empties the average; in the recording layout it also makes the buffers of one sweep.
void Trazel::createSweepBuffers() {
    const std::int64_t last = static_cast<std::int64_t>(s.SweepLength) - 1;
    s.AverageData.create(last);
    if (s.MeasureLayout) {
        s.RawData.create(last);
        s.TraceData.create(last);
        s.Markers.create(last);
        s.SampleCount = static_cast<Long>(last);
    }
    // An average that restarts from zeros must count from zero, or the next sweep is weighted wrongly.
    clearAveragedCount();
}

void Trazel::writeModeCaption() {
    QString caption = s.BlockMode ? qtext(blockModeCaption(s.ScreenLen, s.TimeUnit.str()))
                                  : QStringLiteral("CONTINUOUS MODE");
    if (s.DataLoaded) {
        caption += (s.BlockMode ? QStringLiteral("       ") : QStringLiteral("   ")) + qtext(s.FileName);
    }
    setWindowTitle(caption);
}

void Trazel::mnuContinuous_Click() {
    if (mnuPSD->isChecked()) {
        // The spectrum replaced the curves: bring the raw data and their scales back first.
        s.TraceData.copyFrom(s.RawData);
        for (int t = 1; t <= TraceCount; ++t) {
            s.TraceShift(t) = 0;
            s.TracePeak(t) = s.SavedPeak(t);
        }
        s.SpectrumShown = false;
    }
    s.ScreenLen = s.ContScreenLen;
    s.TimeFactor = s.ContTimeFactor;
    s.TimeUnit = s.ContTimeUnit;
    resetDisplayForContinuous();
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    if (s.MeasureLayout) {
        s.SamplingRate = ContinuousRecordingRate;
        s.SampleInterval = 1 / ContinuousRecordingRate;
        // The block buffers held one sweep; a continuous recording holds the file length.
        s.SampleCount = toLong(static_cast<double>(s.FileLength) * s.SamplingRate);
        sampling_hz->setText(qtext(plainText(s.SamplingRate)));
        sampling_hz->show();
        hz->setText(QStringLiteral("Hz"));
        hz->show();
        enableControls(stimulusFields(), false);
        scr_unit->setText(qtext(s.TimeUnit.str()));
        monitor->show();
        save->hide();
        enableControls(lengthFields(), true);
        clearAveragedCount();
        writeScreenLength();
    } else {
        ResetTable();
    }
    writeModeCaption();
    status->setText(QString());
    disp->setScaleWidth(continuousScaleWidth(s));
    if (s.MeasureLayout) {
        drawAxes();
    } else {
        drawAxesAndCurves();
    }
}

std::vector<QWidget*> Trazel::stimulusFields() const {
    return {ave_count_label, ave_count, dly1,           dly1_label, stim_num,
            stim_num_label,  interval,  interval_label, ms1_label,  ms2_label};
}

std::vector<QWidget*> Trazel::lengthFields() const {
    return {file_label, file_lng, file_unit, scr_lng_label, scr_lng, scr_unit};
}

} // namespace trazel
