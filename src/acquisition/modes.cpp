// Block and continuous mode. Block mode cuts the data into stimulus-locked sweeps of a length the user
// gives in milliseconds: in the recording layout every stimulus makes a sweep, in the evaluation layout a
// loaded recording is cut into sweeps. Continuous mode shows one uninterrupted run screen by screen.

#include "acquisition/settings.h"
#include "acquisition/time_base.h"
#include "core/display_text.h"
#include "core/number_rules.h"
#include "display/axes.h"
#include "display/view.h"
#include "display/views.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>

namespace trazel {

namespace {

constexpr double DefaultBlockMs = 500;
constexpr Single BlockRecordingRate = 1000;
constexpr Single ContinuousRecordingRate = 10;

} // namespace

void Settings::mnuBlock_Click() {
    if (s.Acquiring) {
        s.StopRequested = true; // the loop ends after its current point, whatever the answer
    }
    const double currentMs =
        s.SweepLength > -1 ? toInteger(s.SweepLength * 1000.0 * s.SampleInterval) : DefaultBlockMs;
    const QString answer = m_dialogs.InputBox(QStringLiteral("Block length (ms):"),
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
        m_view.drawAxes();
        moveFocusTo(*m_c.stim);
        return;
    }
    if (s.DataLoaded) {
        m_n.views.writeCurveStatus();
    } else {
        m_c.status->setText(QString());
    }
    m_n.tables.ResetTable();
    m_view.redraw();
}

void Settings::enterBlockMode() {
    s.BlockMode = true;
    s.ContScreenLen = s.ScreenLen;
    s.ContTimeFactor = s.TimeFactor;
    s.ContTimeUnit = s.TimeUnit;
    m_modes.mnuContinuous->setVisible(true);
    m_modes.mnuBlock->setText(QStringLiteral("Block length"));
    for (QAction* selection : m_modes.displaySelections()) {
        selection->setEnabled(true);
    }
    // Peaks and block means are tools of continuous data; newblk closes blocks of sweep points as well.
    m_modes.mnuPeaks->setEnabled(false);
    m_modes.mnuBlockMeans->setEnabled(false);
    m_c.monitor->hide();
    enableControls(m_c.stimulusFields, true);
    enableControls({m_modes.accept, m_modes.clear_ave, m_c.stim}, true);
    // Overplot and spectra need recorded sweeps.
    m_modes.mnuOverplot->setEnabled(!s.MeasureLayout);
    m_modes.mnuPSD->setEnabled(!s.MeasureLayout);
    if (s.MeasureLayout) {
        m_c.save->show();
        m_c.save->setEnabled(false);
        enableControls(m_c.lengthFields, false);
        s.SamplingRate = BlockRecordingRate;
        s.SampleInterval = 1 / BlockRecordingRate;
        m_c.sampling_hz->setText(qtext(plainText(s.SamplingRate)));
        m_c.hz->setText(QStringLiteral("us"));
    }
}

void Settings::applySweepSpan(const SweepSpan& span) {
    s.ScreenLen = span.time.screenLen;
    s.TimeUnit = span.time.unit;
    s.TimeFactor = span.time.timeFactor;
    s.SweepLength = span.sweepLength;
    s.BlockScreenLen = s.ScreenLen;
    s.BlockTimeFactor = s.TimeFactor;
    s.BlockTimeUnit = s.TimeUnit;
    m_c.scr_lng->setText(displayText(s.ScreenLen, "#####"));
    m_c.scr_unit->setText(qtext(s.TimeUnit.str()));
    s.BlockSweepLength = s.SweepLength;
    s.CurveCount = s.SampleCount / s.SweepLength; // complete sweeps only
    m_disp.setScaleWidth(s.SweepLength / 0.8);
    createSweepBuffers();
}

// A new sweep length empties the average; in the recording layout it also makes the buffers of one sweep.
void Settings::createSweepBuffers() {
    const std::int64_t last = static_cast<std::int64_t>(s.SweepLength) - 1;
    s.AverageData.create(last);
    if (s.MeasureLayout) {
        s.RawData.create(last);
        s.TraceData.create(last);
        s.Markers.create(last);
        s.SampleCount = static_cast<Long>(last);
    }
    // An average that restarts from zeros must count from zero, or the next sweep is weighted wrongly.
    m_n.views.clearAveragedCount();
}

void Settings::writeModeCaption() {
    QString caption = s.BlockMode ? qtext(blockModeCaption(s.ScreenLen, s.TimeUnit.str()))
                                  : QStringLiteral("CONTINUOUS MODE");
    if (s.DataLoaded) {
        caption += (s.BlockMode ? QStringLiteral("       ") : QStringLiteral("   ")) + qtext(s.FileName);
    }
    m_n.caption.setCaption(caption);
}

void Settings::mnuContinuous_Click() {
    if (m_modes.spectrumShown()) {
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
    m_n.views.resetDisplayForContinuous();
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    if (s.MeasureLayout) {
        s.SamplingRate = ContinuousRecordingRate;
        s.SampleInterval = 1 / ContinuousRecordingRate;
        // The block buffers held one sweep; a continuous recording holds the file length.
        s.SampleCount = toLong(static_cast<double>(s.FileLength) * s.SamplingRate);
        m_c.sampling_hz->setText(qtext(plainText(s.SamplingRate)));
        m_c.sampling_hz->show();
        m_c.hz->setText(QStringLiteral("Hz"));
        m_c.hz->show();
        enableControls(m_c.stimulusFields, false);
        m_c.scr_unit->setText(qtext(s.TimeUnit.str()));
        m_c.monitor->show();
        m_c.save->hide();
        enableControls(m_c.lengthFields, true);
        m_n.views.clearAveragedCount();
        writeScreenLength();
    } else {
        m_n.tables.ResetTable();
    }
    writeModeCaption();
    m_c.status->setText(QString());
    m_disp.setScaleWidth(continuousScaleWidth(s));
    if (s.MeasureLayout) {
        m_view.drawAxes();
    } else {
        m_view.drawAxesAndCurves();
    }
}

} // namespace trazel
