// The search field above the card list: the filter rule, and every card
// action on a filtered list reaching the entry the user sees.
#include "cards/tfmcard.h"
#include "state/cardfilter.h"
#include "state/cardindexfile.h"
#include "state/cardlistmodel.h"
#include "state/openwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QListView>
#include <QtTest>

namespace {

THuman person(const QString &surname, const QString &first)
{
    THuman h(surname);
    h.LName = first;
    h.MName = QStringLiteral("Ильич");
    h.Age = int(surname.size());
    h.Addr = surname + QStringLiteral(", ул. Садовая");
    return h;
}

// Six cards; "бо" finds the second and the last, "ел" the fourth and fifth.
QList<CardEntry> six()
{
    QList<CardEntry> entries;
    for (const auto &[f, l] : QList<QPair<QString, QString>>{{"Андреев", "Алексей"},
                                                             {"Борисова", "Белла"},
                                                             {"Власов", "Виктор"},
                                                             {"Ёлкина", "Елена"},
                                                             {"Елагин", "Егор"},
                                                             {"бобров", "Борис"}}) {
        const THuman h = person(f, l);
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

QStringList shownTexts(const TfmCard *card)
{
    QStringList out;
    for (int r = 0; r < card->shown()->rowCount(); ++r)
        out << card->shown()->index(r).data().toString();
    return out;
}

QStringList allTexts(const TfmCard *card)
{
    QStringList out;
    for (const CardEntry &e : card->model()->entries())
        out << e.text;
    return out;
}

// Clicks the n-th row the list shows.
void clickShown(TfmCard *card, int row)
{
    control<QListView>(card, "PersonsList")->selectionModel()->setCurrentIndex(card->shown()->index(row),
                                                         QItemSelectionModel::ClearAndSelect);
}

TfmCard *cardWithSix()
{
    TfmCard *card = state::openWindow(state::windows().fmCard);
    card->model()->setEntries(six());
    return card;
}

} // namespace

class TestCardSearch : public QObject {
    Q_OBJECT
private slots:
    void rule_data();
    void rule();
    void filterAsYouType();
    void everyCardActionOnAFilteredList();
    void enterTakesOutTheCardFound_data();
    void enterTakesOutTheCardFound();
    void typingInTheListSearches();
    void newListEmptiesTheSearch();
};

void TestCardSearch::rule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("match");
    QTest::newRow("start of the surname") << "Петров О.И." << "пет" << true;
    QTest::newRow("case") << "петров О.И." << "ПЕТ" << true;
    QTest::newRow("ё typed, е written") << "Петров" << "пЁт" << true;
    QTest::newRow("е typed, ё written") << "Пётр" << "пет" << true;
    QTest::newRow("Ё at the start") << "Ёлкина Е.И." << "ел" << true;
    QTest::newRow("Е at the start, ё typed") << "Елагин Е.И." << "ёл" << true;
    QTest::newRow("leading blanks") << "  Петров" << "пет" << true;
    QTest::newRow("only the start") << "Иванов-Петров" << "пет" << false;
    QTest::newRow("longer than the text") << "Пет" << "петр" << false;
    QTest::newRow("latin") << "Smith J.." << "SM" << true;
    QTest::newRow("initials too") << "Петров О.И." << "петров о" << true;
    QTest::newRow("other letter") << "Петров" << "пес" << false;
    QTest::newRow("empty text") << "" << "а" << false;
    QTest::newRow("nothing typed") << "Петров" << "" << true;
}

void TestCardSearch::rule()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QTEST(state::cardfilter::matches(text, state::cardfilter::fold(typed)), "match");
}

// Each letter narrows the list; rubbing out widens it again; the entry
// selected stays selected while it is shown.
void TestCardSearch::filterAsYouType()
{
    TestEnv env;
    TfmCard *card = cardWithSix();
    card->selectRow(5);
    const QList<QPair<QString, QStringList>> steps{
        {"б", {"Борисова Б.И.", "бобров Б.И."}},
        {"бо", {"Борисова Б.И.", "бобров Б.И."}},
        {"боб", {"бобров Б.И."}},
        {"бобы", {}},
        {"бо", {"Борисова Б.И.", "бобров Б.И."}},
        {"", {"Андреев А.И.", "Борисова Б.И.", "Власов В.И.", "Ёлкина Е.И.", "Елагин Е.И.", "бобров Б.И."}},
        {"Е", {"Ёлкина Е.И.", "Елагин Е.И."}},
    };
    for (const auto &[typed, shown] : steps) {
        control<QLineEdit>(card, "edSearch")->setText(typed);
        QCOMPARE(shownTexts(card), shown);
        QCOMPARE(card->selectedRow(), typed.startsWith(QStringLiteral("б")) && typed != "бобы" ? 5
                                      : typed.isEmpty()                                    ? 5
                                                                                           : -1);
        if (typed == "бобы") // nothing shown, nothing selected; the entry comes back unselected
            card->selectRow(5);
    }
    QCOMPARE(card->model()->rowCount(), 6);
}

// Take out, write back, delete and add on a filtered list: each works on
// the entry the user sees, never on its neighbour in the whole list.
void TestCardSearch::everyCardActionOnAFilteredList()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithSix();
    control<QLineEdit>(card, "edSearch")->setText(QStringLiteral("бо"));

    // "Править" on the second entry shown: бобров, the sixth of the list.
    clickShown(card, 1);
    QCOMPARE(card->selectedRow(), 5);
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("бобров"));
    QCOMPARE(control<QLineEdit>(card, "AddrEdit")->text(), QStringLiteral("бобров, ул. Садовая"));
    QVERIFY(state::cards::cardIndex().hasCardTakenOut());

    // "Записать": the card goes back to its own entry and stays in view,
    // although its new surname no longer matches.
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Смирнов"));
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(card->model()->entry(5).record->FName, QStringLiteral("Смирнов"));
    QCOMPARE(card->model()->entry(5).text, QStringLiteral("Смирнов Б.И."));
    for (int r : {0, 1, 2, 3, 4})
        QCOMPARE(card->model()->entry(r), six().at(r));
    QCOMPARE(shownTexts(card), (QStringList{"Борисова Б.И.", "Смирнов Б.И."}));

    // "Записать" onto an entry selected in the filtered view.
    control<QLineEdit>(card, "EditDate")->setText(QStringLiteral("01.01.2024"));
    clickShown(card, 0);
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(card->model()->entry(1).record->Date, QStringLiteral("01.01.2024"));
    QCOMPARE(card->model()->entry(0), six().at(0));

    // "Удалить" removes the entry shown, Борисова, and nothing else.
    clickShown(card, 0);
    control<QAction>(card, "CardDelete")->trigger();
    QCOMPARE(allTexts(card), (QStringList{"Андреев А.И.", "Власов В.И.", "Ёлкина Е.И.", "Елагин Е.И.", "Смирнов Б.И."}));
    QCOMPARE(shownTexts(card), QStringList{"Смирнов Б.И."});
    QCOMPARE(card->selectedRow(), -1);

    // "Новая" adds at the end of the list, in view.
    control<QAction>(card, "CardNew")->trigger();
    QCOMPARE(allTexts(card).constLast(), QStringLiteral("Новый пациент"));
    QCOMPARE(shownTexts(card), (QStringList{"Смирнов Б.И.", "Новый пациент"}));
    clickShown(card, 1);
    QCOMPARE(card->selectedRow(), 5);

    // Another search; deleting the last entry shown keeps the others right.
    control<QLineEdit>(card, "edSearch")->setText(QStringLiteral("ел"));
    QCOMPARE(shownTexts(card), (QStringList{"Ёлкина Е.И.", "Елагин Е.И."}));
    clickShown(card, 1);
    control<QAction>(card, "CardDelete")->trigger();
    QCOMPARE(shownTexts(card), QStringList{"Ёлкина Е.И."});
    clickShown(card, 0);
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("Ёлкина"));

    // A save writes the whole list, whatever is shown.
    const QString list = env.path("k.LST");
    prompter.fileNames << list;
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(state::cardindex::readPair(list).entries.size(), 5);
    QCOMPARE(state::cardindex::readPair(list).entries, card->model()->entries());
}

void TestCardSearch::enterTakesOutTheCardFound_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("click"); // row shown clicked first, -1 none
    QTest::addColumn<QString>("surname"); // taken out, "" none
    QTest::newRow("one found") << "вла" << -1 << "Власов";
    QTest::newRow("first of two") << "ел" << -1 << "Ёлкина";
    QTest::newRow("the one clicked") << "ел" << 1 << "Елагин";
    QTest::newRow("none found") << "ю" << -1 << "";
}

void TestCardSearch::enterTakesOutTheCardFound()
{
    QFETCH(QString, typed);
    QFETCH(int, click);
    QFETCH(QString, surname);
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithSix();
    card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(card));
    control<QLineEdit>(card, "edSearch")->setFocus();
    control<QLineEdit>(card, "edSearch")->setText(typed);
    if (click >= 0)
        clickShown(card, click);
    QTest::keyClick(control<QLineEdit>(card, "edSearch"), Qt::Key_Return);
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), surname);
    QCOMPARE(state::cards::cardIndex().hasCardTakenOut(), !surname.isEmpty());
    QVERIFY(prompter.records.isEmpty());
    if (!surname.isEmpty())
        QCOMPARE(card->model()->entry(card->selectedRow()).record->FName, surname);
}

// Letters typed in the list jump to the patient they start, as in a list
// box: the list stays whole and the search field empty, so the card selected
// never vanishes. The search field is reached with Ctrl+F; there Escape
// empties it and Down goes back into the list.
void TestCardSearch::typingInTheListSearches()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithSix();
    card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(card));
    control<QListView>(card, "PersonsList")->setFocus();
    const int interval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(200);
    const struct {
        const char *letter;
        bool pause;      // typed after a pause: a new search
        int selected;    // entry selected afterwards
    } steps[] = {
        {"б", true, 1},  // Борисова
        {"б", false, 5}, // the same letter again: the next, бобров
        {"б", false, 1}, // and round again
        {"е", true, 3},  // Ёлкина: ё and е alike
        {"л", false, 3}, // "ел" still Ёлкина
        {"а", false, 4}, // "ела": Елагин
        {"ю", true, 4},  // nobody: the selection stays
    };
    for (const auto &step : steps) {
        if (step.pause)
            QTest::qWait(300);
        const QString letter = QString::fromUtf8(step.letter);
        const auto key = Qt::Key(letter.toUpper().at(0).unicode());
        QTest::sendKeyEvent(QTest::Press, control<QListView>(card, "PersonsList"), key, letter, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, control<QListView>(card, "PersonsList"), key, letter, Qt::NoModifier);
        QCOMPARE(card->selectedRow(), step.selected);
    }
    QApplication::setKeyboardInputInterval(interval);
    QCOMPARE(control<QLineEdit>(card, "edSearch")->text(), QString());
    QCOMPARE(card->shown()->rowCount(), 6);
    QCOMPARE(QApplication::focusWidget(), control<QListView>(card, "PersonsList"));
    // The card found is the one "Править" takes out.
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QStringLiteral("Елагин"));
    QVERIFY(prompter.records.isEmpty());

    QTest::keySequence(card, QKeySequence::Find);
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(card, "edSearch"));
    control<QLineEdit>(card, "edSearch")->setText(QStringLiteral("в"));
    QTest::keyClick(control<QLineEdit>(card, "edSearch"), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), control<QListView>(card, "PersonsList"));
    QCOMPARE(card->selectedRow(), 2);
    control<QLineEdit>(card, "edSearch")->setFocus();
    QTest::keyClick(control<QLineEdit>(card, "edSearch"), Qt::Key_Escape);
    QCOMPARE(control<QLineEdit>(card, "edSearch")->text(), QString());
    QCOMPARE(card->shown()->rowCount(), 6);
    QCOMPARE(card->selectedRow(), 2);
    // An entry selected by the program while hidden is shown.
    control<QLineEdit>(card, "edSearch")->setText(QStringLiteral("вла"));
    card->selectRow(0);
    QCOMPARE(control<QLineEdit>(card, "edSearch")->text(), QString());
    QCOMPARE(card->selectedRow(), 0);
}

void TestCardSearch::newListEmptiesTheSearch()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = cardWithSix();
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, six()).ok);
    control<QLineEdit>(card, "edSearch")->setText(QStringLiteral("бо"));
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(control<QLineEdit>(card, "edSearch")->text(), QString());
    QCOMPARE(card->shown()->rowCount(), 6);
    control<QLineEdit>(card, "edSearch")->setText(QStringLiteral("бо"));
    control<QAction>(card, "FileClear")->trigger();
    QCOMPARE(control<QLineEdit>(card, "edSearch")->text(), QString());
    QCOMPARE(card->shown()->rowCount(), 0);
}

QTEST_MAIN(TestCardSearch)
#include "test_cardsearch.moc"
