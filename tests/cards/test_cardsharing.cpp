// A card index on a shared folder, through the card window: two openers of
// one pair, stale locks, files changed by another program, and backups.
#include "cards/tfmbackups.h"
#include "cards/tfmcard.h"
#include "platform/textfile.h"
#include "state/cardbackup.h"
#include "state/cardindexfile.h"
#include "state/cardlistmodel.h"
#include "state/cardlock.h"
#include "state/openwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <csignal>

namespace {

QList<CardEntry> patients(const QStringList &surnames)
{
    QList<CardEntry> entries;
    for (const QString &s : surnames) {
        THuman h(s);
        h.LName = QStringLiteral("Анна");
        h.Age = int(s.size());
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

QStringList texts(const TfmCard *card)
{
    QStringList out;
    for (const CardEntry &e : card->model()->entries())
        out << e.text;
    return out;
}

// A lock written as another workstation (or program) would leave it.
void writeLock(const QString &list, const state::cardlock::Holder &h)
{
    platform::textfile::writeLines(state::cardlock::lockName(list),
                         {QStringLiteral("НИРЕЛ-3: картотека открыта"), h.user, h.host,
                          h.since.toUTC().toString(Qt::ISODate), QString::number(h.pid),
                          QString::number(h.started), h.mark});
}

// The editing controls and whether each is enabled.
QList<bool> editingEnabled(const TfmCard *card)
{
    QList<bool> out;
    for (const QAction *a : {control<QAction>(card, "FileSave"), control<QAction>(card, "CardNew"), control<QAction>(card, "CardWrite"), control<QAction>(card, "CardDelete")})
        out << a->isEnabled();
    out << control<QToolButton>(card, "bbBackups")->isEnabled();
    return out;
}

} // namespace

class TestCardSharing : public QObject {
    Q_OBJECT
private slots:
    void secondWindowOpensToReadOnly();
    void lockHeldByAnotherProcess();
    void staleOrLiveLocks_data();
    void staleOrLiveLocks();
    void twoTakersOfAStaleLock();
    void saveOverAPairSomebodyHolds();
    void changedOnDiskAsksBeforeReplacing();
    void backupsRestoredThroughTheWindow();
    void backupsNeedAPair();
};

// Window A has the pair; window B is told who, opens it to read only with
// every editing action off and saying why; when A lets go, B may edit.
void TestCardSharing::secondWindowOpensToReadOnly()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев", "Борисова"})).ok);
    TfmCard *a = state::openWindow(state::windows().fmCard);
    prompter.fileNames << list;
    control<QAction>(a, "FileOpen")->trigger();
    QVERIFY(prompter.records.size() == 1); // no question for the first
    const std::optional<state::cardlock::Holder> holder = state::cardlock::holderOf(list);
    QVERIFY(holder);
    QCOMPARE(holder->host, QSysInfo::machineHostName());
    QCOMPARE(holder->pid, QCoreApplication::applicationPid());
    QVERIFY(!holder->user.isEmpty());
    QVERIFY(qAbs(holder->since.secsTo(QDateTime::currentDateTime())) < 60);

    auto *b = new TfmCard(nullptr, new state::cards::CardIndex); // another workstation
    prompter.clear();
    prompter.fileNames << list;
    prompter.answers << QMessageBox::Yes;
    control<QAction>(b, "FileOpen")->trigger();
    QCOMPARE(prompter.records.size(), 2);
    QCOMPARE(prompter.records.at(1).kind, PromptRecord::Ask);
    QCOMPARE(prompter.records.at(1).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(prompter.records.at(1).text, "Картотеку " + list + " сейчас открыл(а) " + state::cardlock::describe(*holder) +
                                              ".\nОткрыть её только для чтения?");
    QVERIFY(b->readOnly());
    QCOMPARE(texts(b), texts(a));
    // Reading only forbids writing over the pair, not saving a copy or
    // editing the list in memory: only "Копии" (a restore) is off.
    QCOMPARE(editingEnabled(b), (QList<bool>{true, true, true, true, false}));
    QCOMPARE(editingEnabled(a), (QList<bool>{true, true, true, true, true}));
    QVERIFY(control<QLabel>(b, "lbReadOnly")->isVisibleTo(b));
    QVERIFY(control<QLabel>(b, "lbReadOnly")->toolTip().contains(state::cardlock::describe(*holder)));
    QVERIFY(control<QToolButton>(b, "ToolButton2")->toolTip().startsWith("Сохранить картотеку на диске\nтолько под другим именем: картотека "
                                                                          "открыта только для чтения, её открыл(а) "));
    QVERIFY(control<QAction>(b, "FileSave")->statusTip().startsWith("Сохранить файл на диске — только под другим именем"));
    QVERIFY(control<QToolButton>(b, "bbBackups")->toolTip().contains("недоступно: картотека открыта только для чтения"));
    for (const char *item : {"FileOpen", "FileSave", "CardNew", "CardEdit", "CardWrite", "CardDelete"})
        QVERIFY2(control<QAction>(b, item)->isEnabled(), item);
    QVERIFY(control<QAction>(b, "FileSave")->statusTip().contains("только под другим именем"));
    // Nothing changed yet, nothing to ask about on leaving; a card taken
    // out may be written back into the list.
    QVERIFY(!b->index()->isDirty());
    b->selectRow(1);
    control<QAction>(b, "CardEdit")->trigger();
    QCOMPARE(control<QLineEdit>(b, "FNameEdit")->text(), QStringLiteral("Борисова"));
    QVERIFY(b->index()->hasCardTakenOut());
    // The lock is still A's.
    QCOMPARE(state::cardlock::holderOf(list)->mark, holder->mark);

    // A lets go; B opens again and may edit.
    control<QAction>(a, "FileClear")->trigger();
    QVERIFY(!state::cardlock::holderOf(list));
    prompter.clear();
    prompter.fileNames << list;
    control<QAction>(b, "FileOpen")->trigger();
    QCOMPARE(prompter.records.size(), 1);
    QVERIFY(!b->readOnly());
    QCOMPARE(editingEnabled(b), (QList<bool>{true, true, true, true, true}));
    QVERIFY(!control<QLabel>(b, "lbReadOnly")->isVisibleTo(b));
    QCOMPARE(control<QAction>(b, "FileSave")->statusTip(), QStringLiteral("Сохранить файл на диске"));
    QCOMPARE(control<QToolButton>(b, "ToolButton2")->toolTip(),
             QStringLiteral("Сохранить картотеку на диске"));
    QVERIFY(control<QAction>(b, "FileSave")->isEnabled());
    QCOMPARE(control<QAction>(b, "FileSave")->statusTip(), QStringLiteral("Сохранить файл на диске"));
    QVERIFY(state::cardlock::holderOf(list)->mark != holder->mark);
    delete b; // closing the program lets go too
    QVERIFY(!state::cardlock::holderOf(list));
}

// A real second program holds the pair; once it is killed, its lock is
// stale and may be taken over.
void TestCardSharing::lockHeldByAnotherProcess()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев"})).ok);
    QProcess other;
    other.start(QStringLiteral(CARDSAVER), {list, QStringLiteral("hold")});
    QVERIFY(other.waitForReadyRead(30000));
    QCOMPARE(other.readAllStandardOutput().trimmed(), QByteArray("locked"));

    TfmCard *card = state::openWindow(state::windows().fmCard);
    prompter.fileNames << list;
    prompter.answers << QMessageBox::Yes;
    control<QAction>(card, "FileOpen")->trigger();
    QVERIFY(prompter.texts().constLast().endsWith("Открыть её только для чтения?"));
    QVERIFY(card->readOnly());

    ::kill(pid_t(other.processId()), SIGKILL);
    QVERIFY(other.waitForFinished(30000));
    QVERIFY(state::cardlock::holderOf(list)); // left behind
    prompter.clear();
    prompter.fileNames << list;
    prompter.answers << QMessageBox::Yes;
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(prompter.records.at(1).icon, QMessageBox::Warning);
    QCOMPARE(prompter.records.at(1).buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY(prompter.records.at(1).text.contains(
        "но программа, открывшая её, на этом компьютере уже не работает.\nЗанять картотеку?"));
    QVERIFY(!card->readOnly());
    QCOMPARE(state::cardlock::stateOf(*state::cardlock::holderOf(list), state::cardlock::me(QStringLiteral("x"))), state::cardlock::State::Held);
}

void TestCardSharing::staleOrLiveLocks_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<int>("answer");      // to the question asked
    QTest::addColumn<QString>("question"); // its end; "" for none
    QTest::addColumn<QString>("outcome"); // edit, read, none
    const int yes = QMessageBox::Yes, no = QMessageBox::No, cancel = QMessageBox::Cancel;
    const QString live = "Открыть её только для чтения?";
    const QString gone = "уже не работает.\nЗанять картотеку? «Нет» откроет её только для чтения.";
    const QString old = "с тех пор прошло больше суток.\nЗанять картотеку? «Нет» откроет её только для чтения.";
    QTest::newRow("another host, fresh") << "far" << yes << live << "read";
    QTest::newRow("another host, fresh, declined") << "far" << no << live << "none";
    QTest::newRow("another host, two days old, taken") << "far old" << yes << old << "edit";
    QTest::newRow("another host, two days old, read") << "far old" << no << old << "read";
    QTest::newRow("another host, two days old, cancelled") << "far old" << cancel << old << "none";
    QTest::newRow("this host, process gone") << "gone" << yes << gone << "edit";
    QTest::newRow("this host, number reused by another program") << "reused" << yes << gone << "edit";
    QTest::newRow("this host, this process, another window") << "sibling" << yes << live << "read";
    // A lock that cannot be read is offered at once, saying what is wrong.
    const QString offer = ".\nЗанять картотеку? «Нет» откроет её только для чтения.";
    QTest::newRow("garbled lock, fresh") << "garbled" << yes << "nirel3-lock повреждён" + offer << "edit";
    QTest::newRow("empty lock, fresh, read") << "empty" << no << "nirel3-lock пуст" + offer << "read";
    QTest::newRow("lock dated in the future") << "future" << yes << "это время ещё не наступило" + offer << "edit";
    QTest::newRow("lock a dangling link") << "dangling" << yes << "на несуществующий файл /nowhere/lock" + offer
                                          << "edit";
}

void TestCardSharing::staleOrLiveLocks()
{
    QFETCH(QString, holder);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QString, outcome);
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев"})).ok);
    state::cardlock::Holder h = state::cardlock::me(QStringLiteral("чужой"));
    if (holder.startsWith("far") || holder == "future") {
        h.host = QStringLiteral("РЕГИСТРАТУРА");
        h.user = QStringLiteral("ivanova");
        h.pid = 1;
    }
    if (holder == "far old")
        h.since = h.since.addDays(-2);
    if (holder == "gone")
        h.pid = 999999999; // above any process number the system gives
    if (holder == "reused")
        h.started += 12345; // the number is alive, but that program started later
    if (holder == "future")
        h.since = h.since.addDays(3);
    if (holder == "garbled")
        env.writeBytes("k.LST.nirel3-lock", "\xff\xfe");
    else if (holder == "empty")
        env.writeBytes("k.LST.nirel3-lock", "");
    else if (holder == "dangling")
        QVERIFY(QFile::link("/nowhere/lock", env.path("k.LST.nirel3-lock")));
    else
        writeLock(list, h);
    const QByteArray lockBefore = env.readBytes("k.LST.nirel3-lock");

    TfmCard *card = state::openWindow(state::windows().fmCard);
    prompter.fileNames << list;
    prompter.answers << QMessageBox::StandardButton(answer);
    control<QAction>(card, "FileOpen")->trigger();
    QCOMPARE(prompter.records.size(), 2);
    QVERIFY2(prompter.records.at(1).text.endsWith(question), qPrintable(prompter.records.at(1).text));
    QCOMPARE(card->readOnly(), outcome == "read");
    QCOMPARE(card->model()->rowCount(), outcome == "none" ? 0 : 1);
    // Taken over, the lock names this window; otherwise it is left alone.
    QCOMPARE(env.readBytes("k.LST.nirel3-lock") == lockBefore, outcome != "edit");
}

// Two workstations take over one stale lock at the same moment, twenty
// times: each time exactly one has it, and the lock names that one.
void TestCardSharing::twoTakersOfAStaleLock()
{
    TestEnv env;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев"})).ok);
    for (int round = 0; round < 20; ++round) {
        state::cardlock::Holder gone = state::cardlock::me(QStringLiteral("чужой"));
        gone.pid = 999999999;
        QFile::remove(state::cardlock::lockName(list));
        writeLock(list, gone);
        QProcess takers[2];
        for (QProcess &p : takers) {
            p.start(QStringLiteral(CARDSAVER), {list, QStringLiteral("takeover")});
            QVERIFY(p.waitForReadyRead(30000));
            QCOMPARE(p.readLine().trimmed(), QByteArray("ready"));
        }
        for (QProcess &p : takers)
            p.write("go\n");
        QStringList said;
        for (QProcess &p : takers) {
            QVERIFY(p.canReadLine() || p.waitForReadyRead(30000));
            said << QString::fromLatin1(p.readLine().trimmed());
        }
        QCOMPARE(said.count("taken"), 1);
        QCOMPARE(said.count("held"), 1);
        const qint64 winner = takers[said.indexOf("taken")].processId();
        QCOMPARE(state::cardlock::holderOf(list)->pid, winner);
        for (QProcess &p : takers) {
            p.closeWriteChannel();
            QVERIFY(p.waitForFinished(30000));
        }
        QVERIFY(!state::cardlock::holderOf(list)); // the winner let go
    }
}

// A save onto a pair another workstation has open is refused; the pair
// and its lock stay as they were.
void TestCardSharing::saveOverAPairSomebodyHolds()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев"})).ok);
    state::cardlock::Holder far = state::cardlock::me(QStringLiteral("чужой"));
    far.host = QStringLiteral("РЕГИСТРАТУРА");
    writeLock(list, far);
    const QByteArray before = env.readBytes("k.LST");
    TfmCard *card = state::openWindow(state::windows().fmCard);
    card->model()->setEntries(patients({"Новый"}));
    card->index()->noteUnsaved();
    prompter.fileNames << list;
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(prompter.texts().constLast(), "Картотеку " + list + " сейчас открыл(а) " + state::cardlock::describe(*state::cardlock::holderOf(list)) +
                                               ".\nСохраните картотеку под другим именем.");
    QCOMPARE(env.readBytes("k.LST"), before);
    QVERIFY(state::cards::cardIndex().isDirty());
    QCOMPARE(state::cardlock::holderOf(list)->host, far.host);
    // Under another name it is saved, and that pair is now this window's.
    prompter.fileNames << env.path("other.LST");
    control<QAction>(card, "FileSave")->trigger();
    QVERIFY(!state::cards::cardIndex().isDirty());
    QCOMPARE(state::cardlock::stateOf(*state::cardlock::holderOf(env.path("other.LST")), state::cardlock::me(QStringLiteral("x"))),
             state::cardlock::State::Held);
}

// Another program writes the pair after it was opened: the save asks, "No"
// leaves that program's files, "Yes" replaces them and keeps them as a backup.
void TestCardSharing::changedOnDiskAsksBeforeReplacing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев", "Борисова"})).ok);
    TfmCard *card = state::openWindow(state::windows().fmCard);
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    QTest::qWait(20);
    QVERIFY(state::cardindex::writePair(list, patients({"Чужой"})).ok); // the other program
    const QByteArray theirs = env.readBytes("k.lso");

    control<QAction>(card, "CardNew")->trigger();
    prompter.clear();
    prompter.fileNames << list;
    prompter.answers << QMessageBox::No;
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(prompter.records.size(), 2);
    QCOMPARE(prompter.records.at(1).icon, QMessageBox::Warning);
    QCOMPARE(prompter.records.at(1).text,
             "Файлы картотеки " + list + " изменены другой программой после того, как картотека была открыта.\n"
             "Заменить их картотекой из этого окна? Файлы, записанные той программой, сохранятся в копиях.");
    QCOMPARE(env.readBytes("k.lso"), theirs);
    QVERIFY(state::cards::cardIndex().isDirty());

    prompter.clear();
    prompter.fileNames << list;
    prompter.answers << QMessageBox::Yes;
    control<QAction>(card, "FileSave")->trigger();
    QVERIFY(!state::cards::cardIndex().isDirty());
    QCOMPARE(state::cardindex::readPair(list).entries, card->model()->entries());
    const QList<state::cardbackup::Backup> backups = state::cardbackup::list(list);
    QVERIFY(!backups.isEmpty());
    QCOMPARE(env.readBytes(QDir(env.path()).relativeFilePath(state::cardindex::dataFileName(backups.at(0).listFile))), theirs);

    // Its own save since is no change: the next save asks nothing.
    prompter.clear();
    prompter.fileNames << list;
    control<QAction>(card, "FileSave")->trigger();
    QCOMPARE(prompter.records.size(), 1);
}

// "Копии" lists the backups newest first; the one chosen replaces the pair
// on disk and in the window, and the pair it replaced becomes a backup
// itself, so restoring that undoes the restore.
void TestCardSharing::backupsRestoredThroughTheWindow()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QString list = env.path("k.LST");
    TfmCard *card = state::openWindow(state::windows().fmCard);
    const QList<QStringList> versions{{"Первый"}, {"Первый", "Второй"}, {"Первый", "Второй", "Третий"}};
    for (const QStringList &v : versions) {
        card->model()->setEntries(patients(v));
        prompter.fileNames << list;
        control<QAction>(card, "FileSave")->trigger();
    }
    QCOMPARE(state::cardbackup::list(list).size(), 2);

    QStringList shown;
    prompter.onExec = [&](QDialog *d) {
        auto *dialog = qobject_cast<TfmBackups *>(d);
        if (!dialog)
            return int(QDialog::Rejected);
        for (int i = 0; i < control<QListWidget>(dialog, "lbBackups")->count(); ++i)
            shown << control<QListWidget>(dialog, "lbBackups")->item(i)->text();
        control<QListWidget>(dialog, "lbBackups")->setCurrentRow(1); // the oldest: one card
        control<QPushButton>(dialog, "bbRestore")->click();
        return dialog->result();
    };
    control<QToolButton>(card, "bbBackups")->click();
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown.at(0).endsWith(" — 2 карточки"));
    QVERIFY(shown.at(1).endsWith(" — 1 карточка"));
    QCOMPARE(texts(card), QStringList{"Первый А.."});
    QCOMPARE(state::cardindex::readPair(list).entries, patients({"Первый"}));
    QVERIFY(!state::cards::cardIndex().isDirty());
    QCOMPARE(state::cardbackup::list(list).size(), 3);

    // Undone: the newest backup is the pair before the restore.
    prompter.onExec = [&](QDialog *d) {
        auto *dialog = qobject_cast<TfmBackups *>(d);
        control<QListWidget>(dialog, "lbBackups")->setCurrentRow(0);
        control<QPushButton>(dialog, "bbRestore")->click();
        return dialog->result();
    };
    control<QToolButton>(card, "bbBackups")->click();
    QCOMPARE(texts(card), (QStringList{"Первый А..", "Второй А..", "Третий А.."}));

    // Cancelled, nothing changes.
    prompter.onExec = [](QDialog *d) {
        d->reject();
        return d->result();
    };
    control<QToolButton>(card, "bbBackups")->click();
    QCOMPARE(texts(card).size(), 3);
    QCOMPARE(state::cardbackup::list(list).size(), 4);
}

void TestCardSharing::backupsNeedAPair()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = state::openWindow(state::windows().fmCard);
    control<QToolButton>(card, "bbBackups")->click();
    QCOMPARE(prompter.texts(), QStringList{"Копии хранятся рядом с файлами картотеки: сначала откройте или "
                                           "сохраните картотеку."});
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, patients({"Андреев"})).ok);
    prompter.clear();
    prompter.fileNames << list;
    control<QAction>(card, "FileOpen")->trigger();
    control<QToolButton>(card, "bbBackups")->click();
    QCOMPARE(prompter.texts(), QStringList{"Копий картотеки " + list + " пока нет: копия делается при каждом сохранении."});
    QCOMPARE(prompter.records.at(1).icon, QMessageBox::Information);
}

QTEST_MAIN(TestCardSharing)
#include "test_cardsharing.moc"
