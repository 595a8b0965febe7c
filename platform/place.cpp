#include "platform/place.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace platform::place {

namespace {

QSize frameOf(const QWidget *window)
{
    return window->frameGeometry().size() - window->geometry().size();
}

// The frame a window manager puts around a window is known only once the
// window is on screen; before that, the frame of a window already shown
// (the main window, or the splash before it) is the best estimate.
QSize frameExtraOf(const QWidget *window)
{
    QSize extra = frameOf(window);
    if (!extra.isNull() || window->isVisible())
        return extra;
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible())
            continue;
        extra = frameOf(other);
        if (!extra.isNull())
            return extra;
    }
    return {0, 0};
}

QSize insideFor(const QSize &outerSize, const QSize &frame)
{
    return {qMax(1, outerSize.width() - frame.width()), qMax(1, outerSize.height() - frame.height())};
}

// Keeps a window's outer size through its first showing, for a window that
// may come up before any other (so the estimate may be no frame at all):
// when the window manager has framed the window, the inside is made to fit,
// once. The frame's top left corner stays. The outer size wanted rides on
// the window as a property.
constexpr char kOuterSize[] = "nirel3OuterSize";

class OuterSizeKeeper final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (t != QEvent::Show && t != QEvent::Move && t != QEvent::Resize)
            return false;
        auto *window = qobject_cast<QWidget *>(watched);
        if (!window || !window->isVisible())
            return false;
        const QSize frame = frameOf(window);
        if (frame.isNull())
            return false; // not framed yet, or no window manager at all
        const QSize inside = insideFor(window->property(kOuterSize).toSize(), frame);
        window->removeEventFilter(this);
        window->setProperty(kOuterSize, QVariant());
        if (window->size() != inside)
            window->resize(inside);
        return false;
    }
};

void keepOuterSize(QWidget *window, const QSize &outerSize)
{
    static OuterSizeKeeper keeper;
    window->setProperty(kOuterSize, outerSize);
    window->installEventFilter(&keeper);
}

} // namespace

void outer(QWidget *window, int x, int y, int w, int h)
{
    window->move(x, y);
    window->resize(insideFor({w, h}, frameExtraOf(window)));
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

void centredOuter(QWidget *window, int w, int h)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint topLeft = screen ? screen->availableGeometry().center() - QPoint(w / 2, h / 2) : QPoint();
    outer(window, topLeft.x(), topLeft.y(), w, h);
    keepOuterSize(window, {w, h});
}

} // namespace platform::place
