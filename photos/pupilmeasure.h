#pragma once
// The pupil measured on a fitted photo, in the terms an iridologist uses:
// its size against the iris, its decentration (a clock direction as the
// charts give it, and a distance), the flattening of its edge with its
// sector, and the ellipse of its edge; between the two eyes of one visit,
// the difference of the pupils' sizes (anisocoria). Where a measurement
// passes its threshold, the matching variant of the pupil diagrams, or the
// catalogue's sign, is offered as plain data: the diagram, the eye and the
// patch (its colour number and a pixel of it), so that taking the offer is
// the same click on the same patch.
//
// Clock directions are the charts': degrees from 12:00, clockwise as the
// examiner sees the eye (3:00 is 90), for the right and the left eye alike,
// with the head's tilt (Fit::turn) taken back. The iris is the ruler:
// distances are in per cent of its radius or diameter, since a photo has no
// scale of its own.
#include "photos/irismap.h"

#include <QPoint>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace photos::iris {

// The thresholds, each with where it comes from.
struct PupilThresholds {
    // Pupil diameter against the iris diameter (the PI ratio): 20-30 %
    // normal for adults in ordinary indoor light, 15-19 % constricted,
    // below 15 % miosis, 31-40 % dilated, above 40 % mydriasis (CNRI,
    // PupilMetrics documentation, 3.2 PI ratio).
    double miosis = 0.15;
    double narrow = 0.20;
    double wide = 0.30;
    double mydriasis = 0.40;
    // Decentration: significant for a diagnosis when the pupil's centre
    // lies more than 3 % from the iris's centre (pupilanalysis.com, Pupil
    // decentration and multiformities), read against the iris's diameter,
    // that is 6 % of its radius; the normal small shift of the pupil
    // towards the nose and down (the same source) stays below it.
    double decentration = 6.0; // % of the iris radius
    // Flattening, by the arc of the pupil's edge that is straight: with a
    // slit lamp a flat of at least 1/6 of the edge (2 clock hours) counts;
    // computer measurement reads flats down to half an hour (CNRI, Pupils
    // and pupillary symptoms: deformation of pupils). Offered from one hour,
    // twice that least, so that the frill of the pupil's margin and the
    // photo's grain make no flats; moderate from the slit lamp's two hours,
    // marked from three.
    double flatSlight = 1.0; // clock hours
    double flatModerate = 2.0;
    double flatMarked = 3.0;
    // Anisocoria: a difference of up to 0.5 mm, about 4 % of the iris's
    // diameter, is seen in nearly a quarter of people (CNRI, Human pupil:
    // anisocoria; 0.4 mm or more in 19 % at any one examination, Lam,
    // Thompson and Corbett, Am J Ophthalmol 1987;104:69-73). Physiological
    // anisocoria is 1 mm or less (Stanford neuro-ophthalmology, physiologic
    // anisocoria). Offered above 4 %, marked from 1 mm.
    double anisocoria = 4.0;       // % of the iris diameter
    double anisocoriaMarked = 1.0; // mm
    // The iris diameter that turns per cent into millimetres, as the PI
    // ratio's source assumes it.
    double irisMm = 12.0;
};
inline constexpr PupilThresholds kPupilThresholds;

enum class PupilSize { Miosis, Narrow, Normal, Wide, Mydriasis };
enum class FlatGrade { None, Slight, Moderate, Marked };

struct Ellipse {
    double x = 0; // centre, photo pixels
    double y = 0;
    double major = 0; // semi-axes, photo pixels
    double minor = 0;
    double clock = 0; // direction of the long axis, 0 to 180
};

struct PupilMeasures {
    double ratio = 0; // pupil diameter / iris diameter
    PupilSize size = PupilSize::Normal;
    double decentration = 0;      // from the iris's centre to the pupil's, % of the iris radius
    double decentrationClock = 0; // the way the pupil is shifted
    // The shape of the edge, where enough of it was seen.
    bool shaped = false;
    Ellipse ellipse;
    double ovality = 0; // 1 - minor / major
    double flatHours = 0; // arc of the straight part of the edge, clock hours; 0 for none
    double flatClock = 0; // its middle
    double flatDepth = 0; // how far it cuts into the round pupil, % of the iris radius
    FlatGrade flat = FlatGrade::None;
};

// The measures of one eye from its fitted circles and its pupil's outline
// (pupilOutline(); may be empty: then no shape).
PupilMeasures measurePupil(const Fit &fit, const std::vector<QPointF> &outline);

struct Anisocoria {
    double difference = 0; // of the pupils' diameters, % of the iris diameter
    double mm = 0;         // the same in millimetres of an average iris
    bool present = false;
    bool marked = false;
    bool rightLarger = false;
};
Anisocoria anisocoria(const PupilMeasures &right, const PupilMeasures &left);

// What an offer is taken from: a pupil diagram (its picture and name file)
// or the catalogue's menu.
enum class Source { Decentration, FlatOne, FlatBoth, Catalogue };

struct Offer {
    bool rightEye = true; // the eye chosen in the deep window for it
    Source source = Source::Decentration;
    QString nameFile; // the diagram's name file (charts::pupil::kDecentration, ...); empty for the catalogue
    QString picture;  // the diagram's picture ("imDecen", "imFlatRorL", "imFlatBoth")
    int colour = -1;  // the patch's colour number, the name file's key
    QPoint pixel;     // a pixel of the patch: where the click lands
    QString item;     // the catalogue: the component name of the sign's menu item

    friend bool operator==(const Offer &, const Offer &) = default;
};

// The offers for one visit: every measurement that passes its threshold,
// for each eye measured (either may be missing), and what needs both eyes.
std::vector<Offer> pupilOffers(const std::optional<PupilMeasures> &right, const std::optional<PupilMeasures> &left);

// A clock direction as the diagrams write it, rounded to the half hour:
// "12.00", "1.30", "10.30".
QString clockText(double clock);

} // namespace photos::iris
