#pragma once

#include "core/arrays.h"
#include "display/text_labels.h"
#include "files/recent_files.h"

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QWidget;

namespace trazel {

class CommandButton;
class ComboBox;
class FlexGrid;
class OptionButton;
class PlotSurface;
class ProgressWindow;
class TextBox;
class Timer;

// Every control and menu item of the main window, by the name its handlers are known by (also its object
// name). The window builds them and hands each room the ones it owns; the tests reach them here.
struct WindowControls {
    PlotSurface* disp = nullptr;
    QWidget* Picture1 = nullptr;
    QWidget* controler = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<FlexGrid*, TraceCount> Grid1{};
    std::array<OptionButton*, TraceCount> ch_select{};
    std::array<ComboBox*, TraceCount> ch_list{};
    std::array<ComboBox*, TraceCount> gain{};
    ComboBox* sampling_hz = nullptr;
    ComboBox* scr_lng = nullptr;
    ComboBox* file_lng = nullptr;
    ComboBox* dly1 = nullptr;
    ComboBox* stim_num = nullptr;
    ComboBox* interval = nullptr;
    ComboBox* input_list = nullptr;
    CommandButton* monitor = nullptr;
    CommandButton* store = nullptr;
    CommandButton* halt = nullptr;
    CommandButton* save = nullptr;
    CommandButton* stim = nullptr;
    CommandButton* drug_button = nullptr;
    CommandButton* accept = nullptr;
    CommandButton* clear_ave = nullptr;
    CommandButton* PgUp = nullptr;
    CommandButton* PgDn = nullptr;
    CommandButton* mul = nullptr;
    CommandButton* div = nullptr;
    CommandButton* pshift = nullptr;
    CommandButton* nshift = nullptr;
    CommandButton* add = nullptr;
    CommandButton* del = nullptr;
    CommandButton* newblk = nullptr;
    CommandButton* Clear = nullptr;
    TextBox* status = nullptr;
    TextLabelBoxes Text1{};
    QLabel* Label1 = nullptr; // the cursor readout
    QLabel* SA_label = nullptr;
    QLabel* ave_count = nullptr;
    QLabel* ave_count_label = nullptr;
    QLabel* input_label = nullptr;
    QLabel* sampling_label = nullptr;
    QLabel* hz = nullptr;
    QLabel* scr_lng_label = nullptr;
    QLabel* scr_unit = nullptr;
    QLabel* file_label = nullptr;
    QLabel* file_unit = nullptr;
    QLabel* dly1_label = nullptr;
    QLabel* ms1_label = nullptr;
    QLabel* stim_num_label = nullptr;
    QLabel* interval_label = nullptr;
    QLabel* ms2_label = nullptr;
    QLabel* gain_label = nullptr;
    QLabel* ch_label = nullptr;
    QLabel* dummy = nullptr;
    Timer* Timer1 = nullptr;
    ProgressWindow* Scroll = nullptr;

    QAction* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSaveTable = nullptr;
    QAction* mnuSaveCurvePoints = nullptr;
    QAction* mnuExportEdf = nullptr;
    QAction* separator1 = nullptr;
    BoundedArray<QAction*, 1, RecentFileCount> mnuRecent; // hidden while unused
    QAction* separator4 = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuCopy = nullptr;
    BoundedArray<QAction*, 1, 5> mnuCopyitem;
    QAction* mnuZoom = nullptr;
    QAction* mnuExpand = nullptr;
    QAction* mnuCompress = nullptr;
    QAction* mnuZoom_sel = nullptr;
    QAction* mnuDisplay = nullptr;
    QAction* mnuS_A = nullptr;
    QAction* mnuA_S = nullptr;
    QAction* mnuS = nullptr;
    QAction* mnuA = nullptr;
    QAction* separator2 = nullptr;
    QAction* mnuOverplot = nullptr;
    QAction* separator3 = nullptr;
    QAction* mnuRaw = nullptr;
    QAction* mnuPSD = nullptr;
    QAction* mnuInvert = nullptr;
    QAction* mnuMarksoff = nullptr;
    QAction* mnuText = nullptr;
    QAction* mnuTextInsert = nullptr;
    QAction* mnuTextDelete = nullptr;
    QAction* mnuPeaks = nullptr;
    QAction* mnuBlock = nullptr;
    QAction* mnuContinuous = nullptr;
    QAction* mnuMeasure = nullptr;
    QAction* mnuTrazel = nullptr;
    // Page Up and Page Down press < and > wherever those are shown.
    QAction* PgUpKey = nullptr;
    QAction* PgDnKey = nullptr;
};

} // namespace trazel
