// The card index window: its controls, the card operations, the file pair
// through the window, the calendar, and the links with the other windows.
#include "cards/agespinbox.h"
#include "cards/tfmcalendar.h"
#include "cards/tfmcard.h"
#include "conclusion/concldoor.h"
#include "conclusion/tfmconcl.h"
#include "help/help.h"
#include "help/helpviewer.h"
#include "platform/codepagefield.h"
#include "platform/hints.h"
#include "platform/textfile.h"
#include "shell/exitcheck.h"
#include "shell/tfmnirel3.h"
#include "state/cardindexfile.h"
#include "state/cardlistmodel.h"
#include "state/openwindow.h"
#include "support/examscript.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <limits>

namespace {

TfmCard *openCard()
{
    return state::openWindow(state::windows().fmCard);
}

QStringList listTexts(const TfmCard *card)
{
    QStringList out;
    for (const CardEntry &e : card->model()->entries())
        out << e.text;
    return out;
}

THuman record(const TfmCard *card, int row)
{
    const std::optional<THuman> &r = card->model()->entry(row).record;
    return r ? *r : THuman(QStringLiteral("<no record>"));
}

THuman person(const QString &f, const QString &l, const QString &m, int age)
{
    THuman h(f);
    h.LName = l;
    h.MName = m;
    h.Age = age;
    h.Date = QStringLiteral("01.02.2024");
    h.Doc = QStringLiteral("учитель");
    h.Addr = QStringLiteral("Тверь");
    h.Phone = QStringLiteral("22-33-44");
    h.Complaint = QStringLiteral("усталость");
    h.Anamnesis = QStringLiteral("мать — диабет");
    h.Concl = QStringLiteral("/tmp/") + f + QStringLiteral(".txt");
    return h;
}

// A card window holding three cards A, B, C with records.
TfmCard *cardWithThree()
{
    TfmCard *card = openCard();
    card->model()->setEntries({CardEntry{QStringLiteral("Андреев А.А."), person("Андреев", "Алексей", "Андреевич", 30)},
                               CardEntry{QStringLiteral("Борисова Б.Б."), person("Борисова", "Белла", "Борисовна", 40)},
                               CardEntry{QStringLiteral("Власов В.В."), person("Власов", "Виктор", "Васильевич", 50)}});
    return card;
}

QStringList fieldTexts(const TfmCard *card)
{
    return {control<QLineEdit>(card, "EditDate")->text(),  control<QLineEdit>(card, "FNameEdit")->text(), control<QLineEdit>(card, "LNameEdit")->text(),
            control<QLineEdit>(card, "MNameEdit")->text(), control<AgeSpinBox>(card, "AgeEdit")->text(),   control<QLineEdit>(card, "DocEdit")->text(),
            control<QLineEdit>(card, "AddrEdit")->text(),  control<QLineEdit>(card, "PhoneEdit")->text(), control<QLineEdit>(card, "ComplaintEdit")->text(),
            control<QLineEdit>(card, "AnamnesisEdit")->text(), control<QLineEdit>(card, "ConclEdit")->text()};
}

QStringList toolBarNames(QToolBar *bar)
{
    QStringList out;
    for (QAction *a : bar->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (QWidget *w = bar->widgetForAction(a))
            out << w->objectName();
    }
    return out;
}

// Writes a good pair of the three cards to the working folder.
QString writeThreePair(const TestEnv &env, const QString &name)
{
    const QString list = env.path(name);
    const QList<CardEntry> entries{
        CardEntry{QStringLiteral("Андреев А.А."), person("Андреев", "Алексей", "Андреевич", 30)},
        CardEntry{QStringLiteral("Борисова Б.Б."), person("Борисова", "Белла", "Борисовна", 40)},
        CardEntry{QStringLiteral("Власов В.В."), person("Власов", "Виктор", "Васильевич", 50)}};
    state::cardindex::writePair(list, entries);
    return list;
}

} // namespace

class TestTfmCard : public QObject {
    Q_OBJECT
private slots:
    void typedCardGoesOntoTheSelectedEntry();
    void fieldsTakeOnlyWhatTheFilesCanHold();
    void handEditedPairIsOpenedWithANotice();
    void initTestCase();
    void windowPlaceAndSize();
    void actionsMenuAndToolBar();
    void controlsHaveNamesAndHints();
    void tabOrderFollowsTheCard();
    void newCardTwice();
    void takeOutNeedsASelection();
    void takeOutOfAnEntryWithoutRecord();
    void writeBackStoresAndClears();
    void writeBackGoesToTheTakenOutCard();
    void takenOutCardFollowsItsEntry();
    void writeBackAfterTheCardIsGone_data();
    void writeBackAfterTheCardIsGone();
    void writeBackWithoutTakeOut();
    void lineBreaksTypedIntoFields();
    void deleteAndClear();
    void ageField();
    void openThroughTheWindow();
    void badPairLeavesTheWindowAlone_data();
    void badPairLeavesTheWindowAlone();
    void saveThroughTheWindow();
    void failedSaveLeavesTheOldPairAndTheFlag();
    void viewConclusion();
    void viewConclusionWithoutAFile();
    void calendarWritesTheDate_data();
    void calendarWritesTheDate();
    void calendarClosedOtherwiseKeepsTheDate();
    void helpButtonAsksForContextFive();
    void exitCheckSeesBothFlags();
    void statusPaneNamesThePatient();
    void anotherPatientsCardAsksForANewExamination_data();
    void anotherPatientsCardAsksForANewExamination();
    void wholeRoadOfOnePatient();
};

void TestTfmCard::initTestCase()
{
    HintHub::instance().install();
}

void TestTfmCard::windowPlaceAndSize()
{
    TestEnv env;
    TfmCard *card = openCard();
    QCOMPARE(card->objectName(), QStringLiteral("fmCard"));
    QCOMPARE(card->windowTitle(), QStringLiteral("Картотека"));
    QVERIFY(card->isWindow());
    QVERIFY(card->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(card->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(card->pos(), QPoint(1, 96));
    QVERIFY(card->width() <= 373 && card->height() <= 469);
    // Everything fits into the window's fixed size, even with a title bar.
    QVERIFY2(card->minimumSizeHint().height() <= 469 - 25,
             qPrintable(QString::number(card->minimumSizeHint().height())));
    QVERIFY(card->minimumSizeHint().width() <= 373);
    QCOMPARE(control<QLabel>(card, "labelCard")->text(), QStringLiteral("Картотека:"));
    QCOMPARE(control<QGroupBox>(card, "gbPersons")->title(), QStringLiteral("Пациенты:"));
    QCOMPARE(control<QGroupBox>(card, "gbCard")->title(), QStringLiteral("Карточка"));
    QCOMPARE(control<QGroupBox>(card, "gbConcl")->title(), QStringLiteral("Заключение"));
    QCOMPARE(control<QLabel>(card, "lbDate")->text(), QStringLiteral("Дата:"));
    QCOMPARE(control<QListView>(card, "PersonsList")->selectionMode(), QAbstractItemView::SingleSelection);
    // Closing only hides: the window and what it holds stay.
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Петров"));
    card->close();
    QVERIFY(state::windows().fmCard);
    QCOMPARE(openCard(), card);
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("Петров"));
}

void TestTfmCard::actionsMenuAndToolBar()
{
    TestEnv env;
    TfmCard *card = openCard();
    struct A {
        QAction *action;
        const char *name, *caption, *hint, *button, *buttonHint;
    };
    const QList<A> actions{
        {control<QAction>(card, "FileOpen"), "FileOpen", "Открыть", "Открыть файл", "ToolButton1", "Открыть картотеку"},
        {control<QAction>(card, "FileSave"), "FileSave", "Сохранить", "Сохранить файл на диске", "ToolButton2",
         "Сохранить картотеку на диске"},
        {control<QAction>(card, "FileClear"), "FileClear", "Очистить", "Очистить окно картотеки", "ToolButton3",
         "Удалить все карточки"},
        {control<QAction>(card, "CardNew"), "CardNew", "Новая", "Завести новую карточку", "ToolButton5", "Завести новую карточку"},
        {control<QAction>(card, "CardEdit"), "CardEdit", "Править", "Взять карточку из списка", "ToolButton6",
         "Взять карточку из картотеки"},
        {control<QAction>(card, "CardWrite"), "CardWrite", "Записать", "Поместить карточку в список", "ToolButton7",
         "Поместить карточку в картотеку"},
        {control<QAction>(card, "CardDelete"), "CardDelete", "Удалить", "Удалить карточку", "ToolButton8",
         "Удалить указанную карточку"},
    };
    for (const A &a : actions) {
        QCOMPARE(a.action->objectName(), QString::fromUtf8(a.name));
        QCOMPARE(a.action->text(), QString::fromUtf8(a.caption));
        QCOMPARE(a.action->statusTip(), QString::fromUtf8(a.hint));
        auto *b = control<QToolButton>(card, a.button);
        QCOMPARE(b->defaultAction(), a.action);
        QCOMPARE(b->toolTip(), QString::fromUtf8(a.buttonHint));
        QCOMPARE(b->statusTip(), QString::fromUtf8(a.buttonHint));
        QVERIFY(!b->icon().isNull());
    }
    QCOMPARE(toolBarNames(control<QToolBar>(card, "ToolBar1")),
             (QStringList{"ToolButton1", "ToolButton2", "-", "ToolButton5", "ToolButton6", "ToolButton7",
                          "ToolButton8", "ToolButton3"}));

    const QList<QAction *> top = control<QMenuBar>(card, "MainMenu1")->actions();
    QCOMPARE(top.size(), 2);
    QCOMPARE(top.at(0)->text(), QStringLiteral("Картотека"));
    QCOMPARE(top.at(1)->text(), QStringLiteral("Карточка"));
    const QList<QPair<QMenu *, QStringList>> menus{
        {top.at(0)->menu(), {"FileOpen", "FileSave", "FileClear"}},
        {top.at(1)->menu(), {"CardNew", "CardEdit", "CardWrite", "CardDelete"}}};
    for (const auto &[menu, names] : menus) {
        QStringList got;
        for (QAction *i : menu->actions())
            got << i->objectName();
        QCOMPARE(got, names);
    }
    // A menu item runs its action: "Новая" from the menu adds a card.
    control<QAction>(card, "CardNew")->trigger();
    QCOMPARE(listTexts(card), QStringList{QStringLiteral("Новый пациент")});
    QCOMPARE(control<QAction>(card, "CardNew")->statusTip(),
             QStringLiteral("Завести новую карточку"));
}

void TestTfmCard::controlsHaveNamesAndHints()
{
    TestEnv env;
    TfmCard *card = openCard();
    struct C {
        QWidget *w;
        const char *name, *accessible, *hint;
    };
    const QList<C> controls{
        {control<QListView>(card, "PersonsList"), "PersonsList", "Пациенты:", "Список пациентов"},
        {control<QLineEdit>(card, "EditDate"), "EditDate", "Дата:", "Данные о пациенте"},
        {control<QToolButton>(card, "SpeedButton1"), "SpeedButton1", "Календарь", "Календарь"},
        {control<QLineEdit>(card, "FNameEdit"), "FNameEdit", "Фамилия:", "Данные о пациенте"},
        {control<QLineEdit>(card, "LNameEdit"), "LNameEdit", "Имя:", "Данные о пациенте"},
        {control<QLineEdit>(card, "MNameEdit"), "MNameEdit", "Отчество:", "Данные о пациенте"},
        {control<AgeSpinBox>(card, "AgeEdit"), "AgeEdit", "Возраст:", "Данные о пациенте"},
        {control<QLineEdit>(card, "DocEdit"), "DocEdit", "Профессия:", "Данные о пациенте"},
        {control<QLineEdit>(card, "AddrEdit"), "AddrEdit", "Адрес:", "Данные о пациенте"},
        {control<QLineEdit>(card, "PhoneEdit"), "PhoneEdit", "Телефон:", "Данные о пациенте"},
        {control<QLineEdit>(card, "ComplaintEdit"), "ComplaintEdit", "Жалобы", "Данные о пациенте"},
        {control<QLineEdit>(card, "AnamnesisEdit"), "AnamnesisEdit", "Семейн. анамнез", "Данные о пациенте"},
        {control<QGroupBox>(card, "gbCard"), "gbCard", "Карточка", "Данные о пациенте"},
        {control<QLineEdit>(card, "ConclEdit"), "ConclEdit", "Заключение", "Полное имя карточки пациента"},
        {control<QPushButton>(card, "bbCnclCard"), "bbCnclCard", "Просмотр", "Просмотр текста заключения"},
    };
    for (const C &c : controls) {
        QCOMPARE(c.w->objectName(), QString::fromUtf8(c.name));
        QCOMPARE(c.w->accessibleName(), QString::fromUtf8(c.accessible));
        QCOMPARE(c.w->toolTip(), QString::fromUtf8(c.hint));
        QCOMPARE(c.w->statusTip(), QString::fromUtf8(c.hint));
    }
    QCOMPARE(control<QPushButton>(card, "bbCnclCard")->text(), QStringLiteral("Просмотр"));
    QCOMPARE(control<QPushButton>(card, "bbHelpCard")->text(), QStringLiteral("Помощь"));
    QCOMPARE(control<QPushButton>(card, "bbHelpCard")->accessibleName(), QStringLiteral("Помощь"));
    // Captions of the edit fields, each the buddy of its field.
    QStringList captions;
    for (QLabel *l : control<QGroupBox>(card, "gbCard")->findChildren<QLabel *>())
        if (l->buddy())
            captions << l->text();
    captions.sort();
    QStringList expected{"Дата:", "Фамилия:", "Имя:", "Отчество:", "Возраст:", "Профессия:", "Адрес:",
                         "Телефон:", "Жалобы", "Семейн. анамнез"};
    expected.sort();
    QCOMPARE(captions, expected);
}

void TestTfmCard::tabOrderFollowsTheCard()
{
    TestEnv env;
    TfmCard *card = openCard();
    card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(card));
    control<QListView>(card, "PersonsList")->setFocus();
    const QList<QWidget *> expected{control<QListView>(card, "PersonsList"), control<QLineEdit>(card, "EditDate"),      control<QLineEdit>(card, "FNameEdit"), control<QLineEdit>(card, "LNameEdit"),
                                    control<QLineEdit>(card, "MNameEdit"),   control<AgeSpinBox>(card, "AgeEdit"),       control<QLineEdit>(card, "DocEdit"),   control<QLineEdit>(card, "AddrEdit"),
                                    control<QLineEdit>(card, "PhoneEdit"),   control<QLineEdit>(card, "ComplaintEdit"), control<QLineEdit>(card, "AnamnesisEdit"),
                                    control<QLineEdit>(card, "ConclEdit"),   control<QPushButton>(card, "bbCnclCard"),    control<QPushButton>(card, "bbHelpCard"), control<QListView>(card, "PersonsList")};
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        // The age field's focus sits in its inner line edit.
        if (focus && focus->parentWidget() == control<AgeSpinBox>(card, "AgeEdit"))
            focus = control<AgeSpinBox>(card, "AgeEdit");
        QCOMPARE(focus, expected.at(i));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void TestTfmCard::newCardTwice()
{
    TestEnv env;
    TfmCard *card = cardWithThree();
    card->selectRow(1);
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("набрано"));
    control<QAction>(card, "CardNew")->trigger();
    control<QAction>(card, "CardNew")->trigger();
    QCOMPARE(listTexts(card).mid(3), (QStringList{"Новый пациент", "Новый пациент"}));
    QCOMPARE(record(card, 3), THuman(QStringLiteral("Новый пациент")));
    QCOMPARE(record(card, 4), THuman(QStringLiteral("Новый пациент")));
    QVERIFY(state::cards::cardIndex().isDirty());
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
    QCOMPARE(card->selectedRow(), 4); // the new line, ready for what is typed
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("набрано"));

    // Each has its own record: changing one leaves the other.
    card->selectRow(3);
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Первый"));
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(record(card, 3).FName, QStringLiteral("Первый"));
    QCOMPARE(record(card, 4).FName, QStringLiteral("Новый пациент"));
}

void TestTfmCard::takeOutNeedsASelection()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = openCard();
    control<QAction>(card, "CardEdit")->trigger(); // empty list
    control<QAction>(card, "CardNew")->trigger();
    control<QListView>(card, "PersonsList")->clearSelection();
    control<QAction>(card, "CardEdit")->trigger(); // an entry, none selected
    QCOMPARE(prompter.texts(), (QStringList{"Не выбраны картотека или карточка", "Не выбраны картотека или карточка"}));
    QCOMPARE(prompter.records.at(0).kind, PromptRecord::Message);
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QString());
}

void TestTfmCard::takeOutOfAnEntryWithoutRecord()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeLines("p.lst", {QStringLiteral("Петров О.И."), QStringLiteral("Сидоров")});
    env.writeLines("p.lso", state::cardindex::recordLines(person("Петров", "Олег", "Ильич", 61)));
    prompter.fileNames << env.path("p.lst");
    TfmCard *card = openCard();
    control<QAction>(card, "FileOpen")->trigger();
    card->selectRow(1);
    control<QAction>(card, "CardEdit")->trigger();
    QVERIFY(state::cards::cardIndex().hasCardTakenOut());
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("Сидоров"));
    QCOMPARE(control<AgeSpinBox>(card, "AgeEdit")->text(), QStringLiteral("0"));
    QCOMPARE(control<QLineEdit>(card, "ConclEdit")->text(), QString());
    QCOMPARE(record(card, 1), THuman(QStringLiteral("Сидоров")));
    // The entry with a record gives its fields.
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(fieldTexts(card), (QStringList{"01.02.2024", "Петров", "Олег", "Ильич", "61", "учитель", "Тверь",
                                            "22-33-44", "усталость", "мать — диабет", "/tmp/Петров.txt"}));
}

void TestTfmCard::writeBackStoresAndClears()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = openCard();
    control<QAction>(card, "CardNew")->trigger();
    state::cards::cardIndex().setStartValues(); // nothing unsaved, as after a save
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("Новый пациент"));
    control<QLineEdit>(card, "EditDate")->setText(QStringLiteral("05.06.2024"));
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Петров"));
    control<QLineEdit>(card, "LNameEdit")->setText(QStringLiteral("Олег"));
    control<QLineEdit>(card, "MNameEdit")->setText(QStringLiteral("Ильич"));
    control<AgeSpinBox>(card, "AgeEdit")->setText(QStringLiteral("сорок два"));
    control<QLineEdit>(card, "DocEdit")->setText(QStringLiteral("токарь"));
    control<QLineEdit>(card, "ConclEdit")->setText(QStringLiteral("/tmp/Петров.txt"));
    control<QAction>(card, "CardWrite")->trigger();

    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(listTexts(card), QStringList{QStringLiteral("Петров О.И.")});
    const THuman h = record(card, 0);
    QCOMPARE(h.Date, QStringLiteral("05.06.2024"));
    QCOMPARE(h.FName, QStringLiteral("Петров"));
    QCOMPARE(h.Age, 0); // not a number
    QCOMPARE(h.Doc, QStringLiteral("токарь"));
    QCOMPARE(h.Concl, QStringLiteral("/tmp/Петров.txt"));
    QCOMPARE(fieldTexts(card), QStringList(11));
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
    QVERIFY(state::cards::cardIndex().isDirty()); // the index has changed since it was saved
    QCOMPARE(card->selectedRow(), 0);

    // Empty first and middle names: the surname, a space and two dots.
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "LNameEdit")->clear();
    control<QLineEdit>(card, "MNameEdit")->clear();
    control<AgeSpinBox>(card, "AgeEdit")->setText(QStringLiteral("-12"));
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(listTexts(card), QStringList{QStringLiteral("Петров ..")});
    QCOMPARE(record(card, 0).Age, -12);
}

void TestTfmCard::writeBackGoesToTheTakenOutCard()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithThree();
    const THuman b = record(card, 1);
    card->selectRow(0); // A
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Андреева"));
    control<QLineEdit>(card, "LNameEdit")->setText(QStringLiteral("Анна"));
    card->selectRow(1); // B, only looked at
    control<QAction>(card, "CardWrite")->trigger();

    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(listTexts(card), (QStringList{"Андреева А.А.", "Борисова Б.Б.", "Власов В.В."}));
    QCOMPARE(record(card, 0).FName, QStringLiteral("Андреева"));
    QCOMPARE(record(card, 0).LName, QStringLiteral("Анна"));
    QCOMPARE(record(card, 0).Age, 30);
    QCOMPARE(record(card, 1), b);
    QCOMPARE(card->selectedRow(), 1);
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
}

void TestTfmCard::takenOutCardFollowsItsEntry()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithThree();
    card->selectRow(2); // C
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Волков"));
    card->selectRow(0);
    control<QAction>(card, "CardDelete")->trigger(); // A goes, C moves up
    control<QAction>(card, "CardNew")->trigger();    // a new card at the end
    control<QAction>(card, "CardWrite")->trigger();
    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(listTexts(card), (QStringList{"Борисова Б.Б.", "Волков В.В.", "Новый пациент"}));
    QCOMPARE(record(card, 2), THuman(QStringLiteral("Новый пациент")));
}

void TestTfmCard::writeBackAfterTheCardIsGone_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("deleted") << "delete";
    QTest::newRow("list cleared") << "clear";
    QTest::newRow("another file opened") << "open";
}

void TestTfmCard::writeBackAfterTheCardIsGone()
{
    QFETCH(QString, how);
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = writeThreePair(env, "other.lst");
    TfmCard *card = cardWithThree();
    card->selectRow(1);
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Изменено"));
    if (how == "delete") {
        control<QAction>(card, "CardDelete")->trigger();
    } else if (how == "clear") {
        control<QAction>(card, "FileClear")->trigger();
    } else {
        // The card stays in the fields when the list's changes are given up.
        prompter.answers << QMessageBox::Discard;
        prompter.fileNames << list;
        control<QAction>(card, "FileOpen")->trigger();
        QCOMPARE(prompter.records.at(0).buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        prompter.clear();
    }
    const QList<CardEntry> before = card->model()->entries();
    card->selectRow(0);
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Неправильное сохранение карточки")});
    QCOMPARE(card->model()->entries(), before);
    // What was typed stays, and still counts as a card taken out.
    QCOMPARE(fieldTexts(card).at(1), QStringLiteral("Изменено"));
    QVERIFY(state::cards::cardIndex().hasCardTakenOut());
    // Written onto an entry the user selects, it is stored there.
    prompter.clear();
    control<QAction>(card, "CardNew")->trigger();
    card->selectRow(card->model()->rowCount() - 1);
    control<QAction>(card, "CardWrite")->trigger();
    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(record(card, card->model()->rowCount() - 1).FName, QStringLiteral("Изменено"));
    QCOMPARE(fieldTexts(card), QStringList(11));
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
}

void TestTfmCard::writeBackWithoutTakeOut()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeLines("p.lst", {QStringLiteral("Петров О.И."), QStringLiteral("Без записи")});
    env.writeLines("p.lso", state::cardindex::recordLines(person("Петров", "Олег", "Ильич", 61)));
    prompter.fileNames << env.path("p.lst");
    TfmCard *card = openCard();
    control<QAction>(card, "FileOpen")->trigger();

    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Никто"));
    control<QAction>(card, "CardWrite")->trigger(); // nothing selected
    card->selectRow(1);
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Никто"));
    control<QAction>(card, "CardWrite")->trigger(); // an entry without a record
    QCOMPARE(prompter.texts(), (QStringList{"Неправильное сохранение карточки", "Неправильное сохранение карточки"}));
    QCOMPARE(listTexts(card), (QStringList{"Петров О.И.", "Без записи"}));
    QVERIFY(!card->model()->entry(1).record);

    // With no card out, nothing is stored even on a selected entry with a
    // record: a second "Записать" after a write-back would otherwise wipe
    // the card just written back with the emptied fields.
    prompter.clear();
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Сидоров"));
    control<QAction>(card, "CardWrite")->trigger();
    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(listTexts(card), (QStringList{"Сидоров О.И.", "Без записи"}));
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(prompter.texts(), QStringList{"Неправильное сохранение карточки"});
    QCOMPARE(listTexts(card), (QStringList{"Сидоров О.И.", "Без записи"}));
    QCOMPARE(record(card, 0).FName, QStringLiteral("Сидоров"));
    QCOMPARE(record(card, 0).LName, QStringLiteral("Олег"));
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
}

// "Записать" without "Править": "Новая" selects its new line, so what is
// typed next goes there and not onto the card selected before; typed onto
// another patient's card it asks first, and "Нет" changes nothing.
void TestTfmCard::typedCardGoesOntoTheSelectedEntry()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = openCard();
    const THuman petrova = person("Петрова", "Анна", "Сергеевна", 40);
    card->model()->setEntries({CardEntry{state::human::displayText(petrova), petrova}});
    card->selectRow(0);
    control<QAction>(card, "CardNew")->trigger();
    QCOMPARE(card->selectedRow(), 1);
    const auto type = [card](const QString &f, const QString &l, const QString &m) {
        control<QLineEdit>(card, "FNameEdit")->setText(f);
        control<QLineEdit>(card, "LNameEdit")->setText(l);
        control<QLineEdit>(card, "MNameEdit")->setText(m);
        control<AgeSpinBox>(card, "AgeEdit")->setText(QStringLiteral("52"));
    };
    type(QStringLiteral("Пестов"), QStringLiteral("Иван"), QStringLiteral("Петрович"));
    control<QAction>(card, "CardWrite")->trigger();
    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(listTexts(card), (QStringList{"Петрова А.С.", "Пестов И.П."}));
    QCOMPARE(record(card, 0), petrova);
    QCOMPARE(record(card, 1).Age, 52);
    QCOMPARE(fieldTexts(card), QStringList(11));

    // Typed again with Петрова selected: the question names both cards.
    const QString question = QStringLiteral("Заменить карточку «Петрова А.С.» данными «Пестов И.П.»?");
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        prompter.clear();
        prompter.answers << answer;
        card->selectRow(0);
        type(QStringLiteral("Пестов"), QStringLiteral("Иван"), QStringLiteral("Петрович"));
        const QStringList typed = fieldTexts(card);
        control<QAction>(card, "CardWrite")->trigger();
        QCOMPARE(prompter.texts(), QStringList{question});
        QCOMPARE(prompter.records.at(0).buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompter.records.at(0).defaultButton, QMessageBox::No);
        QCOMPARE(record(card, 0).FName, answer == QMessageBox::No ? QStringLiteral("Петрова") : QStringLiteral("Пестов"));
        QCOMPARE(fieldTexts(card), answer == QMessageBox::No ? typed : QStringList(11));
    }

    // The same patient retyped is stored without a question; with nothing
    // selected the typed fields stay.
    prompter.clear();
    type(QStringLiteral("пестов "), QStringLiteral("Иван"), QStringLiteral("Петрович"));
    control<QAction>(card, "CardWrite")->trigger();
    QVERIFY(prompter.records.isEmpty());
    control<QListView>(card, "PersonsList")->clearSelection();
    type(QStringLiteral("Смирнова"), QStringLiteral("Елена"), QString());
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Неправильное сохранение карточки")});
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("Смирнова"));
}

void TestTfmCard::fieldsTakeOnlyWhatTheFilesCanHold()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = openCard();
    // Typed or pasted, a character Windows-1251 lacks is refused at once.
    control<QLineEdit>(card, "FNameEdit")->insert(QStringLiteral("Müller"));
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QString());
    control<QLineEdit>(card, "FNameEdit")->insert(QStringLiteral("Мюллер №5 «Ё»"));
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("Мюллер №5 «Ё»"));
    QVERIFY(platform::ui::codePageNotice(QStringLiteral("Müller 😀ü")).contains(QStringLiteral(": ü 😀.")));
    QVERIFY(platform::ui::codePageNotice(QStringLiteral("Мюллер")).isEmpty());

    // One put in by the program can still be corrected, and a save that
    // has to write "?" names the card and field.
    control<QAction>(card, "CardNew")->trigger();
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "ConclEdit")->setText(QStringLiteral("/home/ü.txt"));
    control<QLineEdit>(card, "ConclEdit")->end(false);
    control<QLineEdit>(card, "ConclEdit")->backspace();
    QCOMPARE(control<QLineEdit>(card, "ConclEdit")->text(), QStringLiteral("/home/ü.tx"));
    control<QAction>(card, "CardWrite")->trigger();
    prompter.fileNames << env.path("u.lst");
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(prompter.texts().size(), 1);
    QCOMPARE(prompter.records.last().icon, QMessageBox::Information);
    QVERIFY(prompter.texts().constFirst().endsWith(
        QStringLiteral(":\nкарточка 1 (Новый пациент ..), поле «Заключение»")));
}

void TestTfmCard::handEditedPairIsOpenedWithANotice()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeLines("h.lst", {QStringLiteral("Петров О.И.")});
    env.writeLines("h.lso", state::cardindex::recordLines(person("Петров", "Олег", "Ильич", 61)).mid(0, 9));
    prompter.fileNames << env.path("h.lst");
    TfmCard *card = openCard();
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(listTexts(card), QStringList{QStringLiteral("Петров О.И.")});
    QCOMPARE(record(card, 0).Age, 61);
    QCOMPARE(prompter.texts().size(), 1);
    QVERIFY(prompter.texts().constFirst().contains(QStringLiteral("последняя карточка (1, «Петров О.И.»)")));
}

void TestTfmCard::lineBreaksTypedIntoFields()
{
    TestEnv env;
    TfmCard *card = openCard();
    control<QAction>(card, "CardNew")->trigger();
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Пет\nров"));
    control<QLineEdit>(card, "ConclEdit")->setText(QStringLiteral("/tmp/a\r\nb.txt"));
    control<QAction>(card, "CardWrite")->trigger();
    const THuman h = record(card, 0);
    QCOMPARE(h.FName.contains(QLatin1Char('\n')), false);
    QCOMPARE(h.Concl.contains(QLatin1Char('\n')) || h.Concl.contains(QLatin1Char('\r')), false);
    QVERIFY(!listTexts(card).constFirst().contains(QLatin1Char('\n')));
    // Saved, the record keeps its eleven lines.
    QVERIFY(state::cardindex::writePair(env.path("x.lst"), card->model()->entries()).ok);
    QCOMPARE(platform::textfile::readLines(env.path("x.lso")).lines.size(), 11);
    QCOMPARE(platform::textfile::readLines(env.path("x.lst")).lines.size(), 1);
}

void TestTfmCard::deleteAndClear()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithThree();
    control<QAction>(card, "CardDelete")->trigger(); // nothing selected: nothing happens
    QCOMPARE(listTexts(card).size(), 3);
    QVERIFY(!state::cards::cardIndex().isDirty());
    card->selectRow(1);
    control<QAction>(card, "CardDelete")->trigger();
    QCOMPARE(listTexts(card), (QStringList{"Андреев А.А.", "Власов В.В."}));
    QCOMPARE(record(card, 1).FName, QStringLiteral("Власов"));
    // Nothing is selected afterwards: a second click deletes nothing more.
    QCOMPARE(card->selectedRow(), -1);
    control<QAction>(card, "CardDelete")->trigger();
    QCOMPARE(listTexts(card), (QStringList{"Андреев А.А.", "Власов В.В."}));
    QVERIFY(state::cards::cardIndex().isDirty()); // the deletion is an unsaved change
    QVERIFY(prompter.records.isEmpty());

    // Clear: no question, no file touched, flags unchanged, label reset.
    const QString list = writeThreePair(env, "k.lst");
    const QByteArray oldData = env.readBytes("k.lso");
    prompter.answers << QMessageBox::Discard; // the deletion above is given up
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    QVERIFY(control<QLabel>(card, "labelCard")->text().endsWith(QStringLiteral("k.lst")));
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    control<QAction>(card, "FileClear")->trigger();
    QCOMPARE(card->model()->rowCount(), 0);
    QCOMPARE(control<QLabel>(card, "labelCard")->text(), QStringLiteral("Картотека:"));
    QVERIFY(state::cards::cardIndex().isDirty());
    QVERIFY(state::cards::cardIndex().hasCardTakenOut());
    QCOMPARE(env.readBytes("k.lso"), oldData);
    QVERIFY(prompter.records.size() == 2); // the question before opening, the open dialog
}

void TestTfmCard::ageField()
{
    TestEnv env;
    TfmCard *card = openCard();
    AgeSpinBox *age = control<AgeSpinBox>(card, "AgeEdit");
    age->setText(QStringLiteral("abc"));
    QCOMPARE(age->value(), 0);
    age->stepBy(1);
    QCOMPARE(age->text(), QStringLiteral("1"));
    age->stepBy(-3);
    QCOMPARE(age->value(), -2);
    age->setValue(std::numeric_limits<int>::max());
    age->stepBy(1);
    QCOMPARE(age->value(), std::numeric_limits<int>::max());
    age->setText(QStringLiteral("99999999999"));
    QCOMPARE(age->value(), 0);
    // Any text can be typed, as the field has no range.
    age->clear();
    age->setFocus();
    QTest::keyClicks(age, "x7");
    QCOMPARE(age->text(), QStringLiteral("x7"));
    QCOMPARE(age->value(), 0);
}

void TestTfmCard::openThroughTheWindow()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = openCard();
    control<QAction>(card, "CardNew")->trigger();
    state::cards::cardIndex().setStartValues();

    // Cancel: nothing changes.
    prompter.fileNames << QString();
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(listTexts(card), QStringList{QStringLiteral("Новый пациент")});
    QVERIFY(!state::cards::cardIndex().isDirty());
    QCOMPARE(prompter.records.at(0).kind, PromptRecord::Open);
    QCOMPARE(prompter.records.at(0).request.filter, QStringLiteral("Списки|*.LST"));
    QCOMPARE(prompter.records.at(0).request.defaultSuffix, QStringLiteral("lst"));

    // A name that names no file.
    prompter.clear();
    prompter.fileNames << env.path("nothing.lst");
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Ошибка открытия файла")});
    QCOMPARE(listTexts(card), QStringList{QStringLiteral("Новый пациент")});
    QCOMPARE(control<QLabel>(card, "labelCard")->text(), QStringLiteral("Картотека:"));

    // The golden pair: by position, the second entry gets the last record.
    prompter.clear();
    const QString golden = TestEnv::testDataPath("cards/golden/three.lst");
    prompter.fileNames << golden;
    control<QAction>(card, "FileOpen")->trigger();
    QVERIFY(prompter.texts().isEmpty());
    QCOMPARE(listTexts(card), (QStringList{"Петров О.И.", "Без карточки", "Иванова .."}));
    QCOMPARE(record(card, 1).FName, QStringLiteral("Иванова"));
    QVERIFY(!card->model()->entry(2).record);
    QCOMPARE(control<QLabel>(card, "labelCard")->text(), state::cardindex::labelText(golden));
    // A screen reader reads the file name too, not only "Картотека:".
    QCOMPARE(QAccessible::queryAccessibleInterface(control<QLabel>(card, "labelCard"))->text(QAccessible::Name),
             state::cardindex::labelText(golden));
    QCOMPARE(card->listFileName(), golden);
    QVERIFY(state::cards::cardIndex().isDirty());
    QCOMPARE(card->selectedRow(), -1);

    // Short names show whole; a relative name is made full.
    prompter.clear();
    QDir().mkpath(env.path("k"));
    QDir::setCurrent(env.path("k"));
    env.writeLines("k/a.lst", {});
    env.writeBytes("k/a.lso", {});
    prompter.fileNames << QStringLiteral("a.lst");
    control<QAction>(card, "FileOpen")->trigger();
    QDir::setCurrent(env.path());
    QCOMPARE(card->listFileName(), env.path("k/a.lst"));
    QCOMPARE(card->model()->rowCount(), 0);
}

void TestTfmCard::badPairLeavesTheWindowAlone_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    const QStringList good = state::cardindex::recordLines(person("Петров", "Олег", "Ильич", 61));
    QStringList badAge = good;
    badAge[4] = QStringLiteral("61 год");
    QTest::newRow("no data file") << QByteArray() << "Нет файла данных картотеки %D";
    QTest::newRow("age not a number")
        << platform::textfile::encodeLines(badAge)
        << "Ошибка в файле данных картотеки %D, строка 5: возраст «61 год» не является целым числом";
    QTest::newRow("too many records")
        << platform::textfile::encodeLines(good + good + good)
        << "Ошибка в файле данных картотеки %D, строка 23: карточек в нём больше, чем строк (2) в файле "
           "списка %L";
}

void TestTfmCard::badPairLeavesTheWindowAlone()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    TestEnv env;
    ScriptedPrompter prompter;
    const QString good = writeThreePair(env, "good.lst");
    env.writeLines("bad.LST", {QStringLiteral("Петров О.И."), QStringLiteral("Сидоров")});
    if (!data.isEmpty())
        env.writeBytes("bad.lso", data);

    TfmCard *card = openCard();
    prompter.fileNames << good;
    control<QAction>(card, "FileOpen")->trigger();
    control<QAction>(card, "CardNew")->trigger();
    state::cards::cardIndex().setStartValues();
    const QList<CardEntry> before = card->model()->entries();
    const QString label = control<QLabel>(card, "labelCard")->text();

    prompter.fileNames << env.path("bad.LST");
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(prompter.texts(),
             QStringList{QString(message).replace("%D", env.path("bad.lso")).replace("%L", env.path("bad.LST"))});
    QCOMPARE(card->model()->entries(), before);
    QCOMPARE(control<QLabel>(card, "labelCard")->text(), label);
    QVERIFY(!state::cards::cardIndex().isDirty());

    // A save now still proposes and writes the good file, with every record.
    prompter.fileNames << good;
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(prompter.records.last().request.fileName, good);
    QCOMPARE(state::cardindex::readPair(good).entries, before);
}

void TestTfmCard::saveThroughTheWindow()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithThree();
    state::cards::cardIndex().noteUnsaved();

    prompter.fileNames << QString();
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(prompter.records.at(0).kind, PromptRecord::Save);
    QCOMPARE(prompter.records.at(0).request.filter, QStringLiteral("Списки|*.LST"));
    QCOMPARE(prompter.records.at(0).request.defaultSuffix, QStringLiteral("lst"));
    QCOMPARE(QDir(env.path()).entryList(QDir::Files), QStringList());
    QVERIFY(state::cards::cardIndex().isDirty());

    // A name of more than 47 characters shows its last 48 after " ...".
    QString name = env.path("Картотека_пациентов_кабинета_иридодиагностики.LST");
    QVERIFY(name.size() > 48);
    prompter.fileNames << name;
    control<QAction>(card, "FileSave")->trigger();
    QVERIFY(!state::cards::cardIndex().isDirty());
    QCOMPARE(control<QLabel>(card, "labelCard")->text(), QStringLiteral("Картотека: ...") + name.right(48));
    QVERIFY(QFile::exists(env.path("Картотека_пациентов_кабинета_иридодиагностики.lso")));
    QCOMPARE(state::cardindex::readPair(name).entries, card->model()->entries());
}

void TestTfmCard::failedSaveLeavesTheOldPairAndTheFlag()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = writeThreePair(env, "k.lst");
    const QByteArray oldList = env.readBytes("k.lst");
    const QByteArray oldData = env.readBytes("k.lso");
    TfmCard *card = openCard();
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    for (int i = 0; i < 30; ++i)
        control<QAction>(card, "CardNew")->trigger();
    const QString label = control<QLabel>(card, "labelCard")->text();

    for (long long limit : {16LL, 1200LL}) {
        prompter.clear();
        prompter.fileNames << list;
        {
            WriteLimit writeLimit(limit);
            control<QAction>(card, "FileSave")->trigger();
        }
        QCOMPARE(prompter.texts(), QStringList{"Ошибка записи в файл\nФайл " + env.path(limit == 16 ? "k.lst" : "k.lso") +
                                               ": превышен допустимый размер файла"});
        QCOMPARE(env.readBytes("k.lst"), oldList);
        QCOMPARE(env.readBytes("k.lso"), oldData);
        QVERIFY(state::cards::cardIndex().isDirty());
        QCOMPARE(control<QLabel>(card, "labelCard")->text(), label);
    }
}

void TestTfmCard::viewConclusion()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QStringList lines{QStringLiteral("Заключение"), QString(), QStringLiteral("  Петров — здоров")};
    env.writeLines("Петров.txt", lines);
    TfmCard *card = openCard();
    conclusion::concl::open();
    conclusion::concl::setLines({QStringLiteral("старый текст")});
    state::windows().fmConcl->hide();
    state::examination().setConclMode(1);
    control<QLineEdit>(card, "ConclEdit")->setText(env.path("Петров.txt"));
    control<QPushButton>(card, "bbCnclCard")->click();
    QVERIFY(prompter.records.isEmpty());
    QVERIFY(state::windows().fmConcl->isVisible());
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lines(), lines);
    QCOMPARE(state::examination().conclMode(), 1);
}

void TestTfmCard::viewConclusionWithoutAFile()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = openCard();
    QVERIFY(!state::windows().fmConcl);
    control<QPushButton>(card, "bbCnclCard")->click();
    QVERIFY(state::windows().fmConcl && state::windows().fmConcl->isVisible());
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File  is absent")});
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lineCount(), 0);

    prompter.clear();
    conclusion::concl::setLines({QStringLiteral("текст")});
    control<QLineEdit>(card, "ConclEdit")->setText(env.path("нет.txt"));
    control<QPushButton>(card, "bbCnclCard")->click();
    QCOMPARE(prompter.texts(), QStringList{"File " + env.path("нет.txt") + " is absent"});
    QCOMPARE(control<Memo>(state::windows().fmConcl, "mmConcl")->lineCount(), 0);
}

void TestTfmCard::calendarWritesTheDate_data()
{
    QTest::addColumn<QDate>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("one-digit day and month") << QDate(2026, 12, 7) << "07.12.2026";
    QTest::newRow("two digits") << QDate(2023, 11, 17) << "17.11.2023";
    QTest::newRow("first of the year") << QDate(2024, 1, 1) << "01.01.2024";
}

// Under any locale (the tests run under C, and the default locale is made C
// here) the calendar writes the Russian short date.
void TestTfmCard::calendarWritesTheDate()
{
    QFETCH(QDate, chosen);
    QFETCH(QString, written);
    TestEnv env;
    ScriptedPrompter prompter;
    QLocale::setDefault(QLocale::c());
    TfmCard *card = openCard();
    control<QLineEdit>(card, "EditDate")->setText(QStringLiteral("старая дата"));
    QPointer<QDialog> seen;
    prompter.onExec = [&](QDialog *d) {
        seen = d;
        auto *cal = qobject_cast<TfmCalendar *>(d);
        if (!cal)
            return int(QDialog::Rejected);
        // Today's date at first.
        if (control<QCalendarWidget>(cal, "Calendar")->selectedDate() != QDate::currentDate() || cal->windowTitle() != "Календарь" ||
            cal->parentWidget() != card || control<QPushButton>(cal, "Button1")->text() != "Ввод")
            return int(QDialog::Rejected);
        control<QCalendarWidget>(cal, "Calendar")->setSelectedDate(chosen);
        control<QPushButton>(cal, "Button1")->click();
        return cal->result();
    };
    control<QToolButton>(card, "SpeedButton1")->click();
    QCOMPARE(control<QLineEdit>(card, "EditDate")->text(), written);
    QVERIFY(!seen); // destroyed once closed
}

void TestTfmCard::calendarClosedOtherwiseKeepsTheDate()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = openCard();
    control<QLineEdit>(card, "EditDate")->setText(QStringLiteral("старая дата"));
    int runs = 0;
    prompter.onExec = [&](QDialog *d) {
        ++runs;
        auto *cal = qobject_cast<TfmCalendar *>(d);
        control<QCalendarWidget>(cal, "Calendar")->setSelectedDate(QDate(2020, 1, 1));
        cal->close(); // the title-bar button
        return cal->result();
    };
    control<QToolButton>(card, "SpeedButton1")->click();
    QCOMPARE(runs, 1);
    QCOMPARE(control<QLineEdit>(card, "EditDate")->text(), QStringLiteral("старая дата"));
    // Alt+Down in the date field opens the calendar as well.
    card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(card));
    control<QLineEdit>(card, "EditDate")->setFocus();
    QTest::keyClick(control<QLineEdit>(card, "EditDate"), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(runs, 2);
}

void TestTfmCard::helpButtonAsksForContextFive()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.seed(QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"));
    TfmCard *card = openCard();
    help::setHelpFile(QStringLiteral("elsewhere.hlp"));
    control<QPushButton>(card, "bbHelpCard")->click();
    QCOMPARE(help::helpFile(), QStringLiteral(".\\Nirel3hlp\\NIREL3HELP.HLP"));
    QVERIFY(HelpViewer::existing());
    QCOMPARE(HelpViewer::existing()->currentAnchor(), QStringLiteral("ctx5"));
}

void TestTfmCard::exitCheckSeesBothFlags()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = writeThreePair(env, "k.lst");
    TfmCard *card = openCard();
    QVERIFY(shell::exitCheck(nullptr)); // nothing loaded: no question
    QVERIFY(prompter.records.isEmpty());

    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger(); // a freshly read index counts as unsaved
    prompter.answers << QMessageBox::No;
    QVERIFY(!shell::exitCheck(nullptr));
    QCOMPARE(prompter.texts().mid(0, 2), (QStringList{"Выйти без сохранения базы данных?", "Сохраните картотеку"}));

    prompter.clear();
    prompter.fileNames << list;
    control<QAction>(card, "FileSave")->trigger();
    QVERIFY(shell::exitCheck(nullptr));
    QVERIFY(prompter.texts().isEmpty());

    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    prompter.answers << QMessageBox::No;
    QVERIFY(!shell::exitCheck(nullptr));
    QCOMPARE(prompter.texts().last(), QStringLiteral("Верните карточку в картотеку и сохраните картотеку"));
    control<QAction>(card, "CardWrite")->trigger();
    // The card written back is an unsaved change of the index.
    prompter.clear();
    prompter.answers << QMessageBox::No;
    QVERIFY(!shell::exitCheck(nullptr));
    QCOMPARE(prompter.texts().constFirst(), QStringLiteral("Выйти без сохранения базы данных?"));
}

void TestTfmCard::statusPaneNamesThePatient()
{
    TestEnv env;
    auto *w = new TfmNirel3();
    state::windows().fmNirel3 = w;
    control<QAction>(w, "Card")->trigger();
    TfmCard *card = state::windows().fmCard;
    QVERIFY(card);
    QCOMPARE(card->parentWidget(), w);
    control<QAction>(card, "CardNew")->trigger();
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Петров"));
    control<QLineEdit>(card, "LNameEdit")->setText(QStringLiteral("Олег"));
    control<QLineEdit>(card, "MNameEdit")->setText(QStringLiteral("Ильич"));
    // A hint of the card window reaches the main window's panes.
    QStatusTipEvent tip(control<QListView>(card, "PersonsList")->statusTip());
    QCoreApplication::sendEvent(control<QListView>(card, "PersonsList"), &tip);
    QCOMPARE(control<QStatusBar>(w, "StatusBar2")->currentMessage(), QStringLiteral("Список пациентов"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: Петров Олег Ильич"));
    // Written back, the card is nobody's: the pane says so at once.
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(control<QStatusBar>(w, "StatusBar1")->currentMessage(), QStringLiteral("Пациент: не выбран"));
}

void TestTfmCard::anotherPatientsCardAsksForANewExamination_data()
{
    QTest::addColumn<QString>("results"); // what the examination holds after Петрова's card
    QTest::addColumn<QString>("next");    // the card taken out next
    QTest::addColumn<int>("answer");      // to the question; 0: none asked
    QTest::newRow("signs, new examination") << "signs" << "Пестов" << int(QMessageBox::Yes);
    QTest::newRow("express, kept") << "express" << "Пестов" << int(QMessageBox::No);
    QTest::newRow("draft not saved, new examination") << "draft" << "Пестов" << int(QMessageBox::Yes);
    QTest::newRow("draft saved") << "saved draft" << "Пестов" << 0;
    QTest::newRow("nothing recorded") << "none" << "Пестов" << 0;
    QTest::newRow("the same card again") << "signs" << "Петрова" << 0;
}

// Петрова examined and her card written back; Пестов's card taken out next
// would have her results printed under his name: the question comes first.
void TestTfmCard::anotherPatientsCardAsksForANewExamination()
{
    QFETCH(QString, results);
    QFETCH(QString, next);
    QFETCH(int, answer);
    TestEnv env;
    ScriptedPrompter prompter;
    auto *w = new TfmNirel3();
    state::windows().fmNirel3 = w;
    control<QAction>(w, "Card")->trigger();
    TfmCard *card = state::windows().fmCard;
    const THuman petrova = person("Петрова", "Анна", "Сергеевна", 40);
    const THuman pestov = person("Пестов", "Иван", "Петрович", 52);
    card->model()->setEntries({CardEntry{state::human::displayText(petrova), petrova},
                               CardEntry{state::human::displayText(pestov), pestov}});
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    control<QAction>(w, "CnclDraft")->trigger();
    if (results == "signs") {
        ExaminationScript().RightEyeSigns = {QStringLiteral("Лакуна")};
        ExaminationScript().DeepPassCount = 1;
    } else if (results == "express") {
        ExaminationScript().ExpressLines = {QStringLiteral("Велховер: 2"), QStringLiteral("Кривенко: 3")};
    } else if (results != "none") {
        control<QPushButton>(state::windows().fmConcl, "bbOKCnkl")->click();
        if (results == "saved draft") {
            prompter.fileNames << env.path("Петрова.txt");
            control<QPushButton>(state::windows().fmConcl, "bbSaveCncl")->click();
        }
    }
    control<QAction>(card, "CardWrite")->trigger();
    prompter.clear();
    if (answer)
        prompter.answers << QMessageBox::StandardButton(answer);
    card->selectRow(next == "Пестов" ? 1 : 0);
    control<QAction>(card, "CardEdit")->trigger();

    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), next);
    QVERIFY(state::cards::cardIndex().hasCardTakenOut());
    if (!answer) {
        QVERIFY(prompter.records.isEmpty());
        return;
    }
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Результаты осмотра получены для «Петрова А.С.». "
                                                          "Начать новый осмотр для «Пестов И.П.»?")});
    QCOMPARE(prompter.records.at(0).defaultButton, QMessageBox::No);
    const bool kept = answer == QMessageBox::No;
    QCOMPARE(state::examination().resultsRecorded() || !control<Memo>(state::windows().fmConcl, "mmConcl")->lines().isEmpty(), kept);
    // Asked once: the examination is now Пестов's.
    prompter.clear();
    control<QAction>(card, "CardEdit")->trigger();
    QVERIFY(prompter.records.isEmpty());
}

void TestTfmCard::wholeRoadOfOnePatient()
{
    TestEnv env;
    ScriptedPrompter prompter;
    auto *w = new TfmNirel3();
    state::windows().fmNirel3 = w;
    w->show();
    control<QAction>(w, "Card")->trigger();
    TfmCard *card = state::windows().fmCard;

    // A card is added, edited and written back; the index is saved.
    control<QAction>(card, "CardNew")->trigger();
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    control<QLineEdit>(card, "EditDate")->setText(QStringLiteral("07.11.2023"));
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Петров"));
    control<QLineEdit>(card, "LNameEdit")->setText(QStringLiteral("Олег"));
    control<QLineEdit>(card, "MNameEdit")->setText(QStringLiteral("Ильич"));
    control<AgeSpinBox>(card, "AgeEdit")->setText(QStringLiteral("42"));
    control<QAction>(card, "CardWrite")->trigger();
    const QString list = env.path("Пациенты.LST");
    prompter.fileNames << list;
    control<QAction>(card, "FileSave")->trigger();
    QVERIFY(!state::cards::cardIndex().isDirty());

    // Opened again, the card is taken out for the examination.
    control<QAction>(card, "FileClear")->trigger();
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(listTexts(card), QStringList{QStringLiteral("Петров О.И.")});
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(control<AgeSpinBox>(card, "AgeEdit")->value(), 42);

    // The draft names the patient and is saved under the proposed surname.
    control<QAction>(w, "CnclDraft")->trigger();
    TfmConcl *concl = state::windows().fmConcl;
    control<QPushButton>(concl, "bbOKCnkl")->click();
    const QString patientLine = QStringLiteral("Олег Ильич Петров") + QString(44, QLatin1Char(' ')) +
                                QStringLiteral("Дата: 07.11.2023");
    QVERIFY(control<Memo>(concl, "mmConcl")->lines().contains(patientLine));
    const QString draft = env.path("Петров.txt");
    prompter.clear();
    prompter.fileNames << draft;
    control<QPushButton>(concl, "bbSaveCncl")->click();
    QCOMPARE(prompter.records.at(0).request.fileName, QStringLiteral("Петров"));
    QCOMPARE(control<QLineEdit>(card, "ConclEdit")->text(), draft);
    QVERIFY(QFile::exists(draft));

    // Written back and saved, the card keeps the conclusion's name...
    control<QAction>(card, "CardWrite")->trigger();
    prompter.fileNames << list;
    control<QAction>(card, "FileSave")->trigger();
    control<QAction>(card, "FileClear")->trigger();
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(control<QLineEdit>(card, "ConclEdit")->text(), draft);

    // ...and "Просмотр" shows the saved conclusion.
    control<Memo>(concl, "mmConcl")->clearLines();
    control<QPushButton>(card, "bbCnclCard")->click();
    // (The file holds the lines as the draft box showed them, wrapped.)
    QCOMPARE(control<Memo>(concl, "mmConcl")->lines(), platform::textfile::readLines(draft).lines);
    QVERIFY(control<Memo>(concl, "mmConcl")->lines().join(QLatin1Char(' ')).contains(QStringLiteral("Олег Ильич Петров")));
}

QTEST_MAIN(TestTfmCard)
#include "test_tfmcard.moc"
