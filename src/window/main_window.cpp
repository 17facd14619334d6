#include "window/main_window.h"

#include "core/trace_colours.h"
#include "ui/clipboard.h"
#include "ui/controls.h"
#include "ui/flex_grid.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>

namespace trazel {

namespace {

constexpr float StartScaleSteps[] = {5000, 4000, 2000, 1000, 500, 250, 125, 100, 50,  25,
                                     20,   10,   5,    4,    2,   1,   0.5, 0.3, 0.2, 0.1};

} // namespace

Trazel::Trazel(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), s(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("trazel"));
    setWindowTitle(QStringLiteral("Trazel"));
    createPlot();
    createTraceSelectors();
    createEvaluationControls();
    createRecordingControls();
    createResultGrids();
    createMenus();
    arrangeControls();
    createRooms();
    connectHandlers();
    Form_Initialize();
    m_files->showRecentFiles();
    setAcceptDrops(true);
}

Trazel::~Trazel() = default;

void Trazel::Form_Initialize() {
    s.PlotBackColour = ui.disp->BackColor();
    s.LevelBandDivisor = 8;
    s.BlockMode = false;
    s.SweepLength = -1;
    s.CurveCount = -1;
    s.MeasureLayout = false;
    s.ShowSingle = true;
    s.ShowAverage = false;
    s.SpectrumShown = false;
    s.Overplot = false;
    ui.SA_label->setText(QStringLiteral(" sngl"));

    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceColour(t) = brightColour(t);
    }
    m_layouts->resetTimeBase();
    m_settings->resetRecordingSettings();
    m_layouts->resetTraceScales();
    m_layouts->resetViewState();

    for (int i = 1; i <= 20; ++i) {
        s.ScaleSteps(i) = StartScaleSteps[i - 1];
    }
    s.ScaleStepCount = 20;

    s.ChannelCount = 1;
    s.CurrentTrace = 1;
    selectTrace(s.CurrentTrace);
    m_measurements->startTables();
    m_plot->drawAxes();
}

void Trazel::ch_select_Click(int Index) {
    const int t = Index + 1;
    m_viewCommands->ColourViewButtons(t);
    m_measurements->showTableOf(Index);
    s.CurrentTrace = static_cast<Integer>(t);
    m_plot->redraw();
}

void Trazel::selectTrace(int t) {
    nameTraces();
    ui.ch_select[static_cast<std::size_t>(t - 1)]->setValue(true);
}

// Beside each selector, the name and unit of the file's signal it shows ("EEG Fp1 (uV)"); nothing for the
// recorder's own traces.
void Trazel::nameTraces() {
    for (int t = 1; t <= TraceCount; ++t) {
        const QString label = QString::fromStdString(s.TraceLabel(t));
        const QString unit = QString::fromStdString(s.TraceUnit(t));
        ui.ch_select[static_cast<std::size_t>(t - 1)]->setText(
            unit.isEmpty() ? label : QStringLiteral("%1 (%2)").arg(label, unit));
    }
}

void Trazel::mnuExit_Click() {
    clipboard::clear();
    ui.Scroll->hide();
    close();
}

void Trazel::closeEvent(QCloseEvent* event) {
    if (!m_recorder->windowMayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void Trazel::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_files->droppedDataFile(*event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void Trazel::dropEvent(QDropEvent* event) {
    const QString file = m_files->droppedDataFile(*event->mimeData());
    if (file.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // Opened once the drop has ended, so that the program the file came from is not held up by the
    // questions a file may ask.
    QMetaObject::invokeMethod(
        this, [this, file] { m_files->OpenFile(file); }, Qt::QueuedConnection);
}

// Each room gets its own controls and the doors of the rooms it reaches; a room is made after those it uses.
void Trazel::createRooms() {
    const ModeControls modes{.mnuBlock = ui.mnuBlock,
                             .mnuContinuous = ui.mnuContinuous,
                             .mnuS_A = ui.mnuS_A,
                             .mnuA_S = ui.mnuA_S,
                             .mnuS = ui.mnuS,
                             .mnuA = ui.mnuA,
                             .mnuOverplot = ui.mnuOverplot,
                             .mnuRaw = ui.mnuRaw,
                             .mnuPSD = ui.mnuPSD,
                             .mnuInvert = ui.mnuInvert,
                             .mnuPeaks = ui.mnuPeaks,
                             .mnuBlockMeans = ui.mnuCopyitem(2),
                             .SA_label = ui.SA_label,
                             .accept = ui.accept,
                             .clear_ave = ui.clear_ave};
    PlotSurface& disp = *ui.disp;
    m_plot = std::make_unique<Plot>(
        s, PlotControls{.disp = ui.disp, .Label1 = ui.Label1, .mnuOverplot = ui.mnuOverplot, .window = this});
    m_views = std::make_unique<Views>(
        s, *m_plot, disp, modes,
        ViewsControls{.PgDn = ui.PgDn, .status = ui.status, .ave_count = ui.ave_count, .stim = ui.stim});
    m_labels = std::make_unique<Labels>(s, disp, LabelControls{.Text1 = ui.Text1, .dummy = ui.dummy});
    m_measurements = std::make_unique<Measurements>(
        s, m_dialogs, disp, modes, MeasureControls{.Grid1 = ui.Grid1, .add = ui.add, .Label1 = ui.Label1});
    m_viewCommands = std::make_unique<ViewCommands>(
        s, m_dialogs, *m_plot, disp, modes,
        ViewButtons{.mul = ui.mul, .div = ui.div, .pshift = ui.pshift, .nshift = ui.nshift}, *m_measurements);
    m_spectrum = std::make_unique<SpectrumCommand>(s, *m_plot, disp, modes, *ui.Scroll, *this);
    m_exports = std::make_unique<Exports>(s, m_dialogs, *m_plot, disp, *m_labels, *this);
    m_files =
        std::make_unique<FileCommands>(s, m_dialogs, disp, modes,
                                       FileControls{.mnuRecent = ui.mnuRecent,
                                                    .separator4 = ui.separator4,
                                                    .status = ui.status,
                                                    .Scroll = ui.Scroll,
                                                    .Label1 = ui.Label1,
                                                    .window = this},
                                       FileNeighbours{*m_views, *m_labels, *m_measurements, *this, *this});
    createRecordingRooms(modes);
    createLayouts(modes);
}

void Trazel::createRecordingRooms(const ModeControls& modes) {
    const SettingsControls fields{
        .sampling_hz = ui.sampling_hz,
        .scr_lng = ui.scr_lng,
        .file_lng = ui.file_lng,
        .dly1 = ui.dly1,
        .stim_num = ui.stim_num,
        .interval = ui.interval,
        .ch_list = ui.ch_list,
        .gain = ui.gain,
        .hz = ui.hz,
        .scr_unit = ui.scr_unit,
        .ave_count_label = ui.ave_count_label,
        .stimulusFields = {ui.ave_count_label, ui.ave_count, ui.dly1, ui.dly1_label, ui.stim_num,
                           ui.stim_num_label, ui.interval, ui.interval_label, ui.ms1_label, ui.ms2_label},
        .lengthFields = {ui.file_label, ui.file_lng, ui.file_unit, ui.scr_lng_label, ui.scr_lng, ui.scr_unit},
        .monitor = ui.monitor,
        .halt = ui.halt,
        .save = ui.save,
        .stim = ui.stim,
        .status = ui.status};
    m_settings = std::make_unique<Settings>(s, m_dialogs, *m_plot, *ui.disp, modes, fields,
                                            SettingsNeighbours{*m_views, *m_measurements, *this, *this});
    m_recorder = std::make_unique<Recorder>(
        s, m_dialogs, *m_plot, *ui.disp, *m_settings, *this,
        RecordingControls{.monitor = ui.monitor,
                          .store = ui.store,
                          .halt = ui.halt,
                          .save = ui.save,
                          .stim = ui.stim,
                          .drug_button = ui.drug_button,
                          .input_list = ui.input_list,
                          .ave_count = ui.ave_count,
                          .ave_count_label = ui.ave_count_label,
                          .Timer1 = ui.Timer1,
                          .accept = ui.accept,
                          .clear_ave = ui.clear_ave,
                          .layoutMenus = {ui.mnuFile, ui.mnuTrazel, ui.mnuBlock, ui.mnuContinuous},
                          .mnuDisplay = ui.mnuDisplay,
                          .viewControls = viewControls(),
                          .window = this});
}

void Trazel::createLayouts(const ModeControls& modes) {
    LayoutControls layout{
        .evaluationControls = {ui.add, ui.newblk, ui.del, ui.PgUp, ui.PgDn, ui.Clear, ui.status},
        .evaluationMenus = {ui.mnuOpen, ui.mnuSaveTable, ui.mnuSaveCurvePoints, ui.mnuExportEdf,
                            ui.separator1, ui.mnuMarksoff, ui.mnuCopy, ui.mnuText, ui.mnuZoom, ui.mnuInvert,
                            ui.mnuPeaks},
        .recordingControls = recordingControls(),
        .viewControls = viewControls(),
        .resultTables = {ui.Grid1.begin(), ui.Grid1.end()},
        .panels = m_panels,
        .mnuMeasure = ui.mnuMeasure,
        .mnuTrazel = ui.mnuTrazel,
        .status = ui.status,
        .monitor = ui.monitor};
    m_layouts = std::make_unique<Layouts>(
        s, *m_plot, *ui.disp, modes, layout,
        LayoutNeighbours{*m_views, *m_labels, *m_measurements, *m_files, *m_recorder, *this});
}

std::vector<QWidget*> Trazel::viewControls() const {
    return {ui.mul, ui.div, ui.nshift, ui.pshift, ui.ch_select[0], ui.ch_select[1], ui.ch_select[2]};
}

} // namespace trazel
