#pragma once
// The deep window's menu bar MenuDeep, built from the sign catalogue
// (deep/signcatalog.h), and what choosing one of its items does.
class QAction;
class QMenuBar;
class QString;

// Fills the deep window's MenuDeep: the two menu bar entries, their nested
// submenus and every item, in catalogue order. Each submenu and item carries
// its component name as object name ("LacunaItem", "OpenLacunaItem", ...).
// The items choose the examination's current sign (state/examination.h).
void buildSignMenus(QMenuBar *bar);

// The handler of every code-bearing sign, in this order: the sign becomes
// the examination's current sign (its codes, its text, its pathology lines
// from the dictionary); then the sign's
// chart opens, if it has one. The eye choice is not consulted and nothing is
// recorded.
void SignItemClick(QAction *item);

// The handler of "Децентрация", "Уплощение" and "Зрачковая кайма": empties
// the current sign and its pathology lines and opens the pupil window at the
// item's page; the sign codes stay as the previous sign left them.
void PupilItemClick(QAction *item);

namespace deep::signmenus {
// A caption as a menu shows it: "&" would mark a mnemonic, so it is doubled.
QString displayCaption(const QString &caption);
// The caption back from a menu's text.
QString plainCaption(const QString &menuText);
} // namespace deep::signmenus
