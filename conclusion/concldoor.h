#pragma once
// The door of the draft conclusion window: the operations other windows use
// on it. Nobody outside the window's own files touches its controls or
// includes its class; they come here. The text it shows is the
// examination's draft (state/examination.h).
//
// Writing the draft creates the window when it does not exist yet (owned by
// the main window) but does not show it: the callers open it first where
// they bring it up.
#include <QString>
#include <QStringList>

namespace conclusion::concl {

// Creates the window on first use, shows it, makes it visible and brings it
// to the front.
void open();
// Whether the window has been created.
bool exists();
// Shows a message over the window (over none while it does not exist).
void showMessage(const QString &text);
// Enrols the window, "fmConcl", to be opened by its name (at start-up).
void enrol();

// Whether the draft holds a conclusion (ConclMode 0) changed since it was
// last saved, emptied or shown from a card's file.
bool holdsUnsavedConclusion();
// What the draft holds now counts as saved (a stored conclusion just shown).
void markSaved();

// The lines of the draft; none while the window does not exist.
QStringList lines();
// Empties the draft (nothing unsaved is left).
void clear();
// The draft holds exactly these lines.
void setLines(const QStringList &lines);
// Adds the lines after the last line of the draft.
void appendLines(const QStringList &lines);

} // namespace conclusion::concl
