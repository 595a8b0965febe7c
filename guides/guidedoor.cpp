#include "guides/guidedoor.h"

#include "guides/tfmguid.h"
#include "state/openwindow.h"

namespace guides {

void open()
{
    state::openWindow(state::fmGuid);
}

} // namespace guides
