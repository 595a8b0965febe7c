#pragma once
// The door of the deep examination window: the operations other windows (and
// the sign catalogue's handlers) use on it. They read the eye chosen, and
// read, replace and append to the sign box mmSign and the pathology box
// mmPathology, each a list of text lines. Nobody outside the window's own
// files touches its controls or includes its class; they come here.
//
// Writing into a box creates the window when it does not exist yet (owned by
// the main window) but does not show it: the callers open it first where
// they bring it up.
#include "deep/recording.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace deep {

// Creates the window on first use, shows it, makes it visible and brings it
// to the front.
void open();
// Whether the window has been created.
bool exists();
// The window, to own a message box; nullptr while it does not exist.
QWidget *window();
// Enrols the window, "fmDeep", to be opened by its name (at start-up).
void enrol();

// The eye option chosen: rbRight "Правый" or rbLeft "Левый"; Right while the
// window does not exist, as it starts.
Eye chosenEye();

// The sign box. Every change of its text counts as a modification that
// "Заключение" records; emptying it clears the flag.
QStringList signLines();
void setSignLines(const QStringList &lines);
void appendSignLine(const QString &line);
void clearSignLines();

// The pathology box.
QStringList pathologyLines();
void setPathologyLines(const QStringList &lines);
void appendPathologyLines(const QStringList &lines);
void clearPathologyLines();

} // namespace deep
