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
    return state::openWindow(state::windows().fmDeep)->chooseItem(name);
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
