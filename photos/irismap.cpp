#include "photos/irismap.h"

#include <cmath>

namespace photos::iris {

namespace {

// Distance from the pupil's centre to the limbus along a unit direction.
double limbusReach(const Fit &fit, double ux, double uy)
{
    const double wx = fit.pupil.x - fit.limbus.x;
    const double wy = fit.pupil.y - fit.limbus.y;
    const double b = wx * ux + wy * uy;
    const double c = wx * wx + wy * wy - fit.limbus.r * fit.limbus.r;
    return -b + std::sqrt(std::max(0.0, b * b - c));
}

} // namespace

bool usable(const Fit &fit)
{
    if (!(fit.pupil.r > 0) || !(fit.limbus.r > fit.pupil.r))
        return false;
    const double off = std::hypot(fit.pupil.x - fit.limbus.x, fit.pupil.y - fit.limbus.y);
    return off + fit.pupil.r < fit.limbus.r;
}

state::chartgeom::IrisPlace placeOf(const Fit &fit, QPointF photo)
{
    const double dx = photo.x() - fit.pupil.x;
    const double dy = photo.y() - fit.pupil.y;
    const double d = std::hypot(dx, dy);
    state::chartgeom::IrisPlace place;
    if (d <= 0)
        return {-1.0, 0.0};
    const double clock = state::chartgeom::clockOf(dx, dy) - fit.turn;
    place.clock = std::fmod(std::fmod(clock, 360.0) + 360.0, 360.0);
    const double rp = fit.pupil.r;
    if (d < rp) {
        place.t = d / rp - 1.0;
    } else {
        const double reach = limbusReach(fit, dx / d, dy / d);
        place.t = (d - rp) / std::max(reach - rp, 1e-9);
    }
    return place;
}

QPointF photoPoint(const Fit &fit, const state::chartgeom::IrisPlace &place)
{
    const QPointF u = state::chartgeom::directionOf(place.clock + fit.turn);
    const double rp = fit.pupil.r;
    const double d = place.t < 0 ? rp * (1.0 + place.t) : rp + place.t * (limbusReach(fit, u.x(), u.y()) - rp);
    return {fit.pupil.x + d * u.x(), fit.pupil.y + d * u.y()};
}

QPointF chartPointOf(const Fit &fit, state::chartgeom::Chart chart, QPointF photo)
{
    return state::chartgeom::chartPoint(chart, placeOf(fit, photo));
}

QPoint chartPixelOf(const Fit &fit, state::chartgeom::Chart chart, QPointF photo)
{
    return state::chartgeom::pixelOf(chartPointOf(fit, chart, photo));
}

bool onIris(const Fit &fit, QPointF photo)
{
    const double t = placeOf(fit, photo).t;
    return t >= 0 && t <= 1;
}

} // namespace photos::iris
