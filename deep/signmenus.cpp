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

namespace signmenus {

QString displayCaption(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString plainCaption(const QString &menuText)
{
    return QString(menuText).replace(QLatin1String("&&"), QLatin1String("&"));
}

} // namespace signmenus

namespace {

// The captions of an item's path as the menus hold them at this moment, from
// the menu bar entry (level 0) down to the item itself.
QStringList menuPath(QAction *item)
{
    QStringList path{signmenus::plainCaption(item->text())};
    for (auto *menu = qobject_cast<QMenu *>(item->parent()); menu;
         menu = qobject_cast<QMenu *>(menu->parentWidget()))
        path.prepend(signmenus::plainCaption(menu->menuAction()->text()));
    return path;
}

} // namespace

void buildSignMenus(QMenuBar *bar)
{
    QHash<QString, QMenu *> menus;
    for (const catalog::Entry &e : catalog::entries()) {
        const QString caption = signmenus::displayCaption(e.caption);
        QMenu *holder = menus.value(e.parent);
        if (e.isMenu) {
            QMenu *menu = holder ? holder->addMenu(caption) : bar->addMenu(caption);
            menu->setObjectName(e.name);
            ui::setHint(menu->menuAction(), e.hint);
            menus.insert(e.name, menu);
            continue;
        }
        if (!holder)
            continue;
        QAction *item = holder->addAction(caption);
        item->setObjectName(e.name);
        ui::setHint(item, e.hint);
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
    const catalog::Sign *sign = catalog::findSign(item->objectName());
    if (!sign || !sign->bearsCodes())
        return;

    state::examination().chooseSign(signtext::build(sign->rule, menuPath(item)), sign->codes);

    switch (sign->action) {
    case catalog::Action::Projection:
        OpenProjectionCharts();
        break;
    case catalog::Action::Collarette:
        OpenCollaretteChart();
        break;
    default:
        break;
    }
}

void PupilItemClick(QAction *item)
{
    const catalog::Sign *sign = catalog::findSign(item->objectName());
    if (!sign)
        return;
    state::examination().clearSign();
    OpenPupilWindow(catalog::pupilPage(sign->action));
}
