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
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".png"));
}

} // namespace

TfmNirel3::TfmNirel3(QWidget *parent)
    : QMainWindow(parent, ui::titleBar(Qt::Window, Qt::WindowSystemMenuHint))
{
    shell::initResources();
    setObjectName(QStringLiteral("fmNirel3"));
    setWindowTitle(QStringLiteral("НИРЕЛ-3 - Экспертная система для иридодиагностики"));
    setWindowIcon(icon(QStringLiteral("pupil")));

    // ActionList2 / File
    Card = makeAction("Card", QStringLiteral("Картотека"), QStringLiteral("Работа с картотекой"),
                      QStringLiteral("card"), &TfmNirel3::FileNew1Execute);
    NewPatient = makeAction("NewPatient", QStringLiteral("Новый"), QString(),
                            QStringLiteral("newpatient"), &TfmNirel3::NewClick);
    // ActionList3
    ExamDeep = makeAction("ExamDeep", QStringLiteral("Углубленное"), QStringLiteral("Углубленный осмотр"),
                          QStringLiteral("deep"), &TfmNirel3::DeepItemClick);
    ExamExpr = makeAction("ExamExpr", QStringLiteral("Экспресс"), QStringLiteral("Экспресс-осмотр"),
                          QStringLiteral("express"), &TfmNirel3::ExpressItemClick);
    SchmZone = makeAction("SchmZone", QStringLiteral("Проекционные зоны"),
                          QStringLiteral("Схемы прекционных зон"), QStringLiteral("charts"),
                          &TfmNirel3::ShProektClick);
    CnclDraft = makeAction("CnclDraft", QStringLiteral("Черновое"), QStringLiteral("Черновое заключение"),
                           QStringLiteral("draft"), &TfmNirel3::DraftItemClick);
    CnclEdit = makeAction("CnclEdit", QStringLiteral("Чистовое"),
                          QStringLiteral("Окончательное заключение - редактирование и печать"),
                          QStringLiteral("final"), &TfmNirel3::CleanItemClick);
    Guid = makeAction("Guid", QStringLiteral("Справочники"),
                      QStringLiteral("Справочники для быстрого редактирования заключения"),
                      QStringLiteral("guides"), &TfmNirel3::GuidItemClick);
    HelpNirel3 = makeAction("HelpNirel3", QStringLiteral("Описание Nirel-3"),
                            QStringLiteral("Медико-техническое описание Nirel-3"), QStringLiteral("help"),
                            &TfmNirel3::HelpNirelItemClick);
    HelpNirel3->setProperty("helpContext", 1);
    Pupil = makeAction("Pupil", QStringLiteral("Зрачок и кайма"), QStringLiteral("Зрачок и кайма"),
                       QStringLiteral("pupil"), &TfmNirel3::tbPupilClick);
    AboutNirel3 = makeAction("AboutNirel3", QStringLiteral("О программе..."),
                             QStringLiteral("Авторы и версия программы"), QStringLiteral("about"),
                             &TfmNirel3::About1Click);
    Exit1 = makeAction("Exit1", QStringLiteral("Exit1"), QStringLiteral("Выход из программы"),
                       QStringLiteral("exit"), &TfmNirel3::Exit1Execute);


    buildMenu();
    buildToolBars();
    buildStatusBars();
    place::outer(this, 1, 1, 608, 95);

    connect(&HintHub::instance(), &HintHub::hintChanged, this, &TfmNirel3::StatusBar1Hint);
    // The left pane follows the card's name fields at once, not only at the
    // next hint: after a card is written back or another one taken out it
    // never goes on naming the patient before.
    card::watchPatient(this, [this] { showPatient(); });
    FormCreate();
}

QAction *TfmNirel3::makeAction(const char *name, const QString &caption, const QString &hint,
                               const QString &iconName, void (TfmNirel3::*handler)())
{
    auto *a = new QAction(icon(iconName), caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setStatusTip(hint);
    a->setToolTip(hint.isEmpty() ? QString(caption).remove(QLatin1Char('&')) : hint);
    connect(a, &QAction::triggered, this, handler);
    return a;
}

QAction *TfmNirel3::menuItem(QMenu *menu, const char *name, QAction *action, const QString &caption,
                             const QString &hint)
{
    // A menu item bound to an action takes over its caption, hint, image and
    // enabled state; a caption or hint of the item's own replaces the action's.
    // Items on the menu bar itself show their caption only.
    auto *item = new QAction(menu ? action->icon() : QIcon(), caption.isEmpty() ? action->text() : caption, this);
    item->setObjectName(QString::fromLatin1(name));
    item->setStatusTip(hint.isEmpty() ? action->statusTip() : hint);
    item->setEnabled(action->isEnabled());
    connect(item, &QAction::triggered, action, &QAction::trigger);
    connect(action, &QAction::changed, item, [item, action] { item->setEnabled(action->isEnabled()); });
    if (menu)
        menu->addAction(item);
    else
        MainMenu1->addAction(item);
    return item;
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

    menuItem(nullptr, "CardItem", Card, {}, QStringLiteral("Регистрация пациента"));
    menuItem(nullptr, "New", NewPatient, {}, QStringLiteral("Сброс системы в начальное состояние"));

    QMenu *exam = submenu("ExamItem", QStringLiteral("&Осмотр"), QStringLiteral("Оценка иридологических признаков"));
    menuItem(exam, "ExpressItem", ExamExpr);
    menuItem(exam, "DeepItem", ExamDeep, QStringLiteral("&Углубленный"));

    QMenu *charts = submenu("ChartItem", QStringLiteral("&Схемы"), QStringLiteral("Локализация знаков и графические меню"));
    menuItem(charts, "ShProekt", SchmZone);
    QAction *pictures = menuItem(charts, "ShPictures", Pupil, QStringLiteral("Зрачок и ка&йма"),
                                 QStringLiteral("Графические меню: форма зрачка и каймы"));
    pictures->setIcon(icon(QStringLiteral("pupil")));

    QMenu *report = submenu("ReportItem", QStringLiteral("&Заключения"),
                            QStringLiteral("Редактирование и печать заключения иридолога"));
    menuItem(report, "DraftItem", CnclDraft);
    menuItem(report, "CleanItem", CnclEdit, QStringLiteral("Оконча&тельное"));

    menuItem(nullptr, "GuidItem", Guid);

    QMenu *servis = submenu("ServisItem", QStringLiteral("Сервис"), QStringLiteral("Сервис"));
    QAction *capture = servis->addAction(QStringLiteral("Шапка заключения"));
    capture->setObjectName(QStringLiteral("CaptureItem"));
    capture->setStatusTip(QStringLiteral("Заголовок заключения"));
    connect(capture, &QAction::triggered, this, &TfmNirel3::CaptureItemClick);
    QAction *signat = servis->addAction(QStringLiteral("Подпись иридолога"));
    signat->setObjectName(QStringLiteral("SignatItem"));
    signat->setStatusTip(QStringLiteral("Подпись под заключением"));
    connect(signat, &QAction::triggered, this, &TfmNirel3::SignatItemClick);

    QMenu *help = submenu("Help2", QStringLiteral("&Помощь"), QStringLiteral("Спрвки по программе Nirel-3"));
    menuItem(help, "HelpNirelItem", HelpNirel3);
    help->addSeparator();
    QAction *about = menuItem(help, "About1", AboutNirel3, QStringLiteral("О п&рограмме..."),
                              QStringLiteral("Версия, год разработки, авторы"));
    about->setIcon(icon(QStringLiteral("about")));

    QAction *exit = MainMenu1->addAction(QStringLiteral("Выход"));
    exit->setObjectName(QStringLiteral("N2"));
    exit->setStatusTip(QStringLiteral("Выход из программы"));
    connect(exit, &QAction::triggered, this, &TfmNirel3::Exit1Execute);
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
    auto button = [](QToolBar *tb, QAction *a, const char *name) {
        tb->addAction(a);
        if (auto *w = tb->widgetForAction(a)) {
            w->setObjectName(QString::fromLatin1(name));
            w->setAccessibleName(QString(a->text()).remove(QLatin1Char('&')));
            w->setAccessibleDescription(a->statusTip());
            w->setStatusTip(a->statusTip());
        }
    };

    ToolBar2 = bar("ToolBar2", QStringLiteral("Пациент"));
    button(ToolBar2, Card, "ToolButton1");
    auto *newPatient = new QAction(NewPatient->icon(), QStringLiteral("Новый пациент"), this);
    newPatient->setObjectName(QStringLiteral("tbNewPatientAction"));
    newPatient->setStatusTip(QStringLiteral("Сброс системы в начальное состояние"));
    newPatient->setToolTip(QStringLiteral("Сброс системы в начальное состояние"));
    connect(newPatient, &QAction::triggered, this, &TfmNirel3::NewClick);
    button(ToolBar2, newPatient, "tbNewPatient");

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
    button(ToolBar3, Guid, "tbGuidIri");
    ToolBar3->addSeparator();
    button(ToolBar3, HelpNirel3, "tbHelpNirel");
    ToolBar3->addSeparator();
    button(ToolBar3, Exit1, "ToolButton2");
    // The exit action's caption is its component name: the button is read
    // out as the menu's "Выход".
    ToolBar3->widgetForAction(Exit1)->setAccessibleName(QStringLiteral("Выход"));
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

void TfmNirel3::FormCreate()
{
    state::examination().setStartValues();
    cards::cardIndex().setStartValues();
}

void TfmNirel3::FileNew1Execute()
{
    card::open();
}

void TfmNirel3::NewClick()
{
    concl::newPatientReset();
    showPatient();
}

void TfmNirel3::DeepItemClick()
{
    deep::open();
}

void TfmNirel3::ExpressItemClick()
{
    express::open();
}

void TfmNirel3::ShProektClick()
{
    OpenProjectionCharts();
}

void TfmNirel3::tbPupilClick()
{
    OpenPupilWindow(QString()); // at whichever page it showed last
}

void TfmNirel3::DraftItemClick()
{
    state::examination().setConclMode(0);
    concl::open();
}

void TfmNirel3::CleanItemClick()
{
    reach::openFinalCopy(this);
}

void TfmNirel3::GuidItemClick()
{
    guides::open();
}

void TfmNirel3::CaptureItemClick()
{
    shell::CaptureItemClick();
}

void TfmNirel3::SignatItemClick()
{
    shell::SignatItemClick();
}

void TfmNirel3::HelpNirelItemClick()
{
    help::showContents();
}

void TfmNirel3::About1Click()
{
    QPointer<TAboutBox> &box = state::windows().AboutBox;
    if (!box)
        box = new TAboutBox(this);
    ui::prompter().exec(box.data());
}

void TfmNirel3::Exit1Execute()
{
    if (!shell::exitCheck(this))
        return;
    m_exitChecked = true;
    close();
}

QString TfmNirel3::patientPaneText()
{
    if (!card::exists())
        return {};
    const card::Patient p = card::patient();
    if (p.surname.isEmpty() && p.firstName.isEmpty() && p.patronymic.isEmpty())
        return QStringLiteral("Пациент: не выбран");
    return QStringLiteral("Пациент: ") + p.surname + QLatin1Char(' ') + p.firstName + QLatin1Char(' ') +
           p.patronymic;
}

void TfmNirel3::showPatient()
{
    if (card::exists())
        StatusBar1->showMessage(patientPaneText());
}

void TfmNirel3::StatusBar1Hint(const QString &hint)
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
