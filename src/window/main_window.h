#pragma once

#include "acquisition/simulated_source.h"
#include "acquisition/time_base.h"
#include "core/app_state.h"
#include "files/bin_writer.h"
#include "files/recent_files.h"
#include "ui/event_loop.h"

#include <QMainWindow>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QMimeData;

namespace trazel {

class CommandButton;
class ComboBox;
class Dialogs;
class FlexGrid;
class OptionButton;
class PlotSurface;
class ProgressWindow;
class TextBox;
class Timer;
struct PointStretch;
enum class PointsFormat;

// The main window: every control and menu of the program, the start-up, the trace selection and exit.
// Controls carry the names their handlers are known by, as member names and as object names.
class Trazel : public QMainWindow {
    Q_OBJECT

public:
    // Creates the controls and runs the start-up; the window is shown by the caller.
    Trazel(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    ~Trazel() override;

    // Start-up values of the state and the controls, the trace 1 selection and the empty axes.
    void Form_Initialize();
    // Trace Index + 1 has been selected (Index 0..2).
    void ch_select_Click(int Index);
    // Paints the view buttons in the colour of trace t (1..3).
    void ColourViewButtons(int t);
    void mnuExit_Click();

    // The settings fields of the recording layout. Each checks what was typed and keeps the values derived
    // from it in step; while the acquisition loop runs none of them draws, they ask the loop to redraw.
    // Enter (KeyAscii 13) moves on to the next control where that control can take the focus.
    void sampling_hz_KeyPress(int KeyAscii);
    void sampling_hz_LostFocus();
    void scr_lng_KeyPress(int KeyAscii);
    void scr_lng_LostFocus();
    void file_lng_KeyPress(int KeyAscii);
    void file_lng_Change();
    void file_lng_LostFocus();
    void ch_list_Click(int Index);
    void ch_list_KeyPress(int Index, int KeyAscii);
    void ch_list_LostFocus(int Index);
    void gain_Click(int Index);
    void gain_Change(int Index);

    // "Block mode" asks for the sweep length (and, once in block mode, changes it); "Continuous" returns
    // to one uninterrupted run. Both work in either layout.
    void mnuBlock_Click();
    void mnuContinuous_Click();

    // The two layouts, each from the same fresh starting point: "Mea&sure" for recording, "&Trazel" for
    // evaluation. "CLR" empties the results tables.
    void mnuTrazel_Click();
    void mnuMeasure_Click();
    void Clear_Click();

    // Live input and recording. Monitor runs the acquisition loop without a file; Record opens a file and,
    // in continuous mode, runs the loop into it, in block mode waits for the sweeps that Save appends;
    // STOP ends the loop (CLOSE closes a block recording); STIM makes a sweep in block mode and marks the
    // next point otherwise; MARKER switches the marker word of the points on and off.
    void monitor_Click();
    void store_Click();
    void halt_Click();
    void save_Click();
    void stim_Click();
    void drug_button_Click();
    void Timer1_Timer();
    // Takes a point from the source whenever one is due, draws it as a moving pen and records it, until
    // STOP, a full file, a failed write or a loop started inside this one ends it.
    void AcquireLoop();
    // The clock that paces the points; tests hand in one they control.
    void useClock(Clock& clock) { m_clock = &clock; }
    // Where recordings are proposed: nb_data in the home folder, made when missing.
    static QString recordingFolder();

    // The view of the evaluated data: Expand and Compress halve and double the time span, Zoom selection
    // shows the selected stretch; "*2" and "/2" change the selected trace's gain, the arrows shift it by
    // scale steps; Invert flips its sign; Raw curves undoes all of it; Overplot lays the sweeps one below
    // the other (DrawOverplot draws that view).
    void mnuExpand_Click();
    void mnuCompress_Click();
    void mnuZoom_sel_Click();
    void mul_Click();
    void div_Click();
    void pshift_Click();
    void nshift_Click();
    void mnuInvert_Click();
    void mnuRaw_Click();
    void mnuOverplot_Click();
    void DrawOverplot();

    // Automatic peaks over a selection: switched on and off here, the level band placed with the mouse,
    // the search run by Add.
    void mnuPeaks_Click();

    // Short text labels over the plot: Insert puts up the first free one of 20 to be typed into, Enter
    // ends the editing and the label shrinks to its text, an emptied label is free again; Delete frees the
    // label that last had the focus. A label is dragged with the left button held and lands where it is
    // let go over the plot. Marks off wipes the level band and the selection.
    void mnuTextInsert_Click();
    void mnuTextDelete_Click();
    void Text1_GotFocus(int Index);
    void Text1_KeyPress(int Index, int KeyAscii);
    void Text1_LostFocus(int Index);
    void Text1_MouseMove(int Index, int Button, int Shift, double X, double Y);
    // The dragged label let go at X, Y in the plot's pixels.
    void disp_DragDrop(int Index, double X, double Y);
    void mnuMarksoff_Click();

    // "PSD" replaces the sweeps of a block file by their smoothed power spectra on a frequency axis;
    // "Raw curves" brings the sweeps back. ComputeSpectrum fills SpectrumData from `data`, sweep by sweep.
    void mnuPSD_Click();
    void ComputeSpectrum(const TraceBuffer& data);

    // File > Open: asks for a data file and shows it.
    void mnuOpen_Click();
    // Shows a data file as File > Open does once the file is chosen: the file named on the command line,
    // a dropped file and the recent files of the File menu come this way.
    void OpenFile(const QString& fileName);
    // Recent file Index (1..5) of the File menu; a file that has gone is taken off the list with a message.
    void mnuRecent_Click(int Index);
    // Reads the file with the reader its extension (FileExt) names, clears the annotations and the
    // results tables and writes the status line.
    void OpenDataFile(const QString& fileName);
    // The readers fill the data arrays and the file's time base; false after a failure, which they have
    // reported to the user and which leaves no data loaded.
    bool ReadBinFile(const QString& fileName);
    bool ReadPrnFile(const QString& fileName);

    // Empties every results table and its records and heads the tables for the current mode.
    void ResetTable();

    // The mouse on the plot: a left press or drag places the cursor with its readout, right presses in
    // continuous data mark a selection. Button 1 left, 2 right; X and Y in plot coordinates.
    void disp_MouseDown(int Button, int Shift, double X, double Y);
    void disp_MouseMove(int Button, int Shift, double X, double Y);

    // Results table of the current trace: "Add" enters the cursor position, "Delete" the last line,
    // "Newblk" closes the block with its statistics.
    void add_Click();
    void AddResultRow();
    void CompleteRow();
    void del_Click();
    void newblk_Click();
    void BlockStatistics();

    // The Copy menu: 1 the plot as a picture, black on white with the text labels; 2 the block means,
    // 3 and 4 the whole table of the current trace laid out for a word processor and a spreadsheet; 5 the
    // sample values of the view (CopyCurvePoints). Other indexes do nothing.
    void mnuCopyitem_Click(int Index);
    void CopyCurvePoints();
    // File > "Save table as..." and "Save curve points as...": the current trace's results table and the
    // samples the curve-point copy takes, as CSV files for a spreadsheet.
    void mnuSaveTable_Click();
    void mnuSaveCurvePoints_Click();

    // Which curves are drawn, paging through sweeps or screens, and the running average.
    void mnuS_A_Click();
    void mnuA_S_Click();
    void mnuS_Click();
    void mnuA_Click();
    void PgDn_Click();
    void PgUp_Click();
    void accept_Click();
    void clear_ave_Click();

    AppState& s;
    Dialogs& dialogs;

    PlotSurface* disp;
    QWidget* Picture1;
    QWidget* controler;
    QGroupBox* Frame1;
    std::array<FlexGrid*, 3> Grid1{};
    std::array<OptionButton*, 3> ch_select{};
    std::array<ComboBox*, 3> ch_list{};
    std::array<ComboBox*, 3> gain{};
    ComboBox* sampling_hz;
    ComboBox* scr_lng;
    ComboBox* file_lng;
    ComboBox* dly1;
    ComboBox* stim_num;
    ComboBox* interval;
    CommandButton* monitor;
    CommandButton* store;
    CommandButton* halt;
    CommandButton* save;
    CommandButton* stim;
    CommandButton* drug_button;
    CommandButton* accept;
    CommandButton* clear_ave;
    CommandButton* PgUp;
    CommandButton* PgDn;
    CommandButton* mul;
    CommandButton* div;
    CommandButton* pshift;
    CommandButton* nshift;
    CommandButton* add;
    CommandButton* del;
    CommandButton* newblk;
    CommandButton* Clear;
    TextBox* status;
    std::array<TextBox*, 20> Text1{};
    QLabel* Label1;
    QLabel* SA_label;
    QLabel* ave_count;
    QLabel* ave_count_label;
    QLabel* sampling_label;
    QLabel* hz;
    QLabel* scr_lng_label;
    QLabel* scr_unit;
    QLabel* file_label;
    QLabel* file_unit;
    QLabel* dly1_label;
    QLabel* ms1_label;
    QLabel* stim_num_label;
    QLabel* interval_label;
    QLabel* ms2_label;
    QLabel* gain_label;
    QLabel* ch_label;
    QLabel* dummy;
    Timer* Timer1;
    ProgressWindow* Scroll;

    QAction* mnuFile;
    QAction* mnuOpen;
    QAction* mnuSaveTable;
    QAction* mnuSaveCurvePoints;
    QAction* separator1;
    BoundedArray<QAction*, 1, RecentFileCount> mnuRecent; // hidden while unused
    QAction* separator4;
    QAction* mnuExit;
    QAction* mnuCopy;
    BoundedArray<QAction*, 1, 5> mnuCopyitem;
    QAction* mnuZoom;
    QAction* mnuExpand;
    QAction* mnuCompress;
    QAction* mnuZoom_sel;
    QAction* mnuDisplay;
    QAction* mnuS_A;
    QAction* mnuA_S;
    QAction* mnuS;
    QAction* mnuA;
    QAction* separator2;
    QAction* mnuOverplot;
    QAction* separator3;
    QAction* mnuRaw;
    QAction* mnuPSD;
    QAction* mnuInvert;
    QAction* mnuMarksoff;
    QAction* mnuText;
    QAction* mnuTextInsert;
    QAction* mnuTextDelete;
    QAction* mnuPeaks;
    QAction* mnuBlock;
    QAction* mnuContinuous;
    QAction* mnuMeasure;
    QAction* mnuTrazel;
    // Page Up and Page Down press < and > wherever those are shown.
    QAction* PgUpKey;
    QAction* PgDnKey;

protected:
    // Closing the window ends a running loop first and completes an open recording.
    void closeEvent(QCloseEvent* event) override;
    // A data file dropped onto the window opens as with File > Open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createPlot();
    void createTraceSelectors();
    void createEvaluationControls();
    void createRecordingControls();
    void createResultGrids();
    void createMenus();
    // The keys of a desktop program, shown next to their menu items.
    void assignKeys();
    void arrangeControls();
    void connectHandlers();
    void connectSettingsFields();
    // The controls of the recording layout, which the evaluation layout hides.
    std::vector<QWidget*> recordingControls() const;
    void headTable(FlexGrid& grid);
    // Redraws what the current view shows: the axes, and the curves once there are any, or the overplot
    // view; while the acquisition loop runs, as the loop needs it.
    void redrawView();
    // Shows a time span of `screenLen` in `unit` on a plot of `scaleWidth`, when that holds some points
    // (at least `fewestPoints`) and at most 2^31; false leaves the view as it was.
    bool showTimeSpan(Single screenLen, const std::string& unit, double scaleWidth, double fewestPoints = 0);
    double millisecondsScaleWidth(Single screenLen) const;
    void setStandardScaleWidth();
    void shiftCurrentTrace(int steps);
    std::optional<double> askDisplacement(const QString& curves, const QString& title, Single current);
    void drawAxes();
    void drawCurves();

    // No sweep averaged yet, and the count shown so.
    void clearAveragedCount();
    // The plot's width in pixels into PlotWidthPx, keeping its scale width.
    void measurePlotWidth();
    // Starting values shared by start-up and the layout commands.
    void resetTimeBase();
    // File length 180 s and one stimulus without delay.
    void resetRecordingSettings();
    void resetTraceScales();
    void resetViewState();
    // Frames and panels follow the controls in them after a layout change.
    void fitPanelsToControls();
    // The stimulus and averaging fields of the recording layout, which block mode uses.
    std::vector<QWidget*> stimulusFields() const;
    // The screen and file lengths, which block recording leaves alone.
    std::vector<QWidget*> lengthFields() const;

    // The settings fields' parts of block and continuous mode.
    void enterBlockMode();
    void applySampleInterval(Single interval, Long sweepLength);
    // TraceChannel of trace Index + 1 from its selector, and ChannelCount.
    void takeChannel(int Index);
    void applySweepSpan(const SweepSpan& span);
    // Fresh sweep buffers of SweepLength points and an empty average.
    void createSweepBuffers();
    void writeScreenLength();
    void writeModeCaption();
    // Continuous data show single curves only: the average selections and the sweep tools are off.
    void resetDisplayForContinuous();
    // Redraws the axes now, or asks the running acquisition loop to start a new screen.
    void redrawAxesOrRequest();

    std::vector<QWidget*> m_panels; // frames that show only while a control in them is shown

    struct LoopRun;
    void takePoint(LoopRun& run);
    void waitUntilDue(LoopRun& run);
    void startNewScreen(LoopRun& run);
    void drawPoint(LoopRun& run);
    bool recordPoint(LoopRun& run);
    bool writeRecorded(LoopRun& run);
    void finishLoop(LoopRun& run);
    // The recording file: opened with its header, closed with everything appended; a failure is reported
    // and closes the file.
    bool openRecording();
    bool appendToRecording(std::span<const std::int16_t> samples, std::span<const std::int16_t> markers);
    void closeRecording();
    void reportWriteFailure();
    void enableRecordingControls(bool enabled);
    void restoreAfterBlockRecording();
    // A close asked for while the loop ran, carried out once it has ended.
    void closeIfAsked();
    // ChannelCount: the traces with an input channel.
    void countChannels();

    SimulatedSource m_source;
    SteadyClock m_steadyClock;
    Clock* m_clock = &m_steadyClock;
    std::optional<BinFileWriter> m_recordFile; // the open recording
    bool m_closeAfterLoop = false;             // the window was closed while the loop ran

    void showProgress();
    void finishProgress();
    void showBlockFile();
    void showContinuousFile();
    bool readerFailed();
    void discardData();
    void clearAnnotations();
    void writeFileStatus(const QString& fileName);
    // The file a drop opens: the first .bin or .prn file among those dragged, in the evaluation layout
    // while nothing is recorded; empty when the drop is refused.
    QString droppedDataFile(const QMimeData& data) const;
    // The recent files under Open, in the evaluation layout.
    void showRecentFiles();
    void writeCurveStatus();

    void setCurrentTraceScale();
    // The cursor position for a press at X: held within the view, the sweep and the data.
    double cursorPosition(double X) const;
    QString readoutText(double x) const;
    void placeReadout(double x);
    void invertLine(double x1, double y1, double x2, double y2);
    void invertBox(double x1, double y1, double x2, double y2);
    void moveSelection(double x);
    void placeLevelBand(double Y);
    void removeLevelBand();
    void invertLevelBand();
    void searchPeaks();

    FlexGrid& currentGrid();
    int statisticsColumn(int field) const;
    // Rows up to `row` exist in the grid of the current trace.
    void ensureTableRows(int row);
    void scrollTableTo(int tableRow);
    bool addBlockModeRow();
    void addContinuousModeRow();

    void copyPicture();
    void printTextLabels();
    PointStretch viewStretch() const;
    std::string curvePointsOfView(PointsFormat format) const;
    // Asks where to save `what` (a proposed name beside the data file) and writes the text there; false
    // when cancelled or when the file could not be written, which the user has been told.
    bool saveCsv(const QString& title, const QString& proposedName, const std::string& text);

    struct DisplaySelection;
    void selectDisplay(QAction* chosen, const DisplaySelection& selection);
    void leaveOverplot();
    void drawAxesAndCurves();
};

} // namespace trazel
