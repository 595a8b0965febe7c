#include "platform/place.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace place {

namespace {

// The frame a window manager puts around a window is known only once the
// window is on screen; before that, the frame of a window already shown
// (the main window, in practice) is the best estimate.
QSize frameExtraOf(const QWidget *window)
{
    QSize extra = window->frameGeometry().size() - window->geometry().size();
    if (!extra.isEmpty() || window->isVisible())
        return extra;
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible())
            continue;
        extra = other->frameGeometry().size() - other->geometry().size();
        if (!extra.isEmpty())
            return extra;
    }
    return {0, 0};
}

} // namespace

void outer(QWidget *window, int x, int y, int w, int h)
{
    const QSize frameExtra = frameExtraOf(window);
    window->move(x, y);
    window->resize(qMax(1, w - frameExtra.width()), qMax(1, h - frameExtra.height()));
}

void client(QWidget *window, int x, int y, int w, int h)
{
    window->move(x, y);
    window->resize(w, h);
}

void centred(QWidget *window, int w, int h)
{
    window->resize(w, h);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(w / 2, h / 2));
    }
}

} // namespace place
