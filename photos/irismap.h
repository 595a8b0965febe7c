#pragma once
// A photographed iris fitted with two circles, the pupil and the limbus (the
// outer edge of the iris), and a small turn for the tilt of the head; and
// the way between a point of the photo and the same place on a
// projection-zone chart.
//
// Photo points are continuous: pixel (i, j) covers [i, i + 1) x [j, j + 1).
// A point is placed on the iris along the ray from the pupil's centre: t is
// 0 where the ray leaves the pupil and 1 where it meets the limbus, so the
// rings follow the iris even when the pupil sits off its centre. The turn is
// in degrees, clockwise: the chart laid over the photo is turned by it.
#include "state/chartgeometry.h"

#include <QPointF>

namespace photos::iris {

struct Circle {
    double x = 0;
    double y = 0;
    double r = 0;

    friend bool operator==(const Circle &, const Circle &) = default;
};

struct Fit {
    Circle pupil;
    Circle limbus;
    double turn = 0;

    friend bool operator==(const Fit &, const Fit &) = default;
};

// Both circles have a size and the pupil lies inside the limbus.
bool usable(const Fit &fit);

// The iris place of a photo point, the clock already turned back to the chart's.
state::chartgeom::IrisPlace placeOf(const Fit &fit, QPointF photo);
// The photo point of an iris place (inverse of placeOf).
QPointF photoPoint(const Fit &fit, const state::chartgeom::IrisPlace &place);

// The chart picture's point and pixel for a photo point.
QPointF chartPointOf(const Fit &fit, state::chartgeom::Chart chart, QPointF photo);
QPoint chartPixelOf(const Fit &fit, state::chartgeom::Chart chart, QPointF photo);

// Whether a photo point lies on the iris (between the two circles).
bool onIris(const Fit &fit, QPointF photo);

} // namespace photos::iris
