#pragma once
// The hand-over of the draft conclusion to the final editor: the whole text
// of the draft box goes to the system clipboard (replacing what it held) and
// from there into the final editor's rich-text box.
class Memo;

namespace conclusion {

// "Печатать", and the failure path of "Сохранить", given the draft box
// mmConcl. The final editor does not exist in this build yet: until it lands
// only the clipboard copy is done; opening the editor, clearing it and
// pasting (through the editor's door) belong here then.
void handOverToFinalEditor(Memo *draft);

} // namespace conclusion
