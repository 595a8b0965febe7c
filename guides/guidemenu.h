#pragma once
// The guide window's menu: three top menus ("Иридолога", "Диетолога",
// "Гомеопата"), their submenus and 251 leaves over 238 guide texts. The menu
// is data: one table, one handler; a leaf names its file by its base name.
#include <QList>
#include <QString>

namespace guides {

struct MenuRow {
    int depth;           // 0 for a top menu
    const char *caption; // as the menu shows it
    const char *file;    // base name of the guide text; nullptr for a submenu
    const char *object = nullptr; // object name of a submenu
};

// The rows in menu order; a submenu's items follow it at depth + 1.
const QList<MenuRow> &menuRows();

// ".\guidText\" + base name + ".txt", as the item passes it on.
QString guideFileName(const QString &baseName);

} // namespace guides
