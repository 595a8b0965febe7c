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

// A window is owned by the main window unless another owner is named.
template <class Window>
Window *ensureWindow(QPointer<Window> &ref, QWidget *owner = fmNirel3.data())
{
    if (!ref)
        ref = new Window(owner);
    return ref.data();
}

template <class Window>
Window *openWindow(QPointer<Window> &ref, QWidget *owner = fmNirel3.data())
{
    Window *w = ensureWindow(ref, owner);
    w->show();
    if (!w->isVisible())
        w->setVisible(true);
    w->raise();
    w->activateWindow();
    return w;
}

} // namespace state
