#pragma once
// The door of the final conclusion editor: what other windows do with it.
// Nobody outside the editor's own files includes its class or touches its
// controls.

namespace conclusion::reach {

// Whether the editor has been created.
bool exists();
// Enrols the editor, "fmReach", to be opened by its name (at start-up).
void enrol();

// Creates the editor on first use, owned by the main window, then shows it,
// makes it visible and brings it to the front.
void open();

// The hand-over of the draft ("Печатать", and a draft save that failed):
// the draft's text is on the clipboard; the editor is opened as above (on
// first use owned by the draft window), emptied and the clipboard pasted in. The text is then modified and the
// document name stays, so the first save asks for a name.
void takeDraftFromClipboard();

// "Чистовое" of the main window: the editor opened as above; when the draft
// window exists, its whole text is handed over through the clipboard, then
// all of it selected and set in 12 points. Without a draft window the
// editor keeps its text and the clipboard is left alone.
void openFinalCopy();

} // namespace conclusion::reach
