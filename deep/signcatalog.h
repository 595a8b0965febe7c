#pragma once
// The sign catalogue: the knowledge base of the deep examination. Every item
// of the deep window's menu bar, in menu order (depth first), with the
// pathology codes each sign stands for, its text rule (deep/signtext.h) and
// what it opens. The menus are built from this table (deep/signmenus.h).
#include <QList>
#include <QString>
#include <QStringList>

namespace deep::catalog {

// What choosing an item does after the lookup.
enum class Action {
    None,          // nothing more
    Projection,    // [Z] the projection-zone charts
    Collarette,    // [B] the pupillary-belt chart of the right eye
    PupilDecenter, // the pupil window at one of its pages; these items bear
    PupilFlatten,  //   no codes and no text
    PupilBorder,
};

// One row: a submenu or an item. Rows come in menu order; a submenu's row
// comes before its own rows.
struct Entry {
    bool isMenu = false;
    QString parent;   // component name of the submenu holding it; empty for a menu bar entry
    QString name;     // component name, the object name of the menu item
    QString caption;  // verbatim, as the catalogue writes it
    QString rule;     // submenu: the text rule of its signs; item: its own rule where it differs
    QList<int> codes; // item: pathology codes, in lookup order
    Action action = Action::None;
    QString hint;     // status tip and tooltip, where one is given
};

const QList<Entry> &entries();
const Entry *findEntry(const QString &name);

// A choosable item, resolved: its path of captions and the rule it uses.
struct Sign {
    QString name;
    QString menu;      // component name of its submenu
    QStringList path;  // captions from the menu bar entry (level 0) down to the item
    QString rule;      // empty for the pupil-window items
    QList<int> codes;  // empty for the pupil-window items
    Action action = Action::None;

    bool bearsCodes() const { return !codes.isEmpty(); }
    // The sign text by its rule from the captions of its path.
    QString text() const;
};

// The 270 choosable items, in menu order.
const QList<Sign> &signs();
const Sign *findSign(const QString &name);

// "tsDecenter", "tsFlatten", "tsBorder" for the pupil-window items; empty otherwise.
QString pupilPage(Action action);

} // namespace deep::catalog
