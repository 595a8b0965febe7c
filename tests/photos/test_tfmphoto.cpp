// The photo window: a card with two photos, the circles found and the chart
// laid over the iris, a click on an iris names the zone in the chart window
// as a click on the chart does (for every zone of every chart; the mouse over
// it names the zone and sets nothing), "Ввод" puts
// the localised sign through the deep window into the draft conclusion, and
// the irises go into a printed conclusion with and without the chart.
#include "cards/tfmcard.h"
#include "charts/chartpicture.h"
#include "charts/chartsdoor.h"
#include "charts/pictures.h"
#include "charts/tfmpupil.h"
#include "charts/tfmshproek.h"
#include "conclusion/concldoor.h"
#include "conclusion/reachdoor.h"
#include "conclusion/tfmreach.h"
#include "deep/deepdoor.h"
#include "deep/tfmdeep.h"
#include "photos/overlay.h"
#include "photos/photodoor.h"
#include "photos/photostore.h"
#include "photos/photoview.h"
#include "photos/pupilreport.h"
#include "photos/tfmphoto.h"
#include "platform/textfile.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "state/cardlistmodel.h"
#include "state/examination.h"
#include "state/keyedlines.h"
#include "state/openwindow.h"
#include "state/windows.h"
#include "support/examscript.h"
#include "support/scriptedprompter.h"
#include "support/synthiris.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <opencv2/imgproc.hpp>

#include <cmath>

using state::chartgeom::Chart;
using photos::Eye;

namespace {


// The colour of a zone named in an organ file.
int colourOf(const QString &organFile, const QString &name)
{
    for (const QString &line : platform::textfile::readLines(organFile).lines)
        if (line.mid(11) == name)
            return state::keyed::lineKey(line).value_or(-1);
    return -1;
}

struct Setup {
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = nullptr;
    synth::Photo right, left;

    Setup()
    {
        for (const char *f : {"DeckOrgans.txt", "JensOrgans.txt", "ZrachOrgansR.txt", "ZrachOrgansL.txt", "Patology.txt"})
            env.seed(QStringLiteral("SystmTxt/") + QString::fromLatin1(f));
        card = state::openWindow(state::windows().fmCard);
        THuman h(QStringLiteral("Петров"));
        h.LName = QStringLiteral("Олег");
        h.MName = QStringLiteral("Ильич");
        h.Date = QStringLiteral("12.03.2025");
        card->model()->setEntries({CardEntry{QStringLiteral("Петров О.И."), h}});
        prompter.fileNames << env.path("k.lst");
        card->saveCardIndex();
        right = synth::make(QSize(1600, 1200), 41);
        left = synth::make(QSize(1280, 960), 42);
        right.image.save(env.path("right.jpg"), "JPG", 90);
        left.image.save(env.path("left.png"));
        card->selectRow(0);
        card->showPhotos();
        prompter.fileNames << env.path("right.jpg") << env.path("left.png");
        window()->addPhoto(Eye::Right);
        window()->addPhoto(Eye::Left);
    }
    TfmPhoto *window() const { return state::windows().fmPhoto.data(); }
};

double miss(const photos::iris::Circle &a, const photos::iris::Circle &b, double r)
{
    return std::max(std::hypot(a.x - b.x, a.y - b.y), std::abs(a.r - b.r)) / r;
}

} // namespace

class TestTfmPhoto : public QObject {
    Q_OBJECT
private slots:
    void aCardWithTwoPhotosToTheDraft();
    void theEyeIsChecked();
    void aClickKeepsThePhotoWindowInFront();
    void everyZoneOfEveryChartFromAPhoto();
    void circlesAreCorrectedByHand();
    void followsItsCardWhenRenamed();
    void irisesInAPrintedConclusion();
    void irisesInTheFinalEditor();
    void anOfferDoesWhatItsPatchDoes();
    void twoVisitsSideBySide();
};

void TestTfmPhoto::aCardWithTwoPhotosToTheDraft()
{
    Setup s;
    TfmPhoto *w = s.window();
    QVERIFY(w && w->isVisible());
    QCOMPARE(control<QLabel>(w, "lbPatient")->text(), QStringLiteral("Пациент: Петров Олег Ильич, 12.03.2025"));
    QVERIFY(s.prompter.texts().isEmpty());
    // Both photos copied beside the card index, shown, their circles found.
    QCOMPARE(QDir(s.env.path("k.foto")).entryList(QDir::Files).size(), 2);
    for (const auto &[view, add, photo] : {std::tuple{"imRight", "bbAddRight", &s.right}, std::tuple{"imLeft", "bbAddLeft", &s.left}}) {
        QCOMPARE(control<PhotoView>(w, view)->photo().size(), photo->image.size());
        const double r = photo->scene.truth.limbus.r;
        QVERIFY(miss(control<PhotoView>(w, view)->fit().limbus, photo->scene.truth.limbus, r) < 0.02);
        QVERIFY(miss(control<PhotoView>(w, view)->fit().pupil, photo->scene.truth.pupil, r) < 0.02);
        QCOMPARE(control<QPushButton>(w, add)->text(), QStringLiteral("Заменить…"));
    }
    QVERIFY(control<QCheckBox>(w, "chkOverlay")->isChecked());
    QVERIFY(state::cards::cardIndex().isDirty());

    // A sign waits in the deep window for its place; the liver is clicked on the right photo.
    deep::open();
    state::examination().signDocument()->setLines({QStringLiteral("Лакуна: ")});
    state::examination().pathologyDocument()->setLines({QStringLiteral("0113 05 Хронический процесс в органе")});
    w->activateWindow();
    const QString liver = QStringLiteral(" (печень)");
    const int colour = colourOf(s.env.path("SystmTxt/DeckOrgans.txt"), liver);
    const QImage chart = charts::picture(QStringLiteral("imDeckR"));
    const state::chartgeom::IrisPlace place = state::chartgeom::irisPlace(Chart::Deck, QPointF(synth::deepest(chart, colour)) + QPointF(0.5, 0.5));
    PhotoView *view = control<PhotoView>(w, "imRight");
    const QPoint at = view->toWidget(photos::iris::photoPoint(view->fit(), place)).toPoint();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
    // The point clicked is marked on the photo; the chart window has looked
    // it up, and the photo window stays the one in front.
    QVERIFY(view->mark() && QLineF(view->toWidget(*view->mark()), at).length() < 1);
    QCOMPARE(view->grab().toImage().pixelColor(at), QColor(255, 40, 40));
    QVERIFY(!control<PhotoView>(w, "imLeft")->mark());
    QVERIFY(state::windows().fmShProek->isVisible());
    QCOMPARE(charts::chartlinks::shownZone().name, liver);
    QCOMPARE(charts::chartlinks::shownZone().colour, QString::number(colour));
    QCOMPARE(charts::chartlinks::shownZone().code, QStringLiteral("05"));
    QCOMPARE(state::windows().fmShProek->eyeTabOnView(), control<QWidget>(state::windows().fmShProek, "tsDeckR"));
    QVERIFY(control<QLabel>(w, "lbZone")->text().endsWith(liver));
    // The liver chosen in the chart window's list is outlined on the right iris.
    const QList<QListWidgetItem *> listed =
        control<QListWidget>(state::windows().fmShProek, "lbZones")->findItems(QStringLiteral("печень"), Qt::MatchExactly);
    QCOMPARE(listed.size(), 1);
    control<QListWidget>(state::windows().fmShProek, "lbZones")->setCurrentItem(listed.at(0));
    QCOMPARE(control<PhotoView>(w, "imRight")->outline(), colour);
    QCOMPARE(control<PhotoView>(w, "imLeft")->outline(), -1);
    control<QPushButton>(w, "bbOKPhoto")->click();
    QCOMPARE(state::examination().signLines(), QStringList{QStringLiteral("Лакуна: ") + liver});
    QCOMPARE(state::examination().currentPathologyLines(), QStringList{QStringLiteral("0113 05 Хронический процесс в органе") + liver});
    // "Заключение" of the deep window takes it into the draft conclusion.
    state::windows().fmDeep->recordSign();
    QVERIFY(conclusion::concl::lines().join(QLatin1Char('\n')).contains(QStringLiteral("Хронический процесс в органе") + liver));
    QVERIFY(s.prompter.texts().isEmpty());
}

void TestTfmPhoto::theEyeIsChecked()
{
    Setup s;
    TfmPhoto *w = s.window();
    state::examination().signDocument()->setLines({QStringLiteral("Лакуна: ")});
    PhotoView *view = control<PhotoView>(w, "imLeft");
    const QPointF onIris = photos::iris::photoPoint(view->fit(), {0.5, 90});
    control<PhotoView>(w, "imRight")->setMark(QPointF(10, 10));
    w->photoClicked(Eye::Left, onIris);
    QCOMPARE(control<PhotoView>(w, "imLeft")->mark(), std::optional<QPointF>(onIris)); // until the next click, on either photo
    QVERIFY(!control<PhotoView>(w, "imRight")->mark());
    QCOMPARE(state::windows().fmShProek->eyeTabOnView(), control<QWidget>(state::windows().fmShProek, "tsDeckL"));
    QVERIFY(!charts::chartlinks::shownZone().name.isEmpty());
    control<QPushButton>(w, "bbOKPhoto")->click(); // the deep window has the right eye chosen
    QCOMPARE(s.prompter.texts(), QStringList{QStringLiteral("Несоответствие глаза и схемы")});
    QCOMPARE(state::examination().signLines(), QStringList{QStringLiteral("Лакуна: ")});
    // Beyond the limbus nothing is looked up.
    const QString before = charts::chartlinks::shownZone().colour;
    w->photoClicked(Eye::Left, photos::iris::photoPoint(view->fit(), {1.5, 90}));
    QCOMPARE(charts::chartlinks::shownZone().colour, before);
    QCOMPARE(control<QLabel>(w, "lbZone")->text(), QStringLiteral("Зона: щелчок вне радужки"));
}

// The first click on an iris creates the chart window, which looks the zone
// up without coming in front: the photo window stays the active one. A
// window manager puts a window it maps in front; test_tfmphoto_x11 runs
// this on a real display with one.
void TestTfmPhoto::aClickKeepsThePhotoWindowInFront()
{
    Setup s;
    TfmPhoto *w = s.window();
    QVERIFY(!state::windows().fmShProek);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    PhotoView *view = control<PhotoView>(w, "imRight");
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier,
                      view->toWidget(photos::iris::photoPoint(view->fit(), {0.5, 90})).toPoint());
    QVERIFY(state::windows().fmShProek && QTest::qWaitForWindowExposed(state::windows().fmShProek));
    QVERIFY(!charts::chartlinks::shownZone().name.isEmpty());
    QTest::qWait(500); // for what the window manager does with the new window
    QCOMPARE(QApplication::activeWindow(), w);
}

void TestTfmPhoto::everyZoneOfEveryChartFromAPhoto()
{
    Setup s;
    TfmPhoto *w = s.window();
    TfmShProek *charts = state::ensureWindow(state::windows().fmShProek);
    // The photos fitted with their true circles, the heads tilted.
    photos::iris::Fit rightFit = s.right.scene.truth, leftFit = s.left.scene.truth;
    rightFit.turn = 8;
    leftFit.turn = -11;
    control<PhotoView>(w, "imRight")->setFit(rightFit);
    control<PhotoView>(w, "imLeft")->setFit(leftFit);
    int zones = 0;
    for (int c = 0; c < 3; ++c) {
        control<QComboBox>(w, "cbChart")->setCurrentIndex(c);
        const Chart chart = state::chartgeom::kCharts[c];
        for (Eye eye : {Eye::Right, Eye::Left}) {
            const bool rightEye = eye == Eye::Right;
            const photos::iris::Fit &fit = rightEye ? rightFit : leftFit;
            const QImage picture = charts::picture(state::chartgeom::pictureName(chart, rightEye));
            QSet<int> colours;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    colours.insert(state::keyed::colourNumber(picture, QPoint(x, y)));
            colours.remove(0);
            colours.remove(16777215);
            for (int colour : colours) {
                const QPoint inside = synth::deepest(picture, colour);
                PressChart(chart, rightEye, inside);
                const QStringList byChart{control<QLabel>(charts, "Label1")->text(), control<QLineEdit>(charts, "Edit1")->text(), charts->ChartZoneCode};
                control<QLineEdit>(charts, "Edit1")->clear();
                charts->ChartZoneCode.clear();
                const QPointF onPhoto = photos::iris::photoPoint(
                    fit, state::chartgeom::irisPlace(chart, QPointF(inside) + QPointF(0.5, 0.5)));
                const QPointF at(std::floor(onPhoto.x()) + 0.5, std::floor(onPhoto.y()) + 0.5);
                // The mouse over the point names the zone and sets nothing a click sets.
                w->photoHovered(eye, at);
                QVERIFY(control<QLabel>(w, "lbZoneUnder")->text().endsWith(
                    byChart.at(1).trimmed().remove(QRegularExpression(QStringLiteral("^\\(|\\)$")))));
                QVERIFY(control<QLineEdit>(charts, "Edit1")->text().isEmpty() && charts->ChartZoneCode.isEmpty());
                w->photoClicked(eye, at);
                const QStringList byPhoto{control<QLabel>(charts, "Label1")->text(), control<QLineEdit>(charts, "Edit1")->text(), charts->ChartZoneCode};
                QCOMPARE(byPhoto, byChart);
                QVERIFY(!byChart.at(1).isEmpty());
                QCOMPARE(charts->eyeTabOnView()->objectName().endsWith(rightEye ? 'R' : 'L'), true);
                ++zones;
            }
        }
    }
    QCOMPARE(zones, 58 + 61 + 64 + 63 + 29 + 25);
    QVERIFY(s.prompter.texts().isEmpty());
}

void TestTfmPhoto::circlesAreCorrectedByHand()
{
    Setup s;
    TfmPhoto *w = s.window();
    PhotoView *view = control<PhotoView>(w, "imRight");
    const photos::iris::Fit before = view->fit();
    // The limbus's rim dragged outwards by 20 screen pixels at 3:00.
    const QPointF rim = view->toWidget(QPointF(before.limbus.x + before.limbus.r, before.limbus.y));
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, rim.toPoint());
    QTest::mouseMove(view, (rim + QPointF(10, 0)).toPoint());
    QTest::mouseMove(view, (rim + QPointF(20, 0)).toPoint());
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, (rim + QPointF(20, 0)).toPoint());
    const photos::iris::Fit after = view->fit();
    QVERIFY(std::abs(after.limbus.r - (before.limbus.r + 20 / view->zoom())) < 2 / view->zoom());
    QCOMPARE(after.pupil, before.pupil);
    // The head's tilt typed in; both are kept in the index.
    control<QDoubleSpinBox>(w, "seTurnRight")->setValue(-6.5);
    QCOMPARE(view->fit().turn, -6.5);
    const photos::Photo &stored = photos::store().index().photos.at(w->photoShown(Eye::Right));
    QCOMPARE(stored.fit->limbus.r, after.limbus.r);
    QCOMPARE(stored.fit->turn, -6.5);
    // A click that drags nothing names a zone; a drag moves the photo instead.
    control<QPushButton>(w, "bbActual")->click();
    QCOMPARE(view->zoom(), 1.0);
    control<QPushButton>(w, "bbZoomIn")->click();
    QCOMPARE(view->zoom(), 1.25);
    control<QPushButton>(w, "bbFit")->click();
    QVERIFY(view->fitsWindow());
    // "Найти круги" finds them again.
    control<QPushButton>(w, "bbFindRight")->click();
    QVERIFY(miss(view->fit().limbus, s.right.scene.truth.limbus, s.right.scene.truth.limbus.r) < 0.02);
    // Shown one at a time.
    control<QComboBox>(w, "cbShow")->setCurrentIndex(2);
    QVERIFY(!control<QGroupBox>(w, "gbRight")->isVisible() && control<QGroupBox>(w, "gbLeft")->isVisible());
}

void TestTfmPhoto::followsItsCardWhenRenamed()
{
    Setup s;
    s.card->selectRow(0);
    s.card->takeOutCard();
    control<QLineEdit>(s.card, "FNameEdit")->setText(QStringLiteral("Петровский"));
    s.card->writeBackCard();
    TfmPhoto *w = s.window();
    QCOMPARE(control<QLabel>(w, "lbPatient")->text(), QStringLiteral("Пациент: Петровский Олег Ильич, 12.03.2025"));
    QVERIFY(w->photoShown(Eye::Right) >= 0 && w->photoShown(Eye::Left) >= 0);
    // Deleted: the window shows nothing more of it.
    s.card->selectRow(0);
    s.card->deleteCard();
    QCOMPARE(w->photoShown(Eye::Right), -1);
    QVERIFY(control<PhotoView>(w, "imRight")->photo().isNull());
    QCOMPARE(control<QComboBox>(w, "cbOrphans")->count(), 2);
}

namespace {

int picturesIn(const QTextDocument &doc)
{
    int n = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            n += it.fragment().charFormat().isImageFormat();
    return n;
}

} // namespace

// The final editor inserts the irises at the caret, and they survive its RTF
// file.
void TestTfmPhoto::irisesInTheFinalEditor()
{
    Setup s;
    conclusion::reach::open();
    TfmReach *editor = state::windows().fmReach.data();
    control<ReachEditor>(editor, "Editor")->setPlainText(QStringLiteral("Заключение иридолога"));
    editor->InsertIrisPhotos(true);
    QCOMPARE(picturesIn(*control<ReachEditor>(editor, "Editor")->document()), 2);
    QTextDocument reread;
    QVERIFY(rtf::read(rtf::write(*control<ReachEditor>(editor, "Editor")->document()), &reread).ok);
    QCOMPARE(picturesIn(reread), 2);
    QVERIFY(reread.toPlainText().contains(QStringLiteral("Правый глаз, схема Deck")));
}

void TestTfmPhoto::irisesInAPrintedConclusion()
{
    Setup s;
    const QList<photos::Picture> plain = photos::photo::conclusionPictures(false);
    const QList<photos::Picture> charted = photos::photo::conclusionPictures(true);
    QCOMPARE(plain.size(), 2);
    QCOMPARE(plain.at(0).caption, QStringLiteral("Правый глаз"));
    QCOMPARE(charted.at(1).caption, QStringLiteral("Левый глаз, схема Deck"));
    QCOMPARE(plain.at(0).image.width(), 480);
    QVERIFY(plain.at(0).image != charted.at(0).image);

    QString documentText;
    const auto pdfSize = [&](const QList<photos::Picture> &pictures) -> qint64 {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("Заключение иридолога"));
        cursor.insertBlock();
        photos::insertPictures(cursor, pictures);
        cursor.insertText(QStringLiteral("Подпись"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString file = s.env.path(QStringLiteral("c%1.pdf").arg(pictures.size()));
        printer.setOutputFileName(file);
        doc.print(&printer);
        documentText = doc.toPlainText();
        return QFileInfo(file).size();
    };
    const qint64 textOnly = pdfSize({});
    const qint64 withPhotos = pdfSize(charted);
    QVERIFY(documentText.contains(QStringLiteral("Правый глаз, схема Deck")));
    QVERIFY(documentText.endsWith(QStringLiteral("Подпись")));
    QVERIFY2(withPhotos > textOnly + 50000, qPrintable(QStringLiteral("%1 %2").arg(textOnly).arg(withPhotos)));

    // Where the chart shows the liver, the picture leans to the liver's colour.
    const photos::iris::Fit &fit = photos::store().index().photos.at(s.window()->photoShown(Eye::Right)).fit.value();
    const int liver = colourOf(s.env.path("SystmTxt/DeckOrgans.txt"), QStringLiteral(" (печень)"));
    const QImage chart = charts::picture(QStringLiteral("imDeckR"));
    const QPointF at = photos::iris::photoPoint(fit, state::chartgeom::irisPlace(Chart::Deck, QPointF(synth::deepest(chart, liver)) + QPointF(0.5, 0.5)));
    const QImage overlay = photos::chartOverlay(fit, Chart::Deck, true, QRectF(at - QPointF(1, 1), QSizeF(2, 2)), QSize(1, 1));
    const QRgb c = overlay.pixel(0, 0);
    QCOMPARE(qAlpha(c), photos::kOverlayAlpha);
    QCOMPARE(qRed(c) + 256 * qGreen(c) + 65536 * qBlue(c),
             (liver & 255) * photos::kOverlayAlpha / 255 + 256 * (((liver >> 8) & 255) * photos::kOverlayAlpha / 255) +
                 65536 * (((liver >> 16) & 255) * photos::kOverlayAlpha / 255));
}

namespace {

// What the examination shows of the sign being chosen, and the messages.
struct Chosen {
    QStringList signs, pathology;
    QList<int> codes;
    state::Eye eye;
    QStringList messages;
    bool operator==(const Chosen &) const = default;
};

Chosen chosen(const ScriptedPrompter &prompter)
{
    const state::Examination &exam = state::examination();
    return {exam.signLines(), exam.currentPathologyLines(), exam.signCodes(), exam.chosenEye(), prompter.texts()};
}

// No sign, no codes, the other eye chosen, no messages.
void startOver(ScriptedPrompter &prompter, const photos::iris::Offer &offer)
{
    state::examination().clearSign();
    ExaminationScript().SignCodes.clear();
    state::examination().chooseEye(offer.rightEye ? state::Eye::Left : state::Eye::Right);
    prompter.clear();
}

// The user's own way to the offered sign: the eye chosen in the deep
// window, then the mouse on the diagram's patch, or the sign menu's item.
void byHand(const photos::iris::Offer &offer)
{
    deep::open();
    (offer.rightEye ? control<QRadioButton>(state::windows().fmDeep, "rbRight") : control<QRadioButton>(state::windows().fmDeep, "rbLeft"))->click();
    if (offer.source == photos::iris::Source::Catalogue) {
        control<QMenuBar>(state::windows().fmDeep, "MenuDeep")->findChild<QAction *>(offer.item)->trigger();
        return;
    }
    OpenPupilWindow(QStringLiteral("tsFlatten"));
    auto *picture = state::windows().fmPupil->findChild<ChartPicture *>(offer.picture);
    for (QWidget *w = picture; w->parentWidget(); w = w->parentWidget())
        if (auto *tabs = qobject_cast<QTabWidget *>(w->parentWidget()->parentWidget()))
            tabs->setCurrentWidget(w);
    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, offer.pixel);
}

} // namespace

// A pupil that passes a threshold is offered as a sign and nothing enters
// the examination until the offer is pressed; the press then leaves the
// examination (sign, pathology lines, codes, eye, messages) exactly as the
// user's click on the same patch or menu item does, for every kind of offer.
void TestTfmPhoto::anOfferDoesWhatItsPatchDoes()
{
    Setup s;
    for (const char *f : {"Decentr.txt", "FlatRorL.txt", "FlatBoth.txt"})
        s.env.seed(QStringLiteral("SystmTxt/") + QString::fromLatin1(f));
    TfmPhoto *w = s.window();
    // The right pupil moved towards 9:00 by 12 % of the iris's radius.
    synth::Scene scene = s.right.scene;
    const photos::iris::Circle &l = scene.truth.limbus;
    scene.truth.pupil = {l.x - 0.12 * l.r, l.y, 0.3 * l.r};
    synth::render(scene, s.right.image.size(), 7).save(s.env.path("shifted.png"));
    s.prompter.fileNames << s.env.path("shifted.png");
    w->addPhoto(Eye::Right);
    QVERIFY(control<QLabel>(w, "lbPupilRight")->text().contains(QStringLiteral("Децентрация зрачка на 9.00")));
    const QList<QPushButton *> offered = control<QWidget>(w, "gbOffersRight")->findChildren<QPushButton *>();
    QCOMPARE(offered.size(), 1);
    QCOMPARE(offered.at(0)->text(), QStringLiteral("Предложено: Децентрация зрачка на 9.00"));
    // An offer under one photo only: the two photos keep one height.
    QApplication::processEvents(); // the layout settles
    QCOMPARE(control<PhotoView>(w, "imLeft")->height(), control<PhotoView>(w, "imRight")->height());
    QVERIFY(state::examination().signLines().isEmpty() && state::examination().signCodes().isEmpty());
    photos::iris::Offer decentred = w->offers().at(0);
    startOver(s.prompter, decentred);
    byHand(decentred);
    const Chosen clicked = chosen(s.prompter);
    startOver(s.prompter, decentred);
    offered.at(0)->click();
    QCOMPARE(chosen(s.prompter), clicked);
    QCOMPARE(clicked.codes, QList<int>{772});

    // Every kind of offer: decentration, one pupil flattened, both, the catalogue's signs.
    using photos::iris::FlatGrade;
    using photos::iris::PupilSize;
    const auto eye = [](double ratio, PupilSize size, double shift, double shiftClock, FlatGrade flat,
                        double flatClock) {
        photos::iris::PupilMeasures m;
        m.ratio = ratio;
        m.size = size;
        m.decentration = shift;
        m.decentrationClock = shiftClock;
        m.shaped = true;
        m.flat = flat;
        m.flatHours = flat == FlatGrade::None ? 0 : 2.5;
        m.flatClock = flatClock;
        return m;
    };
    const auto round = PupilSize::Normal;
    const struct {
        photos::iris::PupilMeasures right, left;
        int offers;
    } visits[] = {
        {eye(0.27, round, 10, 270, FlatGrade::Moderate, 315), eye(0.27, round, 10, 90, FlatGrade::None, 0), 3},
        {eye(0.35, round, 0, 0, FlatGrade::Slight, 90), eye(0.35, round, 0, 0, FlatGrade::Slight, 270), 2},
        {eye(0.45, PupilSize::Mydriasis, 0, 0, FlatGrade::None, 0), eye(0.25, round, 0, 0, FlatGrade::None, 0), 2},
    };
    for (const auto &v : visits) {
        const std::vector<photos::iris::Offer> offers = photos::iris::pupilOffers(v.right, v.left);
        QCOMPARE(int(offers.size()), v.offers);
        for (const photos::iris::Offer &o : offers) {
            startOver(s.prompter, o);
            byHand(o);
            const Chosen byClick = chosen(s.prompter);
            QVERIFY(!byClick.signs.isEmpty() && !byClick.codes.isEmpty());
            startOver(s.prompter, o);
            w->takeOffer(o);
            QCOMPARE(chosen(s.prompter), byClick);
        }
    }
}

QTEST_MAIN(TestTfmPhoto)
namespace {

void drag(QWidget *w, QPoint from, QPoint to)
{
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    for (int k = 1; k <= 4; ++k) {
        const QPointF at = from + (to - from) * (k / 4.0);
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
}

void sameFraming(PhotoView *a, PhotoView *b)
{
    QVERIFY(a->framing() && b->framing());
    QCOMPARE(b->framing()->pixelsPerRadius, a->framing()->pixelsPerRadius);
    QVERIFY(QLineF(a->framing()->centre, b->framing()->centre).length() < 1e-9);
}

} // namespace

// An earlier visit is typed in and photographed; each visit shows its own
// photos under its date, and one eye at both visits is shown side by side,
// zoomed and moved together, with the measures of both, through a card
// rename, and into the final editor.
void TestTfmPhoto::twoVisitsSideBySide()
{
    Setup s;
    TfmPhoto *w = s.window();
    const QString today = photos::today();
    const QString earlier = QStringLiteral("12.03.2025");
    const int todays = w->photoShown(Eye::Right);
    QCOMPARE(w->visits(), QStringList{today});
    auto *visit = control<QComboBox>(w, "cbVisit");
    visit->lineEdit()->setText(earlier);
    QTest::keyClick(visit->lineEdit(), Qt::Key_Return);
    QCOMPARE(w->visit(), earlier);
    QCOMPARE(w->photoShown(Eye::Right), -1);
    QCOMPARE(control<QGroupBox>(w, "gbRight")->title(), QStringLiteral("Правый глаз, осмотр ") + earlier);
    const synth::Photo then = synth::make(QSize(1024, 768), 43);
    then.image.save(s.env.path("then.png"));
    s.prompter.fileNames << s.env.path("then.png");
    control<QPushButton>(w, "bbAddRight")->click();
    QCOMPARE(w->visits(), (QStringList{earlier, today}));
    const int thens = w->photoShown(Eye::Right);
    QVERIFY(thens >= 0 && thens != todays);
    QCOMPARE(control<PhotoView>(w, "imRight")->photo().size(), then.image.size());
    QVERIFY(control<PhotoView>(w, "imLeft")->photo().isNull());
    // The visits listed newest first; choosing one shows its photos.
    QCOMPARE(visit->itemData(0).toString(), today);
    emit visit->activated(0);
    QCOMPARE(w->photoShown(Eye::Right), todays);
    QVERIFY(!control<PhotoView>(w, "imLeft")->photo().isNull());

    // The right eye at both visits: today's on the left, the earlier beside it.
    control<QComboBox>(w, "cbShow")->setCurrentIndex(3);
    QVERIFY(w->comparison());
    QCOMPARE(w->comparison()->other, earlier);
    QCOMPARE(w->comparison()->photo, todays);
    QCOMPARE(w->comparison()->otherPhoto, thens);
    QCOMPARE(control<QGroupBox>(w, "gbLeft")->title(), QStringLiteral("Правый глаз, осмотр ") + earlier);
    PhotoView *first = control<PhotoView>(w, "imRight");
    PhotoView *second = control<PhotoView>(w, "imLeft");
    QCOMPARE(second->photo().size(), then.image.size());
    sameFraming(first, second);
    // Both irises in the middle of their views, however each photo was taken.
    QVERIFY(QLineF(first->framing()->centre, QPointF(0, 0)).length() < 0.02);
    control<QPushButton>(w, "bbZoomIn")->click();
    control<QPushButton>(w, "bbZoomIn")->click();
    sameFraming(first, second);
    drag(first, QPoint(6, first->height() - 6), QPoint(60, first->height() - 30));
    sameFraming(first, second);
    drag(second, QPoint(6, 6), QPoint(40, 50));
    sameFraming(first, second);
    QVERIFY(std::abs(first->zoom() / second->zoom() - then.scene.truth.limbus.r / s.right.scene.truth.limbus.r) < 0.05);
    // The measures of both, the change between them, and no sign offered
    // from a comparison.
    QVERIFY(!control<QLabel>(w, "lbPupilRight")->text().isEmpty());
    QVERIFY(!control<QLabel>(w, "lbPupilLeft")->text().isEmpty());
    QVERIFY(control<QLabel>(w, "lbAnisocoria")->text().startsWith(QStringLiteral("С %1 по %2: зрачок ").arg(earlier, today)));
    QVERIFY(w->offers().empty());

    // The card renamed: both visits follow it.
    s.card->selectRow(0);
    s.card->takeOutCard();
    control<QLineEdit>(s.card, "FNameEdit")->setText(QStringLiteral("Петровский"));
    s.card->writeBackCard();
    QCOMPARE(w->visits(), (QStringList{earlier, today}));
    QVERIFY(w->comparison() && w->comparison()->photo == todays && w->comparison()->otherPhoto == thens);

    // The final editor inserts the comparison, earlier first, and keeps it in its file.
    conclusion::reach::open();
    TfmReach *editor = state::windows().fmReach.data();
    control<ReachEditor>(editor, "Editor")->setPlainText(QStringLiteral("Заключение иридолога"));
    editor->InsertVisitComparison();
    const QString text = control<ReachEditor>(editor, "Editor")->document()->toPlainText();
    QCOMPARE(picturesIn(*control<ReachEditor>(editor, "Editor")->document()), 2);
    QVERIFY(text.indexOf(QStringLiteral("Правый глаз, осмотр ") + earlier) < text.indexOf(QStringLiteral("Правый глаз, осмотр ") + today));
    QVERIFY(text.contains(QStringLiteral("Правый глаз. С %1 по %2: зрачок ").arg(earlier, today)));
    QTextDocument reread;
    QVERIFY(rtf::read(rtf::write(*control<ReachEditor>(editor, "Editor")->document()), &reread).ok);
    QCOMPARE(picturesIn(reread), 2);
    QCOMPARE(s.prompter.texts(), QStringList());
}

#include "test_tfmphoto.moc"
