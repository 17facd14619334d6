// File > Save table as / Save curve points as: what the Copy menu puts on the clipboard, as CSV files.

#include "core/display_text.h"
#include "export/curve_points.h"
#include "export/exports.h"
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

} // namespace

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
