#include "deep/signmenus.h"

#include "charts/chartlinks.h"
#include "deep/pathology.h"
#include "deep/signcatalog.h"
#include "deep/signtext.h"
#include "deep/tfmdeep.h"
#include "platform/controls.h"
#include "state/examstate.h"

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

void buildSignMenus(TfmDeep *deep)
{
    QMenuBar *bar = deep->MenuDeep;
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
        // The window is the context: the handler never outlives it.
        QObject::connect(item, &QAction::triggered, deep, [deep, item, pupil] {
            if (pupil)
                PupilItemClick(deep, item);
            else
                SignItemClick(deep, item);
        });
    }
}

void SignItemClick(TfmDeep *deep, QAction *item)
{
    const catalog::Sign *sign = catalog::findSign(item->objectName());
    if (!sign || !sign->bearsCodes())
        return;

    state::SignCodes = sign->codes;
    state::SignCodeCount = int(sign->codes.size());

    deep->mmSign->clearLines();
    deep->mmSign->appendLine(signtext::build(sign->rule, menuPath(item)));
    deep->mmSign->setModified(true);

    deep->mmPathology->clearLines();
    FillPathologyBox(state::SignCodes, state::SignCodeCount);

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

void PupilItemClick(TfmDeep *deep, QAction *item)
{
    const catalog::Sign *sign = catalog::findSign(item->objectName());
    if (!sign)
        return;
    deep->mmSign->clearLines();
    deep->mmPathology->clearLines();
    OpenPupilWindow(catalog::pupilPage(sign->action));
}
