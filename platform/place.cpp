#include "platform/place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace place {

void outer(QWidget *window, int x, int y, int w, int h)
{
    const QSize frameExtra = window->frameGeometry().size() - window->geometry().size();
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
