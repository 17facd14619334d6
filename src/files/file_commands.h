#pragma once

#include "core/app_state.h"
#include "core/doors.h"
#include "display/mode_controls.h"
#include "files/import_file.h"
#include "files/recent_files.h"

class QLabel;
class QMimeData;
class QWidget;

namespace trazel {

class Dialogs;
class Labels;
class PlotSurface;
class ProgressWindow;
class TextBox;
class Views;

// The recent files of the File menu, the status line that shows a file's date, the progress window of the
// readers, the cursor readout (hidden while a file is read) and the window that shows the hourglass.
struct FileControls {
    BoundedArray<QAction*, 1, RecentFileCount> mnuRecent; // hidden while unused
    QAction* separator4 = nullptr;
    TextBox* status = nullptr;
    ProgressWindow* Scroll = nullptr;
    QLabel* Label1 = nullptr;
    QWidget* window = nullptr;
};

// The neighbours a file's opening reaches: the curve views, the text labels, the results tables, the
// window's caption and the trace selectors.
struct FileNeighbours {
    Views& views;
    Labels& labels;
    ResultsTables& tables;
    Caption& caption;
    TraceSelection& traces;
};

// Opening data files: File > Open, the recent files, a file named on the command line or dropped onto the
// window, and the readers of the recorded (.bin) and Labtech (.prn) files.
class FileCommands final : public RecentFilesMenu {
public:
    FileCommands(AppState& state, Dialogs& dialogs, PlotSurface& disp, const ModeControls& modes,
                 const FileControls& controls, const FileNeighbours& neighbours);

    // Asks for a data file and shows it.
    void mnuOpen_Click();
    // Shows a data file as File > Open does once the file is chosen.
    void OpenFile(const QString& fileName);
    // Recent file Index (1..5); a file that has gone is taken off the list with a message.
    void mnuRecent_Click(int Index);
    // Reads the file with the reader its extension (FileExt) names, clears the annotations and the
    // results tables and writes the status line.
    void OpenDataFile(const QString& fileName);
    // The readers fill the data arrays and the file's time base; false after a failure, which they have
    // reported to the user and which leaves no data loaded.
    bool ReadBinFile(const QString& fileName);
    bool ReadPrnFile(const QString& fileName);
    // Other equipment's recordings (EDF, EDF+, BDF, BDF+ …): the physical values of up to three signals of
    // one rate (the user picks when the file has more, or of different rates), the file's events as marks.
    bool ReadSignalFile(const QString& fileName);
    // Where the import process is and how long it may take (a test points it at a build that crashes or
    // hangs on request); Cancel is ReadSignalFile's own.
    ImportControl& importControl() { return m_import; }
    void showRecentFiles() override;
    // The file a drop opens: the first data file (.bin, .prn, .edf, .bdf) among those dragged, in the
    // evaluation layout while nothing is recorded; empty when the drop is refused.
    QString droppedDataFile(const QMimeData& data) const;

private:
    void showProgress();
    void finishProgress();
    void showBlockFile();
    void showContinuousFile();
    void showReadData();
    bool readerFailed(const std::string& reason = {});
    void forgetData();
    void discardData();
    void writeFileStatus(const QString& fileName);

    AppState& s;
    Dialogs& m_dialogs;
    PlotSurface& m_disp;
    ModeControls m_modes;
    FileControls m_c;
    FileNeighbours m_n;
    ImportControl m_import;
};

} // namespace trazel
