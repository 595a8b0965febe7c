#include "photos/irisfind.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>
#include <vector>

namespace iris {

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

cv::Mat greyOf(const QImage &photo)
{
    cv::Mat grey;
    switch (photo.format()) {
    case QImage::Format_Grayscale8:
        return cv::Mat(photo.height(), photo.width(), CV_8UC1, const_cast<uchar *>(photo.constBits()),
                       static_cast<size_t>(photo.bytesPerLine()))
            .clone();
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        const cv::Mat bgra(photo.height(), photo.width(), CV_8UC4, const_cast<uchar *>(photo.constBits()),
                           static_cast<size_t>(photo.bytesPerLine()));
        cv::cvtColor(bgra, grey, cv::COLOR_BGRA2GRAY);
        return grey;
    }
    case QImage::Format_RGB888: {
        const cv::Mat rgb(photo.height(), photo.width(), CV_8UC3, const_cast<uchar *>(photo.constBits()),
                          static_cast<size_t>(photo.bytesPerLine()));
        cv::cvtColor(rgb, grey, cv::COLOR_RGB2GRAY);
        return grey;
    }
    default:
        return greyOf(photo.convertToFormat(QImage::Format_RGB32));
    }
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

    struct Blob {
        double area = 0;
        C2 circle;
    };
    std::vector<std::optional<Blob>> blobs;
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(5, 5));
    cv::Mat mask;
    for (int t = darkest + 5; t <= std::min(darkest + 95, 250); t += 5) {
        cv::threshold(small, mask, t, 255, cv::THRESH_BINARY_INV);
        cv::morphologyEx(mask, mask, cv::MORPH_OPEN, kernel);
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
        std::optional<Blob> best;
        for (const std::vector<cv::Point> &c : contours) {
            const cv::Rect box = cv::boundingRect(c);
            if (box.x <= 1 || box.y <= 1 || box.br().x >= small.cols - 1 || box.br().y >= small.rows - 1)
                continue;
            std::vector<cv::Point> hull;
            cv::convexHull(c, hull);
            const double area = cv::contourArea(hull);
            if (area < 20)
                continue;
            cv::Point2f centre;
            float radius = 0;
            cv::minEnclosingCircle(hull, centre, radius);
            if (area < 0.72 * std::numbers::pi * radius * radius)
                continue;
            if (!best || area > best->area)
                best = Blob{area, C2{centre.x / f, centre.y / f, std::sqrt(area / std::numbers::pi) / f}};
        }
        blobs.push_back(best);
    }
    // The pupil keeps its size over a few thresholds before the iris joins it.
    for (std::size_t i = 0; i + 1 < blobs.size(); ++i) {
        if (!blobs[i] || !blobs[i + 1])
            continue;
        const Blob &a = *blobs[i], &b = *blobs[i + 1];
        if (b.area <= 1.2 * a.area &&
            std::hypot(a.circle.x - b.circle.x, a.circle.y - b.circle.y) < 0.3 * a.circle.r)
            return b.circle;
    }
    std::optional<C2> largest;
    double largestArea = 0;
    for (const std::optional<Blob> &b : blobs)
        if (b && b->area > largestArea) {
            largestArea = b->area;
            largest = b->circle;
        }
    return largest;
}

double pupilTolerance(double r) { return std::max(1.0, 0.04 * r); }

bool plausiblePupil(const C2 &c, const C2 &rough)
{
    return c.r > 0.65 * rough.r && c.r < 1.35 * rough.r &&
           std::hypot(c.x - rough.x, c.y - rough.y) < 0.4 * rough.r;
}

std::optional<C2> pupilEdge(const cv::Mat &smooth, const C2 &rough)
{
    constexpr int kRays = 96;
    constexpr double kStep = 0.5;
    std::vector<Edge> edges;
    const double r0 = 0.6 * rough.r, r1 = 1.35 * rough.r + 4;
    const int span = 3; // samples either side: +-1.5 px
    for (int k = 0; k < kRays; ++k) {
        const double a = 2 * std::numbers::pi * k / kRays;
        const double ux = std::cos(a), uy = std::sin(a);
        const std::vector<float> v = profile(smooth, rough.x, rough.y, ux, uy, r0, r1, kStep);
        const int n = static_cast<int>(v.size());
        std::vector<double> d(static_cast<std::size_t>(n), 0.0);
        for (int i = span; i + span < n; ++i)
            d[static_cast<std::size_t>(i)] = v[static_cast<std::size_t>(i + span)] - v[static_cast<std::size_t>(i - span)];
        // The first clear rise from the pupil outwards: the dark frill at the
        // pupil's margin makes a second, softer rise a little further out.
        double top = 0;
        for (int i = span + 1; i + span + 1 < n; ++i)
            top = std::max(top, d[static_cast<std::size_t>(i)]);
        if (top < 8)
            continue;
        for (int i = span + 1; i + span + 1 < n; ++i) {
            const double x = d[static_cast<std::size_t>(i)];
            if (x < 0.4 * top || x < d[static_cast<std::size_t>(i - 1)] || x <= d[static_cast<std::size_t>(i + 1)])
                continue;
            const double off = peakOffset(d[static_cast<std::size_t>(i - 1)], x, d[static_cast<std::size_t>(i + 1)]);
            const double r = r0 + (i + off) * kStep;
            edges.push_back(Edge{rough.x + r * ux, rough.y + r * uy, x, k});
            break;
        }
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
    const double r0 = std::max(1.25 * pupil.r, pupil.r + 4);
    const double r1 = std::min(9 * pupil.r, 0.8 * std::max(smooth.cols, smooth.rows));
    const int w = std::max(6, static_cast<int>(0.4 * pupil.r / kStep)); // window, samples
    std::vector<Edge> edges;
    int rays = 0;
    for (double clock = 0; clock < 360; clock += 1.5) {
        if (!onSide(clock))
            continue;
        ++rays;
        const QPointF u = chartgeom::directionOf(clock);
        const std::vector<float> v = profile(smooth, pupil.x, pupil.y, u.x(), u.y(), r0, r1, kStep);
        const int n = static_cast<int>(v.size());
        if (n < 2 * w + 6)
            continue;
        std::vector<double> sum(static_cast<std::size_t>(n) + 1, 0.0);
        for (int i = 0; i < n; ++i)
            sum[static_cast<std::size_t>(i) + 1] = sum[static_cast<std::size_t>(i)] + v[static_cast<std::size_t>(i)];
        const auto mean = [&](int a, int b) { // [a, b)
            return (sum[static_cast<std::size_t>(b)] - sum[static_cast<std::size_t>(a)]) / (b - a);
        };
        std::vector<double> s(static_cast<std::size_t>(n), 0.0);
        for (int i = w + 2; i + w + 2 < n; ++i)
            s[static_cast<std::size_t>(i)] = mean(i + 2, i + 2 + w) - mean(i - 2 - w, i - 2);
        // The three strongest rises of the ray.
        std::vector<std::pair<double, int>> peaks;
        for (int i = w + 3; i + w + 3 < n; ++i) {
            const double x = s[static_cast<std::size_t>(i)];
            if (x > 8 && x >= s[static_cast<std::size_t>(i - 1)] && x > s[static_cast<std::size_t>(i + 1)])
                peaks.emplace_back(x, i);
        }
        std::sort(peaks.begin(), peaks.end(), std::greater<>());
        for (std::size_t p = 0; p < std::min<std::size_t>(3, peaks.size()); ++p) {
            const double r = r0 + peaks[p].second * kStep;
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
        const QPointF u = chartgeom::directionOf(clock);
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

Found find(const QImage &photo)
{
    Found found;
    found.fit = proposedFit(photo.size());
    if (photo.isNull() || photo.width() < 32 || photo.height() < 32) {
        found.problem = QStringLiteral("Снимок слишком мал или не прочитан");
        return found;
    }
    const cv::Mat grey = greyOf(photo);
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
    cv::Mat pupilSmooth;
    cv::GaussianBlur(smooth, pupilSmooth, cv::Size(0, 0), 1.0);
    const std::optional<C2> pupil = pupilEdge(pupilSmooth, *rough);
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

} // namespace iris
