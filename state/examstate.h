#pragma once
// The two card index flags, shared by the card window and the exit check.
// (The examination itself is state/examination.h.)

namespace state {

// Card index flags: 1 or 0.
inline int CardIndexDirty = 0;
inline int CardTakenOut = 0;

// Start values set when the main window is created.
void setStartValues();

// Both back to 0, as at process start (used between tests).
void clearAll();

} // namespace state
