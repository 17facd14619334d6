#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>

namespace trazel {

enum class CheckMark { None, Possible };

// A menu item named like its handler's control; an item that can carry a check mark shows it only
// where the program sets it: choosing the item does not toggle it.
QAction* addMenuItem(QWidget* menu, const char* name, const QString& caption,
                     CheckMark mark = CheckMark::None);
QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption);
QAction* addSeparator(QMenu* menu, const char* name);

// Runs the handler when the user chooses the item.
void onClick(QAction* item, std::function<void()> handler);

} // namespace trazel
