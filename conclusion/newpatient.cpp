#include "conclusion/newpatient.h"

#include "conclusion/concldoor.h"
#include "state/carddoor.h"
#include "state/examination.h"

namespace conclusion::concl {

void newPatientReset()
{
    // The draft window comes up (created with the main window as owner the
    // first time); the examination starts afresh, which empties the draft
    // and the deep window's boxes, since they show its texts.
    concl::open();
    state::examination().newPatient();
    if (state::card::exists())
        state::card::examinationRestarted();
}

bool examinationHoldsResults()
{
    return state::examination().resultsRecorded() || concl::holdsUnsavedConclusion();
}

} // namespace conclusion::concl
