// Work done in the card window is never dropped without a word: opening
// another card index (also to read only) and restoring a backup ask first
// when a card or the list holds changes, and a card index that cannot be
// locked still edits in memory and saves under another name.
#include "cards/tfmbackups.h"
#include "cards/tfmcard.h"
#include "shell/exitcheck.h"
#include "state/cardbackup.h"
#include "state/cardindexfile.h"
#include "state/cardlistmodel.h"
#include "state/cardlock.h"
#include "state/openwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

QList<CardEntry> patients(const QStringList &surnames)
{
    QList<CardEntry> entries;
    for (const QString &s : surnames) {
        THuman h(s);
        h.LName = QStringLiteral("Анна");
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

QStringList surnames(const QList<CardEntry> &entries)
{
    QStringList out;
    for (const CardEntry &e : entries)
        out << (e.record ? e.record->FName : e.text);
    return out;
}

} // namespace

class TestCardWork : public QObject {
    Q_OBJECT
private slots:
    void replacingTheListAsksFirst_data();
    void replacingTheListAsksFirst();
    void pairThatCannotBeLockedIsSavedAsACopy();
};

void TestCardWork::replacingTheListAsksFirst_data()
{
    QTest::addColumn<QString>("how");   // open, read only, restore
    QTest::addColumn<QString>("work");  // card (a card out, edited), list (a card added), none
    QTest::addColumn<int>("answer");
    const int cancel = QMessageBox::Cancel, discard = QMessageBox::Discard, save = QMessageBox::Save;
    QTest::newRow("open, card, cancel") << "open" << "card" << cancel;
    QTest::newRow("open, list, discard") << "open" << "list" << discard;
    QTest::newRow("open, card, save") << "open" << "card" << save;
    QTest::newRow("open, nothing changed") << "open" << "none" << 0;
    QTest::newRow("read only, card, cancel") << "read only" << "card" << cancel;
    QTest::newRow("read only, card, discard") << "read only" << "card" << discard;
    QTest::newRow("read only, list, save") << "read only" << "list" << save;
    QTest::newRow("restore, list, cancel") << "restore" << "list" << cancel;
    QTest::newRow("restore, card, discard") << "restore" << "card" << discard;
    QTest::newRow("restore, card, save") << "restore" << "card" << save;
    QTest::newRow("restore, nothing changed") << "restore" << "none" << 0;
}

void TestCardWork::replacingTheListAsksFirst()
{
    QFETCH(QString, how);
    QFETCH(QString, work);
    QFETCH(int, answer);
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    const QString other = env.path("other.LST");
    // k.LST has a backup holding Андреев alone; other.LST holds Чужой and,
    // to open it to read only, is held by another workstation.
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев"})).ok);
    state::cardindex::SaveOptions keep;
    keep.keepBackups = state::cardbackup::kKeep;
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев", "Борисова"}), keep).ok);
    QVERIFY(state::cardindex::writePair(other, patients({"Чужой"})).ok);
    if (how == "read only") {
        state::cardlock::Holder far = state::cardlock::me(QStringLiteral("чужой"));
        far.host = QStringLiteral("РЕГИСТРАТУРА");
        QString error;
        QCOMPARE(state::cardlock::take(other, far, &error), state::cardlock::Take::Taken);
    }

    TfmCard *card = state::openWindow(state::windows().fmCard);
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    if (work == "card") {
        card->selectRow(1);
        control<QAction>(card, "CardEdit")->trigger();
        control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Борисова-Новая"));
    } else if (work == "list") {
        control<QAction>(card, "CardNew")->trigger();
    }
    const QList<CardEntry> before = card->model()->entries();
    const QString typed = control<QLineEdit>(card, "FNameEdit")->text();
    const bool takenOut = card->index()->hasCardTakenOut();
    const QByteArray onDisk = env.readBytes("k.LST");

    prompter.clear();
    if (answer)
        prompter.answers << QMessageBox::StandardButton(answer);
    if (answer == QMessageBox::Save)
        prompter.fileNames << list;
    if (how == "restore") {
        // The oldest backup: Андреев alone.
        prompter.onExec = [](QDialog *d) {
            auto *dialog = qobject_cast<TfmBackups *>(d);
            control<QListWidget>(dialog, "lbBackups")->setCurrentRow(control<QListWidget>(dialog, "lbBackups")->count() - 1);
            control<QPushButton>(dialog, "bbRestore")->click();
            return dialog->result();
        };
        control<QToolButton>(card, "bbBackups")->click();
    } else {
        prompter.fileNames << other;
        if (how == "read only")
            prompter.answers << QMessageBox::Yes; // "Открыть её только для чтения?"
        control<QAction>(card, "FileOpen")->trigger();
    }

    if (!answer) {
        // Nothing to lose: no question, the list is replaced.
        QVERIFY(prompter.records.at(0).kind != PromptRecord::Ask);
        QCOMPARE(surnames(card->model()->entries()), how == "restore" ? QStringList{"Андреев"} : QStringList{"Чужой"});
        return;
    }
    const PromptRecord &question = prompter.records.at(0);
    QCOMPARE(question.kind, PromptRecord::Ask);
    QCOMPARE(question.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(question.defaultButton, QMessageBox::Save);
    QCOMPARE(question.text.contains(QStringLiteral("«Борисова-Новая А..»")), work == "card");

    if (answer == QMessageBox::Cancel) {
        QCOMPARE(prompter.records.size(), 1); // no file dialog, no list of backups
        QCOMPARE(card->model()->entries(), before);
        QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), typed);
        QCOMPARE(card->index()->hasCardTakenOut(), takenOut);
        QVERIFY(state::cards::cardIndex().isDirty());
        QCOMPARE(env.readBytes("k.LST"), onDisk);
        return;
    }
    const QStringList replacedBy = how == "restore" ? QStringList{"Андреев"} : QStringList{"Чужой"};
    QCOMPARE(surnames(card->model()->entries()), replacedBy);
    QCOMPARE(card->readOnly(), how == "read only");
    if (answer == QMessageBox::Discard) {
        // The list's changes are given up; a card in the fields stays there,
        // still out, and the exit check still asks about it.
        QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), typed);
        QCOMPARE(card->index()->hasCardTakenOut(), takenOut);
        QCOMPARE(card->index()->isDirty(), how == "open");
        QCOMPARE(env.readBytes("k.LST") == onDisk, how != "restore");
        prompter.clear();
        prompter.answers << QMessageBox::No;
        QCOMPARE(shell::exitCheck(nullptr), !card->index()->hasCardTakenOut() && !card->index()->isDirty());
        return;
    }
    // Saved first: the card written back, the pair on disk (for a restore,
    // now the newest backup) holds the work.
    QVERIFY(!state::cards::cardIndex().hasCardTakenOut());
    QCOMPARE(control<QLineEdit>(card, "FNameEdit")->text(), QString());
    const QString saved = how == "restore" ? state::cardbackup::list(list).constFirst().listFile : list;
    QStringList expected = surnames(before);
    if (work == "card")
        expected[1] = QStringLiteral("Борисова-Новая");
    QCOMPARE(surnames(state::cardindex::readPair(saved).entries), expected);
}

// A pair no lock can be written beside (a write-protected stick, a disc, a
// folder without rights; here every write fails) opens to read only. It is
// never written over, but the list is edited in memory, the exit check asks
// as usual, and "Сохранить" under another name saves a copy with a lock of
// its own.
void TestCardWork::pairThatCannotBeLockedIsSavedAsACopy()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев", "Борисова"})).ok);
    const QByteArray onDisk = env.readBytes("k.lso");
    TfmCard *card = state::openWindow(state::windows().fmCard);
    prompter.fileNames << list;
    prompter.answers << QMessageBox::Yes;
    {
        WriteLimit noWrites(0);
        control<QAction>(card, "FileOpen")->trigger();
    }
    QVERIFY2(prompter.texts().constFirst().endsWith(QStringLiteral("Открыть её только для чтения?")),
             qPrintable(prompter.texts().join('\n')));
    QVERIFY(card->readOnly());
    QVERIFY(!state::cardlock::holderOf(list));
    QVERIFY(!state::cards::cardIndex().isDirty());

    control<QAction>(card, "CardNew")->trigger();
    control<QLineEdit>(card, "FNameEdit")->setText(QStringLiteral("Власов"));
    control<QAction>(card, "CardWrite")->trigger();
    QCOMPARE(surnames(card->model()->entries()), (QStringList{"Андреев", "Борисова", "Власов"}));
    QVERIFY(state::cards::cardIndex().isDirty());
    prompter.clear();
    prompter.answers << QMessageBox::No;
    QVERIFY(!shell::exitCheck(nullptr));

    // Over the pair itself: refused, nothing written.
    prompter.clear();
    prompter.fileNames << list;
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(prompter.records.at(0).request.fileName, QString()); // the pair is not proposed
    QVERIFY(prompter.texts().constLast().endsWith(QStringLiteral("Сохраните картотеку под другим именем.")));
    QCOMPARE(env.readBytes("k.lso"), onDisk);
    QVERIFY(state::cards::cardIndex().isDirty());

    // Under another name: saved, locked, and from now on edited as usual.
    prompter.clear();
    const QString copy = env.path("copy.LST");
    prompter.fileNames << copy;
    control<QAction>(card, "FileSave")->trigger();
    QVERIFY(prompter.texts().isEmpty());
    QCOMPARE(surnames(state::cardindex::readPair(copy).entries), (QStringList{"Андреев", "Борисова", "Власов"}));
    QVERIFY(!state::cards::cardIndex().isDirty());
    QVERIFY(!card->readOnly());
    QVERIFY(!control<QLabel>(card, "lbReadOnly")->isVisibleTo(card));
    QCOMPARE(card->listFileName(), copy);
    QVERIFY(state::cardlock::holderOf(copy));
    QCOMPARE(env.readBytes("k.lso"), onDisk);
}

QTEST_MAIN(TestCardWork)
#include "test_cardwork.moc"
