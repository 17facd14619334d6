#include "files/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace trazel {

namespace {

const QString RecentFilesKey = QStringLiteral("recentFiles");

QString absolutePath(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

void storeRecentFiles(const QStringList& paths) {
    QSettings().setValue(RecentFilesKey, paths);
}

} // namespace

QStringList recentFiles() {
    return QSettings().value(RecentFilesKey).toStringList().mid(0, RecentFileCount);
}

void addRecentFile(const QString& path) {
    const QString entry = absolutePath(path);
    QStringList paths = recentFiles();
    paths.removeAll(entry);
    paths.prepend(entry);
    storeRecentFiles(paths.mid(0, RecentFileCount));
}

void removeRecentFile(const QString& path) {
    QStringList paths = recentFiles();
    paths.removeAll(absolutePath(path));
    storeRecentFiles(paths);
}

} // namespace trazel
