#pragma once
// Fixed window places, in screen pixels.
class QWidget;

namespace place {

// Places a window so that its outer frame starts at (x, y) and measures w x h.
void outer(QWidget *window, int x, int y, int w, int h);
// Places a window at (x, y) with an inside (client) area of w x h.
void client(QWidget *window, int x, int y, int w, int h);
// Centres a window of the given outer size on the primary screen.
void centred(QWidget *window, int w, int h);

} // namespace place
