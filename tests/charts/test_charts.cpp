// Chart and diagram pictures with their text files, the zone lookup, the
// localisation of a sign's lines and the pupil code tables, without windows.
#include "charts/pictures.h"
#include "charts/pupilcodes.h"
#include "platform/textfile.h"
#include "state/keyedlines.h"
#include "state/zones.h"
#include "support/testenv.h"

#include <QSet>
#include <QtTest>

namespace {

QSet<int> coloursOf(const QImage &image)
{
    QSet<int> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(state::keyed::colourNumber(image, QPoint(x, y)));
    return colours;
}

constexpr int kWhite = 16777215;

} // namespace

class TestCharts : public QObject {
    Q_OBJECT
private slots:
    void picturesAndTheirFiles_data();
    void picturesAndTheirFiles();
    void lineKey_data();
    void lineKey();
    void zoneLookup();
    void localisation_data();
    void localisation();
    void eyeTabs();
    void pupilCodeTables();
};

void TestCharts::picturesAndTheirFiles_data()
{
    QTest::addColumn<QStringList>("pictures"); // the pictures that share the file
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<int>>("colours"); // distinct colours per picture; 0 = not fixed
    QTest::addColumn<bool>("blackIsKey");
    QTest::newRow("Deck") << QStringList{"imDeckR", "imDeckL"} << "DeckOrgans.txt" << QList<int>{60, 63} << false;
    QTest::newRow("Jensen") << QStringList{"imJensenR", "imJensenL"} << "JensOrgans.txt" << QList<int>{66, 65}
                            << false;
    QTest::newRow("belt right") << QStringList{"imZrachR"} << "ZrachOrgansR.txt" << QList<int>{31} << false;
    QTest::newRow("belt left") << QStringList{"imZrachL"} << "ZrachOrgansL.txt" << QList<int>{27} << false;
    QTest::newRow("decentration") << QStringList{"imDecen"} << "Decentr.txt" << QList<int>{0} << false;
    QTest::newRow("one pupil flat") << QStringList{"imFlatRorL"} << "FlatRorL.txt" << QList<int>{0} << true;
    QTest::newRow("both pupils flat") << QStringList{"imFlatBoth"} << "FlatBoth.txt" << QList<int>{0} << false;
    QTest::newRow("border") << QStringList{"imBorder"} << "Border.txt" << QList<int>{0} << false;
}

// Every colour a user can click names exactly one line of the picture's file,
// and every line names a colour of its pictures.
void TestCharts::picturesAndTheirFiles()
{
    QFETCH(QStringList, pictures);
    QFETCH(QString, file);
    QFETCH(QList<int>, colours);
    QFETCH(bool, blackIsKey);

    QSet<int> clickable;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QImage image = charts::picture(pictures.at(i));
        QCOMPARE(image.size(), QSize(384, 384));
        const QSet<int> used = coloursOf(image);
        if (colours.at(i))
            QCOMPARE(used.size(), colours.at(i));
        else
            QVERIFY(used.size() <= 16); // a 16-colour diagram
        QVERIFY(used.contains(kWhite));
        clickable |= used;
    }
    clickable.remove(kWhite);
    if (!blackIsKey)
        clickable.remove(0);

    const platform::textfile::ReadResult read = platform::textfile::readLines(TestEnv::sourcePath(QStringLiteral("data/SystmTxt/") + file));
    QVERIFY(read.ok);
    QList<int> keys;
    for (const QString &line : read.lines) {
        const std::optional<int> key = state::keyed::lineKey(line);
        QVERIFY2(key, qPrintable(line));
        QVERIFY2(line.size() > 9, qPrintable(line));
        keys.append(*key);
    }
    QCOMPARE(QSet<int>(keys.begin(), keys.end()).size(), keys.size()); // each colour once
    QCOMPARE(QSet<int>(keys.begin(), keys.end()), clickable);
}

void TestCharts::lineKey_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("key"); // -1: no key
    QTest::newRow("right-aligned") << "     255 05 (печень)" << 255;
    QTest::newRow("eight digits") << "16776960Название" << 16776960;
    QTest::newRow("sign") << "  +12345x" << 12345;
    QTest::newRow("minus") << "     -12" << -12;
    QTest::newRow("shorter line") << "42" << 42;
    QTest::newRow("blank after digits") << "123     name" << -1;
    QTest::newRow("letter in the field") << "12a45678" << -1;
    QTest::newRow("empty line") << "" << -1;
    QTest::newRow("blanks only") << "        x" << -1;
    QTest::newRow("too big") << "99999999999" << 99999999;
}

void TestCharts::lineKey()
{
    QFETCH(QString, line);
    QFETCH(int, key);
    QCOMPARE(state::keyed::lineKey(line).value_or(-1), key);
}

void TestCharts::zoneLookup()
{
    TestEnv env;
    env.writeLines("SystmTxt/Org.txt", {QStringLiteral("     255 05 (печень)"), QStringLiteral("   65280 04 (лёгкое)"),
                                        QStringLiteral("     255 06 (почка)")});
    const QString file = QStringLiteral(".\\SystmTxt\\Org.txt");
    state::zones::Lookup found = state::zones::lookupChartZone(file, 255); // the last line with the key wins
    QVERIFY(found.ok);
    QCOMPARE(found.zone->name, QStringLiteral(" (почка)"));
    QCOMPARE(found.zone->code, QStringLiteral("06"));
    found = state::zones::lookupChartZone(file, kWhite);
    QVERIFY(found.ok);
    QVERIFY(!found.zone);

    // A bad key fails the lookup; what matched before it is still given.
    env.writeLines("SystmTxt/Org.txt", {QStringLiteral("     255 05 (печень)"), QStringLiteral("xx")});
    found = state::zones::lookupChartZone(file, 255);
    QVERIFY(!found.ok);
    QCOMPARE(found.zone->code, QStringLiteral("05"));
    QVERIFY(!state::zones::lookupChartZone(QStringLiteral(".\\SystmTxt\\None.txt"), 255).ok);
}

void TestCharts::localisation_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("localised");
    QTest::newRow("body system replaced") << "0230 05 Гастрит" << "06" << "0230 06 Гастрит (почка)";
    QTest::newRow("recommendation untouched") << "0230 11 Диета" << "06" << "0230 11 Диета";
    QTest::newRow("no zone found yet") << "0230 05 Гастрит" << "" << "0230 05 Гастрит (почка)";
    QTest::newRow("short line") << "0230" << "06" << "023006 (почка)";
}

void TestCharts::localisation()
{
    QFETCH(QString, line);
    QFETCH(QString, code);
    QFETCH(QString, localised);
    QCOMPARE(state::zones::localisePathology({line}, code, QStringLiteral(" (почка)")), QStringList{localised});
}

void TestCharts::eyeTabs()
{
    QVERIFY(state::zones::eyeMatches(true, QStringLiteral("tsJensenR")));
    QVERIFY(!state::zones::eyeMatches(true, QStringLiteral("tsJensenL")));
    QVERIFY(state::zones::eyeMatches(false, QStringLiteral("tsCollaretteL")));
    QVERIFY(!state::zones::eyeMatches(false, QStringLiteral("tsDeckR")));
    // A sign line gets the text appended, as often as "Ввод" is pressed.
    QCOMPARE(state::zones::localiseSigns(state::zones::localiseSigns({QStringLiteral("Лакуна: открытая")}, QStringLiteral(" (печень)")),
                                  QStringLiteral(" (печень)")),
             QStringList{QStringLiteral("Лакуна: открытая (печень) (печень)")});
}

void TestCharts::pupilCodeTables()
{
    using charts::pupil::variantCodes;
    // Decentration at 9:00: the right eye's code with the left-eye note, the left eye's own codes.
    auto right = variantCodes(charts::pupil::kDecentration, 16711680, true);
    QCOMPARE(right->codes, QList<int>{772});
    QCOMPARE(right->message, charts::pupil::kUsuallyLeft);
    auto left = variantCodes(charts::pupil::kDecentration, 16711680, false);
    QCOMPARE(left->codes, (QList<int>{295, 299}));
    QVERIFY(left->message.isEmpty());
    // Black is a variant of one-pupil flattening only.
    QCOMPARE(variantCodes(charts::pupil::kFlatOne, 0, true)->codes, QList<int>{773});
    QCOMPARE(variantCodes(charts::pupil::kFlatOne, 0, false)->codes, (QList<int>{200, 711}));
    QVERIFY(!variantCodes(charts::pupil::kDecentration, 0, true));
    QVERIFY(!variantCodes(charts::pupil::kBorder, kWhite, true));
    // Border variants that share their codes; both-eye tables ignore the eye.
    QCOMPARE(variantCodes(charts::pupil::kBorder, 65535, true)->codes, variantCodes(charts::pupil::kBorder, 65280, false)->codes);
    QCOMPARE(variantCodes(charts::pupil::kBorder, 12632256, true)->codes, (QList<int>{50, 57, 84}));
    QCOMPARE(variantCodes(charts::pupil::kFlatBoth, 65535, true)->codes, variantCodes(charts::pupil::kFlatBoth, 65535, false)->codes);
    QVERIFY(!variantCodes(QStringLiteral(".\\SystmTxt\\Other.txt"), 255, true));
}

QTEST_MAIN(TestCharts)
#include "test_charts.moc"
