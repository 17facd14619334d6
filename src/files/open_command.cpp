#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "display/axes.h"
#include "display/text_labels.h"
#include "display/views.h"
#include "files/file_commands.h"
#include "files/file_view.h"
#include "files/signal_files.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>

namespace trazel {

namespace {

std::string upperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

FileCommands::FileCommands(AppState& state, Dialogs& dialogs, PlotSurface& disp, const ModeControls& modes,
                           const FileControls& controls, const FileNeighbours& neighbours)
    : s(state), m_dialogs(dialogs), m_disp(disp), m_modes(modes), m_c(controls), m_n(neighbours) {}

void FileCommands::mnuOpen_Click() {
    FileDialogRequest request;
    request.filter = QStringLiteral(
        "All recordings|*.bin;*.prn;*.edf;*.bdf;*.abf;*.hea;*.gdf;*.vhdr;*.scp;*.cfs;*.cnt|"
        "Trazel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn|EDF/BDF files (*.edf *.bdf)|*.edf;*.bdf|"
        "Axon ABF files (*.abf)|*.abf|WFDB records (*.hea)|*.hea|GDF files (*.gdf)|*.gdf|"
        "BrainVision files (*.vhdr)|*.vhdr|SCP-ECG, CFS and CNT files (*.scp *.cfs *.cnt)|*.scp;*.cfs;*.cnt");
    request.filterIndex = 1;
    request.title = QStringLiteral("Open data file");
    const QString chosen = m_dialogs.ShowOpen(request);
    if (chosen.isEmpty()) {
        return; // cancelled: the data and the plot stay as they were
    }
    OpenFile(chosen);
}

void FileCommands::OpenFile(const QString& fileName) {
    s.FileName = fileName.toStdString();
    s.FileExt = fileExtension(s.FileName);
    OpenDataFile(fileName);
    setMousePointer(*m_c.window, MousePointer::Default);
    resetCurvePens(s);
    s.CurrentTrace = 1;
    // Selecting trace 1 redraws the axes and the curves of the new file.
    m_n.traces.selectTrace(s.CurrentTrace);
}

void FileCommands::OpenDataFile(const QString& fileName) {
    m_c.Label1->hide();
    measurePlotWidth(s, m_disp);

    s.SelStart = -1;
    s.SelEnd = -1;
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceOffset(t) = 0;
        s.TraceShift(t) = 0;
    }
    s.SampleCount = 0;
    // The new data are no spectrum: left set, Invert would do nothing and the marks would stay hidden.
    s.SpectrumShown = false;
    if (m_modes.mnuOverplot->isChecked()) {
        m_modes.mnuOverplot->setChecked(false);
        m_modes.mnuS->setChecked(true);
        m_modes.SA_label->setText(QStringLiteral(" sngl"));
    }
    setMousePointer(*m_c.window, MousePointer::Hourglass);

    s.FileExt = upperCase(s.FileExt);
    bool read = false;
    if (isSignalFileName(fileName.toStdString())) {
        read = ReadSignalFile(fileName);
    } else if (s.FileExt == "PRN") {
        read = ReadPrnFile(fileName);
    } else if (s.FileExt == "BIN") {
        read = ReadBinFile(fileName);
    } else {
        read = readerFailed(); // no reader knows the file: nothing was loaded
    }
    s.InFile = 0;
    m_n.labels.clearAnnotations();
    m_modes.mnuInvert->setEnabled(true);
    m_n.tables.ResetTable();
    m_c.status->setText(QString());
    if (!read) {
        return;
    }
    s.DataLoaded = true;
    addRecentFile(fileName);
    showRecentFiles();
    // Raw curves returns every trace to the scale it was opened in.
    for (int t = 1; t <= TraceCount; ++t) {
        s.SavedPeak(t) = s.TracePeak(t);
    }
    if (s.BlockMode) {
        m_n.views.writeCurveStatus();
        return;
    }
    writeFileStatus(fileName);
}

// The status line of continuous data: the file's date and time of change, in the system's long formats.
void FileCommands::writeFileStatus(const QString& fileName) {
    const QFileInfo file(fileName);
    if (!file.exists()) {
        readerFailed();
        return;
    }
    const QDateTime changed = file.lastModified();
    const QLocale locale = QLocale::system();
    m_c.status->setText(locale.toString(changed.date(), QLocale::LongFormat) + QStringLiteral("   ") +
                        locale.toString(changed.time(), QLocale::LongFormat));
}

} // namespace trazel
