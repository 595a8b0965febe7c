#pragma once
// The one way a working window is opened: create it once, owned by the main
// window, then show it, make it visible and bring it to the front. Closing a
// working window only hides it, so its contents live until the program ends.
// Only a window's door (and its own tests) open it this way; everybody else
// asks the door or opens it by its name (state/windows.h).
#include "state/windows.h"

#include <QPointer>
#include <QWidget>

namespace state {

// A window is owned by the main window unless another owner is named.
template <class Window>
Window *ensureWindow(QPointer<Window> &ref, QWidget *owner = windows().fmNirel3.data())
{
    if (!ref)
        ref = new Window(owner);
    return ref.data();
}

template <class Window>
Window *openWindow(QPointer<Window> &ref, QWidget *owner = windows().fmNirel3.data())
{
    Window *w = ensureWindow(ref, owner);
    w->show();
    if (!w->isVisible())
        w->setVisible(true);
    w->raise();
    w->activateWindow();
    return w;
}

// A door enrols its window under the name of its reference: opened as
// openWindow does (owner the main window unless another is given).
template <class Window>
void enrolWindow(const QString &name, QPointer<Window> Windows::*ref)
{
    windows().enrol(name, {[ref](QWidget *owner) -> QWidget * {
                               return openWindow(windows().*ref, owner ? owner : windows().fmNirel3.data());
                           },
                           [ref]() -> QWidget * { return (windows().*ref).data(); }});
}

} // namespace state
