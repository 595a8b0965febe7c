#include "deep/deepdoor.h"

#include "deep/tfmdeep.h"
#include "state/openwindow.h"

#include <QAction>
#include <QMenuBar>

namespace deep {

void open()
{
    state::openWindow(state::windows().fmDeep);
}

bool chooseItem(const QString &name)
{
    TfmDeep *w = state::openWindow(state::windows().fmDeep);
    QAction *item = w->MenuDeep->findChild<QAction *>(name);
    if (!item)
        return false;
    item->trigger();
    return true;
}

bool exists()
{
    return !state::windows().fmDeep.isNull();
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmDeep"), &state::Windows::fmDeep);
}

} // namespace deep
