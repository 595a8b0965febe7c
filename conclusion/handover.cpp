#include "conclusion/handover.h"

#include "conclusion/reachdoor.h"
#include "platform/memo.h"

namespace conclusion {

void copyDraftToClipboard(Memo *draft)
{
    draft->selectAll();
    draft->copy();
}

void handOverToFinalEditor(Memo *draft)
{
    copyDraftToClipboard(draft);
    reach::takeDraftFromClipboard();
}

} // namespace conclusion
