#include "conclusion/handover.h"

#include "conclusion/tfmconcl.h"

namespace conclusion {

void handOverToFinalEditor(TfmConcl *draft)
{
    // 1. (final editor) create or show fmReach, bring it to the front.
    // 2. The whole draft, as plain text, onto the clipboard.
    draft->mmConcl->selectAll();
    draft->mmConcl->copy();
    // 3. (final editor) clear its rich-text box and paste the clipboard.
}

} // namespace conclusion
