#include "core/number_rules.h"
#include "core/trace_colours.h"
#include "files/file_view.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

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

void Trazel::mnuOpen_Click() {
    FileDialogRequest request;
    request.filter = QStringLiteral("Trazel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn");
    request.filterIndex = 1;
    request.title = QStringLiteral("Open data file");
    const QString chosen = dialogs.ShowOpen(request);
    if (chosen.isEmpty()) {
        return; // cancelled: the data and the plot stay as they were
    }
    OpenFile(chosen);
}

void Trazel::OpenFile(const QString& fileName) {
    s.FileName = fileName.toStdString();
    s.FileExt = fileExtension(s.FileName);
    OpenDataFile(fileName);
    setMousePointer(*this, MousePointer::Default);
    resetCurvePens(s);
    s.CurrentTrace = 1;
    // Selecting trace 1 redraws the axes and the curves of the new file.
    ch_select[static_cast<std::size_t>(s.CurrentTrace - 1)]->setValue(true);
}

void Trazel::OpenDataFile(const QString& fileName) {
    Label1->hide();
    measurePlotWidth();

    s.SelStart = -1;
    s.SelEnd = -1;
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceOffset(t) = 0;
        s.TraceShift(t) = 0;
    }
    s.SampleCount = 0;
    // The new data are no spectrum: left set, Invert would do nothing and the marks would stay hidden.
    s.SpectrumShown = false;
    if (mnuOverplot->isChecked()) {
        mnuOverplot->setChecked(false);
        mnuS->setChecked(true);
        SA_label->setText(QStringLiteral(" sngl"));
    }
    setMousePointer(*this, MousePointer::Hourglass);

    s.FileExt = upperCase(s.FileExt);
    bool read = false;
    if (s.FileExt == "PRN") {
        read = ReadPrnFile(fileName);
    } else if (s.FileExt == "BIN") {
        read = ReadBinFile(fileName);
    } else {
        read = readerFailed(); // no reader knows the file: nothing was loaded
    }
    s.InFile = 0;
    clearAnnotations();
    mnuInvert->setEnabled(true);
    ResetTable();
    status->setText(QString());
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
        writeCurveStatus();
        return;
    }
    writeFileStatus(fileName);
}

// The status line of continuous data: the file's date and time of change, in the system's long formats.
void Trazel::writeFileStatus(const QString& fileName) {
    const QFileInfo file(fileName);
    if (!file.exists()) {
        readerFailed();
        return;
    }
    const QDateTime changed = file.lastModified();
    const QLocale locale = QLocale::system();
    status->setText(locale.toString(changed.date(), QLocale::LongFormat) + QStringLiteral("   ") +
                    locale.toString(changed.time(), QLocale::LongFormat));
}

void Trazel::clearAnnotations() {
    for (TextBox* label : Text1) {
        label->setText(QString());
        label->setEnabled(false);
        label->hide();
    }
}

} // namespace trazel
