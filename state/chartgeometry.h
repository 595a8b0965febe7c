#pragma once
// Where the rings of the projection-zone charts lie in their pictures. The
// pictures are drawn by tools/charts/make_charts.py; this table repeats its
// geometry (centre, pupil and iris radii, ring bounds, clock convention) so
// that a point of a photographed iris can be taken to the same chart pixel,
// ring by ring. "make_charts.py --geometry" prints the generator's side, and
// a test compares the two.
//
// Clock angles are in degrees, 0 at 12:00, growing clockwise as the examiner
// sees the iris (3:00 is 90). A picture point is continuous: pixel (i, j)
// covers [i, i + 1) x [j, j + 1), so its centre is (i + 0.5, j + 0.5).
#include <QPointF>
#include <QString>

#include <span>

namespace state::chartgeom {

// The three charts, each drawn for the right and the left eye.
enum class Chart { Deck, Jensen, Collarette };
inline constexpr Chart kCharts[] = {Chart::Deck, Chart::Jensen, Chart::Collarette};

constexpr int kPictureSize = 384;
constexpr double kCentre = kPictureSize / 2.0;

// The rings of the whole iris, counted from the pupil, as fractions of its
// width (pupil edge 0, outer edge 1): 1 stomach, 2 intestines, 3 autonomic
// nerve ring (collarette), 4 and 5 organs, 6 lymph, 7 skin.
inline constexpr double kIrisRings[] = {0.00, 0.12, 0.28, 0.34, 0.56, 0.78, 0.90, 1.00};
// The pupillary-belt chart draws rings 1 to 3 alone, widened to its disc.
inline constexpr double kBeltRings[] = {0.00, 0.35, 0.82, 1.00};

struct Geometry {
    double pupil; // radius of the black pupil disc, picture pixels
    double iris;  // radius of the outer edge of the zones
    double rim;   // radius of the dial's outer circle
    std::span<const double> rings; // ring bounds as fractions of iris - pupil
};

const Geometry &geometry(Chart chart);

// "imDeckR", "imJensenL", "imZrachR", ...: the chart window's picture names.
QString pictureName(Chart chart, bool rightEye);
// "Deck", "Jensen", "Зрачковый пояс": the page captions.
QString caption(Chart chart);

// A place on the iris between the pupil edge and the limbus: t is 0 at the
// pupil edge and 1 at the limbus (negative inside the pupil, where -1 is
// the pupil's centre; above 1 beyond the limbus); clock as above.
struct IrisPlace {
    double t = 0;
    double clock = 0;
};

// The picture point that shows an iris place. The rings of the whole iris
// map onto the chart's rings one by one; for the pupillary belt, the iris
// beyond the collarette (ring 3) lies between the chart's disc and its dial.
QPointF chartPoint(Chart chart, const IrisPlace &place);
// The iris place a picture point shows (inverse of chartPoint).
IrisPlace irisPlace(Chart chart, QPointF point);
// The pixel that holds a picture point, kept inside the picture.
QPoint pixelOf(QPointF point);

// Clock angle of a direction (x right, y down) and back.
double clockOf(double dx, double dy);
QPointF directionOf(double clock);

} // namespace state::chartgeom
