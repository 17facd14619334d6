// The controls and menus of the main window and where they sit: the plot takes the space left of a
// column of grouped controls, the status line and the results table lie under the plot.

#include "core/trace_colours.h"
#include "measure/table_layout.h"
#include "ui/controls.h"
#include "ui/event_loop.h"
#include "ui/flex_grid.h"
#include "ui/menus.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"
#include "ui/qt_colour.h"
#include "window/main_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QVBoxLayout>

namespace trazel {

namespace {

constexpr int SidePanelWidth = 260;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

CommandButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new CommandButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(44);
    return button;
}

ComboBox* makeCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* combo = new ComboBox(items, parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setMinimumContentsLength(4);
    return combo;
}

QStringList zeroToTen() {
    QStringList items;
    for (int i = 0; i <= 10; ++i) {
        items << QString::number(i);
    }
    return items;
}

const QStringList ScreenLengths = {"5", "10", "15", "20", "30", "40", "50", "60"};

// A small chip in the trace's colour next to its selector, since the selectors carry no caption.
QLabel* traceChip(QWidget* parent, int t, Colour colour) {
    auto* chip = new QLabel(QString::number(t), parent);
    chip->setAlignment(Qt::AlignCenter);
    chip->setFixedSize(22, 18);
    chip->setStyleSheet(QStringLiteral("background-color: %1; color: black; border: 1px solid #555; "
                                       "border-radius: 3px; font-weight: bold;")
                            .arg(toQColor(colour).name()));
    return chip;
}

QGroupBox* group(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    return box;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(4);
    for (QWidget* widget : widgets) {
        layout->addWidget(widget);
    }
    return layout;
}

} // namespace

void Trazel::createPlot() {
    ui.disp = new PlotSurface(this);
    ui.disp->setObjectName(QStringLiteral("disp"));
    ui.Label1 = makeLabel(ui.disp, "Label1", QStringLiteral("Label1"));
    ui.Label1->setStyleSheet(QStringLiteral("background-color: #ffffe0; color: black; padding: 1px 3px;"));
    ui.Label1->hide();
    for (std::size_t i = 0; i < ui.Text1.size(); ++i) {
        ui.Text1[i] = new TextBox(ui.disp);
        ui.Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        ui.Text1[i]->hide();
        ui.Text1[i]->setEnabled(false); // free until inserted
    }
    ui.Timer1 = new Timer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui.Scroll = new ProgressWindow(this);
}

void Trazel::createTraceSelectors() {
    ui.Picture1 = new QWidget(this);
    ui.Picture1->setObjectName(QStringLiteral("Picture1"));
    ui.Frame1 = group(QStringLiteral("Traces"), ui.Picture1);
    ui.Frame1->setObjectName(QStringLiteral("Frame1"));
    ui.ch_label = makeLabel(ui.Frame1, "ch_label", QStringLiteral("ch"));
    ui.gain_label = makeLabel(ui.Frame1, "gain_label", QStringLiteral("gain"));
    const QStringList channels = {"none", "1. ch", "2. ch", "3. ch", "4. ch"};
    const QStringList gains = {"1x", "2x", "4x", "8x"};
    auto* layout = new QGridLayout(ui.Frame1);
    layout->addWidget(ui.ch_label, 0, 2);
    layout->addWidget(ui.gain_label, 0, 3);
    for (std::size_t i = 0; i < ui.ch_select.size(); ++i) {
        const int gridRow = static_cast<int>(i) + 1;
        ui.ch_select[i] = new OptionButton(ui.Frame1);
        ui.ch_select[i]->setObjectName(QStringLiteral("ch_select_%1").arg(i));
        ui.ch_select[i]->setToolTip(QStringLiteral("Trace %1").arg(i + 1));
        ui.ch_list[i] = makeCombo(ui.Frame1, "ch_list", channels);
        ui.ch_list[i]->setObjectName(QStringLiteral("ch_list_%1").arg(i));
        ui.gain[i] = makeCombo(ui.Frame1, "gain", gains);
        ui.gain[i]->setObjectName(QStringLiteral("gain_%1").arg(i));
        layout->addWidget(ui.ch_select[i], gridRow, 0);
        layout->addWidget(traceChip(ui.Frame1, gridRow, brightColour(gridRow)), gridRow, 1);
        layout->addWidget(ui.ch_list[i], gridRow, 2);
        layout->addWidget(ui.gain[i], gridRow, 3);
    }
    layout->setColumnStretch(4, 1);
}

void Trazel::createEvaluationControls() {
    ui.mul = makeButton(ui.Picture1, "mul", QStringLiteral("*2"));
    ui.div = makeButton(ui.Picture1, "div", QStringLiteral("/2"));
    ui.pshift = makeButton(ui.Picture1, "pshift", QString(QChar(0x2191)));
    ui.nshift = makeButton(ui.Picture1, "nshift", QString(QChar(0x2193)));
    ui.PgUp = makeButton(ui.Picture1, "PgUp", QStringLiteral("<"));
    ui.PgDn = makeButton(ui.Picture1, "PgDn", QStringLiteral(">"));
    ui.accept = makeButton(ui.Picture1, "accept", QStringLiteral("+"));
    ui.clear_ave = makeButton(ui.Picture1, "clear_ave", QStringLiteral("clr"));
    ui.SA_label = makeLabel(ui.Picture1, "SA_label", QStringLiteral("sng/av"));
    ui.add = makeButton(ui.Picture1, "add", QStringLiteral("Add"));
    ui.del = makeButton(ui.Picture1, "del", QStringLiteral("Delete"));
    ui.newblk = makeButton(ui.Picture1, "newblk", QStringLiteral("Newblk"));
    ui.Clear = makeButton(ui.Picture1, "Clear", QStringLiteral("CLR"));
    ui.dummy = makeLabel(ui.Picture1, "dummy", QStringLiteral("Label2"));
    ui.dummy->hide();
    // Continuous data have no sweeps to average; reading block data enables these.
    ui.accept->setEnabled(false);
    ui.clear_ave->setEnabled(false);
    ui.status = new TextBox(this);
    ui.status->setObjectName(QStringLiteral("status"));
    ui.status->setReadOnly(true);
}

void Trazel::createRecordingControls() {
    ui.controler = new QGroupBox(QStringLiteral("Recording"), this);
    ui.controler->setObjectName(QStringLiteral("controler"));
    ui.input_label = makeLabel(ui.controler, "input_label", QStringLiteral("input"));
    ui.input_list = makeCombo(ui.controler, "input_list", {QStringLiteral("Simulated")});
    ui.input_list->setEditable(false);
    ui.input_list->setCurrentIndex(0);
    ui.sampling_label = makeLabel(ui.controler, "sampling_label", QStringLiteral("sampling rate"));
    ui.sampling_hz = makeCombo(ui.controler, "sampling_hz", {"200", "100", "50", "25", "10"});
    ui.hz = makeLabel(ui.controler, "hz", QStringLiteral("Hz"));
    ui.scr_lng_label = makeLabel(ui.controler, "scr_lng_label", QStringLiteral("screen length"));
    ui.scr_lng = makeCombo(ui.controler, "scr_lng", ScreenLengths);
    ui.scr_unit = makeLabel(ui.controler, "scr_unit", QStringLiteral("s"));
    ui.file_label = makeLabel(ui.controler, "file_label", QStringLiteral("file length"));
    ui.file_lng = makeCombo(ui.controler, "file_lng", ScreenLengths);
    ui.file_unit = makeLabel(ui.controler, "file_unit", QStringLiteral("s"));
    ui.dly1_label = makeLabel(ui.controler, "dly1_label", QStringLiteral("dly"));
    ui.dly1 = makeCombo(ui.controler, "dly1", zeroToTen());
    ui.ms1_label = makeLabel(ui.controler, "ms1_label", QStringLiteral("ms"));
    ui.stim_num_label = makeLabel(ui.controler, "stim_num_label", QStringLiteral("#"));
    ui.stim_num = makeCombo(ui.controler, "stim_num", zeroToTen());
    ui.interval_label = makeLabel(ui.controler, "interval_label", QStringLiteral("intrvl"));
    ui.interval = makeCombo(ui.controler, "interval", zeroToTen());
    ui.ms2_label = makeLabel(ui.controler, "ms2_label", QStringLiteral("ms"));
    ui.monitor = makeButton(ui.controler, "monitor", QStringLiteral("Monitor"));
    ui.store = makeButton(ui.controler, "store", QStringLiteral("Record"));
    ui.halt = makeButton(ui.controler, "halt", QStringLiteral("STOP"));
    ui.save = makeButton(ui.controler, "save", QStringLiteral("Save"));
    ui.stim = makeButton(ui.controler, "stim", QStringLiteral("STIM"));
    ui.drug_button = makeButton(ui.controler, "drug_button", QStringLiteral("MARKER ON"));
    ui.ave_count_label = makeLabel(ui.controler, "ave_count_label", QStringLiteral("saved"));
    ui.ave_count = makeLabel(ui.controler, "ave_count", QString());

    auto* layout = new QGridLayout(ui.controler);
    const std::initializer_list<std::initializer_list<QWidget*>> rows = {
        {ui.sampling_label, ui.sampling_hz, ui.hz}, {ui.scr_lng_label, ui.scr_lng, ui.scr_unit},
        {ui.file_label, ui.file_lng, ui.file_unit}, {ui.dly1_label, ui.dly1, ui.ms1_label},
        {ui.stim_num_label, ui.stim_num},           {ui.interval_label, ui.interval, ui.ms2_label},
        {ui.ave_count_label, ui.ave_count}};
    // An input's name is long: its list takes the width of a field and its unit.
    layout->addWidget(ui.input_label, 0, 0);
    layout->addWidget(ui.input_list, 0, 1, 1, 2);
    int gridRow = 1;
    for (const auto& widgets : rows) {
        int col = 0;
        for (QWidget* widget : widgets) {
            layout->addWidget(widget, gridRow, col++);
        }
        ++gridRow;
    }
    layout->addLayout(row({ui.monitor, ui.store, ui.halt}), gridRow++, 0, 1, 3);
    layout->addLayout(row({ui.stim, ui.save, ui.drug_button}), gridRow, 0, 1, 3);
}

void Trazel::createResultGrids() {
    for (std::size_t k = 0; k < ui.Grid1.size(); ++k) {
        ui.Grid1[k] = new FlexGrid(EmptyTableRows, TableColumnCount, this);
        ui.Grid1[k]->setObjectName(QStringLiteral("Grid1_%1").arg(k));
        ui.Grid1[k]->setBackColor(
            brightColour(static_cast<int>(k) + 1)); // the tables wear their trace's colour
    }
}

void Trazel::createMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = addMenu(bar, "mnuFile", QStringLiteral("&File"));
    ui.mnuFile = file->menuAction();
    ui.mnuOpen = addMenuItem(file, "mnuOpen", QStringLiteral("&Open"));
    ui.mnuSaveTable = addMenuItem(file, "mnuSaveTable", QStringLiteral("Save &table as..."));
    ui.mnuSaveCurvePoints =
        addMenuItem(file, "mnuSaveCurvePoints", QStringLiteral("Save &curve points as..."));
    ui.mnuExportEdf = addMenuItem(file, "mnuExportEdf", QStringLiteral("&Export as EDF+/BDF+..."));
    ui.separator1 = addSeparator(file, "separator1");
    for (int i = 1; i <= RecentFileCount; ++i) {
        ui.mnuRecent(i) = addMenuItem(file, "mnuRecent", QString());
        ui.mnuRecent(i)->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
    }
    ui.separator4 = addSeparator(file, "separator4");
    file->setToolTipsVisible(true); // a recent file's whole path
    ui.mnuExit = addMenuItem(file, "mnuExit", QStringLiteral("E&xit"));

    QMenu* copy = addMenu(bar, "mnuCopy", QStringLiteral("C&opy"));
    ui.mnuCopy = copy->menuAction();
    const QString copyCaptions[] = {
        QStringLiteral("&Picture"), QStringLiteral("&Block means"), QStringLiteral("&Whole table (Word)"),
        QStringLiteral("&Whole table (Excel)"), QStringLiteral("&Curve points (Excel)")};
    for (int i = 1; i <= 5; ++i) {
        ui.mnuCopyitem(i) = addMenuItem(copy, "mnuCopyitem", copyCaptions[i - 1]);
        ui.mnuCopyitem(i)->setObjectName(QStringLiteral("mnuCopyitem_%1").arg(i));
    }

    QMenu* zoom = addMenu(bar, "mnuZoom", QStringLiteral("&Zoom"));
    ui.mnuZoom = zoom->menuAction();
    ui.mnuExpand = addMenuItem(zoom, "mnuExpand", QStringLiteral("&Expand"));
    ui.mnuCompress = addMenuItem(zoom, "mnuCompress", QStringLiteral("&Compress"));
    ui.mnuZoom_sel = addMenuItem(zoom, "mnuZoom_sel", QStringLiteral("&Zoom selection"));

    QMenu* display = addMenu(bar, "mnuDisplay", QStringLiteral("&Display"));
    ui.mnuDisplay = display->menuAction();
    ui.mnuS_A = addMenuItem(display, "mnuS_A", QStringLiteral("Single/Average"), CheckMark::Possible);
    ui.mnuA_S = addMenuItem(display, "mnuA_S", QStringLiteral("Average/Single"), CheckMark::Possible);
    ui.mnuS = addMenuItem(display, "mnuS", QStringLiteral("Single"), CheckMark::Possible);
    ui.mnuA = addMenuItem(display, "mnuA", QStringLiteral("Average"), CheckMark::Possible);
    ui.separator2 = addSeparator(display, "separator2");
    ui.mnuOverplot = addMenuItem(display, "mnuOverplot", QStringLiteral("Overplot"), CheckMark::Possible);
    ui.separator3 = addSeparator(display, "separator3");
    ui.mnuRaw = addMenuItem(display, "mnuRaw", QStringLiteral("Raw curves"), CheckMark::Possible);
    ui.mnuPSD = addMenuItem(display, "mnuPSD", QStringLiteral("PSD"), CheckMark::Possible);
    ui.mnuInvert = addMenuItem(display, "mnuInvert", QStringLiteral("In&vert"));
    ui.mnuMarksoff = addMenuItem(display, "mnuMarksoff", QStringLiteral("&Marks off"));
    for (QAction* selection : {ui.mnuS_A, ui.mnuA_S, ui.mnuS, ui.mnuA, ui.mnuOverplot, ui.mnuPSD}) {
        selection->setEnabled(false);
    }
    ui.mnuRaw->setChecked(true);

    QMenu* textMenu = addMenu(bar, "mnuText", QStringLiteral("&Text"));
    ui.mnuText = textMenu->menuAction();
    ui.mnuTextInsert = addMenuItem(textMenu, "mnuTextInsert", QStringLiteral("Insert"));
    ui.mnuTextDelete = addMenuItem(textMenu, "mnuTextDelete", QStringLiteral("Delete"));

    ui.mnuPeaks = addMenuItem(bar, "mnuPeaks", QStringLiteral("Auto &peaks"));
    ui.mnuBlock = addMenuItem(bar, "mnuBlock", QStringLiteral("&Block mode"));
    ui.mnuContinuous = addMenuItem(bar, "mnuContinuous", QStringLiteral("&Continuous"));
    ui.mnuContinuous->setVisible(false);
    ui.mnuMeasure = addMenuItem(bar, "mnuMeasure", QStringLiteral("Mea&sure"));
    ui.mnuTrazel = addMenuItem(bar, "mnuTrazel", QStringLiteral("&Trazel"));
    ui.mnuTrazel->setVisible(false);
    assignKeys();
}

void Trazel::assignKeys() {
    ui.mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ui.mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Ctrl+= is Ctrl++ without Shift on most keyboards.
    ui.mnuExpand->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    ui.mnuCompress->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    ui.mnuCopyitem(1)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    ui.PgUpKey = addKeyFor(*ui.PgUp, QKeySequence(Qt::Key_PageUp), *this);
    ui.PgDnKey = addKeyFor(*ui.PgDn, QKeySequence(Qt::Key_PageDown), *this);
    ui.PgUp->setToolTip(QStringLiteral("Previous sweep or screen (Page Up)"));
    ui.PgDn->setToolTip(QStringLiteral("Next sweep or screen (Page Down)"));
}

void Trazel::arrangeControls() {
    auto* side = new QVBoxLayout(ui.Picture1);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(ui.Frame1);

    QGroupBox* view = group(QStringLiteral("Scale"), ui.Picture1);
    view->setLayout(row({ui.mul, ui.div, ui.pshift, ui.nshift}));
    side->addWidget(view);

    QGroupBox* curves = group(QStringLiteral("Curves"), ui.Picture1);
    auto* curvesLayout = new QVBoxLayout(curves);
    curvesLayout->addLayout(row({ui.PgUp, ui.PgDn, ui.accept, ui.clear_ave}));
    curvesLayout->addWidget(ui.SA_label);
    side->addWidget(curves);

    QGroupBox* results = group(QStringLiteral("Results"), ui.Picture1);
    results->setLayout(row({ui.add, ui.del, ui.newblk, ui.Clear}));
    side->addWidget(results);
    side->addWidget(ui.dummy);

    auto* panel = new QWidget(this);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(ui.Picture1);
    panelLayout->addWidget(ui.controler);
    panelLayout->addStretch(1);
    panel->setFixedWidth(SidePanelWidth);

    auto* tables = new QWidget(this);
    auto* tablesLayout = new QVBoxLayout(tables);
    tablesLayout->setContentsMargins(0, 0, 0, 0);
    tablesLayout->addWidget(ui.status);
    for (FlexGrid* grid : ui.Grid1) {
        tablesLayout->addWidget(grid);
    }

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(ui.disp);
    splitter->addWidget(tables);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    auto* central = new QWidget(this);
    auto* centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(6, 6, 6, 6);
    centralLayout->addWidget(splitter, 1);
    centralLayout->addWidget(panel);
    setCentralWidget(central);

    m_panels = {curves, results, tables};
    showControls(recordingControls(), false);
    resize(1280, 800);
}

std::vector<QWidget*> Trazel::recordingControls() const {
    std::vector<QWidget*> controls = {ui.controler,
                                      ui.monitor,
                                      ui.store,
                                      ui.halt,
                                      ui.save,
                                      ui.ch_label,
                                      ui.gain_label,
                                      ui.drug_button,
                                      ui.stim,
                                      ui.ave_count,
                                      ui.ave_count_label,
                                      ui.input_label,
                                      ui.input_list,
                                      ui.sampling_label,
                                      ui.sampling_hz,
                                      ui.hz,
                                      ui.scr_lng_label,
                                      ui.scr_lng,
                                      ui.scr_unit,
                                      ui.ms1_label,
                                      ui.ms2_label,
                                      ui.dly1_label,
                                      ui.dly1,
                                      ui.stim_num_label,
                                      ui.stim_num,
                                      ui.interval_label,
                                      ui.interval,
                                      ui.file_label,
                                      ui.file_lng,
                                      ui.file_unit};
    controls.insert(controls.end(), ui.ch_list.begin(), ui.ch_list.end());
    controls.insert(controls.end(), ui.gain.begin(), ui.gain.end());
    return controls;
}

} // namespace trazel
