#pragma once
// The card window's side of its door (state/carddoor.h, which the windows
// below it use): the window is enrolled, "fmCard", to be opened by its name.
namespace cards::card {

// Enrols the card window to be opened by its name (at start-up).
void enrol();

} // namespace cards::card
