#include "cards/carddoor.h"

#include "cards/tfmcard.h"
#include "state/openwindow.h"

namespace card {

void open()
{
    state::openWindow(state::fmCard);
}

bool exists()
{
    return !state::fmCard.isNull();
}

Patient patient()
{
    const TfmCard *c = state::fmCard.data();
    if (!c)
        return {};
    return Patient{c->FNameEdit->text(), c->LNameEdit->text(), c->MNameEdit->text(), c->lbDate->text(),
                   c->EditDate->text()};
}

void setConclFile(const QString &name)
{
    state::ensureWindow(state::fmCard)->ConclEdit->setText(name);
}

} // namespace card
