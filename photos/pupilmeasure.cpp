#include "photos/pupilmeasure.h"

#include "charts/pupilcodes.h"
#include "photos/irisfind.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace photos::iris {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

double wrap360(double clock)
{
    clock = std::fmod(clock, 360.0);
    return clock < 0 ? clock + 360.0 : clock;
}

// The signed difference of two angles in radians, in (-pi, pi].
double angleBetween(double a, double b)
{
    double d = std::fmod(a - b, 2 * std::numbers::pi);
    if (d > std::numbers::pi)
        d -= 2 * std::numbers::pi;
    if (d <= -std::numbers::pi)
        d += 2 * std::numbers::pi;
    return d;
}

// The eight clock positions of the diagrams, every hour and a half: 0 is
// 12:00, 1 is 1:30, 2 is 3:00 ... 7 is 10:30.
int sectorOf(double clock) { return static_cast<int>(std::lround(wrap360(clock) / 45.0)) % 8; }

// ---------------------------------------------------------------------------
// The flat: the pupil's edge, as a radius against the clock, is a smooth
// closed curve (an off-centre oval: a Fourier series up to the second
// harmonic) from which a chord may cut a segment. For every middle and
// every arc of the chord the series is fitted to the edge with the segment
// put back, by least squares; the chord that leaves the least error wins
// if it leaves clearly less than no chord at all.

struct Polar {
    double a = 0; // clock, radians
    double r = 0; // distance from the pupil's centre, photo pixels
    std::array<double, 5> basis{};
};

struct Flat {
    double middle = 0; // radians
    double arc = 0;    // radians; 0 for none
    double error = 0;  // sum of squares left
};

// The deficit of a chord over an arc, as a fraction of the radius.
double chordDeficit(double a, double middle, double arc)
{
    const double d = angleBetween(a, middle);
    if (std::abs(d) >= arc / 2)
        return 0.0;
    return 1.0 - std::cos(arc / 2) / std::cos(d);
}

class FlatSearch {
public:
    FlatSearch(const std::vector<Polar> &points, double radius)
        : m_points(points), m_radius(radius)
    {
        cv::Matx<double, 5, 5> ata = cv::Matx<double, 5, 5>::zeros();
        for (const Polar &p : m_points)
            for (int i = 0; i < 5; ++i)
                for (int j = 0; j < 5; ++j)
                    ata(i, j) += p.basis[static_cast<std::size_t>(i)] * p.basis[static_cast<std::size_t>(j)];
        m_ok = cv::invert(ata, m_inverse, cv::DECOMP_CHOLESKY) != 0;
    }

    bool ok() const { return m_ok && m_points.size() >= 12; }

    // The error left with the segment of this chord put back.
    double error(double middle, double arc, cv::Vec<double, 5> *coefficients = nullptr) const
    {
        cv::Vec<double, 5> aty = cv::Vec<double, 5>::all(0.0);
        double yy = 0;
        for (const Polar &p : m_points) {
            const double y = p.r + m_radius * chordDeficit(p.a, middle, arc);
            yy += y * y;
            for (int i = 0; i < 5; ++i)
                aty[i] += p.basis[static_cast<std::size_t>(i)] * y;
        }
        const cv::Vec<double, 5> c = m_inverse * aty;
        if (coefficients)
            *coefficients = c;
        return std::max(0.0, yy - c.dot(aty));
    }

    Flat best() const
    {
        // Without a chord first; then every chord, adding to those sums what
        // the points under it change.
        cv::Vec<double, 5> aty0 = cv::Vec<double, 5>::all(0.0);
        double yy0 = 0;
        for (const Polar &p : m_points) {
            yy0 += p.r * p.r;
            for (int i = 0; i < 5; ++i)
                aty0[i] += p.basis[static_cast<std::size_t>(i)] * p.r;
        }
        Flat flat{0, 0, std::max(0.0, yy0 - (m_inverse * aty0).dot(aty0))};
        std::vector<std::pair<double, std::size_t>> near; // |angle from the middle|, point
        near.reserve(m_points.size());
        for (int m = 0; m < 180; ++m) {
            const double middle = m * 2.0 * kDegree;
            near.clear();
            for (std::size_t k = 0; k < m_points.size(); ++k) {
                const double d = std::abs(angleBetween(m_points[k].a, middle));
                if (d < 80.0 * kDegree)
                    near.emplace_back(d, k);
            }
            for (int arcDegrees = 16; arcDegrees <= 160; arcDegrees += 4) {
                const double arc = arcDegrees * kDegree, half = std::cos(arc / 2);
                cv::Vec<double, 5> aty = aty0;
                double yy = yy0;
                for (const auto &[d, k] : near) {
                    if (d >= arc / 2)
                        continue;
                    const Polar &p = m_points[k];
                    const double lift = m_radius * (1.0 - half / std::cos(d));
                    yy += lift * (2 * p.r + lift);
                    for (int i = 0; i < 5; ++i)
                        aty[i] += p.basis[static_cast<std::size_t>(i)] * lift;
                }
                const double e = std::max(0.0, yy - (m_inverse * aty).dot(aty));
                if (e < flat.error)
                    flat = Flat{middle, arc, e};
            }
        }
        const auto consider = [&](double middle, double arc) {
            const double e = error(middle, arc);
            if (e < flat.error)
                flat = Flat{middle, arc, e};
        };
        if (flat.arc > 0) { // and finer about the best
            const Flat coarse = flat;
            for (double dm = -2; dm <= 2; dm += 0.5)
                for (double da = -4; da <= 4; da += 1)
                    consider(coarse.middle + dm * kDegree, std::max(4.0 * kDegree, coarse.arc + da * kDegree));
        }
        return flat;
    }

    // Residuals of the points against a chord's model.
    std::vector<double> residuals(const Flat &flat) const
    {
        cv::Vec<double, 5> c;
        error(flat.middle, flat.arc, &c);
        std::vector<double> res;
        res.reserve(m_points.size());
        for (const Polar &p : m_points) {
            double model = 0;
            for (int i = 0; i < 5; ++i)
                model += c[i] * p.basis[static_cast<std::size_t>(i)];
            res.push_back(p.r + m_radius * chordDeficit(p.a, flat.middle, flat.arc) - model);
        }
        return res;
    }

private:
    std::vector<Polar> m_points;
    double m_radius;
    cv::Matx<double, 5, 5> m_inverse;
    bool m_ok = false;
};

// A chord counts when it takes away far more error than its two
// parameters would by chance (an F ratio well beyond any table's).
constexpr double kFlatF = 30.0;
constexpr double kFlatCover = 0.4;

// Points that stand out from their neighbours on the clock: where a lash
// crosses the edge the edge seems to jump for a ray or two, while a flat
// bends it over many.
std::vector<bool> jumps(const std::vector<Polar> &points)
{
    std::vector<std::size_t> order(points.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return points[a].a < points[b].a; });
    const std::size_t n = order.size();
    std::vector<double> local(n);
    std::vector<double> window;
    for (std::size_t i = 0; i < n; ++i) {
        window.clear();
        for (std::size_t k = 0; k < n && window.size() < 9; ++k) {
            const std::size_t j = order[(i + n + k - 4 + n) % n];
            if (std::abs(angleBetween(points[j].a, points[order[i]].a)) <= 7 * kDegree)
                window.push_back(points[j].r);
        }
        std::nth_element(window.begin(), window.begin() + long(window.size() / 2), window.end());
        local[i] = points[order[i]].r - window[window.size() / 2];
    }
    std::vector<double> absolute(n);
    std::transform(local.begin(), local.end(), absolute.begin(), [](double d) { return std::abs(d); });
    std::nth_element(absolute.begin(), absolute.begin() + long(n / 2), absolute.end());
    const double limit = std::max(1.0, 4 * 1.4826 * absolute[n / 2]);
    std::vector<bool> out(n, false);
    for (std::size_t i = 0; i < n; ++i)
        out[order[i]] = std::abs(local[i]) > limit;
    return out;
}

// The chord that fits best, and the points it leaves out as far off.
Flat findFlat(std::vector<Polar> points, double radius, std::vector<bool> *outliers)
{
    std::vector<std::size_t> index(points.size());
    for (std::size_t i = 0; i < index.size(); ++i)
        index[i] = i;
    outliers->assign(points.size(), false);
    Flat flat;
    for (int round = 0; round < 2; ++round) {
        const FlatSearch search(points, radius);
        if (!search.ok())
            return {};
        flat = search.best();
        const double none = search.error(0, 0);
        const double dof = static_cast<double>(points.size()) - 7;
        if (flat.arc <= 0 || flat.error <= 0 || (none - flat.error) / 2 / (flat.error / dof) < kFlatF)
            flat.arc = 0;
        // A flat is seen, not guessed across a gap of the outline (under a
        // lid's shadow, say): many of its rays, in three of its quarters at
        // least, must have given a point.
        if (flat.arc > 0) {
            int under = 0;
            std::array<bool, 4> quarters{};
            for (const Polar &p : points) {
                const double d = angleBetween(p.a, flat.middle) / flat.arc + 0.5; // 0 to 1 under the chord
                if (d > 0 && d < 1) {
                    ++under;
                    quarters[static_cast<std::size_t>(std::min(3.0, 4 * d))] = true;
                }
            }
            if (under < kFlatCover * flat.arc / (2 * std::numbers::pi) * kOutlineRays ||
                std::count(quarters.begin(), quarters.end(), true) < 3)
                flat.arc = 0;
        }
        if (round == 1)
            break;
        // Points far off the model (a lash, what is left of a glint) are
        // dropped, and the search is made again.
        const std::vector<double> res = search.residuals(flat);
        std::vector<double> absolute(res.size());
        std::transform(res.begin(), res.end(), absolute.begin(), [](double r) { return std::abs(r); });
        std::nth_element(absolute.begin(), absolute.begin() + long(absolute.size() / 2), absolute.end());
        const double limit = std::max(0.75, 4 * 1.4826 * absolute[absolute.size() / 2]);
        std::vector<Polar> kept;
        std::vector<std::size_t> keptIndex;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (std::abs(res[i]) <= limit) {
                kept.push_back(points[i]);
                keptIndex.push_back(index[i]);
            } else {
                (*outliers)[index[i]] = true;
            }
        }
        if (kept.size() == points.size())
            break;
        points = std::move(kept);
        index = std::move(keptIndex);
    }
    return flat;
}

// ---------------------------------------------------------------------------
// The patches of the pupil diagrams that measurements lead to: clock
// sector, least grade, colour number, and the middle of the patch.

struct Patch {
    int sector;
    FlatGrade least;
    int colour;
    QPoint pixel;
};

const Patch kDecentrationPatches[] = {
    {0, FlatGrade::None, 255, {68, 157}},      {1, FlatGrade::None, 65535, {190, 156}},
    {2, FlatGrade::None, 65280, {320, 156}},   {4, FlatGrade::None, 16776960, {74, 347}},
    {6, FlatGrade::None, 16711680, {200, 346}}, {7, FlatGrade::None, 32768, {323, 345}},
};

// One pupil flattened: where a sector has two variants the second is
// "выраженное" from a moderate flat on; where it has three, they follow
// the three grades.
const Patch kFlatOnePatches[] = {
    {0, FlatGrade::Slight, 16776960, {71, 98}},    {0, FlatGrade::Moderate, 12632256, {146, 99}},
    {1, FlatGrade::Slight, 65280, {225, 99}},      {1, FlatGrade::Moderate, 65535, {305, 100}},
    {2, FlatGrade::Slight, 32896, {41, 228}},      {2, FlatGrade::Moderate, 32768, {114, 228}},
    {3, FlatGrade::Slight, 8421376, {188, 228}},   {5, FlatGrade::Slight, 8388608, {265, 228}},
    {6, FlatGrade::Slight, 8388736, {341, 228}},   {6, FlatGrade::Moderate, 16711935, {39, 351}},
    {6, FlatGrade::Marked, 16711680, {115, 351}},  {7, FlatGrade::Slight, 8421504, {190, 351}},
    {7, FlatGrade::Moderate, 0, {263, 351}},       {7, FlatGrade::Marked, 255, {339, 351}},
};

// Both pupils flattened: the right eye's sector and the left eye's, and the
// grade of the less flattened one.
struct PairPatch {
    int right;
    int left;
    FlatGrade least;
    int colour;
    QPoint pixel;
};

const PairPatch kFlatBothPatches[] = {
    {0, 0, FlatGrade::Slight, 255, {127, 75}},       {4, 4, FlatGrade::Slight, 8421504, {250, 74}},
    {4, 4, FlatGrade::Moderate, 16711680, {314, 166}}, {7, 1, FlatGrade::Slight, 8421376, {70, 166}},
    {3, 5, FlatGrade::Slight, 65280, {192, 167}},    {2, 6, FlatGrade::Slight, 32896, {71, 254}},
    {5, 3, FlatGrade::Slight, 16711935, {193, 256}}, {1, 7, FlatGrade::Moderate, 12632256, {316, 257}},
    {6, 2, FlatGrade::Slight, 32768, {129, 350}},    {1, 7, FlatGrade::Slight, 65535, {253, 351}},
};

// Of the patches of a sector, the one of the highest grade the flat reaches.
template <typename P, typename Match>
const P *patchFor(const P *begin, const P *end, FlatGrade grade, Match match)
{
    const P *chosen = nullptr;
    for (const P *p = begin; p != end; ++p)
        if (match(*p) && grade >= p->least && (!chosen || p->least > chosen->least))
            chosen = p;
    return chosen;
}

Offer diagramOffer(bool rightEye, Source source, int colour, QPoint pixel)
{
    Offer o;
    o.rightEye = rightEye;
    o.source = source;
    o.colour = colour;
    o.pixel = pixel;
    switch (source) {
    case Source::Decentration:
        o.nameFile = charts::pupil::kDecentration;
        o.picture = QStringLiteral("imDecen");
        break;
    case Source::FlatOne:
        o.nameFile = charts::pupil::kFlatOne;
        o.picture = QStringLiteral("imFlatRorL");
        break;
    case Source::FlatBoth:
        o.nameFile = charts::pupil::kFlatBoth;
        o.picture = QStringLiteral("imFlatBoth");
        break;
    case Source::Catalogue:
        break;
    }
    return o;
}

Offer catalogueOffer(bool rightEye, const QString &item)
{
    Offer o;
    o.rightEye = rightEye;
    o.source = Source::Catalogue;
    o.item = item;
    return o;
}

FlatGrade gradeOf(double hours)
{
    const PupilThresholds &t = kPupilThresholds;
    return hours >= t.flatMarked     ? FlatGrade::Marked
           : hours >= t.flatModerate ? FlatGrade::Moderate
           : hours >= t.flatSlight   ? FlatGrade::Slight
                                     : FlatGrade::None;
}

} // namespace

PupilMeasures measurePupil(const Fit &fit, const std::vector<QPointF> &outline)
{
    const PupilThresholds &t = kPupilThresholds;
    PupilMeasures m;
    if (!usable(fit))
        return m;
    const Circle &p = fit.pupil, &l = fit.limbus;
    // The pupil's centre and size: the fitted circle's, or better the
    // ellipse's of its edge, where the edge was seen.
    Circle pupil = p;

    // The shape wants the edge seen on at least a third of the clock.
    if (outline.size() >= static_cast<std::size_t>(kOutlineRays / 3)) {
        std::vector<Polar> points;
        points.reserve(outline.size());
        for (const QPointF &q : outline) {
            Polar pt;
            pt.a = state::chartgeom::clockOf(q.x() - p.x, q.y() - p.y) * kDegree;
            pt.r = std::hypot(q.x() - p.x, q.y() - p.y);
            pt.basis = {1.0, std::cos(pt.a), std::sin(pt.a), std::cos(2 * pt.a), std::sin(2 * pt.a)};
            points.push_back(pt);
        }
        const std::vector<bool> jumped = jumps(points);
        std::vector<Polar> steady;
        std::vector<std::size_t> steadyIndex;
        for (std::size_t i = 0; i < points.size(); ++i)
            if (!jumped[i]) {
                steady.push_back(points[i]);
                steadyIndex.push_back(i);
            }
        std::vector<bool> far;
        const Flat flat = findFlat(steady, p.r, &far);
        std::vector<bool> outliers(jumped);
        for (std::size_t i = 0; i < steady.size(); ++i)
            if (far[i])
                outliers[steadyIndex[i]] = true;

        // The ellipse of the edge away from the flat and from far-off points.
        std::vector<cv::Point2f> round;
        for (std::size_t i = 0; i < outline.size(); ++i)
            if (!outliers[i] &&
                (flat.arc <= 0 || std::abs(angleBetween(points[i].a, flat.middle)) > flat.arc / 2 + 4 * kDegree))
                round.emplace_back(float(outline[i].x()), float(outline[i].y()));
        if (round.size() >= static_cast<std::size_t>(kOutlineRays / 4)) {
            const cv::RotatedRect e = cv::fitEllipseDirect(round);
            const double major = std::max(e.size.width, e.size.height) / 2.0;
            const double minor = std::min(e.size.width, e.size.height) / 2.0;
            const double mean = (major + minor) / 2;
            if (std::hypot(e.center.x - p.x, e.center.y - p.y) < 0.3 * p.r && mean > 0.7 * p.r && mean < 1.3 * p.r &&
                minor > 0.6 * major) {
                const bool wide = e.size.width >= e.size.height;
                const double along = (e.angle + (wide ? 0.0 : 90.0)) * kDegree; // the long axis, clockwise from x
                const double axis = state::chartgeom::clockOf(std::cos(along), std::sin(along)) - fit.turn;
                m.shaped = true;
                m.ellipse = Ellipse{e.center.x, e.center.y, major, minor, std::fmod(wrap360(axis), 180.0)};
                m.ovality = 1.0 - minor / major;
                pupil = Circle{e.center.x, e.center.y, mean};
            }
        }
        if (m.shaped && flat.arc > 0) {
            m.flatHours = flat.arc / kDegree / 30.0;
            m.flatClock = wrap360(flat.middle / kDegree - fit.turn);
            m.flatDepth = 100.0 * pupil.r * (1.0 - std::cos(flat.arc / 2)) / l.r;
            m.flat = gradeOf(m.flatHours);
        }
    }

    m.ratio = pupil.r / l.r;
    m.size = m.ratio < t.miosis      ? PupilSize::Miosis
             : m.ratio < t.narrow    ? PupilSize::Narrow
             : m.ratio <= t.wide     ? PupilSize::Normal
             : m.ratio <= t.mydriasis ? PupilSize::Wide
                                      : PupilSize::Mydriasis;
    m.decentration = 100.0 * std::hypot(pupil.x - l.x, pupil.y - l.y) / l.r;
    m.decentrationClock = wrap360(state::chartgeom::clockOf(pupil.x - l.x, pupil.y - l.y) - fit.turn);
    return m;
}

Anisocoria anisocoria(const PupilMeasures &right, const PupilMeasures &left)
{
    const PupilThresholds &t = kPupilThresholds;
    Anisocoria a;
    a.difference = 100.0 * std::abs(right.ratio - left.ratio);
    a.mm = a.difference / 100.0 * t.irisMm;
    a.present = a.difference > t.anisocoria;
    a.marked = a.present && a.mm >= t.anisocoriaMarked;
    a.rightLarger = right.ratio > left.ratio;
    return a;
}

std::vector<Offer> pupilOffers(const std::optional<PupilMeasures> &right, const std::optional<PupilMeasures> &left)
{
    const PupilThresholds &t = kPupilThresholds;
    std::vector<Offer> offers;
    // Both pupils flattened in sectors that the diagram of both has.
    const PairPatch *both = nullptr;
    if (right && left && right->flat != FlatGrade::None && left->flat != FlatGrade::None) {
        const int r = sectorOf(right->flatClock), l = sectorOf(left->flatClock);
        both = patchFor(std::begin(kFlatBothPatches), std::end(kFlatBothPatches), std::min(right->flat, left->flat),
                        [r, l](const PairPatch &p) { return p.right == r && p.left == l; });
    }
    std::optional<Anisocoria> aniso;
    if (right && left)
        aniso = anisocoria(*right, *left);

    for (const bool rightEye : {true, false}) {
        const std::optional<PupilMeasures> &m = rightEye ? right : left;
        if (!m)
            continue;
        if (m->decentration > t.decentration) {
            const int sector = sectorOf(m->decentrationClock);
            const Patch *p = patchFor(std::begin(kDecentrationPatches), std::end(kDecentrationPatches), FlatGrade::None,
                                      [sector](const Patch &q) { return q.sector == sector; });
            if (p)
                offers.push_back(diagramOffer(rightEye, Source::Decentration, p->colour, p->pixel));
        }
        if (both) {
            offers.push_back(diagramOffer(rightEye, Source::FlatBoth, both->colour, both->pixel));
        } else if (m->flat != FlatGrade::None) {
            const int sector = sectorOf(m->flatClock);
            const Patch *p = patchFor(std::begin(kFlatOnePatches), std::end(kFlatOnePatches), m->flat,
                                      [sector](const Patch &q) { return q.sector == sector; });
            if (p)
                offers.push_back(diagramOffer(rightEye, Source::FlatOne, p->colour, p->pixel));
        }
        if (m->size == PupilSize::Mydriasis)
            offers.push_back(catalogueOffer(rightEye, QStringLiteral("MydryazPlainItem")));
        // Anisocoria goes to the pupil that strays further from the middle
        // of the normal sizes: a wide one tends to mydriasis, a narrow one
        // to miosis.
        if (aniso && aniso->present) {
            const double middle = (t.narrow + t.wide) / 2;
            const double larger = std::max(right->ratio, left->ratio), smaller = std::min(right->ratio, left->ratio);
            const bool towardsMydriasis = larger - middle >= middle - smaller;
            const bool largerHere = rightEye == aniso->rightLarger;
            if (towardsMydriasis == largerHere)
                offers.push_back(catalogueOffer(rightEye, towardsMydriasis ? QStringLiteral("AnyzocorMydryazItem")
                                                                           : QStringLiteral("AnyzocorMiozItem")));
        }
    }
    return offers;
}

QString clockText(double clock)
{
    const int halves = static_cast<int>(std::lround(wrap360(clock) / 15.0)) % 24;
    const int hour = halves / 2 == 0 ? 12 : halves / 2;
    return QStringLiteral("%1.%2").arg(hour).arg(halves % 2 ? QStringLiteral("30") : QStringLiteral("00"));
}

} // namespace photos::iris
