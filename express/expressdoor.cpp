#include "express/expressdoor.h"

#include "express/tfmexpress.h"
#include "state/openwindow.h"

namespace express {

void open()
{
    state::openWindow(state::fmExpress);
}

} // namespace express
