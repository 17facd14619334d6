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
    disp = new PlotSurface(this);
    disp->setObjectName(QStringLiteral("disp"));
    Label1 = makeLabel(disp, "Label1", QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("background-color: #ffffe0; color: black; padding: 1px 3px;"));
    Label1->hide();
    for (std::size_t i = 0; i < Text1.size(); ++i) {
        Text1[i] = new TextBox(disp);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Text1[i]->hide();
        Text1[i]->setEnabled(false); // free until inserted
    }
    Timer1 = new Timer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Scroll = new ProgressWindow(this);
}

void Trazel::createTraceSelectors() {
    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Frame1 = group(QStringLiteral("Traces"), Picture1);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ch_label = makeLabel(Frame1, "ch_label", QStringLiteral("ch"));
    gain_label = makeLabel(Frame1, "gain_label", QStringLiteral("gain"));
    const QStringList channels = {"none", "1. ch", "2. ch", "3. ch", "4. ch"};
    const QStringList gains = {"1x", "2x", "4x", "8x"};
    auto* layout = new QGridLayout(Frame1);
    layout->addWidget(ch_label, 0, 2);
    layout->addWidget(gain_label, 0, 3);
    for (std::size_t i = 0; i < ch_select.size(); ++i) {
        const int gridRow = static_cast<int>(i) + 1;
        ch_select[i] = new OptionButton(Frame1);
        ch_select[i]->setObjectName(QStringLiteral("ch_select_%1").arg(i));
        ch_select[i]->setToolTip(QStringLiteral("Trace %1").arg(i + 1));
        ch_list[i] = makeCombo(Frame1, "ch_list", channels);
        ch_list[i]->setObjectName(QStringLiteral("ch_list_%1").arg(i));
        gain[i] = makeCombo(Frame1, "gain", gains);
        gain[i]->setObjectName(QStringLiteral("gain_%1").arg(i));
        layout->addWidget(ch_select[i], gridRow, 0);
        layout->addWidget(traceChip(Frame1, gridRow, brightColour(gridRow)), gridRow, 1);
        layout->addWidget(ch_list[i], gridRow, 2);
        layout->addWidget(gain[i], gridRow, 3);
    }
    layout->setColumnStretch(4, 1);
}

void Trazel::createEvaluationControls() {
    mul = makeButton(Picture1, "mul", QStringLiteral("*2"));
    div = makeButton(Picture1, "div", QStringLiteral("/2"));
    pshift = makeButton(Picture1, "pshift", QString(QChar(0x2191)));
    nshift = makeButton(Picture1, "nshift", QString(QChar(0x2193)));
    PgUp = makeButton(Picture1, "PgUp", QStringLiteral("<"));
    PgDn = makeButton(Picture1, "PgDn", QStringLiteral(">"));
    accept = makeButton(Picture1, "accept", QStringLiteral("+"));
    clear_ave = makeButton(Picture1, "clear_ave", QStringLiteral("clr"));
    SA_label = makeLabel(Picture1, "SA_label", QStringLiteral("sng/av"));
    add = makeButton(Picture1, "add", QStringLiteral("Add"));
    del = makeButton(Picture1, "del", QStringLiteral("Delete"));
    newblk = makeButton(Picture1, "newblk", QStringLiteral("Newblk"));
    Clear = makeButton(Picture1, "Clear", QStringLiteral("CLR"));
    dummy = makeLabel(Picture1, "dummy", QStringLiteral("Label2"));
    dummy->hide();
    // Continuous data have no sweeps to average; reading block data enables these.
    accept->setEnabled(false);
    clear_ave->setEnabled(false);
    status = new TextBox(this);
    status->setObjectName(QStringLiteral("status"));
    status->setReadOnly(true);
}

void Trazel::createRecordingControls() {
    controler = new QGroupBox(QStringLiteral("Recording"), this);
    controler->setObjectName(QStringLiteral("controler"));
    sampling_label = makeLabel(controler, "sampling_label", QStringLiteral("sampling rate"));
    sampling_hz = makeCombo(controler, "sampling_hz", {"200", "100", "50", "25", "10"});
    hz = makeLabel(controler, "hz", QStringLiteral("Hz"));
    scr_lng_label = makeLabel(controler, "scr_lng_label", QStringLiteral("screen length"));
    scr_lng = makeCombo(controler, "scr_lng", ScreenLengths);
    scr_unit = makeLabel(controler, "scr_unit", QStringLiteral("s"));
    file_label = makeLabel(controler, "file_label", QStringLiteral("file length"));
    file_lng = makeCombo(controler, "file_lng", ScreenLengths);
    file_unit = makeLabel(controler, "file_unit", QStringLiteral("s"));
    dly1_label = makeLabel(controler, "dly1_label", QStringLiteral("dly"));
    dly1 = makeCombo(controler, "dly1", zeroToTen());
    ms1_label = makeLabel(controler, "ms1_label", QStringLiteral("ms"));
    stim_num_label = makeLabel(controler, "stim_num_label", QStringLiteral("#"));
    stim_num = makeCombo(controler, "stim_num", zeroToTen());
    interval_label = makeLabel(controler, "interval_label", QStringLiteral("intrvl"));
    interval = makeCombo(controler, "interval", zeroToTen());
    ms2_label = makeLabel(controler, "ms2_label", QStringLiteral("ms"));
    monitor = makeButton(controler, "monitor", QStringLiteral("Monitor"));
    store = makeButton(controler, "store", QStringLiteral("Record"));
    halt = makeButton(controler, "halt", QStringLiteral("STOP"));
    save = makeButton(controler, "save", QStringLiteral("Save"));
    stim = makeButton(controler, "stim", QStringLiteral("STIM"));
    drug_button = makeButton(controler, "drug_button", QStringLiteral("MARKER ON"));
    ave_count_label = makeLabel(controler, "ave_count_label", QStringLiteral("saved"));
    ave_count = makeLabel(controler, "ave_count", QString());

    auto* layout = new QGridLayout(controler);
    const std::initializer_list<std::initializer_list<QWidget*>> rows = {
        {sampling_label, sampling_hz, hz}, {scr_lng_label, scr_lng, scr_unit},
        {file_label, file_lng, file_unit}, {dly1_label, dly1, ms1_label},
        {stim_num_label, stim_num},        {interval_label, interval, ms2_label},
        {ave_count_label, ave_count}};
    int gridRow = 0;
    for (const auto& widgets : rows) {
        int col = 0;
        for (QWidget* widget : widgets) {
            layout->addWidget(widget, gridRow, col++);
        }
        ++gridRow;
    }
    layout->addLayout(row({monitor, store, halt}), gridRow++, 0, 1, 3);
    layout->addLayout(row({stim, save, drug_button}), gridRow, 0, 1, 3);
}

void Trazel::createResultGrids() {
    for (std::size_t k = 0; k < Grid1.size(); ++k) {
        Grid1[k] = new FlexGrid(EmptyTableRows, TableColumnCount, this);
        Grid1[k]->setObjectName(QStringLiteral("Grid1_%1").arg(k));
        Grid1[k]->setBackColor(brightColour(static_cast<int>(k) + 1)); // the tables wear their trace's colour
    }
}

void Trazel::createMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = addMenu(bar, "mnuFile", QStringLiteral("&File"));
    mnuFile = file->menuAction();
    mnuOpen = addMenuItem(file, "mnuOpen", QStringLiteral("&Open"));
    mnuSaveTable = addMenuItem(file, "mnuSaveTable", QStringLiteral("Save &table as..."));
    mnuSaveCurvePoints = addMenuItem(file, "mnuSaveCurvePoints", QStringLiteral("Save &curve points as..."));
    separator1 = addSeparator(file, "separator1");
    for (int i = 1; i <= RecentFileCount; ++i) {
        mnuRecent(i) = addMenuItem(file, "mnuRecent", QString());
        mnuRecent(i)->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
    }
    separator4 = addSeparator(file, "separator4");
    file->setToolTipsVisible(true); // a recent file's whole path
    mnuExit = addMenuItem(file, "mnuExit", QStringLiteral("E&xit"));

    QMenu* copy = addMenu(bar, "mnuCopy", QStringLiteral("C&opy"));
    mnuCopy = copy->menuAction();
    const QString copyCaptions[] = {
        QStringLiteral("&Picture"), QStringLiteral("&Block means"), QStringLiteral("&Whole table (Word)"),
        QStringLiteral("&Whole table (Excel)"), QStringLiteral("&Curve points (Excel)")};
    for (int i = 1; i <= 5; ++i) {
        mnuCopyitem(i) = addMenuItem(copy, "mnuCopyitem", copyCaptions[i - 1]);
        mnuCopyitem(i)->setObjectName(QStringLiteral("mnuCopyitem_%1").arg(i));
    }

    QMenu* zoom = addMenu(bar, "mnuZoom", QStringLiteral("&Zoom"));
    mnuZoom = zoom->menuAction();
    mnuExpand = addMenuItem(zoom, "mnuExpand", QStringLiteral("&Expand"));
    mnuCompress = addMenuItem(zoom, "mnuCompress", QStringLiteral("&Compress"));
    mnuZoom_sel = addMenuItem(zoom, "mnuZoom_sel", QStringLiteral("&Zoom selection"));

    QMenu* display = addMenu(bar, "mnuDisplay", QStringLiteral("&Display"));
    mnuDisplay = display->menuAction();
    mnuS_A = addMenuItem(display, "mnuS_A", QStringLiteral("Single/Average"), CheckMark::Possible);
    mnuA_S = addMenuItem(display, "mnuA_S", QStringLiteral("Average/Single"), CheckMark::Possible);
    mnuS = addMenuItem(display, "mnuS", QStringLiteral("Single"), CheckMark::Possible);
    mnuA = addMenuItem(display, "mnuA", QStringLiteral("Average"), CheckMark::Possible);
    separator2 = addSeparator(display, "separator2");
    mnuOverplot = addMenuItem(display, "mnuOverplot", QStringLiteral("Overplot"), CheckMark::Possible);
    separator3 = addSeparator(display, "separator3");
    mnuRaw = addMenuItem(display, "mnuRaw", QStringLiteral("Raw curves"), CheckMark::Possible);
    mnuPSD = addMenuItem(display, "mnuPSD", QStringLiteral("PSD"), CheckMark::Possible);
    mnuInvert = addMenuItem(display, "mnuInvert", QStringLiteral("In&vert"));
    mnuMarksoff = addMenuItem(display, "mnuMarksoff", QStringLiteral("&Marks off"));
    for (QAction* selection : {mnuS_A, mnuA_S, mnuS, mnuA, mnuOverplot, mnuPSD}) {
        selection->setEnabled(false);
    }
    mnuRaw->setChecked(true);

    QMenu* textMenu = addMenu(bar, "mnuText", QStringLiteral("&Text"));
    mnuText = textMenu->menuAction();
    mnuTextInsert = addMenuItem(textMenu, "mnuTextInsert", QStringLiteral("Insert"));
    mnuTextDelete = addMenuItem(textMenu, "mnuTextDelete", QStringLiteral("Delete"));

    mnuPeaks = addMenuItem(bar, "mnuPeaks", QStringLiteral("Auto &peaks"));
    mnuBlock = addMenuItem(bar, "mnuBlock", QStringLiteral("&Block mode"));
    mnuContinuous = addMenuItem(bar, "mnuContinuous", QStringLiteral("&Continuous"));
    mnuContinuous->setVisible(false);
    mnuMeasure = addMenuItem(bar, "mnuMeasure", QStringLiteral("Mea&sure"));
    mnuTrazel = addMenuItem(bar, "mnuTrazel", QStringLiteral("&Trazel"));
    mnuTrazel->setVisible(false);
    assignKeys();
}

void Trazel::assignKeys() {
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Ctrl+= is Ctrl++ without Shift on most keyboards.
    mnuExpand->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    mnuCompress->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    mnuCopyitem(1)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    PgUpKey = addKeyFor(*PgUp, QKeySequence(Qt::Key_PageUp), *this);
    PgDnKey = addKeyFor(*PgDn, QKeySequence(Qt::Key_PageDown), *this);
    PgUp->setToolTip(QStringLiteral("Previous sweep or screen (Page Up)"));
    PgDn->setToolTip(QStringLiteral("Next sweep or screen (Page Down)"));
}

void Trazel::arrangeControls() {
    auto* side = new QVBoxLayout(Picture1);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(Frame1);

    QGroupBox* view = group(QStringLiteral("Scale"), Picture1);
    view->setLayout(row({mul, div, pshift, nshift}));
    side->addWidget(view);

    QGroupBox* curves = group(QStringLiteral("Curves"), Picture1);
    auto* curvesLayout = new QVBoxLayout(curves);
    curvesLayout->addLayout(row({PgUp, PgDn, accept, clear_ave}));
    curvesLayout->addWidget(SA_label);
    side->addWidget(curves);

    QGroupBox* results = group(QStringLiteral("Results"), Picture1);
    results->setLayout(row({add, del, newblk, Clear}));
    side->addWidget(results);
    side->addWidget(dummy);

    auto* panel = new QWidget(this);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(Picture1);
    panelLayout->addWidget(controler);
    panelLayout->addStretch(1);
    panel->setFixedWidth(SidePanelWidth);

    auto* tables = new QWidget(this);
    auto* tablesLayout = new QVBoxLayout(tables);
    tablesLayout->setContentsMargins(0, 0, 0, 0);
    tablesLayout->addWidget(status);
    for (FlexGrid* grid : Grid1) {
        tablesLayout->addWidget(grid);
    }

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(disp);
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
    std::vector<QWidget*> controls = {controler,
                                      monitor,
                                      store,
                                      halt,
                                      save,
                                      ch_label,
                                      gain_label,
                                      drug_button,
                                      stim,
                                      ave_count,
                                      ave_count_label,
                                      sampling_label,
                                      sampling_hz,
                                      hz,
                                      scr_lng_label,
                                      scr_lng,
                                      scr_unit,
                                      ms1_label,
                                      ms2_label,
                                      dly1_label,
                                      dly1,
                                      stim_num_label,
                                      stim_num,
                                      interval_label,
                                      interval,
                                      file_label,
                                      file_lng,
                                      file_unit};
    controls.insert(controls.end(), ch_list.begin(), ch_list.end());
    controls.insert(controls.end(), gain.begin(), gain.end());
    return controls;
}

void Trazel::connectHandlers() {
    for (std::size_t i = 0; i < ch_select.size(); ++i) {
        connect(ch_select[i], &OptionButton::Click, this,
                [this, i] { ch_select_Click(static_cast<int>(i)); });
    }
    onClick(mnuOpen, [this] { mnuOpen_Click(); });
    for (int i = 1; i <= RecentFileCount; ++i) {
        onClick(mnuRecent(i), [this, i] { mnuRecent_Click(i); });
    }
    onClick(mnuExit, [this] { mnuExit_Click(); });
    onClick(mnuSaveTable, [this] { mnuSaveTable_Click(); });
    onClick(mnuSaveCurvePoints, [this] { mnuSaveCurvePoints_Click(); });
    for (int i = 1; i <= 5; ++i) {
        onClick(mnuCopyitem(i), [this, i] { mnuCopyitem_Click(i); });
    }
    onClick(mnuS_A, [this] { mnuS_A_Click(); });
    onClick(mnuA_S, [this] { mnuA_S_Click(); });
    onClick(mnuS, [this] { mnuS_Click(); });
    onClick(mnuA, [this] { mnuA_Click(); });
    onClick(mnuBlock, [this] { mnuBlock_Click(); });
    onClick(mnuExpand, [this] { mnuExpand_Click(); });
    onClick(mnuCompress, [this] { mnuCompress_Click(); });
    onClick(mnuZoom_sel, [this] { mnuZoom_sel_Click(); });
    onClick(mnuInvert, [this] { mnuInvert_Click(); });
    onClick(mnuRaw, [this] { mnuRaw_Click(); });
    onClick(mnuOverplot, [this] { mnuOverplot_Click(); });
    onClick(mnuPSD, [this] { mnuPSD_Click(); });
    onClick(mnuPeaks, [this] { mnuPeaks_Click(); });
    onClick(mnuTextInsert, [this] { mnuTextInsert_Click(); });
    onClick(mnuTextDelete, [this] { mnuTextDelete_Click(); });
    onClick(mnuMarksoff, [this] { mnuMarksoff_Click(); });
    for (std::size_t i = 0; i < Text1.size(); ++i) {
        const int index = static_cast<int>(i);
        TextBox* label = Text1[i];
        connect(label, &TextBox::GotFocus, this, [this, index] { Text1_GotFocus(index); });
        connect(label, &TextBox::KeyPress, this, [this, index](int key) { Text1_KeyPress(index, key); });
        connect(label, &TextBox::LostFocus, this, [this, index] { Text1_LostFocus(index); });
        connect(label, &TextBox::MouseMove, this, [this, index](int button, int shift, double x, double y) {
            Text1_MouseMove(index, button, shift, x, y);
        });
        // A drag ends where the pointer is let go, taken into the plot's pixels.
        connect(label, &TextBox::MouseUp, this, [this, index, label](int, int, double x, double y) {
            const QPointF at = label->mapToParent(QPointF(x, y));
            disp_DragDrop(index, at.x(), at.y());
        });
    }
    onClick(mnuContinuous, [this] { mnuContinuous_Click(); });
    onClick(mnuMeasure, [this] { mnuMeasure_Click(); });
    onClick(mnuTrazel, [this] { mnuTrazel_Click(); });
    connectSettingsFields();
    const std::pair<CommandButton*, void (Trazel::*)()> buttons[] = {
        {add, &Trazel::add_Click},
        {del, &Trazel::del_Click},
        {newblk, &Trazel::newblk_Click},
        {PgDn, &Trazel::PgDn_Click},
        {PgUp, &Trazel::PgUp_Click},
        {accept, &Trazel::accept_Click},
        {clear_ave, &Trazel::clear_ave_Click},
        {Clear, &Trazel::Clear_Click},
        {monitor, &Trazel::monitor_Click},
        {store, &Trazel::store_Click},
        {halt, &Trazel::halt_Click},
        {save, &Trazel::save_Click},
        {stim, &Trazel::stim_Click},
        {drug_button, &Trazel::drug_button_Click},
        {mul, &Trazel::mul_Click},
        {div, &Trazel::div_Click},
        {pshift, &Trazel::pshift_Click},
        {nshift, &Trazel::nshift_Click}};
    for (const auto& [button, handler] : buttons) {
        connect(button, &QPushButton::clicked, this, handler);
    }
    connect(Timer1, &Timer::Tick, this, &Trazel::Timer1_Timer);
    connect(disp, &PlotSurface::MouseDown, this, &Trazel::disp_MouseDown);
    connect(disp, &PlotSurface::MouseMove, this, &Trazel::disp_MouseMove);
    connect(disp, &PlotSurface::Resized, this, [this] { redrawView(); });
}

void Trazel::connectSettingsFields() {
    connect(sampling_hz, &ComboBox::KeyPress, this, &Trazel::sampling_hz_KeyPress);
    connect(sampling_hz, &ComboBox::LostFocus, this, &Trazel::sampling_hz_LostFocus);
    connect(scr_lng, &ComboBox::KeyPress, this, &Trazel::scr_lng_KeyPress);
    connect(scr_lng, &ComboBox::LostFocus, this, &Trazel::scr_lng_LostFocus);
    connect(file_lng, &ComboBox::KeyPress, this, &Trazel::file_lng_KeyPress);
    connect(file_lng, &ComboBox::Change, this, &Trazel::file_lng_Change);
    connect(file_lng, &ComboBox::LostFocus, this, &Trazel::file_lng_LostFocus);
    for (std::size_t i = 0; i < TraceCount; ++i) {
        const int index = static_cast<int>(i);
        connect(ch_list[i], &ComboBox::Click, this, [this, index] { ch_list_Click(index); });
        connect(ch_list[i], &ComboBox::KeyPress, this,
                [this, index](int key) { ch_list_KeyPress(index, key); });
        connect(ch_list[i], &ComboBox::LostFocus, this, [this, index] { ch_list_LostFocus(index); });
        connect(gain[i], &ComboBox::Click, this, [this, index] { gain_Click(index); });
        connect(gain[i], &ComboBox::Change, this, [this, index] { gain_Change(index); });
    }
}

} // namespace trazel
