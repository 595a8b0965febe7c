#pragma once
// The one way a working window is opened: create it once, owned by the main
// window, then show it, make it visible and bring it to the front. Closing a
// working window only hides it, so its contents live until the program ends.
// Only a window's door (and its own tests) open it this way; everybody else
// asks the door.
#include "state/windows.h"

#include <QPointer>
#include <QWidget>

namespace state {

template <class Window>
Window *ensureWindow(QPointer<Window> &ref)
{
    if (!ref)
        ref = new Window(fmNirel3.data());
    return ref.data();
}

template <class Window>
Window *openWindow(QPointer<Window> &ref)
{
    Window *w = ensureWindow(ref);
    w->show();
    if (!w->isVisible())
        w->setVisible(true);
    w->raise();
    w->activateWindow();
    return w;
}

} // namespace state
