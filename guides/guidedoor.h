#pragma once
// The door of the reference guide window: what other windows use of it.
namespace guides {

// Creates the window on first use (owned by the main window), shows it,
// makes it visible and brings it to the front.
void open();

} // namespace guides
