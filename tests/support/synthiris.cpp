#include "support/synthiris.h"

#include "state/keyedlines.h"

#include <QBuffer>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace synth {

namespace {

constexpr double kPi = std::numbers::pi;

double smoothstep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

struct Rgb {
    double r, g, b;
};

Rgb mix(const Rgb &a, const Rgb &b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb &a, double k) { return {a.r * k, a.g * k, a.b * k}; }

double greyOf(const Rgb &a) { return 0.299 * a.r + 0.587 * a.g + 0.114 * a.b; }

Rgb colourOf(IrisColour c)
{
    switch (c) {
    case IrisColour::Blue: return {120, 150, 182};
    case IrisColour::BlueGrey: return {112, 132, 150};
    case IrisColour::Green: return {92, 118, 80};
    case IrisColour::Hazel: return {112, 110, 68};
    case IrisColour::Brown: return {92, 60, 36};
    case IrisColour::DarkBrown: return {48, 30, 20};
    }
    return {92, 60, 36};
}

// Periodic value noise along the circle, bilinear in (angle, radius).
class PolarNoise {
public:
    PolarNoise(std::mt19937 &rng, int angles, int radii)
        : m_a(angles), m_r(radii), m_v(static_cast<std::size_t>(angles * radii))
    {
        std::normal_distribution<double> n(0, 1);
        for (double &v : m_v)
            v = n(rng);
    }
    double at(double turn, double t) const // turn in [0, 1), t in [0, 1]
    {
        const double x = turn * m_a, y = std::clamp(t, 0.0, 1.0) * (m_r - 1);
        const int x0 = static_cast<int>(x) % m_a, y0 = std::min(static_cast<int>(y), m_r - 2);
        const int x1 = (x0 + 1) % m_a;
        const double fx = x - std::floor(x), fy = y - y0;
        const auto v = [this](int a, int r) { return m_v[static_cast<std::size_t>(r * m_a + a)]; };
        return (v(x0, y0) * (1 - fx) + v(x1, y0) * fx) * (1 - fy) + (v(x0, y0 + 1) * (1 - fx) + v(x1, y0 + 1) * fx) * fy;
    }

private:
    int m_a, m_r;
    std::vector<double> m_v;
};

struct Crypt {
    double turn, t, width, depth;
};

} // namespace

const char *nameOf(IrisColour colour)
{
    switch (colour) {
    case IrisColour::Blue: return "blue";
    case IrisColour::BlueGrey: return "blue-grey";
    case IrisColour::Green: return "green";
    case IrisColour::Hazel: return "hazel";
    case IrisColour::Brown: return "brown";
    case IrisColour::DarkBrown: return "dark brown";
    }
    return "";
}

// The two circles at a random place of the photo, drawn in this order: the
// iris radius (rMin to 0.42 of the shorter side), its centre, the pupil's
// radius (0.2 to 0.6 of the iris's), its distance off centre (up to offMax of
// the iris radius) and direction.
template <class Draw>
photos::iris::Fit placedCircles(Draw &in, QSize size, double rMin, double offMax)
{
    const double side = std::min(size.width(), size.height());
    const double R = in(rMin, 0.42) * side;
    const double margin = 0.03 * side;
    photos::iris::Circle limbus;
    limbus.r = R;
    limbus.x = in(R + margin, size.width() - R - margin);
    limbus.y = in(R + margin, size.height() - R - margin);
    const double rp = in(0.2, 0.6) * R;
    const double off = in(0, offMax) * R;
    const double dir = in(0, 2 * kPi);
    const photos::iris::Circle pupil{limbus.x + off * std::cos(dir), limbus.y + off * std::sin(dir), rp};
    return photos::iris::Fit{pupil, limbus, 0.0};
}

Scene randomScene(QSize size, quint32 seed)
{
    std::mt19937 rng(seed * 2654435761u + 17);
    std::uniform_real_distribution<double> u(0, 1);
    const auto in = [&](double a, double b) { return a + (b - a) * u(rng); };
    Scene s;
    s.truth = placedCircles(in, size, 0.22, 0.08);
    const photos::iris::Circle &pupil = s.truth.pupil;
    const photos::iris::Circle &limbus = s.truth.limbus;
    const double R = limbus.r, rp = pupil.r;
    // The lid stops short of the pupil.
    const double pupilTop = (pupil.y - rp) - (limbus.y - R); // from the iris's top
    s.upperLid = std::min(in(-0.05, 0.32), (pupilTop - 0.08 * R) / (2 * R));
    s.lowerLid = u(rng) < 0.4 ? in(0, 0.08) : -0.05;
    static constexpr IrisColour kFirst[] = {IrisColour::Brown, IrisColour::BlueGrey, IrisColour::Hazel};
    s.colour = kFirst[static_cast<int>(u(rng) * 3) % 3];
    s.noise = in(2, 9);
    s.glints = 1 + static_cast<int>(u(rng) * 2);
    s.lashes = u(rng) < 0.85;
    return s;
}

Scene hardScene(QSize size, quint32 seed, IrisColour colour)
{
    std::mt19937 rng(seed * 2246822519u + 3);
    std::uniform_real_distribution<double> u(0, 1);
    const auto in = [&](double a, double b) { return a + (b - a) * u(rng); };
    Scene s;
    s.colour = colour;
    s.truth = placedCircles(in, size, 0.2, 0.1);
    const photos::iris::Circle &pupil = s.truth.pupil;
    const photos::iris::Circle &limbus = s.truth.limbus;
    const double R = limbus.r, rp = pupil.r;
    // Lids over up to 45 % of the iris's height; the upper one may hide up
    // to a quarter of the pupil's height.
    const double pupilTop = (pupil.y - rp) - (limbus.y - R);
    s.upperLid = std::min(in(-0.05, 0.35), (pupilTop + 0.5 * rp) / (2 * R));
    s.lowerLid = u(rng) < 0.5 ? std::min(in(0, 0.15), 0.45 - std::max(0.0, s.upperLid)) : -0.05;
    s.light = u(rng) < 0.35 ? in(0.45, 0.7) : in(0.85, 1.1);
    s.tilt = u(rng) < 0.4 ? in(0.15, 0.4) : in(0, 0.08);
    s.tiltClock = in(0, 360);
    s.noise = in(2, 8) / std::sqrt(s.light);
    s.glints = 1 + static_cast<int>(u(rng) * 3);
    s.glintOnEdge = u(rng) < 0.6;
    s.lashes = u(rng) < 0.9;
    s.lashReach = in(0.15, 0.45);
    s.defocus = u(rng) < 0.3 ? in(0.001, 0.004) : 0.0;
    s.jpeg = u(rng) < 0.5 ? static_cast<int>(in(70, 95)) : 0;
    s.ruff = in(0.45, 0.75);
    s.contrast = colour == IrisColour::DarkBrown ? in(10, 25) : 0.0;
    return s;
}

QImage render(const Scene &scene, QSize size, quint32 seed)
{
    std::mt19937 rng(seed ^ 0x5bd1e995u);
    std::uniform_real_distribution<double> u(0, 1);
    const auto in = [&](double a, double b) { return a + (b - a) * u(rng); };

    const photos::iris::Circle &L = scene.truth.limbus;
    const photos::iris::Circle &P = scene.truth.pupil;
    const double R = L.r;

    // Drawn small, then enlarged.
    const double k = std::max(1.0, R / 240.0);
    const int bw = std::max(8, static_cast<int>(std::lround(size.width() / k)));
    const int bh = std::max(8, static_cast<int>(std::lround(size.height() / k)));
    const double kx = double(size.width()) / bw, ky = double(size.height()) / bh;
    const double px = (kx + ky) / 2; // one drawn pixel, in photo pixels

    const double cw = size.width() / 2.0, ch = size.height() / 2.0;
    const QPointF tiltTo = state::chartgeom::directionOf(scene.tiltClock);
    const double halfSide = std::min(cw, ch);
    // The light falling on a point of the scene.
    const auto lightAt = [&](double X, double Y) {
        const double vignette = 1.0 - 0.18 * (std::pow((X - cw) / cw, 2) + std::pow((Y - ch) / ch, 2)) / 2;
        if (scene.light == 1.0 && scene.tilt == 0)
            return vignette;
        const double along = ((X - cw) * tiltTo.x() + (Y - ch) * tiltTo.y()) / halfSide;
        return vignette * scene.light * std::max(0.2, 1.0 + scene.tilt * along);
    };

    const Rgb pupilColour{14, 11, 12};
    Rgb irisColour = scale(colourOf(scene.colour), in(0.85, 1.15));
    if (scene.contrast > 0) {
        // So many grey levels above the pupil where the light falls on the iris.
        const Rgb hue{1.0, 0.68, 0.50};
        const double k = scene.contrast / lightAt(L.x, L.y) / greyOf(hue);
        irisColour = {pupilColour.r + k * hue.r, pupilColour.g + k * hue.g, pupilColour.b + k * hue.b};
    }
    const Rgb sclera = scale(Rgb{228, 218, 208}, in(0.85, 1.0));
    const Rgb skin = scale(Rgb{205, 155, 132}, in(0.8, 1.05));
    const Rgb ruff = scene.ruff > 0 ? mix(pupilColour, irisColour, scene.ruff) : scale(irisColour, 0.55);

    PolarNoise fibres(rng, 360, 6);
    PolarNoise patches(rng, 48, 8);
    PolarNoise collaretteShape(rng, 24, 2);
    std::vector<Crypt> crypts;
    for (int i = 0; i < 14; ++i)
        crypts.push_back(Crypt{u(rng), in(0.15, 0.8), in(0.01, 0.03), in(0.15, 0.4)});
    const double collarette = in(0.27, 0.36);

    const double edgeL = std::max(0.7 * px, in(0.006, 0.02) * R);
    const double edgeP = std::max(0.6 * px, in(0.01, 0.03) * P.r);
    const double lidEdge = 1.2 * px;
    const double yU0 = L.y - R + scene.upperLid * 2 * R;
    const double yL0 = L.y + R - scene.lowerLid * 2 * R;
    // The lids meet in the corners of the eye, well beyond the iris.
    const double corner = in(2.1, 2.6) * R;
    const double qU = (L.y + 0.1 * R - yU0) / (corner * corner);
    const double qL = (yL0 - L.y - 0.1 * R) / (corner * corner);

    struct Glint {
        double x, y, r;
    };
    std::mt19937 more(seed * 40503u + 99); // for what the first photos did not have
    std::uniform_real_distribution<double> v(0, 1);
    std::vector<Glint> glints;
    for (int i = 0; i < scene.glints; ++i) {
        const double a = in(0, 2 * kPi);
        double d = in(0, 1.05) * P.r;
        const double r = in(0.03, 0.08) * R;
        if (i == 0 && scene.glintOnEdge)
            d = P.r + (v(more) - 0.5) * r;
        glints.push_back(Glint{P.x + d * std::cos(a), P.y + d * std::sin(a), r});
    }

    // The pupil's outline: an oval, perhaps cut flat on one side.
    const QPointF ovalAxis = state::chartgeom::directionOf(scene.ovalClock);
    const QPointF flatAxis = state::chartgeom::directionOf(scene.flatClock);
    const double ovalLong = P.r / std::sqrt(scene.oval), ovalShort = P.r * std::sqrt(scene.oval);
    const auto outsidePupil = [&](double dx, double dy, double rho) { // distance beyond the edge, roughly
        double d = rho - P.r;
        if (scene.oval != 1.0) {
            const double a = (dx * ovalAxis.x() + dy * ovalAxis.y()) / ovalLong;
            const double b = (-dx * ovalAxis.y() + dy * ovalAxis.x()) / ovalShort;
            d = P.r * (std::hypot(a, b) - 1);
        }
        if (scene.flatDepth > 0)
            d = std::max(d, dx * flatAxis.x() + dy * flatAxis.y() - P.r * (1 - scene.flatDepth));
        return d;
    };

    const double wx = P.x - L.x, wy = P.y - L.y;
    cv::Mat base(bh, bw, CV_8UC3);
    for (int j = 0; j < bh; ++j) {
        cv::Vec3b *row = base.ptr<cv::Vec3b>(j);
        const double Y = (j + 0.5) * ky;
        for (int i = 0; i < bw; ++i) {
            const double X = (i + 0.5) * kx;
            const double ex = X - L.x;
            const double yU = yU0 + qU * ex * ex;
            const double yL = yL0 - qL * ex * ex;
            const double open = smoothstep(-lidEdge, lidEdge, Y - yU) * smoothstep(-lidEdge, lidEdge, yL - Y);
            Rgb c = skin;
            if (open > 0) {
                Rgb eye = scale(sclera, 1.0 - 0.15 * std::min(1.0, std::abs(ex) / corner));
                const double dl = std::hypot(X - L.x, Y - L.y);
                const double aIris = 1.0 - smoothstep(R - edgeL, R + edgeL, dl);
                if (aIris > 0) {
                    const double dx = X - P.x, dy = Y - P.y;
                    const double rho = std::hypot(dx, dy);
                    const double ux = rho > 0 ? dx / rho : 1, uy = rho > 0 ? dy / rho : 0;
                    const double b = wx * ux + wy * uy;
                    const double reach = -b + std::sqrt(std::max(0.0, b * b - (wx * wx + wy * wy - R * R)));
                    const double t = std::clamp((rho - P.r) / (reach - P.r), 0.0, 1.2);
                    double turn = std::atan2(dy, dx) / (2 * kPi);
                    if (turn < 0)
                        turn += 1;
                    double m = 1.0 + 0.16 * fibres.at(turn, t) + 0.08 * patches.at(turn, t);
                    const double ct = collarette + 0.03 * collaretteShape.at(turn, 0.5);
                    m += 0.18 * std::exp(-std::pow((t - ct) / 0.025, 2));
                    m -= 0.28 * smoothstep(0.8, 1.0, t);
                    for (const Crypt &cr : crypts) {
                        double da = std::abs(turn - cr.turn);
                        da = std::min(da, 1 - da);
                        const double q = std::pow(da / cr.width, 2) + std::pow((t - cr.t) / (2.5 * cr.width), 2);
                        if (q < 4)
                            m -= cr.depth * std::exp(-q);
                    }
                    Rgb ic = scale(irisColour, std::max(0.2, m));
                    // The frill follows the pupil's edge, flat or round.
                    const double beyond = outsidePupil(dx, dy, rho);
                    ic = mix(ic, ruff, 1.0 - smoothstep(0.0, 0.05, std::clamp(beyond / (reach - P.r), 0.0, 1.2)));
                    eye = mix(eye, ic, aIris);
                    const double aPupil = 1.0 - smoothstep(-edgeP, edgeP, beyond);
                    eye = mix(eye, pupilColour, aPupil);
                }
                // The lid's shadow falls on the eye just below it.
                eye = scale(eye, 1.0 - 0.3 * std::exp(-std::max(0.0, Y - yU) / (0.07 * R)));
                for (const Glint &g : glints) {
                    const double a = 1.0 - smoothstep(g.r - px, g.r + px, std::hypot(X - g.x, Y - g.y));
                    if (a > 0)
                        eye = mix(eye, Rgb{250, 250, 248}, a);
                }
                c = mix(c, eye, open);
            }
            c = scale(c, lightAt(X, Y));
            row[i] = cv::Vec3b(cv::saturate_cast<uchar>(c.b), cv::saturate_cast<uchar>(c.g),
                               cv::saturate_cast<uchar>(c.r));
        }
    }

    if (scene.lashes) {
        const int n = 40 + static_cast<int>(u(rng) * 50);
        for (int i = 0; i < n; ++i) {
            double x = L.x + in(-0.9, 0.9) * corner;
            double y = yU0 + qU * (x - L.x) * (x - L.x);
            const double len = in(0.06, scene.lashReach > 0 ? scene.lashReach : 0.2) * R;
            double a = kPi / 2 + (x - L.x) / R * 0.5 + in(-0.25, 0.25);
            const double bend = in(-0.6, 0.6);
            const double grey = in(20, 55);
            const int thick = std::max(1, static_cast<int>(std::lround(in(0.6, 1.6) * 2.0 / px)));
            for (int s = 0; s < 5; ++s) {
                const double nx = x + len / 5 * std::cos(a), ny = y + len / 5 * std::sin(a);
                cv::line(base, cv::Point2d(x / kx - 0.5, y / ky - 0.5) * 16, cv::Point2d(nx / kx - 0.5, ny / ky - 0.5) * 16,
                         cv::Scalar(grey, grey, grey + 5), thick, cv::LINE_AA, 4);
                x = nx;
                y = ny;
                a += bend / 5;
            }
        }
    }

    if (scene.defocus > 0)
        cv::GaussianBlur(base, base, cv::Size(0, 0), scene.defocus * R / px);

    cv::Mat full;
    if (bw == size.width() && bh == size.height())
        full = base;
    else
        cv::resize(base, full, cv::Size(size.width(), size.height()), 0, 0, cv::INTER_CUBIC);

    // Camera noise; above 2 megapixels it is drawn at half size, as a
    // demosaiced sensor's noise is not independent from pixel to pixel.
    const bool half = size.width() * size.height() > 2'000'000;
    cv::Mat noise(half ? size.height() / 2 : size.height(), half ? size.width() / 2 : size.width(), CV_16SC3);
    cv::theRNG().state = seed * 7919ull + 1;
    cv::randn(noise, cv::Scalar::all(0), cv::Scalar::all(scene.noise));
    if (half)
        cv::resize(noise, noise, full.size(), 0, 0, cv::INTER_LINEAR);
    cv::Mat sum;
    cv::add(full, noise, sum, cv::noArray(), CV_8UC3);

    QImage image(size, QImage::Format_RGB32);
    cv::Mat bgra(size.height(), size.width(), CV_8UC4, image.bits(), static_cast<size_t>(image.bytesPerLine()));
    cv::cvtColor(sum, bgra, cv::COLOR_BGR2BGRA);
    if (scene.jpeg > 0) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", scene.jpeg);
        image = QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB32);
    }
    return image;
}

QPoint deepest(const QImage &picture, int colour)
{
    cv::Mat mask(picture.height(), picture.width(), CV_8UC1);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            mask.at<uchar>(y, x) = state::keyed::colourNumber(picture, QPoint(x, y)) == colour ? 255 : 0;
    cv::Mat distance;
    cv::distanceTransform(mask, distance, cv::DIST_L2, 5);
    cv::Point at;
    cv::minMaxLoc(distance, nullptr, nullptr, nullptr, &at);
    return {at.x, at.y};
}

} // namespace synth
