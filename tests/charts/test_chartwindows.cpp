// The chart and pupil windows: a click names the zone or variant by colour,
// "Ввод" localises the deep examination's sign, a pupil variant becomes the
// sign with its codes. The sign lives in the examination, which the deep
// window shows.
#include "charts/chartpicture.h"
#include "charts/chartsdoor.h"
#include "charts/pupilcodes.h"
#include "charts/tfmpupil.h"
#include "charts/tfmshproek.h"
#include "deep/deepdoor.h"
#include "deep/tfmdeep.h"
#include "platform/textfile.h"
#include "state/keyedlines.h"
#include "state/pathology.h"
#include "state/windows.h"
#include "support/examscript.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

namespace {

constexpr int kWhite = 16777215;

// The first pixel of a picture with the given colour, below the top row
// (QTest takes a press at (0, 0) for one in the middle of the widget).
QPoint pixelOf(const ChartPicture *picture, int colour)
{
    const QImage &image = picture->image();
    for (int y = 1; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (state::keyed::colourNumber(image, QPoint(x, y)) == colour)
                return QPoint(x, y);
    return QPoint(-1, -1);
}

// Presses the mouse on a picture as the user would.
void press(ChartPicture *picture, QPoint at)
{
    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, at);
}

TfmShProek *chartWindow()
{
    OpenProjectionCharts();
    return state::windows().fmShProek.data();
}

// The current sign's lines, as the deep window's boxes show them.
LineDocument *signBox()
{
    return state::examination().signDocument();
}

LineDocument *pathologyBox()
{
    return state::examination().pathologyDocument();
}

} // namespace

class TestChartWindows : public QObject {
    Q_OBJECT
private slots:
    void clickNamesTheZone();
    void enterLocalisesTheSign();
    void eyeMismatchChangesNothing();
    void collaretteChartOpensAtTheRightEye();
    void pupilVariantBecomesTheSign();
    void pupilVariantWithoutCodes();
    void hoverNamesEveryZoneAndChangesNothing();
};

// A zone colour that both pictures show, with its organ file line.
struct SharedZone {
    int colour = -1;
    QString line;
};

SharedZone sharedZone(const ChartPicture *a, const ChartPicture *b, const QString &organFile)
{
    for (const QString &line : platform::textfile::readLines(organFile).lines) {
        const int colour = state::keyed::lineKey(line).value_or(-1);
        if (pixelOf(a, colour).x() >= 0 && pixelOf(b, colour).x() >= 0)
            return {colour, line};
    }
    return {};
}

void TestChartWindows::clickNamesTheZone()
{
    TestEnv env;
    env.seed(QStringLiteral("SystmTxt/DeckOrgans.txt"));
    ScriptedPrompter prompter;
    TfmShProek *w = chartWindow();
    QCOMPARE(control<QTabWidget>(w, "pcShList")->currentWidget(), control<QWidget>(w, "tsDeck"));
    QCOMPARE(w->eyeTabOnView(), control<QWidget>(w, "tsDeckR"));

    // The same colour names the same zone on the right and the left chart.
    const SharedZone zone = sharedZone(control<ChartPicture>(w, "imDeckR"), control<ChartPicture>(w, "imDeckL"), env.path("SystmTxt/DeckOrgans.txt"));
    QVERIFY(zone.colour > 0);
    press(control<ChartPicture>(w, "imDeckR"), pixelOf(control<ChartPicture>(w, "imDeckR"), zone.colour));
    QCOMPARE(control<QLabel>(w, "Label1")->text(), QString::number(zone.colour));
    QCOMPARE(control<QLineEdit>(w, "Edit1")->text(), zone.line.mid(11));
    QCOMPARE(w->ChartZoneCode, zone.line.mid(9, 2));
    control<QTabWidget>(w, "pcDeckEyes")->setCurrentWidget(control<QWidget>(w, "tsDeckL"));
    control<QLineEdit>(w, "Edit1")->clear();
    press(control<ChartPicture>(w, "imDeckL"), pixelOf(control<ChartPicture>(w, "imDeckL"), zone.colour));
    QCOMPARE(control<QLineEdit>(w, "Edit1")->text(), zone.line.mid(11));

    // White background and black lines name nothing; the last code stays.
    press(control<ChartPicture>(w, "imDeckL"), pixelOf(control<ChartPicture>(w, "imDeckL"), kWhite));
    QCOMPARE(control<QLabel>(w, "Label1")->text(), QString::number(kWhite));
    QCOMPARE(control<QLineEdit>(w, "Edit1")->text(), QString());
    press(control<ChartPicture>(w, "imDeckL"), QPoint(192, 192)); // the pupil
    QCOMPARE(control<QLabel>(w, "Label1")->text(), QStringLiteral("0"));
    QCOMPARE(w->ChartZoneCode, zone.line.mid(9, 2));
    QVERIFY(prompter.records.isEmpty());

    // An organ file that is not there.
    control<QTabWidget>(w, "pcShList")->setCurrentWidget(control<QWidget>(w, "tsJensen"));
    press(control<ChartPicture>(w, "imJensenR"), QPoint(0, 0));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File .\\SystmTxt\\JensOrgans.txt is absent")});
}

void TestChartWindows::enterLocalisesTheSign()
{
    TestEnv env;
    env.seed(QStringLiteral("SystmTxt/DeckOrgans.txt"));
    ScriptedPrompter prompter;
    TfmShProek *w = chartWindow();
    const QString sign = QStringLiteral("Лакуна: открытая");
    const QStringList pathology{QStringLiteral("0113 05 Хронический процесс в органе"),
                                QStringLiteral("0900 11 Щадящий режим")};
    signBox()->setLines({sign});
    pathologyBox()->setLines(pathology);

    // Before any zone is found the body-system field is kept.
    control<QLineEdit>(w, "Edit1")->setText(QStringLiteral(" (зона)"));
    control<QPushButton>(w, "bbOKShProek")->click();
    QCOMPARE(signBox()->lines(), QStringList{sign + QStringLiteral(" (зона)")});
    QCOMPARE(pathologyBox()->lines(), (QStringList{pathology.at(0) + QStringLiteral(" (зона)"), pathology.at(1)}));

    signBox()->setLines({sign});
    pathologyBox()->setLines(pathology);
    const SharedZone zone = sharedZone(control<ChartPicture>(w, "imDeckR"), control<ChartPicture>(w, "imDeckR"), env.path("SystmTxt/DeckOrgans.txt"));
    press(control<ChartPicture>(w, "imDeckR"), pixelOf(control<ChartPicture>(w, "imDeckR"), zone.colour));
    const QString name = zone.line.mid(11);
    const QString code = zone.line.mid(9, 2);
    control<QPushButton>(w, "bbOKShProek")->click();
    control<QPushButton>(w, "bbOKShProek")->click(); // twice: appended twice
    QCOMPARE(signBox()->lines(), QStringList{sign + name + name});
    QCOMPARE(pathologyBox()->lines(),
             (QStringList{QStringLiteral("0113 ") + code + QStringLiteral(" Хронический процесс в органе") + name + name,
                          pathology.at(1)}));

    // A click on white keeps the code; typed text is what is appended.
    press(control<ChartPicture>(w, "imDeckR"), pixelOf(control<ChartPicture>(w, "imDeckR"), kWhite));
    control<QLineEdit>(w, "Edit1")->setText(QStringLiteral(", слева"));
    pathologyBox()->setLines({QStringLiteral("0113 07 Процесс")});
    control<QPushButton>(w, "bbOKShProek")->click();
    QCOMPARE(pathologyBox()->lines(), QStringList{QStringLiteral("0113 ") + code + QStringLiteral(" Процесс, слева")});
    QVERIFY(prompter.records.isEmpty());
}

void TestChartWindows::eyeMismatchChangesNothing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmShProek *w = chartWindow();
    signBox()->setLines({QStringLiteral("Лакуна: открытая")});
    control<QTabWidget>(w, "pcShList")->setCurrentWidget(control<QWidget>(w, "tsJensen"));
    control<QTabWidget>(w, "pcJensenEyes")->setCurrentWidget(control<QWidget>(w, "tsJensenL")); // the right eye is chosen
    control<QLineEdit>(w, "Edit1")->setText(QStringLiteral(" (печень)"));
    control<QPushButton>(w, "bbOKShProek")->click();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Несоответствие глаза и схемы")});
    QCOMPARE(signBox()->lines(), QStringList{QStringLiteral("Лакуна: открытая")});
    QVERIFY(deep::exists());
}

void TestChartWindows::collaretteChartOpensAtTheRightEye()
{
    TestEnv env;
    TfmShProek *w = chartWindow();
    control<QTabWidget>(w, "pcShList")->setCurrentWidget(control<QWidget>(w, "tsJensen"));
    control<QTabWidget>(w, "pcCollaretteEyes")->setCurrentWidget(control<QWidget>(w, "tsCollaretteL"));
    OpenCollaretteChart();
    QCOMPARE(state::windows().fmShProek.data(), w); // one window
    QCOMPARE(w->eyeTabOnView(), control<QWidget>(w, "tsCollaretteR"));
    QVERIFY(w->isVisible());
}

void TestChartWindows::pupilVariantBecomesTheSign()
{
    TestEnv env;
    env.seed(QStringLiteral("SystmTxt/Patology.txt"));
    env.seed(QStringLiteral("SystmTxt/Decentr.txt"));
    ScriptedPrompter prompter;
    OpenPupilWindow(QStringLiteral("tsDecenter"));
    TfmPupil *w = state::windows().fmPupil.data();
    QCOMPARE(control<QTabWidget>(w, "pcPupil")->currentWidget(), control<QWidget>(w, "tsDecenter"));

    // Blue, 9:00, right eye: code 772 and the note that it is a left-eye sign.
    const QPoint blue(200, 345);
    press(control<ChartPicture>(w, "imDecen"), blue);
    QCOMPARE(control<QLabel>(w, "Label1")->text(), QStringLiteral("16711680"));
    QVERIFY(!control<QLineEdit>(w, "Edit1")->text().isEmpty());
    QCOMPARE(signBox()->lines(), QStringList{control<QLineEdit>(w, "Edit1")->text()});
    QCOMPARE(state::examination().signCodes(), QList<int>{772});
    QStringList expected;
    QVERIFY(state::pathology::lookup(env.path("SystmTxt/Patology.txt"), {772}, &expected));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(pathologyBox()->lines(), expected);
    QCOMPARE(prompter.texts(), QStringList{charts::pupil::kUsuallyLeft});

    // The same patch for the left eye: its own codes, no note.
    prompter.clear();
    control<QRadioButton>(state::windows().fmDeep, "rbLeft")->setChecked(true);
    press(control<ChartPicture>(w, "imDecen"), blue);
    QCOMPARE(state::examination().signCodes(), (QList<int>{295, 299}));
    QVERIFY(prompter.records.isEmpty());
    control<QRadioButton>(state::windows().fmDeep, "rbRight")->setChecked(true);
    press(control<ChartPicture>(w, "imDecen"), blue);

    // White: nothing is found, the deep window keeps the sign.
    prompter.clear();
    press(control<ChartPicture>(w, "imDecen"), pixelOf(control<ChartPicture>(w, "imDecen"), kWhite));
    QCOMPARE(control<QLabel>(w, "Label1")->text(), QString::number(kWhite));
    QCOMPARE(control<QLineEdit>(w, "Edit1")->text(), QString());
    QCOMPARE(pathologyBox()->lines(), expected);
    QVERIFY(prompter.records.isEmpty());

    // One-pupil flattening: any black drawing or label is the black variant.
    env.seed(QStringLiteral("SystmTxt/FlatRorL.txt"));
    w->showPage(QStringLiteral("tsFlatten"));
    press(control<ChartPicture>(w, "imFlatRorL"), pixelOf(control<ChartPicture>(w, "imFlatRorL"), 0));
    QCOMPARE(control<QLabel>(w, "Label1")->text(), QStringLiteral("0"));
    QCOMPARE(state::examination().signCodes(), QList<int>{773});
    QCOMPARE(prompter.texts(), QStringList{charts::pupil::kUsuallyLeft});
    prompter.clear();

    // A name file that is not there.
    w->showPage(QStringLiteral("tsBorder"));
    press(control<ChartPicture>(w, "imBorder"), QPoint(60, 140));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File .\\SystmTxt\\Border.txt is absent")});
    QCOMPARE(control<QLineEdit>(w, "Edit1")->text(), QString());
}

// A name line for a colour the code table has no row for changes the sign
// text only.
void TestChartWindows::pupilVariantWithoutCodes()
{
    TestEnv env;
    env.writeLines("SystmTxt/Decentr.txt", {QStringLiteral("       0Зрачок в виде точки")});
    ScriptedPrompter prompter;
    pathologyBox()->setLines({QStringLiteral("0230 05 Прежний признак")});
    ExaminationScript().SignCodes = {230};
    OpenPupilWindow(QStringLiteral("tsDecenter"));
    press(control<ChartPicture>(state::windows().fmPupil, "imDecen"), pixelOf(control<ChartPicture>(state::windows().fmPupil, "imDecen"), 0));
    QCOMPARE(signBox()->lines(), QStringList{QStringLiteral("Зрачок в виде точки")});
    QCOMPARE(pathologyBox()->lines(), QStringList{QStringLiteral("0230 05 Прежний признак")});
    QCOMPARE(state::examination().signCodes(), QList<int>{230});
    QVERIFY(prompter.records.isEmpty());
}

// The mouse over every colour of every chart names its zone in the status
// line; Label1, Edit1, the zone code, the click's place and key, and the
// sign stay as the last click left them. Choosing a zone in the list
// outlines it, and changes none of that either.
void TestChartWindows::hoverNamesEveryZoneAndChangesNothing()
{
    TestEnv env;
    for (const char *f : {"DeckOrgans.txt", "JensOrgans.txt", "ZrachOrgansR.txt", "ZrachOrgansL.txt"})
        env.seed(QStringLiteral("SystmTxt/") + QString::fromLatin1(f));
    ScriptedPrompter prompter;
    TfmShProek *w = chartWindow();
    signBox()->setLines({QStringLiteral("Лакуна: ")});
    const QPoint first(200, 60);
    press(control<ChartPicture>(w, "imDeckR"), first);
    QVERIFY(!control<QLineEdit>(w, "Edit1")->text().isEmpty());
    const auto clickState = [w] {
        return QStringList{control<QLabel>(w, "Label1")->text(), control<QLineEdit>(w, "Edit1")->text(), w->ChartZoneCode, w->ChartColourKey,
                           QString::number(w->ChartClickX), QString::number(w->ChartClickY)} +
               signBox()->lines() + pathologyBox()->lines();
    };
    const QStringList clicked = clickState();

    const struct {
        ChartPicture *picture;
        const char *organFile;
    } charts[] = {{control<ChartPicture>(w, "imDeckR"), "DeckOrgans.txt"},     {control<ChartPicture>(w, "imDeckL"), "DeckOrgans.txt"},
                  {control<ChartPicture>(w, "imJensenR"), "JensOrgans.txt"},   {control<ChartPicture>(w, "imJensenL"), "JensOrgans.txt"},
                  {control<ChartPicture>(w, "imZrachR"), "ZrachOrgansR.txt"},  {control<ChartPicture>(w, "imZrachL"), "ZrachOrgansL.txt"}};
    // A zone's name shown without its blanks and brackets; the last line of a colour names it.
    const auto namesIn = [&env](const char *organFile) {
        QHash<int, QString> names;
        for (const QString &line : platform::textfile::readLines(env.path("SystmTxt/") + QLatin1String(organFile)).lines)
            names.insert(state::keyed::lineKey(line).value_or(-1),
                         line.mid(11).trimmed().remove(QRegularExpression(QStringLiteral("^\\(|\\)$"))));
        return names;
    };
    int named = 0;
    for (const auto &chart : charts) {
        const QHash<int, QString> names = namesIn(chart.organFile);
        // The chart's page and eye tab to view, as the user brings them.
        for (QWidget *at = chart.picture; at->parentWidget(); at = at->parentWidget())
            if (auto *tabs = qobject_cast<QTabWidget *>(at->parentWidget()->parentWidget()))
                tabs->setCurrentWidget(at);
        QSet<int> colours;
        const QImage &image = chart.picture->image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(state::keyed::colourNumber(image, QPoint(x, y)));
        for (int colour : colours) {
            const QString name = names.value(colour);
            QTest::mouseMove(chart.picture, pixelOf(chart.picture, colour));
            const QString shown = control<QLabel>(w, "lbZoneUnder")->text();
            if (colour == 0 || colour == kWhite) {
                QVERIFY2(shown.isEmpty(), qPrintable(shown));
                continue;
            }
            QVERIFY2(!name.isEmpty() && shown.endsWith(QStringLiteral(": ") + name),
                     qPrintable(QStringLiteral("%1 %2: %3").arg(chart.picture->objectName()).arg(colour).arg(shown)));
            ++named;
        }
    }
    QCOMPARE(named, 58 + 61 + 64 + 63 + 29 + 25);
    QCOMPARE(clickState(), clicked);

    // The other eye's tab brought up under a pointer at rest: the zone now
    // under it is named at once.
    control<QTabWidget>(w, "pcShList")->setCurrentWidget(control<QWidget>(w, "tsDeck"));
    control<QTabWidget>(w, "pcDeckEyes")->setCurrentWidget(control<QWidget>(w, "tsDeckR"));
    ChartPicture *deckR = control<ChartPicture>(w, "imDeckR");
    ChartPicture *deckL = control<ChartPicture>(w, "imDeckL");
    const QPoint rest(deckR->width() / 2 + 40, deckR->height() / 2);
    QTest::mouseMove(deckR, rest);
    QVERIFY(!control<QLabel>(w, "lbZoneUnder")->text().isEmpty());
    control<QTabWidget>(w, "pcDeckEyes")->setCurrentWidget(control<QWidget>(w, "tsDeckL"));
    QCOMPARE(control<QLabel>(w, "lbZoneUnder")->text(),
             QStringLiteral("Зона: ") + namesIn("DeckOrgans.txt").value(state::keyed::colourNumber(deckL->image(), rest)));

    // The list names the zones of the chart on view; one chosen is outlined.
    control<QTabWidget>(w, "pcShList")->setCurrentWidget(control<QWidget>(w, "tsJensen"));
    control<QTabWidget>(w, "pcJensenEyes")->setCurrentWidget(control<QWidget>(w, "tsJensenR"));
    QCOMPARE(control<QListWidget>(w, "lbZones")->count(), 64);
    control<QListWidget>(w, "lbZones")->setCurrentRow(5);
    const int outlined = w->outlinedZone();
    QVERIFY(pixelOf(control<ChartPicture>(w, "imJensenR"), outlined).x() >= 0);
    QCOMPARE(control<QListWidget>(w, "lbZones")->item(5)->text(), namesIn("JensOrgans.txt").value(outlined));
    QCOMPARE(clickState(), clicked);
    QVERIFY(prompter.records.isEmpty());
}

QTEST_MAIN(TestChartWindows)
#include "test_chartwindows.moc"
