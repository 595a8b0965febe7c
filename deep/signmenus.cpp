#include "deep/signmenus.h"

#include "charts/chartsdoor.h"
#include "deep/signcatalog.h"
#include "deep/signtext.h"
#include "platform/controls.h"
#include "state/examination.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QMenuBar>

namespace deep::signmenus {

QString displayCaption(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString plainCaption(const QString &menuText)
{
    return QString(menuText).replace(QLatin1String("&&"), QLatin1String("&"));
}

} // namespace deep::signmenus

namespace {

// The captions of an item's path as the menus hold them at this moment, from
// the menu bar entry (level 0) down to the item itself.
QStringList menuPath(QAction *item)
{
    QStringList path{deep::signmenus::plainCaption(item->text())};
    for (auto *menu = qobject_cast<QMenu *>(item->parent()); menu;
         menu = qobject_cast<QMenu *>(menu->parentWidget()))
        path.prepend(deep::signmenus::plainCaption(menu->menuAction()->text()));
    return path;
}

} // namespace

void buildSignMenus(QMenuBar *bar)
{
    QHash<QString, QMenu *> menus;
    for (const deep::catalog::Entry &e : deep::catalog::entries()) {
        const QString caption = deep::signmenus::displayCaption(e.caption);
        QMenu *holder = menus.value(e.parent);
        if (e.isMenu) {
            QMenu *menu = holder ? holder->addMenu(caption) : bar->addMenu(caption);
            menu->setObjectName(e.name);
            platform::ui::setHint(menu->menuAction(), e.hint);
            menus.insert(e.name, menu);
            continue;
        }
        if (!holder)
            continue;
        QAction *item = holder->addAction(caption);
        item->setObjectName(e.name);
        platform::ui::setHint(item, e.hint);
        const bool pupil = e.codes.isEmpty();
        // The menu bar is the context: the handler never outlives it.
        QObject::connect(item, &QAction::triggered, bar, [item, pupil] {
            if (pupil)
                PupilItemClick(item);
            else
                SignItemClick(item);
        });
    }
}

void SignItemClick(QAction *item)
{
    const deep::catalog::Sign *sign = deep::catalog::findSign(item->objectName());
    if (!sign || !sign->bearsCodes())
        return;

    state::examination().chooseSign(deep::signtext::build(sign->rule, menuPath(item)), sign->codes);

    switch (sign->action) {
    case deep::catalog::Action::Projection:
        OpenProjectionCharts();
        break;
    case deep::catalog::Action::Collarette:
        OpenCollaretteChart();
        break;
    default:
        break;
    }
}

void PupilItemClick(QAction *item)
{
    const deep::catalog::Sign *sign = deep::catalog::findSign(item->objectName());
    if (!sign)
        return;
    state::examination().clearSign();
    OpenPupilWindow(deep::catalog::pupilPage(sign->action));
}
