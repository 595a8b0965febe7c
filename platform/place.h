#pragma once
// Fixed window places, in screen pixels.
class QWidget;

namespace platform::place {

// Places a window so that its outer frame starts at (x, y) and measures w x h.
// Before the window is first shown its frame is taken from a window on
// screen (the main window, in practice).
void outer(QWidget *window, int x, int y, int w, int h);
// Places a window at (x, y) with an inside (client) area of w x h.
void client(QWidget *window, int x, int y, int w, int h);
// Centres a window with an inside (client) area of w x h on the primary screen.
void centred(QWidget *window, int w, int h);
// Centres a window whose outer frame measures w x h on the primary screen;
// also right for the first window of the program: once the window manager
// has framed it, its inside is made to fit.
void centredOuter(QWidget *window, int w, int h);

} // namespace platform::place
