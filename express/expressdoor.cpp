#include "express/expressdoor.h"

#include "express/tfmexpress.h"
#include "state/openwindow.h"

namespace express {

void open()
{
    state::openWindow(state::windows().fmExpress);
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmExpress"), &state::Windows::fmExpress);
}

} // namespace express
