#include "deep/deepdoor.h"

#include "deep/tfmdeep.h"
#include "state/openwindow.h"

namespace deep {

void open()
{
    state::openWindow(state::windows().fmDeep);
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
