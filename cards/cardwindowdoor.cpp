#include "cards/cardwindowdoor.h"

#include "cards/tfmcard.h"
#include "state/openwindow.h"

namespace cards::card {

void enrol()
{
    state::enrolWindow(QStringLiteral("fmCard"), &state::Windows::fmCard);
}

} // namespace cards::card
