// Finding the pupil and the limbus on synthetic photos whose circles are
// known: sizes up to 12 megapixels, lids, lashes, glints, off-centre pupils,
// noise, some through JPEG. Both circles must come within 2 % of the iris's
// radius on at least 95 % of the everyday photos; on the hard ones (every
// iris colour down to dark brown, dim and uneven light, lids, long lashes,
// glints on the pupil's edge, JPEG down to quality 70) on at least 98 %, and
// on 95 % of the dark-brown ones. How long a 12-megapixel photo takes is
// measured in bench/bench_photos, not here.
#include "photos/irisfind.h"
#include "support/synthiris.h"

#include <QBuffer>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// How far a found circle is from the true one, as a fraction of the iris's radius.
double miss(const photos::iris::Circle &found, const photos::iris::Circle &truth, double irisRadius)
{
    return std::max(std::hypot(found.x - truth.x, found.y - truth.y), std::abs(found.r - truth.r)) / irisRadius;
}

QImage throughJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return QImage::fromData(bytes, "JPG");
}

} // namespace

class TestIrisFind : public QObject {
    Q_OBJECT
private slots:
    void circlesOnSyntheticPhotos();
    void everyIrisColour();
    void twelveMegapixels();
    void aPhotoWithoutAnEye();
};

void TestIrisFind::circlesOnSyntheticPhotos()
{
    const QList<QSize> sizes{{640, 480},   {800, 600},   {1024, 768},  {1280, 960}, {1600, 1200},
                             {2048, 1536}, {2592, 1944}, {3264, 2448}, {4000, 3000}};
    constexpr int kPerSize = 12;
    int total = 0, good = 0;
    std::vector<double> pupilMiss, limbusMiss;
    QStringList failures;
    for (int s = 0; s < sizes.size(); ++s) {
        for (int i = 0; i < kPerSize; ++i) {
            const quint32 seed = quint32(1000 + s * kPerSize + i);
            synth::Photo photo = synth::make(sizes.at(s), seed);
            if (i % 3 == 0 && sizes.at(s).width() <= 2048)
                photo.image = throughJpeg(photo.image);
            const photos::iris::Found found = photos::iris::find(photo.image);
            const double R = photo.scene.truth.limbus.r;
            const double p = found.ok ? miss(found.fit.pupil, photo.scene.truth.pupil, R) : 1.0;
            const double l = found.ok ? miss(found.fit.limbus, photo.scene.truth.limbus, R) : 1.0;
            pupilMiss.push_back(p);
            limbusMiss.push_back(l);
            ++total;
            if (p <= 0.02 && l <= 0.02)
                ++good;
            else
                failures << QStringLiteral("seed %1 %2x%3: pupil %4 %, limbus %5 % %6")
                                .arg(seed).arg(sizes.at(s).width()).arg(sizes.at(s).height())
                                .arg(100 * p, 0, 'f', 2).arg(100 * l, 0, 'f', 2).arg(found.problem);
        }
    }
    const auto median = [](std::vector<double> v) {
        std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
        return 100 * v[v.size() / 2];
    };
    qInfo("%d of %d photos: both circles within 2 %% (median miss: pupil %.2f %%, limbus %.2f %%)", good, total,
          median(pupilMiss), median(limbusMiss));
    for (const QString &f : failures)
        qInfo("  %s", qPrintable(f));
    QVERIFY2(good * 100 >= 95 * total, qPrintable(QString::number(good) + QStringLiteral(" of ") + QString::number(total)));
}

void TestIrisFind::everyIrisColour()
{
    const QList<QSize> sizes{{640, 480}, {1024, 768}, {1600, 1200}, {2592, 1944}, {4000, 3000}};
    constexpr int kPerSize = 4;
    int total = 0, good = 0, darkTotal = 0, darkGood = 0;
    for (const synth::IrisColour colour : synth::kIrisColours) {
        int count = 0, hits = 0;
        std::vector<double> worse; // of the two circles' misses, per photo
        for (int s = 0; s < sizes.size(); ++s) {
            for (int i = 0; i < kPerSize; ++i) {
                const quint32 seed = quint32(5000 + 1000 * int(colour) + 100 * s + i);
                const synth::Photo photo = synth::makeHard(sizes.at(s), seed, colour);
                const photos::iris::Found found = photos::iris::find(photo.image);
                const double R = photo.scene.truth.limbus.r;
                const double m = found.ok ? std::max(miss(found.fit.pupil, photo.scene.truth.pupil, R),
                                                     miss(found.fit.limbus, photo.scene.truth.limbus, R))
                                          : 1.0;
                worse.push_back(m);
                ++count;
                if (m <= 0.02)
                    ++hits;
                else
                    qInfo("  %s, seed %u %dx%d: %.2f %% %s", synth::nameOf(colour), seed, sizes.at(s).width(),
                          sizes.at(s).height(), 100 * m, qPrintable(found.problem));
            }
        }
        std::sort(worse.begin(), worse.end());
        qInfo("%-10s %3d photos, %3d hits, median miss %.2f %%, worst %.2f %%", synth::nameOf(colour), count, hits,
              100 * worse[worse.size() / 2], 100 * worse.back());
        total += count;
        good += hits;
        if (colour == synth::IrisColour::DarkBrown) {
            darkTotal = count;
            darkGood = hits;
        }
    }
    QVERIFY2(good * 100 >= 98 * total, qPrintable(QStringLiteral("%1 of %2").arg(good).arg(total)));
    QVERIFY2(darkGood * 100 >= 95 * darkTotal, qPrintable(QStringLiteral("%1 of %2").arg(darkGood).arg(darkTotal)));
}

void TestIrisFind::twelveMegapixels()
{
    const synth::Photo photo = synth::make(QSize(4000, 3000), 77);
    const photos::iris::Found found = photos::iris::find(photo.image);
    QVERIFY(found.ok);
    QVERIFY(miss(found.fit.limbus, photo.scene.truth.limbus, photo.scene.truth.limbus.r) <= 0.02);
}

void TestIrisFind::aPhotoWithoutAnEye()
{
    QImage grey(640, 480, QImage::Format_RGB32);
    grey.fill(QColor(128, 128, 128));
    const photos::iris::Found found = photos::iris::find(grey);
    QVERIFY(!found.ok);
    QVERIFY(!found.problem.isEmpty());
    QVERIFY(photos::iris::usable(found.fit)); // circles to start from by hand
    QVERIFY(!photos::iris::find(QImage()).ok);
}

QTEST_MAIN(TestIrisFind)
#include "test_irisfind.moc"
