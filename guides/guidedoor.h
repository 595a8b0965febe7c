#pragma once
// The door of the reference guide window: what other windows use of it.
namespace guides {

// Creates the window on first use (owned by the main window), shows it,
// makes it visible and brings it to the front.
void open();
// Enrols the window, "fmGuid", to be opened by its name (at start-up).
void enrol();

} // namespace guides
