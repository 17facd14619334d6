#include "ui/menus.h"

namespace trazel {

QAction* addMenuItem(QWidget* menu, const char* name, const QString& caption, CheckMark mark) {
    auto* item = new QAction(caption, menu);
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(mark == CheckMark::Possible);
    if (item->isCheckable()) {
        // Qt toggles a checkable item when it is chosen; the mark is the program's to set, so undo that
        // before any handler runs.
        QObject::connect(item, &QAction::triggered, item, [item] { item->setChecked(!item->isChecked()); });
    }
    menu->addAction(item);
    return item;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

void onClick(QAction* item, std::function<void()> handler) {
    QObject::connect(item, &QAction::triggered, item, std::move(handler));
}

} // namespace trazel
