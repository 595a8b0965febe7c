#include "guides/guidedoor.h"

#include "guides/tfmguid.h"
#include "state/openwindow.h"

namespace guides {

void open()
{
    state::openWindow(state::windows().fmGuid);
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmGuid"), &state::Windows::fmGuid);
}

} // namespace guides
