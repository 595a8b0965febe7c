// Nothing lost when the program dies while it saves: a large card index and
// a large draft conclusion are saved by a child process that is killed with
// SIGKILL after each step of the save and at random moments during it, many
// times. Afterwards the files on disk are always the whole old version or
// the whole new one, and what the program opens is exactly one of them.
#include "bigdata.h"

#include "platform/textfile.h"
#include "support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

namespace {

constexpr int kCards = 10000;
constexpr int kLines = 10000;

struct Kind {
    QString name;
    QString file;     // the file the save writes, in the test's folder
    QStringList kept; // every file the folder holds after an open
    int count;
};

const Kind &kindNamed(const QString &name)
{
    static const QList<Kind> kinds = {
        {QStringLiteral("cards"), QStringLiteral("k.LST"), {QStringLiteral("k.LST"), QStringLiteral("k.lso")}, kCards},
        {QStringLiteral("text"), QStringLiteral("draft.txt"), {QStringLiteral("draft.txt")}, kLines},
        {QStringLiteral("rtf"), QStringLiteral("final.rtf"), {QStringLiteral("final.rtf")}, kLines},
    };
    for (const Kind &k : kinds)
        if (k.name == name)
            return k;
    qFatal("no such kind");
}

// The files of one version as the save writes them.
QList<QByteArray> versionBytes(const Kind &kind, int version)
{
    if (kind.name == QLatin1String("cards")) {
        const QList<CardEntry> e = bigdata::cards(kind.count, version);
        return {platform::textfile::encodeLines(state::cardindex::listLines(e)), platform::textfile::encodeLines(state::cardindex::dataLines(e))};
    }
    if (kind.name == QLatin1String("rtf"))
        return {bigdata::finalConclusionRtf(kind.count, version)};
    return {platform::textfile::encodeLines(bigdata::conclusion(kind.count, version))};
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestKilledSave : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void killedSaveLeavesOldOrNew_data();
    void killedSaveLeavesOldOrNew();

private:
    // How long an unkilled save takes, per kind (from "go" to its end).
    QHash<QString, qint64> m_saveMicros;
    quint32 m_seed = 0;
};

void TestKilledSave::initTestCase()
{
    m_seed = qEnvironmentVariableIsSet("NIREL3_KILL_SEED") ? quint32(qEnvironmentVariableIntValue("NIREL3_KILL_SEED"))
                                                            : QRandomGenerator::global()->generate();
    qInfo("kill moments drawn with NIREL3_KILL_SEED=%u", m_seed);
}

void TestKilledSave::killedSaveLeavesOldOrNew_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("step"); // a step of the card index save, or -1: random moments
    QTest::addColumn<int>("runs");
    const char *steps[] = {"list staged", "data staged", "intent recorded", "list replaced", "data replaced", "finished"};
    for (int s = 0; s < 6; ++s)
        QTest::addRow("cards, after %s", steps[s]) << "cards" << s << 1;
    QTest::newRow("cards, random moments") << "cards" << -1 << 40;
    QTest::newRow("draft conclusion, random moments") << "text" << -1 << 40;
    QTest::newRow("final conclusion (RTF), random moments") << "rtf" << -1 << 40;
}

void TestKilledSave::killedSaveLeavesOldOrNew()
{
    QFETCH(QString, kind);
    QFETCH(int, step);
    QFETCH(int, runs);
    const Kind &k = kindNamed(kind);
    TestEnv env;
    const QString file = env.path(k.file);
    const QList<QByteArray> oldBytes = versionBytes(k, 1);
    const QList<QByteArray> newBytes = versionBytes(k, 2);
    const QList<CardEntry> oldCards = kind == QLatin1String("cards") ? bigdata::cards(k.count, 1) : QList<CardEntry>{};
    const QList<CardEntry> newCards = kind == QLatin1String("cards") ? bigdata::cards(k.count, 2) : QList<CardEntry>{};
    QRandomGenerator random(m_seed);

    int sawOld = 0, sawNew = 0, killedDuring = 0;
    for (int run = 0; run < runs; ++run) {
        // The old version, whole, as an earlier save left it.
        bool reset = false;
        if (kind == QLatin1String("cards")) {
            reset = state::cardindex::writePair(file, oldCards).ok;
        } else {
            QFile old(file);
            reset = old.open(QIODevice::WriteOnly | QIODevice::Truncate) && old.write(oldBytes.constFirst()) == oldBytes.constFirst().size();
        }
        QVERIFY(reset);

        QProcess saver;
        QStringList args{kind, file, QString::number(k.count)};
        if (step >= 0)
            args.append(QString::number(step));
        saver.start(QStringLiteral(SAVER), args);
        QVERIFY(saver.waitForReadyRead(60000));
        QElapsedTimer clock;
        clock.start();
        const bool timing = step < 0 && !m_saveMicros.contains(kind);
        if (step < 0 && !timing) {
            const qint64 at = qint64(random.bounded(quint32(m_saveMicros.value(kind) * 11 / 10 + 1)));
            QThread::usleep(quint64(at));
            saver.kill();
        }
        QVERIFY(saver.waitForFinished(60000));
        if (timing) {
            // The first run is not killed: it measures how long a save takes.
            m_saveMicros.insert(kind, clock.nsecsElapsed() / 1000);
            qInfo("%s: a whole save takes %lld ms", qPrintable(kind), m_saveMicros.value(kind) / 1000);
            QCOMPARE(saver.exitCode(), 0);
        }
        if (saver.exitStatus() == QProcess::CrashExit)
            ++killedDuring;

        // On disk: the whole old or the whole new version. Only a card index
        // save past its record of intent may have replaced one file of the
        // pair; the record is there then, and the next open finishes it.
        QList<QByteArray> onDisk;
        for (const QString &name : k.kept)
            onDisk.append(env.readBytes(name));
        const bool intent = QFileInfo::exists(state::cardindex::intentName(file));
        QVERIFY2(onDisk == oldBytes || onDisk == newBytes || intent, "a torn file on disk");

        if (kind == QLatin1String("cards")) {
            const state::cardindex::ReadResult read = state::cardindex::readPair(file, state::cardindex::Role::Holder);
            QVERIFY2(read.ok, qPrintable(read.message));
            QVERIFY2(read.entries == oldCards || read.entries == newCards, "the card index opened mixed");
            (read.entries == oldCards ? sawOld : sawNew)++;
        } else {
            (onDisk == oldBytes ? sawOld : sawNew)++;
            // A save killed before its rename leaves its temporary file;
            // it is no conclusion and the next save does not mind it.
            for (const QString &name : filesIn(env.path()))
                if (name != k.file)
                    QFile::remove(env.path(name));
        }
        QCOMPARE(filesIn(env.path()), k.kept);
    }
    qInfo("%d runs: %d killed before the end, %d left the old version, %d the new", runs, killedDuring, sawOld, sawNew);
    if (step >= 0) {
        QCOMPARE(killedDuring, 1);
        QCOMPARE(sawNew, step >= int(state::cardindex::SaveStep::IntentRecorded) ? 1 : 0);
    } else {
        QVERIFY(killedDuring > 0);
    }
}

QTEST_MAIN(TestKilledSave)
#include "test_killedsave.moc"
