#pragma once
// The door of the express examination window: the operations other windows
// use on it. Nobody outside the window's own files touches its controls or
// includes its class; they come here.

namespace express {

// Creates the window on first use, shows it, makes it visible and brings it
// to the front.
void open();
// Enrols the window, "fmExpress", to be opened by its name (at start-up).
void enrol();

} // namespace express
