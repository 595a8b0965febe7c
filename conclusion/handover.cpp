#include "conclusion/handover.h"

#include "platform/memo.h"

namespace conclusion {

void handOverToFinalEditor(Memo *draft)
{
    // 1. (final editor) create or show fmReach, bring it to the front.
    // 2. The whole draft, as plain text, onto the clipboard.
    draft->selectAll();
    draft->copy();
    // 3. (final editor) clear its rich-text box and paste the clipboard.
}

} // namespace conclusion
