// The ways to a data file besides the open dialog: the recent files of the File menu and a file dropped
// onto the window (which the window hands over). Each ends in OpenFile, so every file meets the same readers,
// questions and messages.

#include "files/file_commands.h"
#include "files/file_view.h"
#include "files/recent_files.h"
#include "files/signal_files.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace trazel {

namespace {

bool hasReader(const QString& path) {
    const QString extension = QString::fromStdString(fileExtension(path.toStdString())).toUpper();
    return extension == QStringLiteral("BIN") || extension == QStringLiteral("PRN") ||
           isSignalFileName(path.toStdString());
}

// "&1 data01.bin": the number chooses the item from the keyboard; an "&" of the name is shown as one.
QString recentFileCaption(int number, const QString& path) {
    QString name = QFileInfo(path).fileName();
    return QStringLiteral("&%1 %2").arg(number).arg(name.replace(QLatin1Char('&'), QStringLiteral("&&")));
}

} // namespace

void FileCommands::mnuRecent_Click(int Index) {
    const QString path = m_c.mnuRecent(Index)->data().toString();
    if (!QFileInfo::exists(path)) {
        removeRecentFile(path);
        showRecentFiles();
        m_dialogs.MsgBox(
            QStringLiteral("File not found: %1. It has been removed from the list of recent files.")
                .arg(QDir::toNativeSeparators(path)),
            MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("File input"));
        return;
    }
    OpenFile(path);
}

void FileCommands::showRecentFiles() {
    const QStringList paths = s.MeasureLayout ? QStringList() : recentFiles();
    for (int i = 1; i <= RecentFileCount; ++i) {
        QAction* item = m_c.mnuRecent(i);
        const bool used = i <= paths.size();
        item->setVisible(used);
        item->setText(used ? recentFileCaption(i, paths[i - 1]) : QString());
        item->setData(used ? paths[i - 1] : QString());
        item->setToolTip(used ? QDir::toNativeSeparators(paths[i - 1]) : QString());
    }
    m_c.separator4->setVisible(!paths.isEmpty());
}

QString FileCommands::droppedDataFile(const QMimeData& data) const {
    if (s.MeasureLayout || s.Acquiring) {
        return {};
    }
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile() && hasReader(url.toLocalFile())) {
            return url.toLocalFile();
        }
    }
    return {};
}

} // namespace trazel
