// From a photo to the chart: the chart geometry is the generator's, the
// rings lie in the pictures where the table says, photo and chart places
// convert both ways, and for every zone colour of every chart a point inside
// the zone on a synthetic photo, fitted with its true circles, lands on that
// colour.
#include "charts/chartgeometry.h"
#include "charts/pictures.h"
#include "photos/irismap.h"
#include "state/keyedlines.h"
#include "support/synthiris.h"
#include "support/testenv.h"

#include <QProcess>
#include <QtTest>

#include <opencv2/imgproc.hpp>

#include <cmath>

using chartgeom::Chart;

namespace {

constexpr int kWhite = 16777215;

// The colours of a picture's zones (neither white nor black).
QList<int> zoneColours(const QImage &picture)
{
    QSet<int> seen;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            seen.insert(keyed::colourNumber(picture, QPoint(x, y)));
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
    QVERIFY(lines.value(0).startsWith(QStringLiteral("size %1 centre %2 ").arg(chartgeom::kPictureSize).arg(chartgeom::kCentre, 0, 'f', 1)));
    const auto describe = [](const chartgeom::Geometry &g) {
        QString s = QStringLiteral("pupil %1 iris %2 rim %3 rings").arg(g.pupil, 0, 'f', 1).arg(g.iris, 0, 'f', 1).arg(g.rim, 0, 'f', 1);
        for (double b : g.rings)
            s += QStringLiteral(" %1").arg(b, 0, 'f', 2);
        return s;
    };
    QVERIFY(lines.contains(QStringLiteral("full ") + describe(chartgeom::geometry(Chart::Deck))));
    QVERIFY(lines.contains(QStringLiteral("belt ") + describe(chartgeom::geometry(Chart::Collarette))));
    QCOMPARE(chartgeom::geometry(Chart::Jensen).rings.data(), chartgeom::geometry(Chart::Deck).rings.data());
    // The belt's rings are the first three of the whole iris.
    QCOMPARE(chartgeom::geometry(Chart::Collarette).rings.size(), std::size_t(4));
    for (const Case &c : kCases) {
        const QString layout = c.chart == Chart::Collarette ? QStringLiteral("belt") : QStringLiteral("full");
        QVERIFY(lines.contains(chartgeom::pictureName(c.chart, c.right) + QLatin1Char(' ') + layout));
    }
}

void TestIrisMap::ringsLieWhereTheTableSays()
{
    for (const Case &c : kCases) {
        const QImage picture = charts::picture(chartgeom::pictureName(c.chart, c.right));
        QCOMPARE(picture.size(), QSize(chartgeom::kPictureSize, chartgeom::kPictureSize));
        const std::span<const double> rings(chartgeom::kIrisRings, chartgeom::geometry(c.chart).rings.size());
        for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
            int black = 0;
            for (int clock = 0; clock < 360; ++clock) {
                const double t = (rings[k] + rings[k + 1]) / 2;
                const int colour = keyed::colourNumber(
                    picture, chartgeom::pixelOf(chartgeom::chartPoint(c.chart, {t, clock + 0.5})));
                QVERIFY(colour != kWhite);
                black += colour == 0;
            }
            QVERIFY2(black < 36, qPrintable(chartgeom::pictureName(c.chart, c.right)));
        }
        // The pupil is black; beyond the zones there is no zone colour.
        const QList<int> zones = zoneColours(picture);
        for (int clock = 0; clock < 360; clock += 7) {
            QCOMPARE(keyed::colourNumber(picture, chartgeom::pixelOf(chartgeom::chartPoint(c.chart, {-0.5, double(clock)}))), 0);
            const QPointF out = chartgeom::chartPoint(c.chart, {rings.back(), double(clock)});
            const QPointF u = chartgeom::directionOf(clock);
            const QPoint beyond = chartgeom::pixelOf(out + 2.0 * u);
            QVERIFY(!zones.contains(keyed::colourNumber(picture, beyond)));
        }
    }
}

void TestIrisMap::placesConvertBothWays_data()
{
    QTest::addColumn<iris::Fit>("fit");
    QTest::newRow("concentric") << iris::Fit{{500, 400, 60}, {500, 400, 250}, 0};
    QTest::newRow("pupil off centre") << iris::Fit{{530, 380, 80}, {500, 400, 250}, 0};
    QTest::newRow("turned") << iris::Fit{{470, 410, 50}, {500, 400, 300}, -12.5};
    QTest::newRow("large pupil") << iris::Fit{{505, 402, 150}, {500, 400, 240}, 7};
}

void TestIrisMap::placesConvertBothWays()
{
    QFETCH(iris::Fit, fit);
    QVERIFY(iris::usable(fit));
    for (double t : {-0.6, 0.0, 0.05, 0.34, 0.5, 0.99, 1.0, 1.3}) {
        for (double clock = 0.5; clock < 360; clock += 29.75) {
            const chartgeom::IrisPlace place{t, clock};
            const chartgeom::IrisPlace back = iris::placeOf(fit, iris::photoPoint(fit, place));
            QVERIFY(std::abs(back.t - t) < 1e-9);
            QVERIFY(std::abs(std::remainder(back.clock - clock, 360.0)) < 1e-7);
            for (Chart chart : chartgeom::kCharts) {
                const chartgeom::IrisPlace again = chartgeom::irisPlace(chart, chartgeom::chartPoint(chart, place));
                QVERIFY(std::abs(again.t - t) < 1e-9);
            }
        }
    }
}

void TestIrisMap::landmarks()
{
    const iris::Fit fit{{520, 400, 60}, {500, 400, 250}, 10};
    const auto radius = [](QPointF p) { return std::hypot(p.x() - chartgeom::kCentre, p.y() - chartgeom::kCentre); };
    // The pupil's edge and the limbus land on the chart's pupil edge and outer iris edge.
    for (double clock : {0.0, 90.0, 200.0}) {
        const QPointF pupilEdge = iris::photoPoint(fit, {0.0, clock});
        const QPointF limbus = iris::photoPoint(fit, {1.0, clock});
        QCOMPARE(std::hypot(pupilEdge.x() - 520, pupilEdge.y() - 400), 60.0);
        QVERIFY(std::abs(std::hypot(limbus.x() - 500, limbus.y() - 400) - 250) < 1e-9);
        QVERIFY(std::abs(radius(iris::chartPointOf(fit, Chart::Deck, pupilEdge)) - 33) < 1e-9);
        QVERIFY(std::abs(radius(iris::chartPointOf(fit, Chart::Jensen, limbus)) - 153) < 1e-9);
        // The pupillary belt's outer edge is the collarette's, ring 3.
        const QPointF collarette = iris::photoPoint(fit, {0.34, clock});
        QVERIFY(std::abs(radius(iris::chartPointOf(fit, Chart::Collarette, collarette)) - 138) < 1e-9);
    }
    // The head tilted 10 degrees clockwise: straight up on the photo is 11:40 on the chart.
    QVERIFY(std::abs(iris::placeOf(fit, QPointF(520, 300)).clock - 350) < 1e-9);
    QVERIFY(iris::onIris(fit, QPointF(520, 300)));
    QVERIFY(!iris::onIris(fit, QPointF(520, 380)));
    QVERIFY(!iris::onIris(fit, QPointF(500, 100)));
    QVERIFY(!iris::usable(iris::Fit{{700, 400, 60}, {500, 400, 250}, 0}));
}

void TestIrisMap::everyZoneColourFromAPhoto()
{
    // Photos of several sizes, pupils off centre, heads tilted.
    QList<iris::Fit> fits;
    const QList<QSize> sizes{{640, 480}, {1600, 1200}, {4000, 3000}};
    for (int i = 0; i < 6; ++i) {
        iris::Fit fit = synth::randomScene(sizes.at(i % sizes.size()), quint32(300 + i)).truth;
        fit.turn = -15 + 6 * i;
        fits.append(fit);
    }
    int checked = 0;
    for (const Case &c : kCases) {
        const QImage picture = charts::picture(chartgeom::pictureName(c.chart, c.right));
        const QList<int> colours = zoneColours(picture);
        QVERIFY(colours.size() >= 25);
        for (int colour : colours) {
            const QPoint inside = synth::deepest(picture, colour);
            const chartgeom::IrisPlace place = chartgeom::irisPlace(c.chart, QPointF(inside) + QPointF(0.5, 0.5));
            for (const iris::Fit &fit : fits) {
                // The photo pixel that shows the place, clicked at its centre.
                const QPointF onPhoto = iris::photoPoint(fit, place);
                const QPointF click(std::floor(onPhoto.x()) + 0.5, std::floor(onPhoto.y()) + 0.5);
                const int found = keyed::colourNumber(picture, iris::chartPixelOf(fit, c.chart, click));
                QVERIFY2(found == colour, qPrintable(QStringLiteral("%1 colour %2 from (%3, %4): %5")
                                                         .arg(chartgeom::pictureName(c.chart, c.right)).arg(colour)
                                                         .arg(click.x()).arg(click.y()).arg(found)));
                ++checked;
            }
        }
    }
    QCOMPARE(checked, 6 * (58 + 61 + 64 + 63 + 29 + 25)); // the zones of the six pictures
}

QTEST_MAIN(TestIrisMap)
#include "test_irismap.moc"
