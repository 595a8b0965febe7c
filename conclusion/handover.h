#pragma once
// The hand-over of the draft conclusion to the final editor: the whole text
// of the draft box goes to the system clipboard (replacing what it held) and
// from there into the final editor's rich-text box.
class Memo;
class QWidget;

namespace conclusion {

// Selects all of the draft box and copies it to the clipboard.
void copyDraftToClipboard(Memo *draft);

// "Печатать", and the failure path of "Сохранить", given the draft box
// mmConcl: the final editor is created (owned by the draft window) or
// brought up, emptied, and the clipboard pasted into it.
void handOverToFinalEditor(Memo *draft);

} // namespace conclusion
