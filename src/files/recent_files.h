#pragma once

#include <QStringList>

// The data files opened last, newest first, kept in the application's settings (QSettings) from one run
// to the next. Entries are absolute paths, so a file named relative to one working folder is found from
// any other.
namespace trazel {

inline constexpr int RecentFileCount = 5;

QStringList recentFiles();
// Puts the file first; an earlier entry for the same file goes, and entries beyond RecentFileCount drop off.
void addRecentFile(const QString& path);
void removeRecentFile(const QString& path);

} // namespace trazel
