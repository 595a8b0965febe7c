#include "photos/irisfind.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>
#include <vector>

namespace photos::iris {

namespace {

// Working-image coordinates here are OpenCV's: pixel i has its centre at i.
struct Edge {
    double x = 0;
    double y = 0;
    double strength = 0;
    int ray = 0;
};

struct C2 {
    double x = 0;
    double y = 0;
    double r = 0;
};

// The photo's red channel, or its grey, over an area of it. In visible
// light the red channel shows a dark-brown iris well above the pupil, and
// every iris well below the sclera.
cv::Mat channelOf(const QImage &photo, bool red, cv::Rect area)
{
    area &= cv::Rect(0, 0, photo.width(), photo.height());
    cv::Mat out;
    switch (photo.format()) {
    case QImage::Format_Grayscale8:
        return cv::Mat(photo.height(), photo.width(), CV_8UC1, const_cast<uchar *>(photo.constBits()),
                       static_cast<size_t>(photo.bytesPerLine()))(area)
            .clone();
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        const cv::Mat bgra = cv::Mat(photo.height(), photo.width(), CV_8UC4, const_cast<uchar *>(photo.constBits()),
                                     static_cast<size_t>(photo.bytesPerLine()))(area);
        if (red)
            cv::extractChannel(bgra, out, 2);
        else
            cv::cvtColor(bgra, out, cv::COLOR_BGRA2GRAY);
        return out;
    }
    case QImage::Format_RGB888: {
        const cv::Mat rgb = cv::Mat(photo.height(), photo.width(), CV_8UC3, const_cast<uchar *>(photo.constBits()),
                                    static_cast<size_t>(photo.bytesPerLine()))(area);
        if (red)
            cv::extractChannel(rgb, out, 0);
        else
            cv::cvtColor(rgb, out, cv::COLOR_RGB2GRAY);
        return out;
    }
    default:
        return channelOf(photo.convertToFormat(QImage::Format_RGB32), red, area);
    }
}

bool hasColour(const QImage &photo)
{
    return photo.format() != QImage::Format_Grayscale8 && photo.format() != QImage::Format_Grayscale16;
}

// Bilinear sample of a float image; nullopt outside it.
std::optional<float> sample(const cv::Mat &img, double x, double y)
{
    if (x < 0 || y < 0 || x > img.cols - 1.001 || y > img.rows - 1.001)
        return std::nullopt;
    const int x0 = static_cast<int>(x);
    const int y0 = static_cast<int>(y);
    const float fx = static_cast<float>(x - x0);
    const float fy = static_cast<float>(y - y0);
    const float *r0 = img.ptr<float>(y0) + x0;
    const float *r1 = img.ptr<float>(y0 + 1) + x0;
    return (r0[0] * (1 - fx) + r0[1] * fx) * (1 - fy) + (r1[0] * (1 - fx) + r1[1] * fx) * fy;
}

// Samples along a ray every `step` pixels from r0 up to r1 or the image's edge.
std::vector<float> profile(const cv::Mat &img, double cx, double cy, double ux, double uy, double r0, double r1,
                           double step)
{
    std::vector<float> v;
    v.reserve(static_cast<std::size_t>((r1 - r0) / step) + 2);
    for (double r = r0; r <= r1; r += step) {
        const std::optional<float> s = sample(img, cx + r * ux, cy + r * uy);
        if (!s)
            break;
        v.push_back(*s);
    }
    return v;
}

// Offset of a peak between three samples (parabola through them), in samples.
double peakOffset(double a, double b, double c)
{
    const double d = a - 2 * b + c;
    return d < 0 ? std::clamp(0.5 * (a - c) / d, -0.5, 0.5) : 0.0;
}

// Least-squares circle: the algebraic fit, then a few geometric steps.
std::optional<C2> fitCircle(const std::vector<Edge> &pts)
{
    if (pts.size() < 3)
        return std::nullopt;
    double mx = 0, my = 0;
    for (const Edge &p : pts) {
        mx += p.x;
        my += p.y;
    }
    mx /= static_cast<double>(pts.size());
    my /= static_cast<double>(pts.size());
    double suu = 0, suv = 0, svv = 0, suuu = 0, svvv = 0, suvv = 0, svuu = 0;
    for (const Edge &p : pts) {
        const double u = p.x - mx, v = p.y - my;
        suu += u * u;
        suv += u * v;
        svv += v * v;
        suuu += u * u * u;
        svvv += v * v * v;
        suvv += u * v * v;
        svuu += v * u * u;
    }
    const double det = suu * svv - suv * suv;
    if (std::abs(det) < 1e-9)
        return std::nullopt;
    const double bu = 0.5 * (suuu + suvv), bv = 0.5 * (svvv + svuu);
    const double uc = (bu * svv - bv * suv) / det;
    const double vc = (suu * bv - suv * bu) / det;
    C2 c{mx + uc, my + vc, std::sqrt(uc * uc + vc * vc + (suu + svv) / static_cast<double>(pts.size()))};
    // Gauss-Newton on the distances to the circle.
    for (int it = 0; it < 5; ++it) {
        double a[3][3] = {}, g[3] = {};
        for (const Edge &p : pts) {
            const double dx = p.x - c.x, dy = p.y - c.y;
            const double d = std::hypot(dx, dy);
            if (d < 1e-9)
                continue;
            const double j[3] = {-dx / d, -dy / d, -1.0};
            const double res = d - c.r;
            for (int m = 0; m < 3; ++m) {
                g[m] += j[m] * res;
                for (int n = 0; n < 3; ++n)
                    a[m][n] += j[m] * j[n];
            }
        }
        const cv::Matx33d am(a[0][0], a[0][1], a[0][2], a[1][0], a[1][1], a[1][2], a[2][0], a[2][1], a[2][2]);
        cv::Vec3d step;
        if (!cv::solve(am, cv::Vec3d(-g[0], -g[1], -g[2]), step, cv::DECOMP_CHOLESKY))
            break;
        c.x += step[0];
        c.y += step[1];
        c.r += step[2];
        if (std::abs(step[0]) + std::abs(step[1]) + std::abs(step[2]) < 1e-4)
            break;
    }
    if (!(c.r > 0) || !std::isfinite(c.x) || !std::isfinite(c.y))
        return std::nullopt;
    return c;
}

std::optional<C2> circleThrough(const Edge &a, const Edge &b, const Edge &c)
{
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    if (std::abs(d) < 1e-6)
        return std::nullopt;
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    const double x = (a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d;
    const double y = (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d;
    return C2{x, y, std::hypot(a.x - x, a.y - y)};
}

// Per ray, the strongest edge within tol of the circle; the score adds up
// their strengths, or counts them.
std::vector<Edge> agreeing(const std::vector<Edge> &edges, const C2 &c, double tol, double *score = nullptr,
                           bool count = false)
{
    std::vector<Edge> best;
    double total = 0;
    for (const Edge &e : edges) {
        if (std::abs(std::hypot(e.x - c.x, e.y - c.y) - c.r) > tol)
            continue;
        if (!best.empty() && best.back().ray == e.ray) {
            if (e.strength > best.back().strength) {
                total += count ? 0 : e.strength - best.back().strength;
                best.back() = e;
            }
            continue;
        }
        best.push_back(e);
        total += count ? 1 : e.strength;
    }
    if (score)
        *score = total;
    return best;
}

// Drops the points far from the fitted circle and fits again.
std::optional<C2> robustFit(std::vector<Edge> pts, double floorTol)
{
    std::optional<C2> c = fitCircle(pts);
    for (int round = 0; c && round < 3; ++round) {
        std::vector<double> res;
        res.reserve(pts.size());
        for (const Edge &p : pts)
            res.push_back(std::abs(std::hypot(p.x - c->x, p.y - c->y) - c->r));
        std::vector<double> sorted = res;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2), sorted.end());
        const double tol = std::max(floorTol, 3.0 * 1.4826 * sorted[sorted.size() / 2]);
        std::vector<Edge> kept;
        for (std::size_t i = 0; i < pts.size(); ++i)
            if (res[i] <= tol)
                kept.push_back(pts[i]);
        if (kept.size() == pts.size() || kept.size() < 8)
            break;
        pts = std::move(kept);
        c = fitCircle(pts);
    }
    return c;
}

using Check = bool (*)(const C2 &, const C2 &);

// The circle that most rays agree on (edges sorted by ray).
std::optional<C2> consensus(const std::vector<Edge> &edges, const C2 &pupil, Check plausible,
                            double (*tolerance)(double r), int rays, bool byCount)
{
    if (edges.size() < 3)
        return std::nullopt;
    std::mt19937 rng(12345);
    std::uniform_int_distribution<std::size_t> pick(0, edges.size() - 1);
    std::optional<C2> best;
    double bestScore = 0;
    for (int it = 0; it < 600; ++it) {
        const Edge &a = edges[pick(rng)], &b = edges[pick(rng)], &c = edges[pick(rng)];
        if (a.ray == b.ray || b.ray == c.ray || a.ray == c.ray)
            continue;
        if (std::min({std::abs(a.ray - b.ray), std::abs(b.ray - c.ray), std::abs(a.ray - c.ray)}) < rays / 12)
            continue;
        const std::optional<C2> circle = circleThrough(a, b, c);
        if (!circle || !plausible(*circle, pupil))
            continue;
        double score = 0;
        agreeing(edges, *circle, tolerance(circle->r), &score, byCount);
        if (score > bestScore) {
            bestScore = score;
            best = circle;
        }
    }
    if (!best)
        return std::nullopt;
    for (int round = 0; round < 2; ++round) {
        const std::optional<C2> refit = fitCircle(agreeing(edges, *best, tolerance(best->r)));
        if (!refit || !plausible(*refit, pupil))
            break;
        best = refit;
    }
    return best;
}

// ---------------------------------------------------------------------------
// The pupil: the darkest round blob, then its edge along rays.

// How bright the pupil is, how much brighter the iris just around it, and
// the camera noise, all in grey levels: medians, so that glints, lashes and
// a lid over part of the ring count for little.
struct Levels {
    double pupil = 0;
    double iris = 0;
    double noise = 0;
};

Levels levelsAround(const cv::Mat &work, const C2 &c)
{
    std::vector<float> inside, around, jumps;
    const int x0 = std::max(1, int(c.x - 1.5 * c.r)), x1 = std::min(work.cols - 2, int(c.x + 1.5 * c.r));
    const int y0 = std::max(1, int(c.y - 1.5 * c.r)), y1 = std::min(work.rows - 2, int(c.y + 1.5 * c.r));
    const int step = std::max(1, int(c.r / 24));
    for (int y = y0; y <= y1; y += step) {
        const uchar *row = work.ptr<uchar>(y);
        for (int x = x0; x <= x1; x += step) {
            const double d = std::hypot(x - c.x, y - c.y) / c.r;
            if (d < 0.7) {
                inside.push_back(row[x]);
                jumps.push_back(std::abs(float(row[x + 1]) - float(row[x])));
            } else if (d > 1.2 && d < 1.5 && y > c.y - 0.5 * c.r) {
                around.push_back(row[x]);
            }
        }
    }
    const auto median = [](std::vector<float> &v) {
        if (v.empty())
            return 0.0;
        std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
        return double(v[v.size() / 2]);
    };
    Levels l;
    l.pupil = median(inside);
    l.iris = median(around);
    // The median of |a - b| for two independent samples is 0.95 of their sigma.
    l.noise = median(jumps) / 0.95;
    return l;
}

struct Blob {
    double area = 0; // of its convex hull, pixels of the image it was found on
    C2 circle;       // in that image's pixels
};

// The largest round dark blob below a threshold within an area, not
// touching the area's border.
std::optional<Blob> roundBlob(const cv::Mat &image, cv::Rect area, int threshold)
{
    static const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(5, 5));
    cv::Mat mask;
    cv::threshold(image(area), mask, threshold, 255, cv::THRESH_BINARY_INV);
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN, kernel);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    std::optional<Blob> best;
    for (const std::vector<cv::Point> &c : contours) {
        const cv::Rect box = cv::boundingRect(c);
        if (box.x <= 1 || box.y <= 1 || box.br().x >= mask.cols - 1 || box.br().y >= mask.rows - 1)
            continue;
        std::vector<cv::Point> hull;
        cv::convexHull(c, hull);
        const double size = cv::contourArea(hull);
        if (size < 20)
            continue;
        cv::Point2f centre;
        float radius = 0;
        cv::minEnclosingCircle(hull, centre, radius);
        if (size < 0.72 * std::numbers::pi * radius * radius)
            continue;
        if (!best || size > best->area)
            best = Blob{size, C2{centre.x + area.x, centre.y + area.y, std::sqrt(size / std::numbers::pi)}};
    }
    return best;
}

// Two blobs of thresholds close together are the same thing seen twice.
bool steady(const Blob &a, const Blob &b, double growth)
{
    return b.area <= growth * a.area && std::hypot(a.circle.x - b.circle.x, a.circle.y - b.circle.y) < 0.3 * a.circle.r;
}

std::optional<C2> roughPupil(const cv::Mat &work)
{
    cv::Mat small;
    const double f = std::max(work.cols, work.rows) > 420 ? 0.5 : 1.0;
    cv::resize(work, small, cv::Size(), f, f, cv::INTER_AREA);
    cv::medianBlur(small, small, 5);

    int hist[256] = {};
    for (int y = 0; y < small.rows; ++y) {
        const uchar *row = small.ptr<uchar>(y);
        for (int x = 0; x < small.cols; ++x)
            ++hist[row[x]];
    }
    const int total = small.rows * small.cols;
    int darkest = 0;
    for (int acc = 0; darkest < 255 && (acc += hist[darkest]) < total / 400;)
        ++darkest;

    const cv::Rect whole(0, 0, small.cols, small.rows);
    std::vector<std::optional<Blob>> blobs;
    for (int t = darkest + 5; t <= std::min(darkest + 95, 250); t += 5)
        blobs.push_back(roundBlob(small, whole, t));
    // The pupil keeps its size over a few thresholds before the iris joins it.
    std::optional<Blob> found;
    int foundAt = 0;
    for (std::size_t i = 0; !found && i + 1 < blobs.size(); ++i)
        if (blobs[i] && blobs[i + 1] && steady(*blobs[i], *blobs[i + 1], 1.2)) {
            found = blobs[i + 1];
            foundAt = darkest + 5 * static_cast<int>(i + 2);
        }
    if (!found) {
        for (std::size_t i = 0; i < blobs.size(); ++i)
            if (blobs[i] && (!found || blobs[i]->area > found->area)) {
                found = blobs[i];
                foundAt = darkest + 5 * static_cast<int>(i + 1);
            }
    }
    if (!found)
        return std::nullopt;
    // A dark-brown iris lies so little above the pupil that both may have
    // passed for one blob: a darker round blob inside, steady from one
    // threshold to the next but one, is the pupil.
    const C2 b = found->circle;
    const cv::Rect around = cv::Rect(int(b.x - 1.2 * b.r), int(b.y - 1.2 * b.r), int(2.4 * b.r) + 1, int(2.4 * b.r) + 1) &
                            whole;
    // It must lie well inside, and the ring round it must be brighter all
    // about (not a piece of the pupil between lashes).
    const auto pupilLike = [&](const Blob &blob) {
        const C2 &c = blob.circle;
        if (c.r > 0.8 * b.r || c.r < std::max(3.0, 0.18 * b.r) || std::hypot(c.x - b.x, c.y - b.y) > 0.35 * b.r)
            return false;
        const Levels l = levelsAround(small, c);
        return l.iris - l.pupil >= std::max(6.0, 4 * l.noise);
    };
    std::vector<std::optional<Blob>> inner;
    for (int t = darkest + 2; t + 2 < foundAt; ++t) {
        std::optional<Blob> blob = roundBlob(small, around, t);
        if (blob && !pupilLike(*blob))
            blob.reset();
        inner.push_back(blob);
        const std::size_t n = inner.size();
        if (n >= 3 && inner[n - 3] && blob && steady(*inner[n - 3], *blob, 1.15)) {
            found = blob;
            break;
        }
    }
    const C2 &c = found->circle;
    return C2{c.x / f, c.y / f, c.r / f};
}

double pupilTolerance(double r) { return std::max(1.0, 0.04 * r); }

bool plausiblePupil(const C2 &c, const C2 &rough)
{
    return c.r > 0.65 * rough.r && c.r < 1.35 * rough.r &&
           std::hypot(c.x - rough.x, c.y - rough.y) < 0.4 * rough.r;
}

// What makes a rise of brightness along a ray the pupil's edge.
struct RiseRule {
    int span = 3;         // samples either side of a rise
    double minRise = 8;   // grey levels over the span
    double brightest = 0; // beyond the edge lies the iris, not the skin of a lid or a glint
    int hold = 4;         // samples the levels either side must hold
};

RiseRule riseRule(const Levels &levels, double sigma, double pupilRadius, double step)
{
    RiseRule rule;
    const double contrast = levels.iris - levels.pupil;
    // Three times the noise left in a difference of two samples after the
    // blur (for white noise its sigma shrinks by 2 sqrt(pi) sigma).
    rule.minRise = std::clamp(std::max(0.3 * contrast, 1.2 * levels.noise / sigma), 3.0, 8.0);
    rule.brightest = levels.iris + std::max(2 * contrast, 30.0);
    rule.hold = std::max(4, static_cast<int>(0.1 * pupilRadius / step));
    return rule;
}

// A dark iris lies only a few grey levels above the pupil: then the edge is
// looked for on a smoother image.
double pupilSigma(const Levels &levels) { return levels.iris - levels.pupil < 6 * levels.noise ? 2.0 : 1.0; }

// The first clear rise from the pupil outwards along a profile: where (in
// samples) and how much. The dark frill at the pupil's margin makes a
// second, softer rise a little further out. A rise counts only when the
// levels either side of it hold (a lash across the pupil rises and falls
// again) and the far side is not far brighter than the iris.
std::optional<std::pair<double, double>> firstRise(const std::vector<float> &v, const RiseRule &rule)
{
    const int span = rule.span;
    const int n = static_cast<int>(v.size());
    if (n < 2 * span + 4)
        return std::nullopt;
    std::vector<double> sum(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i)
        sum[static_cast<std::size_t>(i) + 1] = sum[static_cast<std::size_t>(i)] + v[static_cast<std::size_t>(i)];
    const auto mean = [&](int from, int to) { // [from, to), kept inside the profile
        from = std::clamp(from, 0, n - 1);
        to = std::clamp(to, from + 1, n);
        return (sum[static_cast<std::size_t>(to)] - sum[static_cast<std::size_t>(from)]) / (to - from);
    };
    std::vector<double> d(static_cast<std::size_t>(n), 0.0);
    for (int i = span; i + span < n; ++i)
        d[static_cast<std::size_t>(i)] = v[static_cast<std::size_t>(i + span)] - v[static_cast<std::size_t>(i - span)];
    std::vector<std::pair<int, double>> rises;
    double top = 0;
    for (int i = span + 1; i + span + 1 < n; ++i) {
        const double x = d[static_cast<std::size_t>(i)];
        if (x < rule.minRise || x < d[static_cast<std::size_t>(i - 1)] || x <= d[static_cast<std::size_t>(i + 1)])
            continue;
        const double before = mean(i - span - rule.hold, i - span), after = mean(i + span, i + span + rule.hold);
        if (after - before < 0.6 * x || after > rule.brightest)
            continue;
        rises.emplace_back(i, x);
        top = std::max(top, x);
    }
    for (const auto &[i, x] : rises) {
        if (x < 0.4 * top)
            continue;
        const std::size_t k = static_cast<std::size_t>(i);
        return std::pair{i + peakOffset(d[k - 1], x, d[k + 1]), x};
    }
    return std::nullopt;
}

std::optional<C2> pupilEdge(const cv::Mat &smooth, const C2 &rough, const RiseRule &rule)
{
    constexpr int kRays = 96;
    constexpr double kStep = 0.5;
    std::vector<Edge> edges;
    const double r0 = 0.6 * rough.r, r1 = 1.35 * rough.r + 4;
    for (int k = 0; k < kRays; ++k) {
        const double a = 2 * std::numbers::pi * k / kRays;
        const double ux = std::cos(a), uy = std::sin(a);
        const std::optional<std::pair<double, double>> rise =
            firstRise(profile(smooth, rough.x, rough.y, ux, uy, r0, r1, kStep), rule);
        if (!rise)
            continue;
        const double r = r0 + rise->first * kStep;
        edges.push_back(Edge{rough.x + r * ux, rough.y + r * uy, rise->second, k});
    }
    std::optional<C2> c = consensus(edges, rough, plausiblePupil, pupilTolerance, kRays, true);
    if (!c)
        return std::nullopt;
    const std::vector<Edge> kept = agreeing(edges, *c, pupilTolerance(c->r));
    if (kept.size() < kRays / 3)
        return std::nullopt;
    return robustFit(kept, 0.6);
}

// ---------------------------------------------------------------------------
// The limbus: where the iris gives way to the sclera, on rays that keep
// clear of the upper lid.

// The limbus is looked for on the two sides, within 45 degrees of 3:00 and
// of 9:00: the lids often hide its top and its bottom.
constexpr double kSideHalf = 45.0;
bool onSide(double clock)
{
    return std::abs(clock - 90.0) <= kSideHalf || std::abs(clock - 270.0) <= kSideHalf;
}

double limbusTolerance(double r) { return std::max(1.5, 0.012 * r); }

bool plausibleLimbus(const C2 &c, const C2 &pupil)
{
    const double off = std::hypot(c.x - pupil.x, c.y - pupil.y);
    return c.r > 1.25 * pupil.r && c.r < 9 * pupil.r && off < 0.3 * c.r && off + pupil.r < 0.97 * c.r;
}

std::optional<C2> limbusEdge(const cv::Mat &smooth, const C2 &pupil)
{
    constexpr double kStep = 0.5;
    // Rays start just outside the pupil, so that where the pupil sits close
    // to the limbus the iris before it still counts; the windows either
    // side of a rise shrink where the iris is narrow or the photo ends.
    const double start = pupil.r + 2;
    const double r0 = std::max(1.25 * pupil.r, pupil.r + 4);
    const double r1 = std::min(9 * pupil.r, 0.8 * std::max(smooth.cols, smooth.rows));
    const int w = std::max(6, static_cast<int>(0.4 * pupil.r / kStep)); // window, samples
    const int least = std::max(4, w / 4);
    const int first = static_cast<int>(std::ceil((r0 - start) / kStep));
    std::vector<Edge> edges;
    int rays = 0;
    for (double clock = 0; clock < 360; clock += 1.5) {
        if (!onSide(clock))
            continue;
        ++rays;
        const QPointF u = state::chartgeom::directionOf(clock);
        const std::vector<float> v = profile(smooth, pupil.x, pupil.y, u.x(), u.y(), start, r1, kStep);
        const int n = static_cast<int>(v.size());
        if (n < first + 2 * least + 6)
            continue;
        std::vector<double> sum(static_cast<std::size_t>(n) + 1, 0.0);
        for (int i = 0; i < n; ++i)
            sum[static_cast<std::size_t>(i) + 1] = sum[static_cast<std::size_t>(i)] + v[static_cast<std::size_t>(i)];
        const auto mean = [&](int a, int b) { // [a, b)
            return (sum[static_cast<std::size_t>(b)] - sum[static_cast<std::size_t>(a)]) / (b - a);
        };
        std::vector<double> s(static_cast<std::size_t>(n), 0.0);
        for (int i = least + 2; i + least + 2 < n; ++i)
            s[static_cast<std::size_t>(i)] = mean(i + 2, std::min(n, i + 2 + w)) - mean(std::max(0, i - 2 - w), i - 2);
        // The three strongest rises of the ray.
        std::vector<std::pair<double, int>> peaks;
        for (int i = std::max(first, least + 3); i + least + 3 < n; ++i) {
            const double x = s[static_cast<std::size_t>(i)];
            if (x > 8 && x >= s[static_cast<std::size_t>(i - 1)] && x > s[static_cast<std::size_t>(i + 1)])
                peaks.emplace_back(x, i);
        }
        std::sort(peaks.begin(), peaks.end(), std::greater<>());
        for (std::size_t p = 0; p < std::min<std::size_t>(3, peaks.size()); ++p) {
            const double r = start + peaks[p].second * kStep;
            edges.push_back(Edge{pupil.x + r * u.x(), pupil.y + r * u.y(), peaks[p].first, rays});
        }
    }
    std::optional<C2> c = consensus(edges, pupil, plausibleLimbus, limbusTolerance, rays, false);
    if (!c)
        return std::nullopt;

    // Exactly where the brightness rises, near the circle found, ray by ray.
    std::vector<Edge> fine;
    const int span = 3;
    for (double clock = 0; clock < 360; clock += 0.75) {
        if (!onSide(clock))
            continue;
        const QPointF u = state::chartgeom::directionOf(clock);
        // Distance from the pupil's centre to the circle along this ray.
        const double bx = pupil.x - c->x, by = pupil.y - c->y;
        const double b = bx * u.x() + by * u.y();
        const double reach = -b + std::sqrt(std::max(0.0, b * b - (bx * bx + by * by - c->r * c->r)));
        const double band = 0.05 * c->r + 3;
        const std::vector<float> v = profile(smooth, pupil.x, pupil.y, u.x(), u.y(), reach - band, reach + band, kStep);
        const int n = static_cast<int>(v.size());
        int at = -1;
        double top = 8;
        for (int i = span + 1; i + span + 1 < n; ++i) {
            const double d = v[static_cast<std::size_t>(i + span)] - v[static_cast<std::size_t>(i - span)];
            if (d > top) {
                top = d;
                at = i;
            }
        }
        if (at < 0)
            continue;
        const auto d = [&](int i) {
            return double(v[static_cast<std::size_t>(i + span)] - v[static_cast<std::size_t>(i - span)]);
        };
        const double r = reach - band + (at + peakOffset(d(at - 1), d(at), d(at + 1))) * kStep;
        fine.push_back(Edge{pupil.x + r * u.x(), pupil.y + r * u.y(), top, 0});
    }
    if (fine.size() < 40)
        return c;
    const std::optional<C2> refined = robustFit(fine, 0.75);
    return refined && plausibleLimbus(*refined, pupil) ? refined : c;
}

} // namespace

Fit proposedFit(QSize photo)
{
    const double side = std::min(photo.width(), photo.height());
    const double cx = photo.width() / 2.0, cy = photo.height() / 2.0;
    return Fit{Circle{cx, cy, 0.14 * side}, Circle{cx, cy, 0.4 * side}, 0.0};
}

namespace {

// Both circles on one channel of the photo.
Found findOn(const cv::Mat &grey)
{
    Found found;
    found.fit = proposedFit(QSize(grey.cols, grey.rows));
    const double f = std::min(1.0, double(kWorkingSide) / std::max(grey.cols, grey.rows));
    cv::Mat work;
    if (f < 1.0)
        cv::resize(grey, work, cv::Size(std::max(1, int(std::lround(grey.cols * f))),
                                        std::max(1, int(std::lround(grey.rows * f)))),
                   0, 0, cv::INTER_AREA);
    else
        work = grey;
    const double fx = double(work.cols) / grey.cols, fy = double(work.rows) / grey.rows;

    const std::optional<C2> rough = roughPupil(work);
    if (!rough) {
        found.problem = QStringLiteral("Зрачок не найден");
        return found;
    }
    cv::Mat smooth;
    work.convertTo(smooth, CV_32F);
    const Levels levels = levelsAround(work, *rough);
    const double sigma = pupilSigma(levels);
    cv::Mat pupilSmooth;
    cv::GaussianBlur(smooth, pupilSmooth, cv::Size(0, 0), sigma);
    const std::optional<C2> pupil = pupilEdge(pupilSmooth, *rough, riseRule(levels, sigma, rough->r, 0.5));
    if (!pupil) {
        found.problem = QStringLiteral("Край зрачка не найден");
        return found;
    }
    cv::Mat limbusSmooth;
    cv::GaussianBlur(smooth, limbusSmooth, cv::Size(0, 0), 2.0);
    const std::optional<C2> limbus = limbusEdge(limbusSmooth, *pupil);
    const auto toPhoto = [fx, fy](const C2 &c) {
        return Circle{(c.x + 0.5) / fx, (c.y + 0.5) / fy, c.r * 2.0 / (fx + fy)};
    };
    found.fit.pupil = toPhoto(*pupil);
    if (!limbus) {
        found.fit.limbus = Circle{found.fit.pupil.x, found.fit.pupil.y, 3.0 * found.fit.pupil.r};
        found.problem = QStringLiteral("Край радужки (лимб) не найден");
        return found;
    }
    found.fit.limbus = toPhoto(*limbus);
    found.ok = usable(found.fit);
    if (!found.ok)
        found.problem = QStringLiteral("Зрачок не лежит внутри радужки");
    return found;
}

} // namespace

Found find(const QImage &photo)
{
    if (photo.isNull() || photo.width() < 32 || photo.height() < 32) {
        Found found;
        found.fit = proposedFit(photo.size());
        found.problem = QStringLiteral("Снимок слишком мал или не прочитан");
        return found;
    }
    const cv::Rect all(0, 0, photo.width(), photo.height());
    Found found = findOn(channelOf(photo, true, all));
    // A red reflex from the back of the eye brightens the pupil in red: then
    // the grey photo is tried.
    if (!found.ok && hasColour(photo)) {
        Found grey = findOn(channelOf(photo, false, all));
        if (grey.ok)
            return grey;
    }
    return found;
}

std::vector<QPointF> pupilOutline(const QImage &photo, const Fit &fit)
{
    const Circle &p = fit.pupil;
    if (photo.isNull() || !(p.r > 2))
        return {};
    // Around the pupil, at most kOutlineRadius pixels across its radius.
    const cv::Rect area(int(std::floor(p.x - 1.45 * p.r)), int(std::floor(p.y - 1.45 * p.r)),
                        int(std::ceil(2.9 * p.r)) + 1, int(std::ceil(2.9 * p.r)) + 1);
    const cv::Rect inside = area & cv::Rect(0, 0, photo.width(), photo.height());
    if (inside.width < 8 || inside.height < 8)
        return {};
    const cv::Mat crop = channelOf(photo, true, inside);
    const double f = std::min(1.0, kOutlineRadius / p.r);
    cv::Mat work;
    if (f < 1.0)
        cv::resize(crop, work, cv::Size(std::max(1, int(std::lround(crop.cols * f))),
                                        std::max(1, int(std::lround(crop.rows * f)))),
                   0, 0, cv::INTER_AREA);
    else
        work = crop;
    const double fx = double(work.cols) / crop.cols, fy = double(work.rows) / crop.rows;
    // The pupil in the working image (pixel centres at whole numbers).
    const C2 c{(p.x - inside.x) * fx - 0.5, (p.y - inside.y) * fy - 0.5, p.r * (fx + fy) / 2};
    const Levels levels = levelsAround(work, c);
    const double sigma = pupilSigma(levels);
    cv::Mat smooth;
    work.convertTo(smooth, CV_32F);
    cv::GaussianBlur(smooth, smooth, cv::Size(0, 0), sigma);
    constexpr double kStep = 0.5;
    RiseRule rule = riseRule(levels, sigma, c.r, kStep);
    // The edge and the frill beside it are a few pixels wide at this size.
    rule.span = std::max(3, static_cast<int>(std::lround(0.025 * c.r / kStep)));
    // Glints and lids near the edge, far brighter than the iris: rays that
    // meet them are left out.
    cv::Mat bright;
    cv::threshold(work, bright, levels.iris + std::max(30.0, 0.5 * (levels.iris - levels.pupil)), 255,
                  cv::THRESH_BINARY);
    cv::dilate(bright, bright, cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(5, 5)));
    std::vector<QPointF> points;
    // A flat brings the edge inwards, an oval a little either way.
    const double r0 = 0.5 * c.r, r1 = 1.25 * c.r, last = 1.12 * c.r;
    for (int k = 0; k < kOutlineRays; ++k) {
        const QPointF u = state::chartgeom::directionOf(360.0 * k / kOutlineRays);
        const std::optional<std::pair<double, double>> rise =
            firstRise(profile(smooth, c.x, c.y, u.x(), u.y(), r0, r1, kStep), rule);
        if (!rise)
            continue;
        const double r = r0 + rise->first * kStep;
        if (r > last)
            continue;
        bool clear = true;
        const double reach = std::max(3.0, 0.08 * c.r);
        for (double t = r - reach; clear && t <= r + reach; t += 1.0) {
            const int x = int(std::lround(c.x + t * u.x())), y = int(std::lround(c.y + t * u.y()));
            clear = x < 0 || y < 0 || x >= bright.cols || y >= bright.rows || !bright.at<uchar>(y, x);
        }
        if (clear)
            points.emplace_back(inside.x + (c.x + r * u.x() + 0.5) / fx, inside.y + (c.y + r * u.y() + 0.5) / fy);
    }
    return points;
}

} // namespace photos::iris
