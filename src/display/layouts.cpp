// The window's two layouts: recording (settings fields, Monitor, Record, STOP, STIM, Save, MARKER) and
// evaluation (open, paging, cursor, results table, export). Either command starts from the same fresh
// time base, trace scales and table counters, and shows empty axes.

#include "core/display_text.h"
#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "ui/controls.h"
#include "ui/flex_grid.h"
#include "window/main_window.h"

#include <QAction>
#include <QLabel>

namespace trazel {

void Trazel::mnuTrazel_Click() {
    s.StopRequested = true; // a running acquisition ends after its current point
    s.MeasureLayout = false;
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    s.SpectrumShown = false;
    resetDisplayForContinuous();
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceColour(t) = brightColour(t);
    }
    resetTimeBase();
    resetTraceScales();
    resetViewState();
    enableControls({mul, div, nshift, pshift, ch_select[0], ch_select[1], ch_select[2]}, true);

    mnuMeasure->setVisible(true);
    mnuTrazel->setVisible(false);
    for (QAction* item : {mnuOpen, mnuSaveTable, mnuSaveCurvePoints, separator1, mnuMarksoff, mnuCopy,
                          mnuText, mnuZoom, mnuInvert, mnuPeaks}) {
        item->setVisible(true);
    }
    showRecentFiles();
    mnuInvert->setEnabled(true);

    showControls(recordingControls(), false);
    showControls({add, newblk, del, PgUp, PgDn, Clear, status}, true);
    ResetTable();
    status->setText(QString());
    writeModeCaption();
    fitPanelsToControls();
    s.CurrentTrace = 1;
    ch_select[0]->setValue(true); // shows the first trace's table
    drawAxes();                   // also while a stopping loop keeps the trace selection from drawing
}

void Trazel::mnuMeasure_Click() {
    s.MeasureLayout = true;
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    clearAnnotations();
    resetDisplayForContinuous();
    resetTimeBase();
    resetRecordingSettings();
    resetTraceScales();
    resetViewState();

    mnuMeasure->setVisible(false);
    mnuTrazel->setVisible(true);
    for (QAction* item : {mnuOpen, mnuSaveTable, mnuSaveCurvePoints, separator1, mnuMarksoff, mnuCopy,
                          mnuText, mnuZoom, mnuInvert, mnuPeaks}) {
        item->setVisible(false);
    }
    showRecentFiles();

    showControls({add, newblk, del, PgUp, PgDn, Clear, status}, false);
    showControls(recordingControls(), true);
    save->hide();
    enableControls({halt, stim}, false); // until monitoring or recording
    enableControls(stimulusFields(), false);
    enableControls(lengthFields(), true);
    ave_count_label->setText(QStringLiteral(" ave#"));
    hz->setText(QStringLiteral("Hz"));
    sampling_hz->setText(qtext(plainText(s.SamplingRate)));
    scr_lng->setText(qtext(plainText(s.ScreenLen)));
    scr_unit->setText(qtext(s.TimeUnit.str()));
    for (std::size_t k = 0; k < TraceCount; ++k) {
        ch_list[k]->setListIndex(0); // "none", through the channel's own handler
        gain[k]->setListIndex(0);
        Grid1[k]->hide();
    }
    fitPanelsToControls();
    writeModeCaption();
    measurePlotWidth();
    drawAxes();
    s.CurrentTrace = 1;
    ch_select[0]->setValue(true);
    moveFocusTo(*monitor);
}

void Trazel::Clear_Click() {
    ResetTable();
    moveFocusTo(*add);
}

void Trazel::fitPanelsToControls() {
    for (QWidget* panel : m_panels) {
        showWhileAnyChildShown(*panel);
    }
}

} // namespace trazel
