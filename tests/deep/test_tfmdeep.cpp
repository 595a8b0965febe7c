// The deep examination window: its controls, the modified flag of the sign
// box, "Заключение" with the preliminary conclusion in the draft window, the
// failure guard, and help.
#include "conclusion/concldoor.h"
#include "conclusion/newpatient.h"
#include "conclusion/tfmconcl.h"
#include "deep/tfmdeep.h"
#include "help/help.h"
#include "help/helpviewer.h"
#include "platform/textfile.h"
#include "state/examination.h"
#include "state/openwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QString kDictionary = QStringLiteral("SystmTxt/Patology.txt");
const QString kFailed = QStringLiteral("Ошибка при записи в mmConcl");

QString u16(const char16_t *text)
{
    return QString::fromUtf16(text);
}

TfmDeep *openDeep()
{
    return state::openWindow(state::windows().fmDeep);
}

state::Examination &exam()
{
    return state::examination();
}

QStringList draft()
{
    return conclusion::concl::lines();
}

} // namespace

class TestTfmDeep : public QObject {
    Q_OBJECT
private slots:
    void controls();
    void systemsListIsInformationOnly();
    void signModifiedFlag();
    void pressWithoutSignDoesNothing();
    void firstRecordingRightEye();
    void twoEyeExaminationMatchesGolden();
    void ampersandsRemovedFromStoredSigns();
    void pressingTwiceRecordsTwice();
    void failureGuard();
    void failureOnFirstRecordingKeepsReplacing();
    void newPatientStartsOver();
    void helpOpensDeepTopic();
    void doorReadsAndWritesTheBoxes();
};

void TestTfmDeep::controls()
{
    TestEnv env;
    TfmDeep *w = openDeep();
    QCOMPARE(w->windowTitle(), QStringLiteral("Углубленная диагностика"));
    // Outer size 373 x 469: the controls fit into it without being cut.
    QCOMPARE(w->size(), QSize(373, 469));
    QVERIFY(w->minimumSizeHint().width() <= 373 - 16);
    QVERIFY(w->minimumSizeHint().height() <= 469 - 40);
    QCOMPARE(w->pos(), QPoint(1, 96));
    QVERIFY(w->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(control<QMenuBar>(w, "MenuDeep") && control<QMenuBar>(w, "MenuDeep")->parentWidget() == w);

    QCOMPARE(control<QGroupBox>(w, "gbEye")->title(), QStringLiteral("Глаз"));
    QCOMPARE(control<QRadioButton>(w, "rbRight")->text(), QStringLiteral("Правый"));
    QCOMPARE(control<QRadioButton>(w, "rbLeft")->text(), QStringLiteral("Левый"));
    QVERIFY(control<QRadioButton>(w, "rbRight")->isChecked() && !control<QRadioButton>(w, "rbLeft")->isChecked());
    QCOMPARE(control<QGroupBox>(w, "gbSign")->title(), QStringLiteral("Признак"));
    QCOMPARE(control<QGroupBox>(w, "gbPathology")->title(), QStringLiteral("Патологии"));
    QCOMPARE(control<QPushButton>(w, "bbOKDeep")->text(), QStringLiteral("Заключение"));
    QCOMPARE(control<QPushButton>(w, "bbHelpDeep")->text(), QStringLiteral("Помощь"));
    QVERIFY(!control<Memo>(w, "mmSign")->isReadOnly() && !control<Memo>(w, "mmPathology")->isReadOnly());
    QCOMPARE(control<Memo>(w, "mmSign")->lineCount(), 0);
    QCOMPARE(control<Memo>(w, "mmPathology")->lineCount(), 0);

    const QList<QPair<QWidget *, QString>> hints = {
        {control<QGroupBox>(w, "gbEye"), QStringLiteral("Глаз: правый или левый")},
        {control<Memo>(w, "mmSign"), QStringLiteral("Наименование заданного признака")},
        {control<Memo>(w, "mmPathology"), QStringLiteral("Патологии, соответствующие заданному признаку")},
        {control<QComboBox>(w, "cbSystems"), QStringLiteral("Кодировка разделов заключения")},
        {control<QPushButton>(w, "bbOKDeep"), QStringLiteral("Просмотр полученных результатов в окне заключения")},
        {control<QPushButton>(w, "bbHelpDeep"), QStringLiteral("Справка по разделу \"Углубленная диагностика\"")},
    };
    for (const auto &[widget, hint] : hints) {
        QCOMPARE(widget->toolTip(), hint);
        QCOMPARE(widget->statusTip(), hint);
        QVERIFY(!widget->accessibleName().isEmpty());
    }
    QCOMPARE(control<Memo>(w, "mmSign")->accessibleName(), QStringLiteral("Признак"));
    QCOMPARE(control<Memo>(w, "mmPathology")->accessibleName(), QStringLiteral("Патологии"));
}

void TestTfmDeep::systemsListIsInformationOnly()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmDeep *w = openDeep();
    QVERIFY(control<QComboBox>(w, "cbSystems")->isEditable());
    QCOMPARE(control<QComboBox>(w, "cbSystems")->currentText(), QStringLiteral(" Разделы заключения иридолога"));
    QStringList items;
    for (int i = 0; i < control<QComboBox>(w, "cbSystems")->count(); ++i)
        items << control<QComboBox>(w, "cbSystems")->itemText(i);
    QCOMPARE(items, QStringList({
        u16(u"  1    Обшие характеристики"),
        u16(u"  2    Нервная система"),
        u16(u"  3    Сердечно-сосудистая система"),
        u16(u"  4    Дыхательная система"),
        u16(u"  5    Пищеварительная система"),
        u16(u"  6    Мочевыделительная и половая системы"),
        u16(u"  7    Эндокринная система"),
        u16(u"  8    Опорно-двигательная"),
        u16(u"  9    Кожа"),
        u16(u" 10   Органы зрения и ЛОР"),
        u16(u" 11   Рекомендации"),
    }));
    control<QComboBox>(w, "cbSystems")->setCurrentIndex(4);
    QTest::keyClicks(control<QComboBox>(w, "cbSystems")->lineEdit(), QStringLiteral("x"));
    QTest::keyClick(control<QComboBox>(w, "cbSystems")->lineEdit(), Qt::Key_Return);
    QCOMPARE(control<QComboBox>(w, "cbSystems")->count(), 11);
    QVERIFY(!state::windows().fmConcl);
    QVERIFY(prompter.records.isEmpty());
}

void TestTfmDeep::signModifiedFlag()
{
    TestEnv env;
    TfmDeep *w = openDeep();
    Memo *m = control<Memo>(w, "mmSign");
    QVERIFY(!m->modified());

    // Written by a program part, in whole or line by line.
    m->setLines({QStringLiteral("sign")});
    QVERIFY(m->modified());
    m->clearLines();
    QVERIFY(!m->modified());
    m->appendLine(QStringLiteral("sign"));
    QVERIFY(m->modified());
    m->clearLines();
    m->setLines({QStringLiteral("a"), QStringLiteral("b")});
    QVERIFY(m->modified());
    m->appendLine(QStringLiteral(" - zone")); // the chart extends the sign
    QVERIFY(m->modified());

    // Typed by the user, then emptied by the user: stays modified.
    m->clearLines();
    QVERIFY(!m->modified());
    QTest::keyClicks(m, QStringLiteral("typed"));
    QVERIFY(m->modified());
    m->selectAll();
    QTest::keyClick(m, Qt::Key_Delete);
    QCOMPARE(m->lineCount(), 0);
    QVERIFY(m->modified());

    // Even an undo back to the emptied state is the user's own change.
    m->clearLines();
    QTest::keyClicks(m, QStringLiteral("x"));
    m->undo();
    QCOMPARE(m->lineCount(), 0);
    QVERIFY(m->modified());

    // Recording does not clear it.
    m->setLines({QStringLiteral("sign")});
    control<QPushButton>(w, "bbOKDeep")->click();
    QVERIFY(m->modified());
}

void TestTfmDeep::pressWithoutSignDoesNothing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmDeep *w = openDeep();
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 01 typed into the pathology box only")});
    exam().setConclMode(2);
    control<QPushButton>(w, "bbOKDeep")->click();
    QCOMPARE(exam().conclMode(), 0);
    QCOMPARE(exam().deepPassCount(), 0);
    QCOMPARE(exam().pathologyLines().size(), 0);
    QVERIFY(!state::windows().fmConcl);
    QVERIFY(prompter.records.isEmpty());
}

void TestTfmDeep::firstRecordingRightEye()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmDeep *w = openDeep();
    control<Memo>(w, "mmSign")->setLines({u16(u"Лакуна: открытая")});
    control<Memo>(w, "mmPathology")->setLines({u16(u"0043 05 Язва желудка"), u16(u"0043 01 Слабость организма")});
    exam().setConclMode(1);
    control<QPushButton>(w, "bbOKDeep")->click();
    QVERIFY(state::windows().fmConcl && state::windows().fmConcl->isVisible());
    QCOMPARE(draft(), QStringList({
        QString(39, QLatin1Char(' ')) + u16(u"КАРТА ОСМОТРА:"),
        u16(u"Правый глаз:"),
        u16(u"Лакуна: открытая"),
        QString(31, QLatin1Char(' ')) + u16(u"ЗАКЛЮЧЕНИЕ ИРИДОЛОГА:"),
        QString(9, QLatin1Char(' ')) + u16(u"ОБЩАЯ ХАРАКТЕРИСТИКА ОРГАНИЗМА:"),
        u16(u"Слабость организма"),
        QString(9, QLatin1Char(' ')) + u16(u"ПИЩЕВАРИТЕЛЬНАЯ СИСТЕМА:"),
        u16(u"Язва желудка"),
        u16(u"Консультации: терапевта, гастроэнтеролога, "),
    }));
    QCOMPARE(exam().conclMode(), 0);
    QCOMPARE(exam().deepPassCount(), 1);
    QCOMPARE(exam().leftEyeSigns().size(), 0);
    QVERIFY(prompter.records.isEmpty());
}

void TestTfmDeep::twoEyeExaminationMatchesGolden()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeLines(kDictionary, {
        u16(u"0043 05 Язвенный дефект слизистой желудка"),
        u16(u"0043 01 Сниженная адаптационная способность организма"),
        u16(u"0059 03 Склонность к спазму коронарных сосудов"),
        u16(u"0113 05 Хронический гастродуоденит"),
        u16(u"0113 11 Дробное питание, исключить острое и жареное"),
        u16(u"0200 10 Хронический тонзиллит"),
    });
    TfmDeep *w = openDeep();
    exam().chooseSign(u16(u"Лакуна: &открытая"), {113, 43});
    control<QPushButton>(w, "bbOKDeep")->click();
    control<QRadioButton>(w, "rbLeft")->click();
    exam().chooseSign(u16(u"Кольца: нервно-мышечные"), {59, 113});
    // The iridologist adds a line of his own, ending it with a line break.
    QTest::keyClick(control<Memo>(w, "mmSign"), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(control<Memo>(w, "mmSign"), Qt::Key_Return);
    control<Memo>(w, "mmSign")->insertPlainText(u16(u"Радиальная борозда: сектор 11 ч\n"));
    control<QPushButton>(w, "bbOKDeep")->click();
    QVERIFY(prompter.records.isEmpty());

    const platform::textfile::ReadResult golden =
        platform::textfile::readLines(TestEnv::testDataPath(QStringLiteral("deep/golden/preliminary_two_eyes.txt")));
    QVERIFY(golden.ok);
    const QStringList shown = draft();
    for (int i = 0; i < qMin(shown.size(), golden.lines.size()); ++i)
        QCOMPARE(shown.at(i), golden.lines.at(i));
    QCOMPARE(shown.size(), golden.lines.size());
    QCOMPARE(exam().uniquePathologyLines().size(), 5);
    QCOMPARE(exam().pathologyLines().size(), 7);
}

void TestTfmDeep::ampersandsRemovedFromStoredSigns()
{
    TestEnv env;
    TfmDeep *w = openDeep();
    control<Memo>(w, "mmSign")->setLines({u16(u"&Кольца && полукольца")});
    control<QPushButton>(w, "bbOKDeep")->click();
    QCOMPARE(draft().value(2), u16(u"Кольца  полукольца"));
    QCOMPARE(exam().rightEyeSigns().value(0), u16(u"Кольца  полукольца"));
    // The box keeps what it showed.
    QCOMPARE(control<Memo>(w, "mmSign")->line(0), u16(u"&Кольца && полукольца"));
}

void TestTfmDeep::pressingTwiceRecordsTwice()
{
    TestEnv env;
    TfmDeep *w = openDeep();
    control<Memo>(w, "mmSign")->setLines({QStringLiteral("S")});
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 02 P"), QStringLiteral("0001 02 P")});
    control<QPushButton>(w, "bbOKDeep")->click();
    // The first recording keeps the repeat, under one heading.
    QCOMPARE(draft().mid(4, 3), QStringList({QString(9, QLatin1Char(' ')) + u16(u"НЕРВНАЯ СИСТЕМА:"), QStringLiteral("P"), QStringLiteral("P")}));
    control<QPushButton>(w, "bbOKDeep")->click();
    QCOMPARE(exam().rightEyeSigns(), QStringList({QStringLiteral("S"), QStringLiteral("S")}));
    QCOMPARE(exam().uniquePathologyLines(), QStringList{QStringLiteral("0001 02 P")});
    QCOMPARE(exam().deepPassCount(), 2);
}

void TestTfmDeep::failureGuard()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmDeep *w = openDeep();
    control<Memo>(w, "mmSign")->setLines({QStringLiteral("first")});
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 03 heart")});
    control<QPushButton>(w, "bbOKDeep")->click();
    const QStringList before = draft();
    state::windows().fmConcl->hide();

    control<QRadioButton>(w, "rbLeft")->setChecked(true);
    control<Memo>(w, "mmSign")->setLines({QStringLiteral("se&cond")});
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 04 lungs"), QStringLiteral("0113")});
    exam().setConclMode(2);
    control<QPushButton>(w, "bbOKDeep")->click();
    QCOMPARE(prompter.texts(), QStringList{kFailed});
    QCOMPARE(exam().conclMode(), 0);
    QCOMPARE(exam().deepPassCount(), 1);
    // Recorded as typed: the "&" goes only when the draft is written.
    QCOMPARE(exam().leftEyeSigns(), QStringList{QStringLiteral("se&cond")});
    QCOMPARE(exam().pathologyLines().size(), 3);
    QCOMPARE(exam().uniquePathologyLines().size(), 3);
    QCOMPARE(exam().findingLines().size(), 2); // from the first press
    QCOMPARE(exam().consultLines().value(0), u16(u"Консультации: кардиолога, "));
    QCOMPARE(draft(), before);
    QVERIFY(!state::windows().fmConcl->isVisible());
}

void TestTfmDeep::failureOnFirstRecordingKeepsReplacing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmDeep *w = openDeep();
    control<Memo>(w, "mmSign")->setLines({QStringLiteral("bad")});
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 xx typed by hand")});
    control<QPushButton>(w, "bbOKDeep")->click();
    QCOMPARE(prompter.texts(), QStringList{kFailed});
    QCOMPARE(exam().deepPassCount(), 0);
    QVERIFY(!state::windows().fmConcl);

    control<Memo>(w, "mmSign")->setLines({QStringLiteral("good")});
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 09 skin")});
    control<QPushButton>(w, "bbOKDeep")->click();
    QCOMPARE(prompter.records.size(), 1);
    QCOMPARE(exam().rightEyeSigns(), QStringList{QStringLiteral("good")});
    QCOMPARE(draft().constLast(), u16(u"Консультации: дерматолога, "));
}

void TestTfmDeep::newPatientStartsOver()
{
    TestEnv env;
    TfmDeep *w = openDeep();
    control<Memo>(w, "mmSign")->setLines({QStringLiteral("old patient")});
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 05 old")});
    control<QPushButton>(w, "bbOKDeep")->click();
    control<QPushButton>(w, "bbOKDeep")->click();
    conclusion::concl::newPatientReset();
    QVERIFY(!control<Memo>(w, "mmSign")->modified());
    control<QPushButton>(w, "bbOKDeep")->click(); // nothing chosen since the reset
    QCOMPARE(draft(), QStringList{});

    control<Memo>(w, "mmSign")->setLines({QStringLiteral("new patient")});
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0001 07 new")});
    control<QPushButton>(w, "bbOKDeep")->click();
    QCOMPARE(exam().rightEyeSigns(), QStringList{QStringLiteral("new patient")});
    QCOMPARE(exam().uniquePathologyLines(), QStringList{QStringLiteral("0001 07 new")});
    QCOMPARE(draft().constLast(), u16(u"Консультации: эндокринолога, "));
}

void TestTfmDeep::helpOpensDeepTopic()
{
    TestEnv env;
    ScriptedPrompter prompter;
    help::setHelpFile(QStringLiteral("other.hlp"));
    TfmDeep *w = openDeep();
    control<QPushButton>(w, "bbHelpDeep")->click();
    QCOMPARE(help::helpFile(), QStringLiteral(".\\Nirel3hlp\\NIREL3HELP.HLP"));
    QVERIFY(HelpViewer::existing());
    QCOMPARE(HelpViewer::existing()->currentFile(), QStringLiteral(".\\Nirel3hlp\\NIREL3HELP.HLP"));
    QVERIFY(prompter.records.isEmpty());
}

// What the chart and pupil windows use: the eye, and the sign and
// pathology lines the boxes show, chosen, named, emptied and localised.
void TestTfmDeep::doorReadsAndWritesTheBoxes()
{
    TestEnv env;
    QCOMPARE(exam().chosenEye(), state::Eye::Right);
    QCOMPARE(exam().signLines(), QStringList{});
    TfmDeep *w = openDeep();
    control<QRadioButton>(w, "rbLeft")->setChecked(true);
    QCOMPARE(exam().chosenEye(), state::Eye::Left);
    exam().chooseEye(state::Eye::Right);
    QVERIFY(control<QRadioButton>(w, "rbRight")->isChecked());

    exam().clearSign();
    QVERIFY(!control<Memo>(w, "mmSign")->modified());
    exam().choosePupilVariant(u16(u"Лакуна: "), std::nullopt);
    QVERIFY(control<Memo>(w, "mmSign")->modified());
    exam().localise(u16(u"печень"), QStringLiteral("05"));
    QCOMPARE(exam().signLines(), QStringList{u16(u"Лакуна: печень")});
    QVERIFY(control<Memo>(w, "mmSign")->modified());

    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("0113 05 a"), QStringLiteral("0007 11 b")});
    exam().localise(QStringLiteral(" c"), QStringLiteral("01"));
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), (QStringList{QStringLiteral("0113 01 a c"), QStringLiteral("0007 11 b")}));
    QCOMPARE(exam().currentPathologyLines(), control<Memo>(w, "mmPathology")->lines());
    exam().clearSign();
    QCOMPARE(exam().currentPathologyLines(), QStringList{});
}

QTEST_MAIN(TestTfmDeep)
#include "test_tfmdeep.moc"
