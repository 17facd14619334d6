// File > Save table as / Save curve points as: what the Copy menu puts on the clipboard, as CSV files;
// File > Export as EDF+/BDF+: the whole recording.

#include "core/display_text.h"
#include "export/curve_points.h"
#include "export/exports.h"
#include "export/recording_export.h"
#include "export/table_texts.h"
#include "ui/dialogs.h"
#include "ui/mouse_pointer.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace trazel {

namespace {

// A name beside the data file: its stem and `suffix`; "results" in the home folder when no file was opened.
QString besideDataFile(const std::string& dataFile, const QString& suffix) {
    if (dataFile.empty()) {
        return QDir::homePath() + QStringLiteral("/results") + suffix;
    }
    const QFileInfo data(qtext(dataFile));
    return data.absolutePath() + QLatin1Char('/') + data.completeBaseName() + suffix;
}

// The whole text or nothing: a failed write leaves an earlier file of that name as it was.
bool writeFile(const QString& path, const std::string& text) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
           file.commit();
}

// The loaded recording as read: every point of the traces with data, as the file held them.
RecordingView recordingOf(const AppState& s) {
    RecordingView recording;
    recording.rate = rateOfInterval(s.SampleInterval);
    recording.sweepLength = s.FileBlockMode ? s.FileSweepLength : -1;
    const auto count = static_cast<std::size_t>(s.SampleCount);
    for (int t = 1; t <= TraceCount && s.TraceChannel(t) > 0; ++t) {
        recording.traces.push_back(s.RawData.trace(t).first(count));
        recording.labels.push_back(s.TraceLabel(t));
        recording.units.push_back(s.TraceUnit(t));
    }
    recording.markers = s.Markers.span().first(count);
    recording.events = s.Events;
    return recording;
}

// An EDF file's own name would be overwritten: the export of one is proposed beside it.
QString proposedEdfName(const std::string& dataFile) {
    const QString suffix = QFileInfo(qtext(dataFile)).suffix().toLower();
    return besideDataFile(dataFile, suffix == QStringLiteral("edf") || suffix == QStringLiteral("bdf")
                                        ? QStringLiteral("_export.") + suffix
                                        : QStringLiteral(".edf"));
}

} // namespace

void Exports::mnuExportEdf_Click() {
    if (!s.DataLoaded || s.SampleCount < 1) {
        return;
    }
    const QString title = QStringLiteral("Export as EDF+/BDF+");
    const QString proposed = proposedEdfName(s.FileName);
    FileDialogRequest request;
    request.filter = QStringLiteral("EDF+ files (*.edf)|*.edf|BDF+ files (*.bdf)|*.bdf");
    request.filterIndex = QFileInfo(proposed).suffix() == QStringLiteral("bdf") ? 2 : 1;
    request.title = title;
    request.fileName = QFileInfo(proposed).fileName();
    request.initialFolder = QFileInfo(proposed).absolutePath();
    request.defaultExtension = QStringLiteral("edf");
    const QString chosen = m_dialogs.ShowSave(request);
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path path(chosen.toStdString());
    const std::optional<ExportFormat> format = exportFormatOf(path);
    std::string reason = "the name must end in .edf (16-bit EDF+) or .bdf (24-bit BDF+)";
    setMousePointer(m_window, MousePointer::Hourglass);
    const bool written =
        format && *format != ExportFormat::Csv && exportRecording(path, *format, recordingOf(s), reason);
    setMousePointer(m_window, MousePointer::Default);
    if (!written) {
        m_dialogs.MsgBox(
            QStringLiteral("Could not write %1: %2.").arg(chosen, QString::fromStdString(reason)),
            MsgButtons::Ok, MsgIcon::Exclamation, title);
    }
}

void Exports::mnuSaveTable_Click() {
    const int c = s.CurrentTrace;
    saveCsv(QStringLiteral("Save table as"),
            besideDataFile(s.FileName, QStringLiteral("_trace%1.csv").arg(c)),
            tableCsv(s.Results.records(c, s.NextRecord(c) - 1), s.BlockMode));
}

void Exports::mnuSaveCurvePoints_Click() {
    if (!s.MeasureLayout && !s.DataLoaded) {
        return;
    }
    saveCsv(QStringLiteral("Save curve points as"), besideDataFile(s.FileName, QStringLiteral("_points.csv")),
            curvePointsOfView(PointsFormat::Csv));
}

bool Exports::saveCsv(const QString& title, const QString& proposedName, const std::string& text) {
    FileDialogRequest request;
    request.filter = QStringLiteral("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
    request.title = title;
    request.fileName = QFileInfo(proposedName).fileName();
    request.initialFolder = QFileInfo(proposedName).absolutePath();
    request.defaultExtension = QStringLiteral("csv");
    const QString chosen = m_dialogs.ShowSave(request);
    if (chosen.isEmpty()) {
        return false;
    }
    setMousePointer(m_window, MousePointer::Hourglass);
    const bool written = writeFile(chosen, text + "\r\n");
    setMousePointer(m_window, MousePointer::Default);
    if (!written) {
        m_dialogs.MsgBox(QStringLiteral("Could not write %1.").arg(chosen), MsgButtons::Ok,
                         MsgIcon::Exclamation, title);
    }
    return written;
}

} // namespace trazel
