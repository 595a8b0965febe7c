#pragma once
// The hand-over of the draft conclusion to the final editor: the whole text
// of the draft box goes to the system clipboard (replacing what it held) and
// from there into the final editor's rich-text box.
class QWidget;
class TfmConcl;

namespace conclusion {

// Selects all of the draft box and copies it to the clipboard.
void copyDraftToClipboard(TfmConcl *draft);

// "Печатать", and the failure path of "Сохранить": the final editor is
// created (owned by the draft window) or brought up, emptied, and the
// clipboard pasted into it.
void handOverToFinalEditor(TfmConcl *draft);

} // namespace conclusion
