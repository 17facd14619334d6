// The window's two layouts: recording and evaluation.

#include "display/layouts.h"

#include "core/trace_colours.h"
#include "display/axes.h"
#include "display/text_labels.h"
#include "display/view.h"
#include "display/views.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>

namespace trazel {

Layouts::Layouts(AppState& state, View& view, PlotSurface& disp, const ModeControls& modes,
                 const LayoutControls& controls, const LayoutNeighbours& neighbours)
    : s(state), m_view(view), m_disp(disp), m_modes(modes), m_c(controls), m_n(neighbours) {}

void Layouts::mnuTrazel_Click() {
    s.StopRequested = true; // a running acquisition ends after its current point
    s.MeasureLayout = false;
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    s.SpectrumShown = false;
    m_n.views.resetDisplayForContinuous();
    m_modes.SA_label->setText(QString());
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceColour(t) = brightColour(t);
    }
    resetTimeBase();
    resetTraceScales();
    resetViewState();
    enableControls(m_c.viewControls, true);

    m_c.mnuMeasure->setVisible(true);
    m_c.mnuTrazel->setVisible(false);
    for (QAction* item : m_c.evaluationMenus) {
        item->setVisible(true);
    }
    m_n.recentFiles.showRecentFiles();
    m_modes.mnuInvert->setEnabled(true);

    showControls(m_c.recordingControls, false);
    showControls(m_c.evaluationControls, true);
    m_n.tables.ResetTable();
    m_c.status->setText(QString());
    m_n.recording.writeModeCaption();
    fitPanelsToControls();
    s.CurrentTrace = 1;
    m_n.traces.selectTrace(1); // shows the first trace's table
    m_view.drawAxes();         // also while a stopping loop keeps the trace selection from drawing
}

void Layouts::mnuMeasure_Click() {
    s.MeasureLayout = true;
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    m_n.labels.clearAnnotations();
    m_n.views.resetDisplayForContinuous();
    resetTimeBase();
    m_n.recording.resetRecordingSettings();
    resetTraceScales();
    resetViewState();

    m_c.mnuMeasure->setVisible(false);
    m_c.mnuTrazel->setVisible(true);
    for (QAction* item : m_c.evaluationMenus) {
        item->setVisible(false);
    }
    m_n.recentFiles.showRecentFiles();

    showControls(m_c.evaluationControls, false);
    showControls(m_c.recordingControls, true);
    m_n.recording.prepareRecordingLayout();
    showControls(m_c.resultTables, false);
    fitPanelsToControls();
    m_n.recording.writeModeCaption();
    measurePlotWidth(s, m_disp);
    m_view.drawAxes();
    s.CurrentTrace = 1;
    m_n.traces.selectTrace(1);
    moveFocusTo(*m_c.monitor);
}

void Layouts::resetTimeBase() {
    s.SamplingRate = 10;
    s.SampleInterval = 1.0F / 10;
    s.ScreenLen = 8;
    s.ContScreenLen = 8;
    s.TimeFactor = 1;
    s.ContTimeFactor = 1;
    s.TimeUnit = " s";
    s.ContTimeUnit = " s";
    m_disp.setScaleWidth(continuousScaleWidth(s));
}

void Layouts::resetTraceScales() {
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

void Layouts::resetViewState() {
    resetCurvePens(s);
    m_n.views.clearAveragedCount();
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

void Layouts::fitPanelsToControls() {
    for (QWidget* panel : m_c.panels) {
        showWhileAnyChildShown(*panel);
    }
}

} // namespace trazel
