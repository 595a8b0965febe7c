#pragma once
// The door of the photo window: opened from the card window for a card, and
// asked by the final editor for the pictures of the patient's irises.
#include "photos/overlay.h"
#include "state/human.h"

#include <QIcon>
#include <QList>

namespace photos::photo {

// Creates the window on first use (owned by the main window), shows the
// photos of a card of the card index and brings the window to the front.
void openForCard(const THuman &card);
// Whether the window has been created.
bool exists();
// Enrols the window, "fmPhoto", to be opened by its name (at start-up).
void enrol();
// A small camera, the picture of the buttons that open the window.
QIcon icon();

// The irises of the patient, right eye first, cropped, each with a caption
// ("Правый глаз", or "Правый глаз, схема Deck" with the chart over it): the
// card shown in the photo window, or else the card in the card window's
// edit fields. Photos not yet fitted are fitted here. Empty when the card
// has no photos (or shares its name and date with another card).
// The photos of the visit shown in the photo window, or of the card's
// latest visit.
QList<photos::Picture> conclusionPictures(bool withChart, int width = 480);

// One eye at two visits, the earlier first, each captioned with the eye,
// the visit and the pupil's measures, and a line on how the pupil changed:
// the visits compared in the photo window, or else the card's last two
// visits, for each eye photographed at both. Empty when there is nothing to
// compare.
struct Comparison {
    QList<photos::Picture> pictures; // two per eye
    QStringList changes;             // a line per eye
};
Comparison comparisonPictures(bool withChart, int width = 480);

} // namespace photos::photo
