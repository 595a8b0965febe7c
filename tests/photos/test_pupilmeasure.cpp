// The pupil measured on synthetic eyes of known size, decentration,
// flattening and anisocoria: found, outlined and measured as the photo
// window will do it. Sizes and distances come within 2 % of the iris's
// radius, directions within half an hour of the clock; the offers name the
// right patch (or catalogue item) for each eye and nothing below the
// thresholds; and each offered pixel lies on the patch it names, so taking
// an offer is a click on that patch.
#include "charts/pictures.h"
#include "deep/signcatalog.h"
#include "photos/irisfind.h"
#include "photos/pupilmeasure.h"
#include "state/keyedlines.h"
#include "support/synthiris.h"
#include "support/testenv.h"

#include <QtTest>

#include <cmath>
#include <numbers>
#include <optional>

namespace {

struct Eye {
    double ratio;          // pupil radius over iris radius
    double shift = 0;      // decentration, fraction of the iris radius, towards shiftClock (in the photo)
    double shiftClock = 0;
    double flatHours = 0;  // a flat of this arc, about flatClock (in the photo)
    double flatClock = 0;
    double oval = 1.0;
};

struct Visit {
    const char *what;
    synth::IrisColour colour;
    QSize size;
    double turn; // the head's tilt set on both fits, degrees
    Eye right, left;
    QStringList offers; // eye and the variant's name, or the catalogue item
};

double clockGap(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

// A hard scene with the pupil made to order; the upper lid keeps off it.
synth::Photo eyePhoto(const Visit &v, const Eye &e, quint32 seed)
{
    synth::Scene s = synth::hardScene(v.size, seed, v.colour);
    const photos::iris::Circle &L = s.truth.limbus;
    const QPointF to = state::chartgeom::directionOf(e.shiftClock);
    s.truth.pupil = {L.x + e.shift * L.r * to.x(), L.y + e.shift * L.r * to.y(), e.ratio * L.r};
    s.flatDepth = 1 - std::cos(e.flatHours * 15 * std::numbers::pi / 180);
    s.flatClock = e.flatClock;
    s.oval = e.oval;
    const double pupilTop = (s.truth.pupil.y - s.truth.pupil.r) - (L.y - L.r);
    s.upperLid = std::min(s.upperLid, (pupilTop - 0.05 * L.r) / (2 * L.r));
    return {synth::render(s, v.size, seed), s};
}

} // namespace

class TestPupilMeasure : public QObject {
    Q_OBJECT
private slots:
    void measuredAndOffered();
};

void TestPupilMeasure::measuredAndOffered()
{
    TestEnv env;
    for (const char *f : {"Decentr.txt", "FlatRorL.txt", "FlatBoth.txt"})
        env.seed(QStringLiteral("SystmTxt/") + QString::fromLatin1(f));
    using C = synth::IrisColour;
    const Visit visits[] = {
        {"round, centred pupils", C::Hazel, {1600, 1200}, 0, {0.27, 0.02, 100}, {0.28, 0.03, 250}, {}},
        {"right pupil towards 9:00, left towards 1:30", C::DarkBrown, {2592, 1944}, 0, {0.30, 0.10, 270},
         {0.30, 0.10, 45}, {"R Децентрация зрачка на 9.00", "L Децентрация зрачка на 1.30"}},
        {"below every threshold: shifted 4 %, a flat of half an hour, an oval", C::Blue, {1024, 768}, 0,
         {0.30, 0.04, 180, 0.5, 90, 0.94}, {0.31, 0.045, 0}, {}},
        {"right pupil flattened at 10:30, moderately", C::Brown, {2592, 1944}, 0, {0.32, 0.02, 0, 2.5, 315},
         {0.30}, {"R Одностороннее уплощение зрачка на 10.30, умеренное"}},
        {"both pupils flattened on the nose's side", C::Green, {1600, 1200}, 0, {0.35, 0, 0, 1.5, 90},
         {0.35, 0, 0, 1.5, 270},
         {"R Уплощение обоих зрачков медиальное (правый на 3.00, левый на 9.00)",
          "L Уплощение обоих зрачков медиальное (правый на 3.00, левый на 9.00)"}},
        {"anisocoria, the left pupil wider", C::BlueGrey, {4000, 3000}, 0, {0.24}, {0.34}, {"L AnyzocorMydryazItem"}},
        {"anisocoria, the right pupil narrow", C::DarkBrown, {1600, 1200}, 0, {0.15}, {0.26}, {"R AnyzocorMiozItem"}},
        {"both pupils wide alike", C::Hazel, {1024, 768}, 0, {0.45}, {0.47},
         {"R MydryazPlainItem", "L MydryazPlainItem"}},
        {"head tilted: shifted and flattened towards 6:00 of the chart", C::DarkBrown, {2592, 1944}, 30,
         {0.28, 0.10, 210}, {0.30, 0, 0, 2.0, 210}, {"R Децентрация зрачка на 6.00 (книзу)"}},
    };
    quint32 seed = 900;
    for (const Visit &v : visits) {
        std::optional<photos::iris::PupilMeasures> measured[2];
        for (int e = 0; e < 2; ++e) {
            const Eye &want = e == 0 ? v.right : v.left;
            const synth::Photo photo = eyePhoto(v, want, ++seed);
            photos::iris::Found found = photos::iris::find(photo.image);
            QVERIFY2(found.ok, v.what);
            found.fit.turn = v.turn;
            const photos::iris::PupilMeasures m = photos::iris::measurePupil(found.fit, photos::iris::pupilOutline(photo.image, found.fit));
            const QString where =
                QStringLiteral("%1, %2 eye").arg(QLatin1String(v.what), QLatin1String(e == 0 ? "right" : "left"));
            QVERIFY2(m.shaped, qPrintable(where));
            QVERIFY2(std::abs(m.ratio - want.ratio) <= 0.02,
                     qPrintable(where + QStringLiteral(": size %1").arg(m.ratio)));
            QVERIFY2(std::abs(m.decentration - 100 * want.shift) <= 2,
                     qPrintable(where + QStringLiteral(": decentration %1").arg(m.decentration)));
            if (want.shift >= 0.06)
                QVERIFY2(clockGap(m.decentrationClock, want.shiftClock - v.turn) <= 15,
                         qPrintable(where + QStringLiteral(": towards %1").arg(m.decentrationClock)));
            if (want.flatHours >= 1) {
                const double depth = 100 * want.ratio * (1 - std::cos(want.flatHours * 15 * std::numbers::pi / 180));
                QVERIFY2(m.flat != photos::iris::FlatGrade::None && clockGap(m.flatClock, want.flatClock - v.turn) <= 15 &&
                             std::abs(m.flatDepth - depth) <= 2,
                         qPrintable(where + QStringLiteral(": flat of %1 h at %2, %3 % deep")
                                                .arg(m.flatHours).arg(m.flatClock).arg(m.flatDepth)));
            }
            qInfo("%-58s %s: pupil %.3f, shifted %.1f %% towards %s, flat %.2f h at %s, %.1f %% deep, oval %.3f",
                  v.what, e == 0 ? "R" : "L", m.ratio, m.decentration, qPrintable(photos::iris::clockText(m.decentrationClock)),
                  m.flatHours, qPrintable(photos::iris::clockText(m.flatClock)), m.flatDepth, m.ovality);
            measured[e] = m;
        }
        const photos::iris::Anisocoria a = photos::iris::anisocoria(*measured[0], *measured[1]);
        QVERIFY2(std::abs(a.difference - 100 * std::abs(v.right.ratio - v.left.ratio)) <= 2, v.what);

        QStringList offered;
        for (const photos::iris::Offer &o : photos::iris::pupilOffers(measured[0], measured[1])) {
            const QString eye = o.rightEye ? QStringLiteral("R ") : QStringLiteral("L ");
            if (o.source == photos::iris::Source::Catalogue) {
                QVERIFY2(deep::catalog::findSign(o.item), qPrintable(o.item));
                offered << eye + o.item;
                continue;
            }
            QCOMPARE(state::keyed::colourNumber(charts::picture(o.picture), o.pixel), o.colour);
            const state::keyed::Matches names = state::keyed::matching(o.nameFile, o.colour);
            QVERIFY(names.ok && names.data.size() == 1);
            offered << eye + names.data.first();
        }
        QVERIFY2(offered == v.offers,
                 qPrintable(QLatin1String(v.what) + QStringLiteral(": ") + offered.join(QStringLiteral("; "))));
    }
}

QTEST_MAIN(TestPupilMeasure)
#include "test_pupilmeasure.moc"
