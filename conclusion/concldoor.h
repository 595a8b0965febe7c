#pragma once
// The door of the draft conclusion window: the operations other windows use
// on it. Nobody outside the window's own files touches its controls or
// includes its class; they come here.
//
// The text box mmConcl is addressed by lines. Writing into it creates the
// window when it does not exist yet (owned by the main window) but does not
// show it: the callers open it first where they bring it up.
#include <QString>
#include <QStringList>

class QWidget;

namespace concl {

// Creates the window on first use, shows it, makes it visible and brings it
// to the front.
void open();
// Whether the window has been created.
bool exists();
// The window, to own a message box; nullptr while it does not exist.
QWidget *window();

// Whether mmConcl holds a conclusion (ConclMode 0) changed since it was
// last saved, emptied or shown from a card's file.
bool holdsUnsavedConclusion();
// What mmConcl holds now counts as saved (a stored conclusion just shown).
void markSaved();

// The lines of mmConcl; none while the window does not exist.
QStringList lines();
// Empties mmConcl (nothing unsaved is left).
void clear();
// mmConcl holds exactly these lines.
void setLines(const QStringList &lines);
// Adds the lines after the last line of mmConcl.
void appendLines(const QStringList &lines);
// Inserts text into displayed line `line` of mmConcl (counted from 0 as the
// box shows its lines, long lines wrapped) after its first `column`
// characters, or at its end when it is shorter. A line the box does not
// show (the text became shorter) takes nothing: the box is unchanged.
void insertAt(int line, int column, const QString &text);
// Displayed line `line` of mmConcl, counted as insertAt counts; empty for a
// line the box does not show.
QString displayedLine(int line);

} // namespace concl
