#include "shell/newpatient.h"

#include "cards/carddoor.h"
#include "conclusion/concldoor.h"
#include "deep/deepdoor.h"
#include "state/examstate.h"

namespace shell {

void newPatientReset()
{
    state::ConclMode = 0;
    state::ExpressLineCount = 0;
    state::VelkhoverLineCount = 0;
    state::KrivenkoLineCount = 0;
    state::DeepPassCount = 0;
    state::RightEyeSignCount = 0;
    state::LeftEyeSignCount = 0;
    concl::open();
    concl::clear();
    if (deep::exists()) {
        deep::clearSignLines();
        deep::clearPathologyLines();
    }
    if (card::exists())
        card::examinationRestarted();
}

bool examinationHoldsResults()
{
    return state::resultsRecorded() || concl::holdsUnsavedConclusion();
}

} // namespace shell
