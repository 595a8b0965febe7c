#include "shell/tfmnirel3.h"

#include "charts/chartsdoor.h"
#include "conclusion/concldoor.h"
#include "conclusion/newpatient.h"
#include "conclusion/reachdoor.h"
#include "deep/deepdoor.h"
#include "express/expressdoor.h"
#include "guides/guidedoor.h"
#include "help/help.h"
#include "platform/hints.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "platform/titlebar.h"
#include "shell/aboutbox.h"
#include "shell/exitcheck.h"
#include "shell/headersign.h"
#include "shell/resources.h"
#include "state/carddoor.h"
#include "state/cardindex.h"
#include "state/examination.h"
#include "state/windows.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QIcon icon(const QString &name)
{
    if (name.isEmpty())
        return {};
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".png"));
}

} // namespace

TfmNirel3::TfmNirel3(QWidget *parent)
    : QMainWindow(parent, platform::ui::titleBar(Qt::Window, Qt::WindowSystemMenuHint))
{
    shell::initResources();
    setObjectName(QStringLiteral("fmNirel3"));
    setWindowTitle(QStringLiteral("НИРЕЛ-3 - Экспертная система для иридодиагностики"));
    setWindowIcon(icon(QStringLiteral("pupil")));

    // One action per command serves the menu and the tool bar. Its text and
    // hint are the menu item's; its tool-bar caption (icon text) and tooltip
    // are the action's own, which the tool button shows. A menu bar shows an
    // action's image instead of its text: the commands on the menu bar itself
    // have their image on the tool button alone.
    // ActionList2 / File; menu item CardItem, tool button ToolButton1
    Card = makeAction("Card", QStringLiteral("Картотека"), QStringLiteral("Регистрация пациента"),
                      QStringLiteral("Работа с картотекой"), {}, &TfmNirel3::openCardIndex);
    // Menu item New, tool button tbNewPatient ("Новый пациент")
    NewPatient = makeAction("NewPatient", QStringLiteral("Новый"), QStringLiteral("Сброс системы в начальное состояние"),
                            QStringLiteral("Сброс системы в начальное состояние"), {}, &TfmNirel3::startNewPatient);
    NewPatient->setIconText(QStringLiteral("Новый пациент"));
    // ActionList3; menu item DeepItem, tool button tbExamDeep
    ExamDeep = makeAction("ExamDeep", QStringLiteral("&Углубленный"), QStringLiteral("Углубленный осмотр"),
                          QStringLiteral("Углубленный осмотр"), QStringLiteral("deep"), &TfmNirel3::openDeepExamination);
    ExamDeep->setIconText(QStringLiteral("Углубленное"));
    // Menu item ExpressItem, tool button tbExamExpr
    ExamExpr = makeAction("ExamExpr", QStringLiteral("Экспресс"), QStringLiteral("Экспресс-осмотр"),
                          QStringLiteral("Экспресс-осмотр"), QStringLiteral("express"), &TfmNirel3::openExpressExamination);
    // Menu item ShProekt, tool button tbShZone
    SchmZone = makeAction("SchmZone", QStringLiteral("Проекционные зоны"), QStringLiteral("Схемы прекционных зон"),
                          QStringLiteral("Схемы прекционных зон"), QStringLiteral("charts"), &TfmNirel3::openProjectionCharts);
    // Menu item DraftItem, tool button tbCnclTemp
    CnclDraft = makeAction("CnclDraft", QStringLiteral("Черновое"), QStringLiteral("Черновое заключение"),
                           QStringLiteral("Черновое заключение"), QStringLiteral("draft"), &TfmNirel3::openDraftConclusion);
    // Menu item CleanItem, tool button tbCnclEdit
    CnclEdit = makeAction("CnclEdit", QStringLiteral("Оконча&тельное"),
                          QStringLiteral("Окончательное заключение - редактирование и печать"),
                          QStringLiteral("Окончательное заключение - редактирование и печать"), QStringLiteral("final"),
                          &TfmNirel3::openFinalConclusion);
    CnclEdit->setIconText(QStringLiteral("Чистовое"));
    // Menu item GuidItem, tool button tbGuidIri
    Guid = makeAction("Guid", QStringLiteral("Справочники"),
                      QStringLiteral("Справочники для быстрого редактирования заключения"),
                      QStringLiteral("Справочники для быстрого редактирования заключения"), {}, &TfmNirel3::openGuides);
    // Menu item HelpNirelItem, tool button tbHelpNirel
    HelpNirel3 = makeAction("HelpNirel3", QStringLiteral("Описание Nirel-3"),
                            QStringLiteral("Медико-техническое описание Nirel-3"),
                            QStringLiteral("Медико-техническое описание Nirel-3"), QStringLiteral("help"),
                            &TfmNirel3::showHelpContents);
    HelpNirel3->setProperty("helpContext", 1);
    // Menu item ShPictures, tool button tbPupil
    Pupil = makeAction("Pupil", QStringLiteral("Зрачок и ка&йма"), QStringLiteral("Графические меню: форма зрачка и каймы"),
                       QStringLiteral("Зрачок и кайма"), QStringLiteral("pupil"), &TfmNirel3::openPupilDiagrams);
    Pupil->setIconText(QStringLiteral("Зрачок и кайма"));
    // Menu item About1
    AboutNirel3 = makeAction("AboutNirel3", QStringLiteral("О п&рограмме..."),
                             QStringLiteral("Версия, год разработки, авторы"),
                             QStringLiteral("Авторы и версия программы"), QStringLiteral("about"),
                             &TfmNirel3::showAboutBox);
    // Menu item N2, tool button ToolButton2
    Exit1 = makeAction("Exit1", QStringLiteral("Выход"), QStringLiteral("Выход из программы"),
                       QStringLiteral("Выход из программы"), {}, &TfmNirel3::exitProgram);

    buildMenu();
    buildToolBars();
    buildStatusBars();
    platform::place::outer(this, 1, 1, 608, 95);

    connect(&HintHub::instance(), &HintHub::hintChanged, this, &TfmNirel3::showHint);
    // The left pane follows the card's name fields at once, not only at the
    // next hint: after a card is written back or another one taken out it
    // never goes on naming the patient before.
    state::card::watchPatient(this, [this] { showPatient(); });
    setStartValues();
}

QAction *TfmNirel3::makeAction(const char *name, const QString &caption, const QString &menuHint,
                               const QString &hint, const QString &iconName, void (TfmNirel3::*handler)())
{
    auto *a = new QAction(icon(iconName), caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setStatusTip(menuHint);
    a->setToolTip(hint);
    connect(a, &QAction::triggered, this, handler);
    return a;
}

void TfmNirel3::buildMenu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);
    // Nine top-level items must fit the 608-pixel bar with common fonts.
    MainMenu1->setStyleSheet(QStringLiteral("QMenuBar { spacing: 0px; } QMenuBar::item { padding: 2px 4px; margin: 0px; }"));
    setMenuBar(MainMenu1);

    auto submenu = [this](const char *name, const QString &caption, const QString &hint) {
        QMenu *m = MainMenu1->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setStatusTip(hint);
        m->setToolTipsVisible(true);
        return m;
    };

    MainMenu1->addAction(Card);
    MainMenu1->addAction(NewPatient);

    QMenu *exam = submenu("ExamItem", QStringLiteral("&Осмотр"), QStringLiteral("Оценка иридологических признаков"));
    exam->addAction(ExamExpr);
    exam->addAction(ExamDeep);

    QMenu *charts = submenu("ChartItem", QStringLiteral("&Схемы"), QStringLiteral("Локализация знаков и графические меню"));
    charts->addAction(SchmZone);
    charts->addAction(Pupil);

    QMenu *report = submenu("ReportItem", QStringLiteral("&Заключения"),
                            QStringLiteral("Редактирование и печать заключения иридолога"));
    report->addAction(CnclDraft);
    report->addAction(CnclEdit);

    MainMenu1->addAction(Guid);

    QMenu *servis = submenu("ServisItem", QStringLiteral("Сервис"), QStringLiteral("Сервис"));
    QAction *capture = servis->addAction(QStringLiteral("Шапка заключения"));
    capture->setObjectName(QStringLiteral("CaptureItem"));
    capture->setStatusTip(QStringLiteral("Заголовок заключения"));
    connect(capture, &QAction::triggered, this, &TfmNirel3::editConclusionHeader);
    QAction *signat = servis->addAction(QStringLiteral("Подпись иридолога"));
    signat->setObjectName(QStringLiteral("SignatItem"));
    signat->setStatusTip(QStringLiteral("Подпись под заключением"));
    connect(signat, &QAction::triggered, this, &TfmNirel3::editSignature);

    QMenu *help = submenu("Help2", QStringLiteral("&Помощь"), QStringLiteral("Спрвки по программе Nirel-3"));
    help->addAction(HelpNirel3);
    help->addSeparator();
    help->addAction(AboutNirel3);

    MainMenu1->addAction(Exit1);
}

void TfmNirel3::buildToolBars()
{
    auto bar = [this](const char *name, const QString &title) {
        auto *tb = new QToolBar(title, this);
        tb->setObjectName(QString::fromLatin1(name));
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
        tb->setIconSize(QSize(24, 24));
        tb->setMovable(true);
        tb->setFloatable(false);
        addToolBar(Qt::TopToolBarArea, tb);
        return tb;
    };
    // A tool button is named and hinted after its action: its caption is
    // the action's icon text, its hint the action's tooltip.
    auto button = [](QToolBar *tb, QAction *a, const char *name, const QString &image = {}) {
        tb->addAction(a);
        if (auto *w = qobject_cast<QToolButton *>(tb->widgetForAction(a))) {
            if (!image.isEmpty())
                w->setIcon(icon(image));
            w->setObjectName(QString::fromLatin1(name));
            w->setAccessibleName(a->iconText());
            w->setAccessibleDescription(a->toolTip());
            w->setStatusTip(a->toolTip());
        }
    };

    ToolBar2 = bar("ToolBar2", QStringLiteral("Пациент"));
    button(ToolBar2, Card, "ToolButton1", QStringLiteral("card"));
    button(ToolBar2, NewPatient, "tbNewPatient", QStringLiteral("newpatient"));

    ToolBar3 = bar("ToolBar3", QStringLiteral("Осмотр и заключение"));
    button(ToolBar3, ExamDeep, "tbExamDeep");
    button(ToolBar3, ExamExpr, "tbExamExpr");
    ToolBar3->addSeparator();
    button(ToolBar3, SchmZone, "tbShZone");
    button(ToolBar3, Pupil, "tbPupil");
    ToolBar3->addSeparator();
    button(ToolBar3, CnclDraft, "tbCnclTemp");
    button(ToolBar3, CnclEdit, "tbCnclEdit");
    ToolBar3->addSeparator();
    button(ToolBar3, Guid, "tbGuidIri", QStringLiteral("guides"));
    ToolBar3->addSeparator();
    button(ToolBar3, HelpNirel3, "tbHelpNirel");
    ToolBar3->addSeparator();
    button(ToolBar3, Exit1, "ToolButton2", QStringLiteral("exit"));
}

void TfmNirel3::buildStatusBars()
{
    auto *row = new QWidget(this);
    row->setObjectName(QStringLiteral("StatusRow"));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    StatusBar1 = new QStatusBar(row);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedWidth(295);
    StatusBar1->setAccessibleName(QStringLiteral("Пациент"));
    StatusBar2 = new QStatusBar(row);
    StatusBar2->setObjectName(QStringLiteral("StatusBar2"));
    StatusBar2->setSizeGripEnabled(false);
    StatusBar2->setAccessibleName(QStringLiteral("Подсказка"));
    layout->addWidget(StatusBar1);
    layout->addWidget(StatusBar2, 1);
    setCentralWidget(row);
}

void TfmNirel3::setStartValues()
{
    state::examination().setStartValues();
    state::cards::cardIndex().setStartValues();
}

void TfmNirel3::openCardIndex()
{
    state::card::open();
}

void TfmNirel3::startNewPatient()
{
    conclusion::concl::newPatientReset();
    showPatient();
}

void TfmNirel3::openDeepExamination()
{
    deep::open();
}

void TfmNirel3::openExpressExamination()
{
    express::open();
}

void TfmNirel3::openProjectionCharts()
{
    OpenProjectionCharts();
}

void TfmNirel3::openPupilDiagrams()
{
    OpenPupilWindow(QString()); // at whichever page it showed last
}

void TfmNirel3::openDraftConclusion()
{
    state::examination().setConclMode(0);
    conclusion::concl::open();
}

void TfmNirel3::openFinalConclusion()
{
    conclusion::reach::openFinalCopy();
}

void TfmNirel3::openGuides()
{
    guides::open();
}

void TfmNirel3::editConclusionHeader()
{
    shell::CaptureItemClick();
}

void TfmNirel3::editSignature()
{
    shell::SignatItemClick();
}

void TfmNirel3::showHelpContents()
{
    help::showContents();
}

void TfmNirel3::showAboutBox()
{
    QPointer<TAboutBox> &box = state::windows().AboutBox;
    if (!box)
        box = new TAboutBox(this);
    platform::ui::prompter().exec(box.data());
}

void TfmNirel3::exitProgram()
{
    if (!shell::exitCheck(this))
        return;
    m_exitChecked = true;
    close();
}

QString TfmNirel3::patientPaneText()
{
    if (!state::card::exists())
        return {};
    const state::card::Patient p = state::card::patient();
    if (p.surname.isEmpty() && p.firstName.isEmpty() && p.patronymic.isEmpty())
        return QStringLiteral("Пациент: не выбран");
    return QStringLiteral("Пациент: ") + p.surname + QLatin1Char(' ') + p.firstName + QLatin1Char(' ') +
           p.patronymic;
}

void TfmNirel3::showPatient()
{
    if (state::card::exists())
        StatusBar1->showMessage(patientPaneText());
}

void TfmNirel3::showHint(const QString &hint)
{
    StatusBar2->showMessage(hint);
    showPatient();
}

void TfmNirel3::closeEvent(QCloseEvent *event)
{
    // The title-bar close button runs the same check as "Выход", so an
    // unsaved card index is never thrown away without a word.
    if (!m_exitChecked && !shell::exitCheck(this)) {
        event->ignore();
        return;
    }
    m_exitChecked = false;
    event->accept();
    QCoreApplication::quit();
}
