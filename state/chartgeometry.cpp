#include "state/chartgeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace state::chartgeom {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

const Geometry kFull{33.0, 153.0, 184.5, kIrisRings};
const Geometry kBelt{40.0, 138.0, 169.5, kBeltRings};

// Maps x from the bounds of one ring list to the same ring of another.
double acrossRings(double x, std::span<const double> from, std::span<const double> to)
{
    for (std::size_t k = 0; k + 1 < from.size(); ++k) {
        if (x <= from[k + 1] || k + 2 == from.size())
            return to[k] + (x - from[k]) / (from[k + 1] - from[k]) * (to[k + 1] - to[k]);
    }
    return x;
}

} // namespace

const Geometry &geometry(Chart chart)
{
    return chart == Chart::Collarette ? kBelt : kFull;
}

QString pictureName(Chart chart, bool rightEye)
{
    const QString side = rightEye ? QStringLiteral("R") : QStringLiteral("L");
    switch (chart) {
    case Chart::Deck: return QStringLiteral("imDeck") + side;
    case Chart::Jensen: return QStringLiteral("imJensen") + side;
    case Chart::Collarette: break;
    }
    return QStringLiteral("imZrach") + side;
}

QString caption(Chart chart)
{
    switch (chart) {
    case Chart::Deck: return QStringLiteral("Deck");
    case Chart::Jensen: return QStringLiteral("Jensen");
    case Chart::Collarette: break;
    }
    return QStringLiteral("Зрачковый пояс");
}

double clockOf(double dx, double dy)
{
    const double a = std::atan2(dx, -dy) / kDegree;
    return a < 0 ? a + 360.0 : a;
}

QPointF directionOf(double clock)
{
    return {std::sin(clock * kDegree), -std::cos(clock * kDegree)};
}

QPointF chartPoint(Chart chart, const IrisPlace &place)
{
    const Geometry &g = geometry(chart);
    // The whole iris's bounds of the rings this chart draws.
    const std::span<const double> anatomy(kIrisRings, g.rings.size());
    const double outer = anatomy.back();
    const double t = place.t;
    double r;
    if (t < 0)
        r = g.pupil * (1.0 + std::max(t, -1.0));
    else if (t <= outer || outer >= 1.0)
        r = g.pupil + acrossRings(t, anatomy, g.rings) * (g.iris - g.pupil);
    else
        r = g.iris + (t - outer) / (1.0 - outer) * (g.rim - g.iris);
    const QPointF u = directionOf(place.clock);
    return {kCentre + r * u.x(), kCentre + r * u.y()};
}

IrisPlace irisPlace(Chart chart, QPointF point)
{
    const Geometry &g = geometry(chart);
    const std::span<const double> anatomy(kIrisRings, g.rings.size());
    const double outer = anatomy.back();
    const double dx = point.x() - kCentre;
    const double dy = point.y() - kCentre;
    const double r = std::hypot(dx, dy);
    IrisPlace place;
    place.clock = clockOf(dx, dy);
    if (r < g.pupil)
        place.t = r / g.pupil - 1.0;
    else if (r <= g.iris || outer >= 1.0)
        place.t = acrossRings((r - g.pupil) / (g.iris - g.pupil), g.rings, anatomy);
    else
        place.t = outer + (r - g.iris) / (g.rim - g.iris) * (1.0 - outer);
    return place;
}

QPoint pixelOf(QPointF point)
{
    const auto clampToPicture = [](double v) {
        return std::clamp(static_cast<int>(std::floor(v)), 0, kPictureSize - 1);
    };
    return {clampToPicture(point.x()), clampToPicture(point.y())};
}

} // namespace state::chartgeom
