// From a photo to the chart: the chart geometry is the generator's, the
// rings lie in the pictures where the table says, photo and chart places
// convert both ways, and for every zone colour of every chart a point inside
// the zone on a synthetic photo, fitted with its true circles, lands on that
// colour.
#include "charts/pictures.h"
#include "photos/irismap.h"
#include "state/chartgeometry.h"
#include "state/keyedlines.h"
#include "support/synthiris.h"
#include "support/testenv.h"

#include <QProcess>
#include <QtTest>

#include <opencv2/imgproc.hpp>

#include <cmath>

using state::chartgeom::Chart;

namespace {

constexpr int kWhite = 16777215;

// The colours of a picture's zones (neither white nor black).
QList<int> zoneColours(const QImage &picture)
{
    QSet<int> seen;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            seen.insert(state::keyed::colourNumber(picture, QPoint(x, y)));
    seen.remove(kWhite);
    seen.remove(0);
    QList<int> out(seen.begin(), seen.end());
    std::sort(out.begin(), out.end());
    return out;
}


struct Case {
    Chart chart;
    bool right;
};
const Case kCases[] = {{Chart::Deck, true},   {Chart::Deck, false},       {Chart::Jensen, true},
                       {Chart::Jensen, false}, {Chart::Collarette, true}, {Chart::Collarette, false}};

} // namespace

class TestIrisMap : public QObject {
    Q_OBJECT
private slots:
    void geometryIsTheGenerators();
    void ringsLieWhereTheTableSays();
    void placesConvertBothWays_data();
    void placesConvertBothWays();
    void landmarks();
    void everyZoneColourFromAPhoto();
};

void TestIrisMap::geometryIsTheGenerators()
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {TestEnv::sourcePath(QStringLiteral("tools/charts/make_charts.py")), QStringLiteral("--geometry")});
    QVERIFY(python.waitForFinished(60000));
    QCOMPARE(python.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.value(0).startsWith(QStringLiteral("size %1 centre %2 ").arg(state::chartgeom::kPictureSize).arg(state::chartgeom::kCentre, 0, 'f', 1)));
    const auto describe = [](const state::chartgeom::Geometry &g) {
        QString s = QStringLiteral("pupil %1 iris %2 rim %3 rings").arg(g.pupil, 0, 'f', 1).arg(g.iris, 0, 'f', 1).arg(g.rim, 0, 'f', 1);
        for (double b : g.rings)
            s += QStringLiteral(" %1").arg(b, 0, 'f', 2);
        return s;
    };
    QVERIFY(lines.contains(QStringLiteral("full ") + describe(state::chartgeom::geometry(Chart::Deck))));
    QVERIFY(lines.contains(QStringLiteral("belt ") + describe(state::chartgeom::geometry(Chart::Collarette))));
    QCOMPARE(state::chartgeom::geometry(Chart::Jensen).rings.data(), state::chartgeom::geometry(Chart::Deck).rings.data());
    // The belt's rings are the first three of the whole iris.
    QCOMPARE(state::chartgeom::geometry(Chart::Collarette).rings.size(), std::size_t(4));
    for (const Case &c : kCases) {
        const QString layout = c.chart == Chart::Collarette ? QStringLiteral("belt") : QStringLiteral("full");
        QVERIFY(lines.contains(state::chartgeom::pictureName(c.chart, c.right) + QLatin1Char(' ') + layout));
    }
}

void TestIrisMap::ringsLieWhereTheTableSays()
{
    for (const Case &c : kCases) {
        const QImage picture = charts::picture(state::chartgeom::pictureName(c.chart, c.right));
        QCOMPARE(picture.size(), QSize(state::chartgeom::kPictureSize, state::chartgeom::kPictureSize));
        const std::span<const double> rings(state::chartgeom::kIrisRings, state::chartgeom::geometry(c.chart).rings.size());
        for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
            int black = 0;
            for (int clock = 0; clock < 360; ++clock) {
                const double t = (rings[k] + rings[k + 1]) / 2;
                const int colour = state::keyed::colourNumber(
                    picture, state::chartgeom::pixelOf(state::chartgeom::chartPoint(c.chart, {t, clock + 0.5})));
                QVERIFY(colour != kWhite);
                black += colour == 0;
            }
            QVERIFY2(black < 36, qPrintable(state::chartgeom::pictureName(c.chart, c.right)));
        }
        // The pupil is black; beyond the zones there is no zone colour.
        const QList<int> zones = zoneColours(picture);
        for (int clock = 0; clock < 360; clock += 7) {
            QCOMPARE(state::keyed::colourNumber(picture, state::chartgeom::pixelOf(state::chartgeom::chartPoint(c.chart, {-0.5, double(clock)}))), 0);
            const QPointF out = state::chartgeom::chartPoint(c.chart, {rings.back(), double(clock)});
            const QPointF u = state::chartgeom::directionOf(clock);
            const QPoint beyond = state::chartgeom::pixelOf(out + 2.0 * u);
            QVERIFY(!zones.contains(state::keyed::colourNumber(picture, beyond)));
        }
    }
}

void TestIrisMap::placesConvertBothWays_data()
{
    QTest::addColumn<photos::iris::Fit>("fit");
    QTest::newRow("concentric") << photos::iris::Fit{{500, 400, 60}, {500, 400, 250}, 0};
    QTest::newRow("pupil off centre") << photos::iris::Fit{{530, 380, 80}, {500, 400, 250}, 0};
    QTest::newRow("turned") << photos::iris::Fit{{470, 410, 50}, {500, 400, 300}, -12.5};
    QTest::newRow("large pupil") << photos::iris::Fit{{505, 402, 150}, {500, 400, 240}, 7};
}

void TestIrisMap::placesConvertBothWays()
{
    QFETCH(photos::iris::Fit, fit);
    QVERIFY(photos::iris::usable(fit));
    for (double t : {-0.6, 0.0, 0.05, 0.34, 0.5, 0.99, 1.0, 1.3}) {
        for (double clock = 0.5; clock < 360; clock += 29.75) {
            const state::chartgeom::IrisPlace place{t, clock};
            const state::chartgeom::IrisPlace back = photos::iris::placeOf(fit, photos::iris::photoPoint(fit, place));
            QVERIFY(std::abs(back.t - t) < 1e-9);
            QVERIFY(std::abs(std::remainder(back.clock - clock, 360.0)) < 1e-7);
            for (Chart chart : state::chartgeom::kCharts) {
                const state::chartgeom::IrisPlace again = state::chartgeom::irisPlace(chart, state::chartgeom::chartPoint(chart, place));
                QVERIFY(std::abs(again.t - t) < 1e-9);
            }
        }
    }
}

void TestIrisMap::landmarks()
{
    const photos::iris::Fit fit{{520, 400, 60}, {500, 400, 250}, 10};
    const auto radius = [](QPointF p) { return std::hypot(p.x() - state::chartgeom::kCentre, p.y() - state::chartgeom::kCentre); };
    // The pupil's edge and the limbus land on the chart's pupil edge and outer iris edge.
    for (double clock : {0.0, 90.0, 200.0}) {
        const QPointF pupilEdge = photos::iris::photoPoint(fit, {0.0, clock});
        const QPointF limbus = photos::iris::photoPoint(fit, {1.0, clock});
        QCOMPARE(std::hypot(pupilEdge.x() - 520, pupilEdge.y() - 400), 60.0);
        QVERIFY(std::abs(std::hypot(limbus.x() - 500, limbus.y() - 400) - 250) < 1e-9);
        QVERIFY(std::abs(radius(photos::iris::chartPointOf(fit, Chart::Deck, pupilEdge)) - 33) < 1e-9);
        QVERIFY(std::abs(radius(photos::iris::chartPointOf(fit, Chart::Jensen, limbus)) - 153) < 1e-9);
        // The pupillary belt's outer edge is the collarette's, ring 3.
        const QPointF collarette = photos::iris::photoPoint(fit, {0.34, clock});
        QVERIFY(std::abs(radius(photos::iris::chartPointOf(fit, Chart::Collarette, collarette)) - 138) < 1e-9);
    }
    // The head tilted 10 degrees clockwise: straight up on the photo is 11:40 on the chart.
    QVERIFY(std::abs(photos::iris::placeOf(fit, QPointF(520, 300)).clock - 350) < 1e-9);
    QVERIFY(photos::iris::onIris(fit, QPointF(520, 300)));
    QVERIFY(!photos::iris::onIris(fit, QPointF(520, 380)));
    QVERIFY(!photos::iris::onIris(fit, QPointF(500, 100)));
    QVERIFY(!photos::iris::usable(photos::iris::Fit{{700, 400, 60}, {500, 400, 250}, 0}));
}

void TestIrisMap::everyZoneColourFromAPhoto()
{
    // Photos of several sizes, pupils off centre, heads tilted.
    QList<photos::iris::Fit> fits;
    const QList<QSize> sizes{{640, 480}, {1600, 1200}, {4000, 3000}};
    for (int i = 0; i < 6; ++i) {
        photos::iris::Fit fit = synth::randomScene(sizes.at(i % sizes.size()), quint32(300 + i)).truth;
        fit.turn = -15 + 6 * i;
        fits.append(fit);
    }
    int checked = 0;
    for (const Case &c : kCases) {
        const QImage picture = charts::picture(state::chartgeom::pictureName(c.chart, c.right));
        const QList<int> colours = zoneColours(picture);
        QVERIFY(colours.size() >= 25);
        for (int colour : colours) {
            const QPoint inside = synth::deepest(picture, colour);
            const state::chartgeom::IrisPlace place = state::chartgeom::irisPlace(c.chart, QPointF(inside) + QPointF(0.5, 0.5));
            for (const photos::iris::Fit &fit : fits) {
                // The photo pixel that shows the place, clicked at its centre.
                const QPointF onPhoto = photos::iris::photoPoint(fit, place);
                const QPointF click(std::floor(onPhoto.x()) + 0.5, std::floor(onPhoto.y()) + 0.5);
                const int found = state::keyed::colourNumber(picture, photos::iris::chartPixelOf(fit, c.chart, click));
                QVERIFY2(found == colour, qPrintable(QStringLiteral("%1 colour %2 from (%3, %4): %5")
                                                         .arg(state::chartgeom::pictureName(c.chart, c.right)).arg(colour)
                                                         .arg(click.x()).arg(click.y()).arg(found)));
                ++checked;
            }
        }
    }
    QCOMPARE(checked, 6 * (58 + 61 + 64 + 63 + 29 + 25)); // the zones of the six pictures
}

QTEST_MAIN(TestIrisMap)
#include "test_irismap.moc"
