// The shell: start-up pieces, the main window, the new-patient reset, the
// exit check, hints and help requests.
#include "cards/tfmcard.h"
#include "charts/tfmpupil.h"
#include "charts/tfmshproek.h"
#include "conclusion/concldoor.h"
#include "conclusion/tfmconcl.h"
#include "deep/deepdoor.h"
#include "deep/tfmdeep.h"
#include "express/tfmexpress.h"
#include "guides/tfmguid.h"
#include "help/help.h"
#include "help/helpviewer.h"
#include "platform/cp1251.h"
#include "platform/hints.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "shell/aboutbox.h"
#include "shell/headersign.h"
#include "shell/startup.h"
#include "shell/tfmnirel3.h"
#include "shell/tfmsplash.h"
#include "state/cardlistmodel.h"
#include "state/openwindow.h"
#include "state/windows.h"
#include "support/examscript.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

namespace {

TfmNirel3 *makeMainWindow()
{
    auto *w = new TfmNirel3();
    state::windows().fmNirel3 = w;
    return w;
}

QStringList actionNames(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return out;
}

// The title a desktop window system is given for a window. Qt's platforms
// append " — " and the application display name to every caption once a
// display name is set (without one, the display name reads as the
// application name, which is how the probe tells the two apart).
QString titleGivenToTheSystem(QWidget *w)
{
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    const QString displayName = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(name);
    const QString title = w->windowHandle() ? w->windowHandle()->title() : QStringLiteral("(no window)");
    return displayName == QLatin1String("probe") ? title : title + QStringLiteral(" — ") + displayName;
}

// Fills every variable of the examination with something recognisable.
void fillState()
{
    ExaminationScript exam;
    exam.DeepPassCount = 3;
    exam.RightEyeSigns = {QStringLiteral("r")};
    exam.LeftEyeSigns = {QStringLiteral("l")};
    exam.RightEyeSignsOld = {QStringLiteral("ro")};
    exam.LeftEyeSignsOld = {QStringLiteral("lo")};
    exam.PathologyLines = {QStringLiteral("p")};
    exam.UniquePathologyLines = {QStringLiteral("u")};
    exam.FindingLines = {QStringLiteral("f")};
    exam.ConsultLines = {QStringLiteral("c")};
    exam.SignCodes = {113, 59};
    exam.VelkhoverLines = {QStringLiteral("v")};
    exam.KrivenkoLines = {QStringLiteral("k")};
    exam.ExpressLines = {QStringLiteral("v"), QStringLiteral("k")};
    exam.ConclCaretLine = 4;
    exam.ConclCaretColumn = 5;
    exam.GuideLineIndex = 6;
    exam.GuidePhrase = QStringLiteral("g");
    exam.ConclLineHead = QStringLiteral("h");
    exam.ConclLineTail = QStringLiteral("t");
    exam.ConclMode = 2;
    state::cards::cardIndex().takeOut(state::cards::cardIndex().newCard());
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mainWindowLayout();
    void menuCaptionsHintsAndOrder();
    void toolBarsInOrder();
    void everyWindowCommandIsAvailable();
    void startValues();
    void newPatientResetsExactlyTheCounts();
    void newPatientRightAfterStartOpensOnlyTheDraft();
    void openingTwiceGivesOneWindowWithItsText();
    void exitCheck_data();
    void exitCheck();
    void titleBarCloseRunsTheExitCheck();
    void enterAtTheExitCheckKeepsTheProgram();
    void splashRefusesToCloseBeforeItsTimer();
    void splashWaitLastsThreeSeconds();
    void hintsReachTheRightPanes();
    void newPatientLeavesNoPatientOnScreen();
    void statusTipsOfAnyWindowBecomeTheHint();
    void applicationHintHandlerStopsThePanes();
    void helpRequestsReachTheViewer();
    void helpViewerReportsMissingFileAndTopic();
    void shippedHelpFileHasEveryTopic();
    void headerAndSignatureLoadIntoTheDraft();
    void missingHeaderIsReported();
    void aboutBoxIsModalAndReused();
    void russianButtons();
    void splashOuterSizeIsCentred();
    void startUpTitlesAreTheCaptionsAlone();
};

void TestShell::initTestCase()
{
    HintHub::instance().install();
}

void TestShell::mainWindowLayout()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("НИРЕЛ-3 - Экспертная система для иридодиагностики"));
    QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w->windowFlags() & Qt::WindowSystemMenuHint);
    QCOMPARE(w->pos(), QPoint(1, 1));
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->width(), 295);
}

void TestShell::menuCaptionsHintsAndOrder()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    QCOMPARE(actionNames(control<QMenuBar>(w, "MainMenu1")->actions()),
             (QStringList{"Card", "NewPatient", "ExamItem", "ChartItem", "ReportItem", "Guid",
                          "ServisItem", "Help2", "Exit1"}));
    struct Item {
        const char *name;
        const char *caption;
        const char *hint;
    };
    const Item items[] = {
        {"Card", "Картотека", "Регистрация пациента"},
        {"NewPatient", "Новый", "Сброс системы в начальное состояние"},
        {"ExamItem", "&Осмотр", "Оценка иридологических признаков"},
        {"ExamExpr", "Экспресс", "Экспресс-осмотр"},
        {"ExamDeep", "&Углубленный", "Углубленный осмотр"},
        {"ChartItem", "&Схемы", "Локализация знаков и графические меню"},
        {"SchmZone", "Проекционные зоны", "Схемы прекционных зон"},
        {"Pupil", "Зрачок и ка&йма", "Графические меню: форма зрачка и каймы"},
        {"ReportItem", "&Заключения", "Редактирование и печать заключения иридолога"},
        {"CnclDraft", "Черновое", "Черновое заключение"},
        {"CnclEdit", "Оконча&тельное", "Окончательное заключение - редактирование и печать"},
        {"Guid", "Справочники", "Справочники для быстрого редактирования заключения"},
        {"ServisItem", "Сервис", "Сервис"},
        {"CaptureItem", "Шапка заключения", "Заголовок заключения"},
        {"SignatItem", "Подпись иридолога", "Подпись под заключением"},
        {"Help2", "&Помощь", "Спрвки по программе Nirel-3"},
        {"HelpNirel3", "Описание Nirel-3", "Медико-техническое описание Nirel-3"},
        {"AboutNirel3", "О п&рограмме...", "Версия, год разработки, авторы"},
        {"Exit1", "Выход", "Выход из программы"},
    };
    for (const Item &it : items) {
        QAction *a = control<QAction>(w, it.name);
        QCOMPARE(a->text(), QString::fromUtf8(it.caption));
        QCOMPARE(a->statusTip(), QString::fromUtf8(it.hint));
    }
    QCOMPARE(control<QAction>(w, "HelpNirel3")->property("helpContext").toInt(), 1);
    auto *help = control<QMenu>(w, "Help2");
    QCOMPARE(actionNames(help->actions()), (QStringList{"HelpNirel3", "-", "AboutNirel3"}));
}

void TestShell::toolBarsInOrder()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    auto names = [](QToolBar *tb) {
        QStringList out;
        for (QAction *a : tb->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : tb->widgetForAction(a)->objectName());
        return out;
    };
    QCOMPARE(names(control<QToolBar>(w, "ToolBar2")), (QStringList{"ToolButton1", "tbNewPatient"}));
    QCOMPARE(names(control<QToolBar>(w, "ToolBar3")), (QStringList{"tbExamDeep", "tbExamExpr", "-", "tbShZone", "tbPupil", "-",
                                              "tbCnclTemp", "tbCnclEdit", "-", "tbGuidIri", "-",
                                              "tbHelpNirel", "-", "ToolButton2"}));
    auto *newPatient = control<QToolButton>(w, "tbNewPatient");
    QCOMPARE(newPatient->defaultAction()->iconText(), QStringLiteral("Новый пациент"));
    QCOMPARE(newPatient->toolTip(), QStringLiteral("Сброс системы в начальное состояние"));
    for (QToolBar *tb : {control<QToolBar>(w, "ToolBar2"), control<QToolBar>(w, "ToolBar3")})
        QCOMPARE(tb->toolButtonStyle(), Qt::ToolButtonIconOnly);
    for (QToolButton *b : w->findChildren<QToolButton *>())
        if (b->defaultAction())
            QVERIFY2(!b->icon().pixmap(24, 24).isNull(), qPrintable(b->objectName()));
}

void TestShell::everyWindowCommandIsAvailable()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    for (const char *name : {"Card", "NewPatient", "ExamDeep", "ExamExpr", "CnclDraft", "CnclEdit", "HelpNirel3",
                             "AboutNirel3", "Exit1", "SchmZone", "Pupil", "Guid"})
        QVERIFY2(control<QAction>(w, name)->isEnabled(), name);
    // The charts, the pupil diagrams and the guides open their windows.
    control<QAction>(w, "SchmZone")->trigger();
    control<QAction>(w, "Pupil")->trigger();
    control<QAction>(w, "Guid")->trigger();
    QVERIFY(state::windows().fmShProek && state::windows().fmPupil && state::windows().fmGuid);
}

void TestShell::startValues()
{
    TestEnv env;
    ExaminationScript exam;
    exam.DeepPassCount = 5;
    state::cards::cardIndex().takeOut(state::cards::cardIndex().newCard());
    exam.ConclMode = 2;
    makeMainWindow();
    QCOMPARE(exam.DeepPassCount, 0);
    QVERIFY(!state::cards::cardIndex().isDirty());
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
    QCOMPARE(exam.ConclMode, 2); // not among the start values
}

void TestShell::newPatientResetsExactlyTheCounts()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    deep::open();
    control<QLineEdit>(state::openWindow(state::windows().fmCard), "FNameEdit")->setText(QStringLiteral("Петров"));
    conclusion::concl::open();
    conclusion::concl::setLines({QStringLiteral("старое заключение")});
    state::examination().signDocument()->setLines({QStringLiteral("признак")});
    state::examination().pathologyDocument()->setLines({QStringLiteral("0113 05 патология")});
    fillState();

    control<QAction>(w, "NewPatient")->trigger();

    ExaminationScript exam;
    state::Windows &windows = state::windows();
    // Reset: the counts to 0 empty their lists.
    QCOMPARE(exam.ConclMode, 0);
    QCOMPARE(exam.ExpressLines.size(), 0);
    QCOMPARE(exam.VelkhoverLines.size(), 0);
    QCOMPARE(exam.KrivenkoLines.size(), 0);
    QCOMPARE(exam.DeepPassCount, 0);
    QCOMPARE(exam.RightEyeSigns.size(), 0);
    QCOMPARE(exam.LeftEyeSigns.size(), 0);
    QCOMPARE(control<Memo>(windows.fmConcl, "mmConcl")->lineCount(), 0);
    QVERIFY(windows.fmConcl->isVisible());
    QCOMPARE(control<Memo>(windows.fmDeep, "mmSign")->lineCount(), 0);
    QCOMPARE(control<Memo>(windows.fmDeep, "mmPathology")->lineCount(), 0);
    // Kept.
    QCOMPARE(exam.RightEyeSignsOld, QStringList{"ro"});
    QCOMPARE(exam.LeftEyeSignsOld, QStringList{"lo"});
    QCOMPARE(exam.PathologyLines, QStringList{"p"});
    QCOMPARE(exam.UniquePathologyLines, QStringList{"u"});
    QCOMPARE(exam.FindingLines, QStringList{"f"});
    QCOMPARE(exam.ConsultLines, QStringList{"c"});
    QCOMPARE(exam.SignCodes, (QList<int>{113, 59}));
    QCOMPARE(exam.ConclCaretLine, 4);
    QCOMPARE(exam.ConclCaretColumn, 5);
    QCOMPARE(exam.GuideLineIndex, 6);
    QCOMPARE(exam.GuidePhrase, QStringLiteral("g"));
    QCOMPARE(exam.ConclLineHead, QStringLiteral("h"));
    QCOMPARE(exam.ConclLineTail, QStringLiteral("t"));
    QVERIFY(state::cards::cardIndex().isDirty());
    QVERIFY(state::cards::cardIndex().hasCardTakenOut());
    QCOMPARE(control<QLineEdit>(windows.fmCard, "FNameEdit")->text(), QStringLiteral("Петров"));
}

void TestShell::newPatientRightAfterStartOpensOnlyTheDraft()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    control<QToolButton>(w, "tbNewPatient")->click();
    QVERIFY(state::windows().fmConcl);
    QCOMPARE(state::windows().fmConcl->parentWidget(), w);
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lineCount(), 0);
    QVERIFY(!state::windows().fmDeep);
    QVERIFY(!state::windows().fmCard);
    QVERIFY(!state::windows().fmExpress);
}

void TestShell::openingTwiceGivesOneWindowWithItsText()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    control<QAction>(w, "ExamDeep")->trigger();
    TfmDeep *first = state::windows().fmDeep;
    QVERIFY(first);
    control<Memo>(first, "mmSign")->setLines({QStringLiteral("набранный текст")});
    first->close();
    QVERIFY(!first->isVisible());
    control<QAction>(w, "ExamDeep")->trigger();
    QCOMPARE(state::windows().fmDeep.data(), first);
    QVERIFY(first->isVisible());
    QCOMPARE(control<Memo>(first, "mmSign")->lines(), QStringList{QStringLiteral("набранный текст")});
    QCOMPARE(w->findChildren<TfmDeep *>().size(), 1);

    control<QAction>(w, "CnclDraft")->trigger();
    QVERIFY(state::windows().fmConcl && state::windows().fmConcl->isVisible());
    control<QAction>(w, "Card")->trigger();
    QVERIFY(state::windows().fmCard && state::windows().fmCard->isVisible());
    control<QAction>(w, "ExamExpr")->trigger();
    QVERIFY(state::windows().fmExpress);

    // By its name, as a folder opens a window it must not depend on: the
    // same window, shown, owned by the main window when first made.
    state::Windows &windows = state::windows();
    first->close();
    QCOMPARE(windows.open(QStringLiteral("fmDeep")), first);
    QVERIFY(first->isVisible());
    QVERIFY(!windows.existing(QStringLiteral("fmGuid")));
    QCOMPARE(windows.open(QStringLiteral("fmGuid"))->parentWidget(), w);
    QCOMPARE(windows.existing(QStringLiteral("fmGuid")), windows.open(QStringLiteral("fmGuid")));
    QVERIFY(!windows.open(QStringLiteral("fmNobody")));
}

void TestShell::exitCheck_data()
{
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("dirty");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("ends");
    const QString q = QStringLiteral("Выйти без сохранения базы данных?");
    QTest::newRow("nothing to lose") << 0 << 0 << int(QMessageBox::No) << QStringList{} << true;
    QTest::newRow("dirty, yes") << 0 << 1 << int(QMessageBox::Yes) << QStringList{q} << true;
    QTest::newRow("dirty, no") << 0 << 1 << int(QMessageBox::No)
                               << QStringList{q, QStringLiteral("Сохраните картотеку")} << false;
    QTest::newRow("taken out, no")
        << 1 << 0 << int(QMessageBox::No)
        << QStringList{q, QStringLiteral("Верните карточку в картотеку и сохраните картотеку")} << false;
    QTest::newRow("both, no")
        << 1 << 1 << int(QMessageBox::No)
        << QStringList{q, QStringLiteral("Верните карточку в картотеку и сохраните картотеку")} << false;
    QTest::newRow("dialog closed otherwise") << 1 << 1 << int(QMessageBox::NoButton) << QStringList{q} << true;
}

void TestShell::exitCheck()
{
    QFETCH(int, taken);
    QFETCH(int, dirty);
    QFETCH(int, answer);
    QFETCH(QStringList, texts);
    QFETCH(bool, ends);
    TestEnv env;
    ScriptedPrompter prompter;
    TfmNirel3 *w = makeMainWindow();
    w->show();
    state::cards::cardIndex().model()->append({});
    if (taken)
        state::cards::cardIndex().takeOut(0);
    if (dirty)
        state::cards::cardIndex().noteUnsaved();
    prompter.answers = {QMessageBox::StandardButton(answer)};
    control<QAction>(w, "Exit1")->trigger();
    QCOMPARE(prompter.texts(), texts);
    if (!texts.isEmpty()) {
        QCOMPARE(prompter.records.first().icon, QMessageBox::Warning);
        QCOMPARE(prompter.records.first().buttons, QMessageBox::Yes | QMessageBox::No);
    }
    if (texts.size() > 1) {
        QCOMPARE(prompter.records.at(1).icon, QMessageBox::Information);
        QCOMPARE(prompter.records.at(1).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(!w->isVisible(), ends);
}

void TestShell::titleBarCloseRunsTheExitCheck()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmNirel3 *w = makeMainWindow();
    w->show();
    state::cards::cardIndex().noteUnsaved();
    prompter.answers = {QMessageBox::No};
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("Выйти без сохранения базы данных?"),
                                            QStringLiteral("Сохраните картотеку")}));
    prompter.clear();
    prompter.answers = {QMessageBox::Yes};
    QVERIFY(w->close());
    QCOMPARE(prompter.texts().size(), 1);
    // "Выход" asks once, not a second time on the close it causes.
    w->show();
    prompter.clear();
    prompter.answers = {QMessageBox::Yes};
    control<QAction>(w, "Exit1")->trigger();
    QCOMPARE(prompter.texts().size(), 1);
    QVERIFY(!w->isVisible());
}

// The real boxes: Enter at "Выйти без сохранения базы данных?" answers No,
// then closes the notice; the program stays with its card index.
void TestShell::enterAtTheExitCheckKeepsTheProgram()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    w->show();
    state::cards::cardIndex().noteUnsaved();
    QStringList seen;
    QTimer enter;
    enter.setInterval(10);
    connect(&enter, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    enter.start();
    control<QAction>(w, "Exit1")->trigger();
    enter.stop();
    QCOMPARE(seen, (QStringList{QStringLiteral("Выйти без сохранения базы данных?"),
                                QStringLiteral("Сохраните картотеку")}));
    QVERIFY(w->isVisible());
}

void TestShell::splashRefusesToCloseBeforeItsTimer()
{
    TestEnv env;
    TfmSplash splash;
    splash.show();
    QCOMPARE(control<QTimer>(&splash, "Timer1")->interval(), 3000);
    QVERIFY(control<QTimer>(&splash, "Timer1")->isActive());
    QVERIFY(!splash.FormCloseQuery());
    QVERIFY(!splash.close());
    QVERIFY(splash.isVisible());
    splash.stopWaiting();
    QVERIFY(!control<QTimer>(&splash, "Timer1")->isActive());
    QVERIFY(splash.FormCloseQuery());
    QVERIFY(splash.close());
}

void TestShell::splashWaitLastsThreeSeconds()
{
    TestEnv env;
    QElapsedTimer clock;
    clock.start();
    TfmSplash splash;
    splash.show();
    shell::waitForSplash(splash);
    QVERIFY2(clock.elapsed() >= 3000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(splash.FormCloseQuery());
}

void TestShell::hintsReachTheRightPanes()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    HintHub &hub = HintHub::instance();
    hub.setHint(QStringLiteral("первая подсказка"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar2")->currentMessage(), QStringLiteral("первая подсказка"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QString()); // no card window yet

    // The left pane follows the card's names as they change, hint or not.
    TfmCard *card = state::openWindow(state::windows().fmCard);
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Петров"));
    control<QLineEdit>(card, "LNameEdit")->setText(QStringLiteral("Олег"));
    control<QLineEdit>(card, "MNameEdit")->setText(QStringLiteral("Ильич"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: Петров Олег Ильич"));
    hub.setHint(QStringLiteral("вторая"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: Петров Олег Ильич"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar2")->currentMessage(), QStringLiteral("вторая"));
    control<QLineEdit>(card, "FNameEdit")->clear();
    control<QLineEdit>(card, "LNameEdit")->clear();
    control<QLineEdit>(card, "MNameEdit")->clear();
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: не выбран"));
}

// Петрова examined, her card written back, "Новый": the draft is empty and
// the left pane names nobody, with no hint in between (it went on naming her).
void TestShell::newPatientLeavesNoPatientOnScreen()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmNirel3 *w = makeMainWindow();
    control<QAction>(w, "Card")->trigger();
    TfmCard *card = state::windows().fmCard;
    THuman petrova(QStringLiteral("Петрова"));
    petrova.LName = QStringLiteral("Анна");
    petrova.MName = QStringLiteral("Сергеевна");
    card->model()->setEntries({CardEntry{state::human::displayText(petrova), petrova}});
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    HintHub::instance().setHint(QStringLiteral("подсказка"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: Петрова Анна Сергеевна"));
    conclusion::concl::setLines({QStringLiteral("заключение Петровой")});
    control<QAction>(card, "CardWrite")->trigger();
    control<QAction>(w, "NewPatient")->trigger();
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lineCount(), 0);
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: не выбран"));
}

void TestShell::statusTipsOfAnyWindowBecomeTheHint()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    TfmDeep *deep = state::openWindow(state::windows().fmDeep);
    QStatusTipEvent tip(QStringLiteral("подсказка окна осмотра"));
    QCoreApplication::sendEvent(control<Memo>(deep, "mmSign"), &tip);
    QCOMPARE(HintHub::instance().hint(), QStringLiteral("подсказка окна осмотра"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar2")->currentMessage(), QStringLiteral("подсказка окна осмотра"));
}

void TestShell::applicationHintHandlerStopsThePanes()
{
    TestEnv env;
    TfmNirel3 *w = makeMainWindow();
    control<QLineEdit>(state::openWindow(state::windows().fmCard), "FNameEdit")->setText(QStringLiteral("Иванова"));
    HintHub &hub = HintHub::instance();
    hub.setHint(QStringLiteral("до"));
    QStringList taken;
    hub.setApplicationHandler([&taken](const QString &h) { taken << h; });
    hub.setHint(QStringLiteral("после"));
    hub.setApplicationHandler(nullptr);
    QCOMPARE(taken, QStringList{QStringLiteral("после")});
    QCOMPARE(control<QStatusBar>(w, "StatusBar2")->currentMessage(), QStringLiteral("до"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: Иванова  "));
}

void TestShell::helpRequestsReachTheViewer()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.seed(QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"));
    TfmNirel3 *w = makeMainWindow();
    help::setHelpFile(QStringLiteral("elsewhere.hlp"));
    control<QAction>(w, "HelpNirel3")->trigger();
    HelpViewer *viewer = HelpViewer::existing();
    QVERIFY(viewer && viewer->isVisible());
    QCOMPARE(help::helpFile(), QStringLiteral(".\\Nirel3hlp\\NIREL3HELP.HLP"));
    QCOMPARE(viewer->currentFile(), QStringLiteral(".\\Nirel3hlp\\NIREL3HELP.HLP"));
    QCOMPARE(viewer->currentAnchor(), QStringLiteral("contents"));
    QCOMPARE(viewer->problem(), QString());
    for (int ctx : {0, 1, 2, 5, 11}) {
        help::showContext(ctx);
        QCOMPARE(HelpViewer::existing(), viewer);
        QCOMPARE(viewer->currentAnchor(), QStringLiteral("ctx%1").arg(ctx));
        QCOMPARE(viewer->problem(), QString());
    }
    QVERIFY(prompter.records.isEmpty());
}

void TestShell::helpViewerReportsMissingFileAndTopic()
{
    TestEnv env;
    ScriptedPrompter prompter;
    help::showContents();
    HelpViewer *viewer = HelpViewer::existing();
    QVERIFY(viewer->problem().contains(QStringLiteral(".\\Nirel3hlp\\NIREL3HELP.HLP")));
    QVERIFY(viewer->shownText().contains(QStringLiteral("не найден")));

    env.writeLines(QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"),
                   {QStringLiteral("<html><body><h1><a name=\"contents\"></a>Содержание</h1>"),
                    QStringLiteral("<h2><a name=\"ctx1\"></a>Осмотр</h2></body></html>")});
    help::showContext(1);
    QCOMPARE(viewer->problem(), QString());
    help::showContext(7);
    QVERIFY(viewer->problem().contains(QStringLiteral("7")));
    QVERIFY(prompter.records.isEmpty()); // the viewer reports, the caller never does
}

void TestShell::shippedHelpFileHasEveryTopic()
{
    const platform::textfile::ReadResult r =
        platform::textfile::readLines(TestEnv::sourcePath(QStringLiteral("data/Nirel3hlp/NIREL3HELP.HLP")));
    QVERIFY(r.ok);
    const QString html = r.lines.join(QLatin1Char('\n'));
    QVERIFY(html.contains(QStringLiteral("charset=windows-1251")));
    const QStringList anchors = HelpViewer::anchorsOf(html);
    for (const char *a : {"contents", "index", "ctx0", "ctx1", "ctx2", "ctx5", "ctx11"})
        QVERIFY2(anchors.contains(QString::fromLatin1(a)), a);
    // Every internal link leads somewhere.
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        QVERIFY2(anchors.contains(target), qPrintable(target));
    }
}

void TestShell::headerAndSignatureLoadIntoTheDraft()
{
    TestEnv env;
    ScriptedPrompter prompter;
    makeMainWindow();
    env.writeLines(QStringLiteral("Caption.txt"), {QStringLiteral("Кабинет"), QString(), QStringLiteral("Адрес")});
    env.writeBytes(QStringLiteral("Signature.txt"), QByteArray());
    shell::SignatItemClick();
    QCOMPARE(state::examination().conclMode(), 2);
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lineCount(), 0);
    QVERIFY(prompter.records.isEmpty());
    shell::CaptureItemClick();
    QCOMPARE(state::examination().conclMode(), 1);
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lines(),
             (QStringList{QStringLiteral("Кабинет"), QString(), QStringLiteral("Адрес")}));
    QVERIFY(prompter.records.isEmpty());
}

void TestShell::missingHeaderIsReported()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmNirel3 *w = makeMainWindow();
    conclusion::concl::open();
    conclusion::concl::setLines({QStringLiteral("прежний текст")});
    control<QAction>(w, "CaptureItem")->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File Caption.txt is absent")});
    QCOMPARE(prompter.records.first().kind, PromptRecord::Message);
    QCOMPARE(state::examination().conclMode(), 1);
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lineCount(), 0);
    prompter.clear();
    control<QAction>(w, "SignatItem")->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File Signature.txt is absent")});
    QCOMPARE(state::examination().conclMode(), 2);
}

void TestShell::aboutBoxIsModalAndReused()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmNirel3 *w = makeMainWindow();
    control<QAction>(w, "AboutNirel3")->trigger();
    QVERIFY(state::windows().AboutBox);
    TAboutBox *box = state::windows().AboutBox;
    QCOMPARE(box->windowTitle(), QStringLiteral("О программе"));
    control<QAction>(w, "AboutNirel3")->trigger();
    QCOMPARE(state::windows().AboutBox.data(), box);
    QCOMPARE(prompter.records.size(), 2);
    QCOMPARE(prompter.records.at(0).kind, PromptRecord::Exec);
    QVERIFY(!TAboutBox::kWebAddress.isEmpty());
    QVERIFY(TAboutBox::kMailAddress.contains(QLatin1Char('@')));
}

void TestShell::russianButtons()
{
    shell::installRussian(*QCoreApplication::instance());
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
    // Russian whatever the machine's locale (the tests run under C).
    QCOMPARE(QLocale().language(), QLocale::Russian);
    QLocale::setDefault(QLocale::c());

    // Before the card list is replaced: "Не сохранять", not "Отклонить".
    QStringList texts;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto *asked = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            for (QAbstractButton *b : asked->buttons())
                texts << b->text().remove(QLatin1Char('&'));
            asked->button(QMessageBox::Cancel)->click();
        }
    });
    poll.start();
    QCOMPARE(platform::ui::desktopPrompter().ask(nullptr, QMessageBox::Warning, QStringLiteral("?"),
                                       QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel),
             QMessageBox::Cancel);
    texts.sort();
    QCOMPARE(texts, (QStringList{"Не сохранять", "Отмена", "Сохранить"}));
}

void TestShell::splashOuterSizeIsCentred()
{
    TestEnv env;
    TfmSplash splash; // the first window: no other frame to go by
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QVERIFY(splash.frameGeometry().size() != splash.size()); // the platform frames it
    QTRY_COMPARE(splash.frameGeometry().size(), QSize(408, 417));
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(splash.frameGeometry().topLeft(), desktop.center() - QPoint(204, 208));
}

// Last: it runs the whole start-up, which sets the application's identity.
void TestShell::startUpTitlesAreTheCaptionsAlone()
{
    TestEnv env;
    const QString product = QStringLiteral("НИРЕЛ-3 - Экспертная система для иридодиагностики");
    QString splashTitle;
    QString mainTitle;
    QTimer probe;
    probe.setInterval(10);
    connect(&probe, &QTimer::timeout, this, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<TfmSplash *>(w) && w->isVisible())
                splashTitle = titleGivenToTheSystem(w);
        if (state::windows().fmNirel3 && state::windows().fmNirel3->isVisible()) {
            mainTitle = titleGivenToTheSystem(state::windows().fmNirel3);
            QCoreApplication::quit();
        }
    });
    probe.start();
    shell::run(*qApp);
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Nirel-3"));
    QCOMPARE(splashTitle, product);
    QCOMPARE(mainTitle, product);

    TfmCard card;
    card.winId();
    QCOMPARE(titleGivenToTheSystem(&card), QStringLiteral("Картотека"));
    QMessageBox box(QMessageBox::Warning, platform::ui::titleFor(QMessageBox::Warning), QString());
    box.winId();
    QCOMPARE(titleGivenToTheSystem(&box), QStringLiteral("Предупреждение"));
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
