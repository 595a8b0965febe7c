// The sign catalogue: the table itself, the sign texts, the shipped
// dictionary behind the codes, and the deep window's menus built from it.
// The lists of what the menus must show are tests/deep/catalog/*.txt (UTF-8).
#include "charts/chartsdoor.h"
#include "conclusion/tfmconcl.h"
#include "deep/signcatalog.h"
#include "deep/signmenus.h"
#include "deep/signtext.h"
#include "deep/tfmdeep.h"
#include "platform/cp1251.h"
#include "platform/hints.h"
#include "platform/textfile.h"
#include "state/openwindow.h"
#include "state/pathology.h"
#include "support/examscript.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using deep::catalog::Action;

namespace {

// One row of tests/deep/catalog/signs.txt.
struct Expected {
    QString name;
    QStringList path;
    QString text;
    QList<int> codes;
    QString chart; // "-", "Z", "B" or the pupil window page
};

QList<QStringList> readTable(const QString &relative)
{
    QFile f(TestEnv::testDataPath(relative));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(relative));
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        rows.append(line.split(QLatin1Char('\t')));
    }
    return rows;
}

QList<int> parseCodes(const QString &text)
{
    QList<int> codes;
    for (const QString &c : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        codes.append(c.toInt());
    return codes;
}

const QList<Expected> &expectedSigns()
{
    static const QList<Expected> list = [] {
        QList<Expected> out;
        for (const QStringList &r : readTable(QStringLiteral("deep/catalog/signs.txt"))) {
            if (r.size() != 5)
                qFatal("signs.txt: a row without five columns: %s", qPrintable(r.join(QLatin1Char('|'))));
            out.append({r[0], r[1].split(QStringLiteral(" / ")), r[2], parseCodes(r[3]), r[4]});
        }
        return out;
    }();
    return list;
}

QString chartMark(Action a)
{
    switch (a) {
    case Action::None:
        return QStringLiteral("-");
    case Action::Projection:
        return QStringLiteral("Z");
    case Action::Collarette:
        return QStringLiteral("B");
    default:
        return deep::catalog::pupilPage(a);
    }
}

QString codeText(const QList<int> &codes)
{
    QStringList parts;
    for (int c : codes)
        parts << QString::number(c);
    return parts.join(QLatin1Char(' '));
}

QSet<int> allCodes()
{
    QSet<int> codes;
    for (const deep::catalog::Sign &s : deep::catalog::signs())
        for (int c : s.codes)
            codes.insert(c);
    return codes;
}

// A small dictionary: one line per code of the catalogue, in descending code
// order (so that file order never happens to be list order), and a second
// line for code 113. Returns the lines of each code in file order.
QMap<int, QStringList> seedDictionary(const TestEnv &env)
{
    QList<int> codes = allCodes().values();
    std::sort(codes.begin(), codes.end(), std::greater<int>());
    QStringList file;
    QMap<int, QStringList> byCode;
    auto add = [&](int code, const QString &system, const QString &text) {
        const QString line = QStringLiteral("%1 %2 %3").arg(code, 4, 10, QLatin1Char('0')).arg(system, text);
        file << line;
        byCode[code] << line;
    };
    for (int c : codes)
        add(c, QStringLiteral("05"), QStringLiteral("Патология ") + QString::number(c));
    add(113, QStringLiteral("01"), QStringLiteral("Вторая строка кода 113"));
    env.writeLines(QStringLiteral("SystmTxt/Patology.txt"), file);
    return byCode;
}

TfmDeep *openDeep()
{
    TfmDeep *deep = state::ensureWindow(state::windows().fmDeep);
    deep->show();
    return deep;
}

QAction *itemOf(TfmDeep *deep, const QString &name)
{
    const QList<QAction *> found = control<QMenuBar>(deep, "MenuDeep")->findChildren<QAction *>(name);
    return found.size() == 1 ? found.first() : nullptr;
}

// Chooses an item through its menu, as a click on it does.
void choose(TfmDeep *deep, const QString &name)
{
    QAction *item = itemOf(deep, name);
    QVERIFY2(item, qPrintable(QStringLiteral("no menu item ") + name));
    item->trigger();
}

// The menus as built: each submenu and item with its object name and path of
// displayed captions, in menu order.
void walkMenu(QMenu *menu, QStringList path, QStringList *menus, QStringList *items,
              QList<QMenu *> *all)
{
    path << menu->title();
    *menus << menu->objectName() + QLatin1Char('\t') + path.join(QStringLiteral(" / "));
    *all << menu;
    for (QAction *a : menu->actions()) {
        if (a->menu())
            walkMenu(a->menu(), path, menus, items, all);
        else
            *items << a->objectName() + QLatin1Char('\t')
                          + (QStringList(path) << a->text()).join(QStringLiteral(" / "));
    }
}

} // namespace

class TestCatalog : public QObject {
    Q_OBJECT
private slots:
    void init();

    // The table.
    void everySignAsListed_data();
    void everySignAsListed();
    void catalogueCounts();
    void tableIsWellFormed();
    void examplesAndEdgeCases_data();
    void examplesAndEdgeCases();
    void ruleNotation_data();
    void ruleNotation();
    void lowerCaseIsWindows1251();
    void everyCodeHasDictionaryLines();
    void localisedStatementsNameNoOrganOfTheirOwn();
    void noTubageWhereStonesAreWarnedOf();

    // The menus.
    void menusFollowCatalogue();
    void choosingEverySign_data();
    void choosingEverySign();
    void hydrogenoidLooksUpInListOrder();
    void collaretteSignTargetsRightEyeWhateverEye();
    void noChartSignLeavesChartsAlone();
    void pupilItemsEmptyBoxesAndKeepCodes();
    void choiceRecordsNothing();
    void missingDictionaryKeepsSignAndChart();
    void captionsComeFromTheMenus();
    void menusFitOnSmallScreen();
};

void TestCatalog::init()
{
    charts::chartlinks::clearRequests();
}

// ---- The table ----

void TestCatalog::everySignAsListed_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < expectedSigns().size(); ++i)
        QTest::newRow(qPrintable(expectedSigns().at(i).name)) << i;
}

void TestCatalog::everySignAsListed()
{
    QFETCH(int, index);
    const Expected &want = expectedSigns().at(index);
    QVERIFY(index < deep::catalog::signs().size());
    const deep::catalog::Sign &s = deep::catalog::signs().at(index);
    QCOMPARE(s.name, want.name);
    QCOMPARE(s.path, want.path);
    QCOMPARE(s.text(), want.text);
    QCOMPARE(codeText(s.codes), codeText(want.codes));
    QCOMPARE(chartMark(s.action), want.chart);
    QCOMPARE(deep::catalog::findSign(want.name), &s);
}

void TestCatalog::catalogueCounts()
{
    const QList<deep::catalog::Sign> &signs = deep::catalog::signs();
    QCOMPARE(signs.size(), 270);
    QCOMPARE(expectedSigns().size(), 270);
    int coded = 0, single = 0, pupil = 0;
    for (const deep::catalog::Sign &s : signs) {
        if (s.bearsCodes()) {
            ++coded;
            QVERIFY2(s.codes.size() >= 1 && s.codes.size() <= 16, qPrintable(s.name));
            QCOMPARE(QSet<int>(s.codes.begin(), s.codes.end()).size(), s.codes.size()); // no code twice
            for (int c : s.codes)
                QVERIFY2(c > 0 && c <= 9999, qPrintable(s.name));
            single += s.codes.size() == 1;
            QVERIFY2(!s.text().isEmpty(), qPrintable(s.name));
        } else {
            ++pupil;
            QVERIFY(!deep::catalog::pupilPage(s.action).isEmpty());
            QVERIFY(s.rule.isEmpty());
        }
    }
    QCOMPARE(coded, 267);
    QCOMPARE(pupil, 3);
    QCOMPARE(single, 165);

    // The longest list is the abdominal lymphatic type's, and it stands alone.
    const deep::catalog::Sign *abdominal = deep::catalog::findSign(QStringLiteral("LymphAbdomItem"));
    QVERIFY(abdominal);
    QCOMPARE(abdominal->path.last(), QStringLiteral("Лимфатич. брюшной"));
    QCOMPARE(abdominal->codes.size(), 16);
    for (const deep::catalog::Sign &s : signs)
        if (&s != abdominal)
            QVERIFY2(s.codes.size() < 16, qPrintable(s.name));
}

void TestCatalog::tableIsWellFormed()
{
    QSet<QString> names;
    QHash<QString, int> depth; // menu -> its level
    QStringList menus;
    int barEntries = 0;
    for (const deep::catalog::Entry &e : deep::catalog::entries()) {
        QVERIFY2(!e.name.isEmpty() && !names.contains(e.name), qPrintable(e.name));
        names.insert(e.name);
        QVERIFY2(e.name.endsWith(QLatin1String("Item")), qPrintable(e.name));
        QVERIFY2(!e.caption.isEmpty() && platform::cp1251::canEncode(e.caption), qPrintable(e.name));
        QVERIFY2(!e.caption.contains(QStringLiteral(" / ")), qPrintable(e.name));
        if (e.parent.isEmpty()) {
            QVERIFY(e.isMenu);
            ++barEntries;
        } else {
            // A row's submenu comes before it.
            QVERIFY2(depth.contains(e.parent), qPrintable(e.name));
        }
        const int level = e.parent.isEmpty() ? 0 : depth.value(e.parent) + 1;
        if (e.isMenu) {
            depth.insert(e.name, level);
            menus << e.name + QLatin1Char('\t') + e.caption;
        } else {
            // A sign lies two to four levels below its menu bar entry.
            QVERIFY2(level >= 2 && level <= 4, qPrintable(e.name));
        }
        if (!e.rule.isEmpty())
            QVERIFY2(deep::signtext::parseRule(e.rule).has_value(), qPrintable(e.name));
    }
    QCOMPARE(barEntries, 2);

    // The submenus, by name and path, in menu order.
    QStringList want;
    for (const QStringList &r : readTable(QStringLiteral("deep/catalog/menus.txt")))
        want << r.value(0) + QLatin1Char('\t') + r.value(1).split(QStringLiteral(" / ")).last();
    QCOMPARE(menus, want);

    // Every rule in use names only levels of its sign's path.
    for (const deep::catalog::Sign &s : deep::catalog::signs()) {
        if (!s.bearsCodes())
            continue;
        const auto pieces = deep::signtext::parseRule(s.rule);
        QVERIFY2(pieces.has_value(), qPrintable(s.name));
        for (const deep::signtext::Piece &p : *pieces)
            if (p.kind != deep::signtext::Piece::Literal)
                QVERIFY2(p.level >= 0 && p.level < s.path.size(), qPrintable(s.name));
    }

    const deep::catalog::Entry *syndromes = deep::catalog::findEntry(QStringLiteral("SyndromeItem"));
    QVERIFY(syndromes);
    QCOMPARE(syndromes->caption, QStringLiteral("Конституциональный тип"));
    QCOMPARE(syndromes->hint, QStringLiteral("Иридогенетические синдромы"));
    QCOMPARE(deep::catalog::findEntry(QStringLiteral("SymtomItem"))->caption, QStringLiteral("Симптомы"));
}

void TestCatalog::examplesAndEdgeCases_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("action");

    const int none = int(Action::None), z = int(Action::Projection), b = int(Action::Collarette);
    QTest::newRow("hydrogenoid: its own rule, 1203 before 1202")
        << "HydroItem" << "Конституциональный тип: лимфатический гидрогеноидный"
        << QList<int>{59, 144, 148, 149, 301, 307, 361, 804, 1203, 1202} << none;
    QTest::newRow("open lacuna") << "OpenLacunaItem" << "Лакуна: открытая" << QList<int>{113} << z;
    QTest::newRow("simple lacuna, same codes") << "SimpleLacunaItem" << "Лакуна: простая"
                                               << QList<int>{113} << z;
    QTest::newRow("mydriasis: own caption not repeated")
        << "MydryazPlainItem" << "Зрачок и зрачковая кайма: мидриаз" << QList<int>{262, 907, 908}
        << none;
    QTest::newRow("mydriasis: bilateral")
        << "MydryazPathBothItem" << "Зрачок и зрачковая кайма: мидриаз патологический двусторонний"
        << QList<int>{114, 762, 132, 177, 178, 233, 263, 264, 319, 356, 406, 619} << none;
    QTest::newRow("radial sign alone, capitals kept")
        << "RadIrritItem" << "Волокна раздражения (высветлен.набухшие трабекулы)" << QList<int>{196}
        << z;
    QTest::newRow("cross sign alone")
        << "CrossVascItem" << "Поперечные васкуляризованные трабекулы" << QList<int>{105, 197} << z;
    QTest::newRow("toxic spots alone") << "ToxBrownSpotsItem" << "Токсич.пятна коричнев.в зрач.поясе"
                                       << QList<int>{427} << none;
    QTest::newRow("own c rule keeps АК") << "CollarRhombBulgeItem"
                                         << "Зрачковый пояс: лакуны ромбовидные в сочет.с выпяч. АК"
                                         << QList<int>{420} << b;
    QTest::newRow("lower-cased rule lowers АК")
        << "CollarLacSlagItem" << "Зрачковый пояс: лакуны или пигм.пятна в сочет.с зашлак.и стерт.рис.трабекул"
        << QList<int>{458} << none;
    QTest::newRow("residual red-yellow: code order")
        << "PermRedYellowItem" << "Остаточные пигментные пятна: красно-желтые" << QList<int>{325, 414, 469}
        << none;
    QTest::newRow("on the AK ledges: no chart, ends with colon and blank")
        << "GroupBulgeItem"
        << "Пигменты типа \"презентного табака\"(по R.Shnabel): крупные скопления кучкообразной формы на выступах АК: "
        << QList<int>{603, 623, 624} << none;
    QTest::newRow("on the AK ledges in the zone: chart, no colon")
        << "GroupBulgeZoneItem"
        << "Пигменты типа \"презентного табака\"(по R.Shnabel): крупные скопления кучкообразной формы на выступах АК в зоне"
        << QList<int>{247} << z;
    QTest::newRow("dystrophic rim in an organ's zone")
        << "DystrOrganItem" << "Дистрофический ободок: в зоне органа:" << QList<int>{86} << z;
    QTest::newRow("cockade 2: caption's leading blank joins")
        << "Cockade2GoldItem" << "Гетерохромия: кокарда 2 типа (зашлак.авт.кольца) желто-золотистая"
        << QList<int>{704} << none;
    QTest::newRow("jumping pupil: inner quotes") << "PupilJumpingItem"
                                                 << "Зрачок и зрачковая кайма: \"скачуший\""
                                                 << QList<int>{212, 232, 235, 250, 251, 317, 322} << none;
    QTest::newRow("felt pigment: double blank kept")
        << "FeltPigmentItem" << "Темные пигментные пятна: \"войлокообразный\"  пигмент"
        << QList<int>{412, 755} << none;
    QTest::newRow("Deck with a Cyrillic с") << "Deck5TarItem"
                                           << "Пигментные пятна (5 групп  по J.De\u0441k): черные дегтевые"
                                           << QList<int>{102} << z;
    QTest::newRow("misspelling kept") << "LymphBronchoItem" << "Конституциональный тип: лифатич. бронхопульмональный"
                                      << QList<int>{307, 365, 366, 903, 1202, 1203} << none;
    QTest::newRow("collarette net: right eye's belt") << "CollarNetItem"
                                                      << "Зрачковый пояс: строма: сетчатый рисунок стромы"
                                                      << QList<int>{201} << b;
    QTest::newRow("tetanic: 771 first") << "HaematTetanItem" << "Конституциональный тип: гематогенный тетанический"
                                        << QList<int>{771, 147, 149, 159, 160, 57, 237, 238, 308, 362, 433, 616, 1206, 1207}
                                        << none;
}

void TestCatalog::examplesAndEdgeCases()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QList<int>, codes);
    QFETCH(int, action);
    const deep::catalog::Sign *s = deep::catalog::findSign(name);
    QVERIFY(s);
    QCOMPARE(s->text(), text);
    QCOMPARE(s->codes, codes);
    QCOMPARE(int(s->action), action);
}

void TestCatalog::ruleNotation_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text");

    const QStringList constitution{"Конституциональный тип", "Лимфатический", "Гидрогеноидный"};
    const QStringList deep{"Симптомы", "Зрачок", "Реакция", "Мидриаз", "паралич"};
    QTest::newRow("example 1") << R"(c0 + ": " + l1 + " " + l2)" << constitution << true
                               << "Конституциональный тип: лимфатический гидрогеноидный";
    QTest::newRow("example 2") << R"(c1 + ": " + c2)" << QStringList{"Симптомы", "Лакуна", "открытая"}
                               << true << "Лакуна: открытая";
    QTest::newRow("own caption alone") << "c3" << QStringList{"Симптомы", "Р", "Радиальные", "Волокна А"}
                                       << true << "Волокна А";
    QTest::newRow("plus joins with nothing") << "l2 + l3" << QStringList{"a", "b", "ЯЁ", " Ж"} << true
                                             << "яё ж";
    QTest::newRow("blanks around plus do not matter") << R"(c1+":"+c4)" << deep << true << "Зрачок:паралич";
    QTest::newRow("quoted piece exactly") << R"(c1 + ": " + c2 + ": ")" << deep << true
                                          << "Зрачок: Реакция: ";
    QTest::newRow("level beyond the path adds nothing") << R"(c1 + " " + c7)" << deep << true << "Зрачок ";
    QTest::newRow("empty rule") << "" << deep << false << "";
    QTest::newRow("dangling plus") << "c1 +" << deep << false << "";
    QTest::newRow("unclosed quote") << R"(c1 + ": )" << deep << false << "";
    QTest::newRow("unknown term") << "x1" << deep << false << "";
    QTest::newRow("missing plus") << R"(c1 ": ")" << deep << false << "";
    QTest::newRow("level without number") << "c + l1" << deep << false << "";
}

void TestCatalog::ruleNotation()
{
    QFETCH(QString, rule);
    QFETCH(QStringList, path);
    QFETCH(bool, valid);
    QFETCH(QString, text);
    QCOMPARE(deep::signtext::parseRule(rule).has_value(), valid);
    QCOMPARE(deep::signtext::build(rule, path), text);
}

void TestCatalog::lowerCaseIsWindows1251()
{
    // Byte by byte over the whole code page: capitals to their small
    // letters, everything else unchanged.
    QMap<int, int> capital;
    for (int b = 'A'; b <= 'Z'; ++b)
        capital[b] = b + 0x20;
    for (int b = 0xC0; b <= 0xDF; ++b) // А..Я
        capital[b] = b + 0x20;
    const int pairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
                            {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
                            {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
    for (const auto &p : pairs)
        capital[p[0]] = p[1];
    for (int b = 0; b < 256; ++b) {
        const QString one = platform::cp1251::decode(QByteArray(1, char(b)));
        const QByteArray lowered = platform::cp1251::encode(deep::signtext::lowerCp1251(one));
        QCOMPARE(lowered.size(), 1);
        QCOMPARE(int(uchar(lowered.at(0))), capital.value(b, b));
    }
    // Characters outside the code page stay as they are.
    QCOMPARE(deep::signtext::lowerCp1251(QStringLiteral("ÀΩÉ")), QStringLiteral("ÀΩÉ"));
    QCOMPARE(deep::signtext::lowerCp1251(QStringLiteral("ФЛВ, АК 11.00 V-образной")),
             QStringLiteral("флв, ак 11.00 v-образной"));
}

void TestCatalog::everyCodeHasDictionaryLines()
{
    const platform::textfile::ReadResult dict = platform::textfile::readLines(TestEnv::sourcePath("data/SystmTxt/Patology.txt"));
    QVERIFY2(dict.ok, qPrintable(dict.error));
    QSet<int> present;
    for (const QString &line : dict.lines)
        present.insert(state::pathology::codeOf(line));
    QStringList missing;
    for (const deep::catalog::Sign &s : deep::catalog::signs())
        for (int c : s.codes)
            if (!present.contains(c))
                missing << s.name + QLatin1Char(':') + QString::number(c);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("codes without a dictionary line: ")
                                           + missing.join(QLatin1Char(' '))));
}

// A chart click appends the zone's name to every statement of the sign and
// files it under the zone's body system, so a statement that a chart or belt
// sign can bring must read with any zone after it: the autonomic ring's
// sectors, the lymphatic and skin quadrants and the psychic zone included. It
// names no organ or body system of its own (nor "орган", which the ring and
// the quadrants are not). A constitutional type shows no disease either, only
// a tendency to one: its statements do not open with a diagnosis.
void TestCatalog::localisedStatementsNameNoOrganOfTheirOwn()
{
    // Stems of organ and body-system names, then whole words.
    static const QString stems = QStringLiteral(
        "желуд|кишк|кишеч|печен|печён|почк|почеч|сердц|сердеч|миокард|коронар|лёгоч|легоч|"
        "бронх|трахе|гортан|плевр|мозг|мозжеч|головн|пищевар|пищевод|желч|жёлч|панкреа|"
        "поджелудочн|селезен|селезён|матк|яичник|яичк|предстательн|простат|молочн|щитовидн|"
        "паращитовидн|надпочечн|гипофиз|гипоталам|мочев|мочеполов|полов[оаы]|позвоноч|сустав|"
        "мышц|мышечн|мускул|кост|кож|глаз|зрени|зритель|слух|носоглот|миндалин|зуб|челюст|"
        "горл|глотк|артери|сосуд|лимфоузл|нервн|цнс|брюшн|грудн|тазов|эндокрин|дыхательн|"
        "паренхим|слизист");
    static const QString words = QStringLiteral(
        "лёгкое|лёгкого|лёгком|лёгких|легкое|легкого|легком|легких|ухо|уха|уши|ушей|нос|носа|"
        "носу|таз|таза|орган|органа|органу|органом|органе|органы|органов|органам|органами|"
        "органах");
    static const QRegularExpression named(
        QStringLiteral("(?<!\\p{L})(%1|(%2)(?!\\p{L}))").arg(stems, words),
        QRegularExpression::CaseInsensitiveOption);
    QVERIFY(named.isValid());
    static const QRegularExpression diagnosis(
        QStringLiteral("^((хронич|остр)|[\\p{L}-]+(ит|оз|ез|аз|ия)ы?(?!\\p{L})|[\\p{L}-]+ (синдром|дистония|"
                       "недостаточность|рефлюкс|тетания|расширение|явления|масса|\\p{L}+(ит|оз)(?!\\p{L})))"),
        QRegularExpression::CaseInsensitiveOption);

    QSet<int> localisable, constitutional;
    for (const deep::catalog::Sign &s : deep::catalog::signs())
        if (s.action == deep::catalog::Action::Projection || s.action == deep::catalog::Action::Collarette)
            localisable.unite(QSet<int>(s.codes.begin(), s.codes.end()));
        else if (s.path.first() == QStringLiteral("Конституциональный тип"))
            constitutional.unite(QSet<int>(s.codes.begin(), s.codes.end()));
    QCOMPARE(localisable.size(), 59);
    QCOMPARE(constitutional.size(), 100);

    const platform::textfile::ReadResult dict = platform::textfile::readLines(TestEnv::sourcePath("data/SystmTxt/Patology.txt"));
    QVERIFY2(dict.ok, qPrintable(dict.error));
    QStringList offending;
    int read = 0;
    for (const QString &line : dict.lines) {
        if (constitutional.contains(state::pathology::codeOf(line)) && line.mid(5, 2) != QLatin1String("11")
            && line.mid(8).contains(diagnosis))
            offending << QStringLiteral("diagnosis: ") + line;
        if (!localisable.contains(state::pathology::codeOf(line)))
            continue;
        ++read;
        const QRegularExpressionMatch m = named.match(line.mid(8));
        if (m.hasMatch())
            offending << m.captured(1) + QStringLiteral(": ") + line;
    }
    QVERIFY(read >= localisable.size());
    QVERIFY2(offending.isEmpty(), qPrintable(offending.join(QLatin1Char('\n'))));
}

// Blind tubage and choleretic mixes can set off biliary colic or obstruction
// when there are stones: a sign whose own statements warn of gallstones or
// biliary pancreatitis prescribes neither, and where they are prescribed
// they wait for an ultrasound that finds no stones.
void TestCatalog::noTubageWhereStonesAreWarnedOf()
{
    static const QRegularExpression stones(
        QStringLiteral("желчнокамен|конкремент|камнеобраз|холецистопанкреат|билиарн\\p{L}* панкреат|калькул"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tubage(QStringLiteral("тюбаж|желчегонн"), QRegularExpression::CaseInsensitiveOption);
    const platform::textfile::ReadResult dict = platform::textfile::readLines(TestEnv::sourcePath("data/SystmTxt/Patology.txt"));
    QVERIFY2(dict.ok, qPrintable(dict.error));
    QMultiHash<int, QString> linesOf;
    for (const QString &line : dict.lines) {
        linesOf.insert(state::pathology::codeOf(line), line);
        if (line.mid(8).contains(tubage))
            QVERIFY2(line.contains(QStringLiteral("при отсутствии конкрементов")), qPrintable(line));
    }
    int prescribing = 0;
    for (const deep::catalog::Sign &s : deep::catalog::signs()) {
        bool warns = false, prescribes = false;
        for (int c : s.codes)
            for (const QString &line : linesOf.values(c)) {
                const bool recommendation = line.mid(5, 2) == QLatin1String("11");
                warns |= !recommendation && line.mid(8).contains(stones);
                prescribes |= recommendation && line.mid(8).contains(tubage);
            }
        QVERIFY2(!(warns && prescribes), qPrintable(s.name));
        prescribing += prescribes;
    }
    QCOMPARE(prescribing, 8); // the other mixed subtypes keep the conditional advice
}

// ---- The menus ----

void TestCatalog::menusFollowCatalogue()
{
    TestEnv env;
    TfmDeep *deep = openDeep();

    const QList<QAction *> bar = control<QMenuBar>(deep, "MenuDeep")->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0)->text(), QStringLiteral("Конституциональный тип"));
    QCOMPARE(bar.at(0)->statusTip(), QStringLiteral("Иридогенетические синдромы"));
    QCOMPARE(bar.at(0)->toolTip(), QStringLiteral("Иридогенетические синдромы"));
    QCOMPARE(bar.at(1)->text(), QStringLiteral("Симптомы"));

    // Pointing at the entry brings its hint to the status bars.
    HintHub::instance().install();
    HintHub::instance().setHint(QString());
    QVERIFY(QTest::qWaitForWindowExposed(deep));
    const QPoint entry = control<QMenuBar>(deep, "MenuDeep")->actionGeometry(bar.at(0)).center();
    QTest::mouseMove(deep->windowHandle(), control<QMenuBar>(deep, "MenuDeep")->mapTo(deep, entry));
    QTRY_COMPARE(HintHub::instance().hint(), QStringLiteral("Иридогенетические синдромы"));

    QStringList menus, items;
    QList<QMenu *> all;
    for (QAction *a : bar) {
        QVERIFY(a->menu());
        walkMenu(a->menu(), {}, &menus, &items, &all);
    }
    QStringList wantMenus;
    for (const QStringList &r : readTable(QStringLiteral("deep/catalog/menus.txt")))
        wantMenus << r.join(QLatin1Char('\t'));
    QCOMPARE(menus, wantMenus);

    QStringList wantItems;
    for (const Expected &e : expectedSigns())
        wantItems << e.name + QLatin1Char('\t') + e.path.join(QStringLiteral(" / "));
    QCOMPARE(items.size(), 270);
    QCOMPARE(items, wantItems);

    // No item is disabled, none is a separator, and each name finds its one item.
    for (QMenu *m : all)
        for (QAction *a : m->actions()) {
            QVERIFY(a->isEnabled());
            QVERIFY(!a->isSeparator());
        }
    for (const Expected &e : expectedSigns())
        QVERIFY2(itemOf(deep, e.name), qPrintable(e.name));
}

void TestCatalog::choosingEverySign_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < expectedSigns().size(); ++i)
        if (!expectedSigns().at(i).codes.isEmpty())
            QTest::newRow(qPrintable(expectedSigns().at(i).name)) << i;
}

void TestCatalog::choosingEverySign()
{
    QFETCH(int, index);
    const Expected &want = expectedSigns().at(index);
    TestEnv env;
    ScriptedPrompter prompter;
    const QMap<int, QStringList> dictionary = seedDictionary(env);
    TfmDeep *deep = openDeep();
    control<Memo>(deep, "mmSign")->setLines({QStringLiteral("прежний признак")});
    control<Memo>(deep, "mmPathology")->setLines({QStringLiteral("прежняя патология")});
    ExaminationScript().SignCodes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};

    choose(deep, want.name);

    QCOMPARE(state::examination().signCodes(), want.codes);
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(), QStringList{want.text});
    QVERIFY(control<Memo>(deep, "mmSign")->modified());
    QStringList pathologies;
    for (int c : want.codes)
        pathologies << dictionary.value(c);
    QCOMPARE(control<Memo>(deep, "mmPathology")->lines(), pathologies);
    QStringList charts;
    if (want.chart == QLatin1String("Z"))
        charts << QStringLiteral("OpenProjectionCharts");
    else if (want.chart == QLatin1String("B"))
        charts << QStringLiteral("OpenCollaretteChart tsCollaretteR");
    QCOMPARE(charts::chartlinks::requests(), charts);
    QVERIFY(prompter.records.isEmpty());
}

void TestCatalog::hydrogenoidLooksUpInListOrder()
{
    TestEnv env;
    ScriptedPrompter prompter;
    // File order differs from the sign's list order, and 1202 stands before 1203.
    env.writeLines(QStringLiteral("SystmTxt/Patology.txt"),
                   {"1202 11 Рекомендация 1202", "1203 11 Рекомендация 1203", " 804 05 Строка 804",
                    "0059 01 Строка 59", "0361 02 Строка 361", "0149 05 Строка 149 первая",
                    "0307 04 Строка 307", "0301 03 Строка 301", "0148 05 Строка 148", "0144 06 Строка 144",
                    "149  05 Строка 149 вторая", "1130 05 Не 113", "0113 05 Лакуна"});
    TfmDeep *deep = openDeep();
    choose(deep, QStringLiteral("HydroItem"));
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(),
             QStringList{QStringLiteral("Конституциональный тип: лимфатический гидрогеноидный")});
    QCOMPARE(control<Memo>(deep, "mmPathology")->lines(),
             (QStringList{"0059 01 Строка 59", "0144 06 Строка 144", "0148 05 Строка 148",
                          "0149 05 Строка 149 первая", "149  05 Строка 149 вторая", "0301 03 Строка 301",
                          "0307 04 Строка 307", "0361 02 Строка 361", " 804 05 Строка 804",
                          "1203 11 Рекомендация 1203", "1202 11 Рекомендация 1202"}));
    QVERIFY(charts::chartlinks::requests().isEmpty()); // no chart for a constitutional type

    // "простая" and "открытая" show the same pathologies under their own texts.
    choose(deep, QStringLiteral("SimpleLacunaItem"));
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(), QStringList{QStringLiteral("Лакуна: простая")});
    QCOMPARE(control<Memo>(deep, "mmPathology")->lines(), QStringList{QStringLiteral("0113 05 Лакуна")});
    choose(deep, QStringLiteral("OpenLacunaItem"));
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(), QStringList{QStringLiteral("Лакуна: открытая")});
    QCOMPARE(control<Memo>(deep, "mmPathology")->lines(), QStringList{QStringLiteral("0113 05 Лакуна")});
    QCOMPARE(charts::chartlinks::requests(),
             (QStringList{QStringLiteral("OpenProjectionCharts"), QStringLiteral("OpenProjectionCharts")}));
}

void TestCatalog::collaretteSignTargetsRightEyeWhateverEye()
{
    TestEnv env;
    ScriptedPrompter prompter;
    seedDictionary(env);
    TfmDeep *deep = openDeep();
    control<QRadioButton>(deep, "rbLeft")->setChecked(true);
    choose(deep, QStringLiteral("CollarBirdItem"));
    QCOMPARE(charts::chartlinks::requests(), QStringList{QStringLiteral("OpenCollaretteChart tsCollaretteR")});
    QVERIFY(control<QRadioButton>(deep, "rbLeft")->isChecked()); // the eye choice is neither read nor changed
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(),
             QStringList{QStringLiteral("Зрачковый пояс: строма: черный участок стромы в виде \"птицы\"")});
}

void TestCatalog::noChartSignLeavesChartsAlone()
{
    TestEnv env;
    ScriptedPrompter prompter;
    seedDictionary(env);
    TfmDeep *deep = openDeep();
    choose(deep, QStringLiteral("ColCicBreakItem"));
    QCOMPARE(charts::chartlinks::requests(), QStringList{QStringLiteral("OpenProjectionCharts")});
    choose(deep, QStringLiteral("ColCicHighItem"));
    choose(deep, QStringLiteral("GroupBulgeItem"));
    QCOMPARE(charts::chartlinks::requests(), QStringList{QStringLiteral("OpenProjectionCharts")});
    QCOMPARE(control<Memo>(deep, "mmSign")->line(0),
             QStringLiteral("Пигменты типа \"презентного табака\"(по R.Shnabel): "
                            "крупные скопления кучкообразной формы на выступах АК: "));
}

void TestCatalog::pupilItemsEmptyBoxesAndKeepCodes()
{
    const struct {
        const char *name;
        const char *caption;
        const char *page;
    } items[] = {{"PupilDecenItem", "Децентрация", "tsDecenter"},
                 {"PupilFlatItem", "Уплощение", "tsFlatten"},
                 {"PupilBorderItem", "Зрачковая кайма", "tsBorder"}};
    for (const auto &it : items) {
        TestEnv env;
        ScriptedPrompter prompter;
        seedDictionary(env);
        TfmDeep *deep = openDeep();
        choose(deep, QStringLiteral("OpenLacunaItem"));
        charts::chartlinks::clearRequests();

        QAction *item = itemOf(deep, QLatin1String(it.name));
        QVERIFY(item);
        QCOMPARE(item->text(), QString::fromUtf8(it.caption));
        QCOMPARE(qobject_cast<QMenu *>(item->parent())->objectName(), QStringLiteral("PupilItem"));
        item->trigger();

        QCOMPARE(control<Memo>(deep, "mmSign")->lineCount(), 0);
        QCOMPARE(control<Memo>(deep, "mmPathology")->lineCount(), 0);
        QVERIFY(!control<Memo>(deep, "mmSign")->modified());
        QCOMPARE(state::examination().signCodes(), QList<int>{113});
        QCOMPARE(charts::chartlinks::requests(), QStringList{QStringLiteral("OpenPupilWindow ") + QLatin1String(it.page)});
        QVERIFY(prompter.records.isEmpty());
    }
}

void TestCatalog::choiceRecordsNothing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    seedDictionary(env);
    TfmDeep *deep = openDeep();
    choose(deep, QStringLiteral("Density3Item"));
    choose(deep, QStringLiteral("LymphAbdomItem"));
    const state::Examination &exam = state::examination();
    QCOMPARE(exam.signCodes().size(), 16);
    QCOMPARE(control<Memo>(deep, "mmPathology")->lineCount(), 16);
    QCOMPARE(exam.deepPassCount(), 0);
    QCOMPARE(exam.rightEyeSigns().size(), 0);
    QCOMPARE(exam.leftEyeSigns().size(), 0);
    QCOMPARE(exam.pathologyLines().size(), 0);
    QVERIFY(!state::windows().fmConcl);
}

void TestCatalog::missingDictionaryKeepsSignAndChart()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmDeep *deep = openDeep();
    control<Memo>(deep, "mmPathology")->setLines({QStringLiteral("старая строка")});
    choose(deep, QStringLiteral("LymphAbdomItem"));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File .\\SystmTxt\\Patology.txt is absent")});
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(), QStringList{QStringLiteral("Конституциональный тип: лимфатич. брюшной")});
    QCOMPARE(control<Memo>(deep, "mmPathology")->lineCount(), 0);
    QCOMPARE(state::examination().signCodes().size(), 16);

    prompter.clear();
    choose(deep, QStringLiteral("PolychromItem"));
    QCOMPARE(prompter.texts().size(), 1);
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(), QStringList{QStringLiteral("Гетерохромия: полихромная")});
    QCOMPARE(charts::chartlinks::requests(), QStringList{QStringLiteral("OpenProjectionCharts")});
}

void TestCatalog::captionsComeFromTheMenus()
{
    // A menu shows "&" literally, and the sign text keeps it.
    QCOMPARE(deep::signmenus::displayCaption(QStringLiteral("A&B")), QStringLiteral("A&&B"));
    QCOMPARE(deep::signmenus::plainCaption(QStringLiteral("A&&B && C")), QStringLiteral("A&B & C"));
    QCOMPARE(deep::signmenus::plainCaption(deep::signmenus::displayCaption(QStringLiteral("&&x&"))), QStringLiteral("&&x&"));

    TestEnv env;
    ScriptedPrompter prompter;
    seedDictionary(env);
    TfmDeep *deep = openDeep();
    QMenu *lacuna = control<QMenu>(control<QMenuBar>(deep, "MenuDeep"), "LacunaItem");
    lacuna->setTitle(deep::signmenus::displayCaption(QStringLiteral("Ла&куна")));
    QAction *open = itemOf(deep, QStringLiteral("OpenLacunaItem"));
    open->setText(deep::signmenus::displayCaption(QStringLiteral("откр&ытая")));
    open->trigger();
    QCOMPARE(control<Memo>(deep, "mmSign")->lines(), QStringList{QStringLiteral("Ла&куна: откр&ытая")});
    QCOMPARE(state::examination().signCodes(), QList<int>{113});
}

void TestCatalog::menusFitOnSmallScreen()
{
    TestEnv env;
    TfmDeep *deep = openDeep();
    QStringList menus, items;
    QList<QMenu *> all;
    for (QAction *a : control<QMenuBar>(deep, "MenuDeep")->actions())
        walkMenu(a->menu(), {}, &menus, &items, &all);
    QCOMPARE(all.size(), 48);
    for (QMenu *m : all) {
        const QSize hint = m->sizeHint();
        QVERIFY2(hint.width() <= 1024 && hint.height() <= 768 - 40,
                 qPrintable(m->objectName() + QStringLiteral(" %1x%2").arg(hint.width()).arg(hint.height())));
    }
}

QTEST_MAIN(TestCatalog)
#include "test_catalog.moc"
