#include "conclusion/handover.h"

#include "conclusion/reachdoor.h"
#include "conclusion/tfmconcl.h"

namespace conclusion {

void copyDraftToClipboard(TfmConcl *draft)
{
    draft->mmConcl->selectAll();
    draft->mmConcl->copy();
}

void handOverToFinalEditor(TfmConcl *draft)
{
    copyDraftToClipboard(draft);
    reach::takeDraftFromClipboard(draft);
}

} // namespace conclusion
