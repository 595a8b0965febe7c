// The patient record and the card index file pair, without any window.
#include "photos/photoindex.h"
#include "platform/cp1251.h"
#include "platform/textfile.h"
#include "state/cardbackup.h"
#include "state/cardindexfile.h"
#include "state/cardlock.h"
#include "state/human.h"
#include "support/testenv.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <limits>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

THuman petrov()
{
    THuman h(QStringLiteral("Петров"));
    h.Date = QStringLiteral("12.03.2024");
    h.LName = QStringLiteral("Олег");
    h.MName = QStringLiteral("Ильич");
    h.Age = 42;
    h.Doc = QStringLiteral("инженер");
    h.Addr = QStringLiteral("г. Москва, ул. Садовая, д. 5");
    h.Phone = QStringLiteral("+7 495 123-45-67");
    h.Complaint = QStringLiteral("головные боли, бессонница");
    h.Anamnesis = QStringLiteral("отец — гипертония");
    return h;
}

THuman ivanova()
{
    THuman h(QStringLiteral("Иванова"));
    h.Age = -3;
    h.Concl = QStringLiteral("/home/iris/Иванова.txt");
    return h;
}

// The three entries of the golden pair: the second one has no record.
QList<CardEntry> threeEntries()
{
    return {CardEntry{QStringLiteral("Петров О.И."), petrov()},
            CardEntry{QStringLiteral("Без карточки"), std::nullopt},
            CardEntry{QStringLiteral("Иванова .."), ivanova()}};
}

// Many varied records: Cyrillic, empty fields, negative and extreme ages.
QList<CardEntry> manyEntries(int count)
{
    QList<CardEntry> entries;
    for (int i = 0; i < count; ++i) {
        THuman h(i % 7 == 0 ? QString() : QStringLiteral("Фамилия%1").arg(i));
        h.Date = i % 5 == 0 ? QString() : QStringLiteral("%1.01.2023").arg(i % 28 + 1);
        h.LName = QStringLiteral("Ёлка-%1").arg(i);
        h.MName = i % 3 == 0 ? QString() : QStringLiteral("Щ");
        h.Age = i == 1 ? std::numeric_limits<int>::min() : i == 2 ? std::numeric_limits<int>::max() : 50 - i;
        h.Doc = QStringLiteral("врач «общей практики»");
        h.Addr = QStringLiteral("ул. Ленина, %1; кв. №%2").arg(i).arg(i * 3);
        h.Phone = i % 2 ? QString() : QStringLiteral("8-800-%1").arg(i);
        h.Complaint = QStringLiteral("  пробелы по краям  ");
        h.Anamnesis = QStringLiteral("Ёё€‰№");
        h.Concl = i % 4 == 0 ? QString() : QStringLiteral("/tmp/заключения/%1.txt").arg(i);
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

// The files of a folder, sorted by name (case-sensitive).
QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    names.sort(Qt::CaseSensitive);
    return names;
}

} // namespace

class TestCardFile : public QObject {
    Q_OBJECT
private slots:
    void recordConstructorTakesTheSurname();
    void displayText_data();
    void displayText();
    void ageFromText_data();
    void ageFromText();
    void dataFileName_data();
    void dataFileName();
    void labelText_data();
    void labelText();
    void writesTheGoldenPair();
    void readsTheGoldenPairByPosition();
    void roundTripOfManyRecords();
    void emptyListMakesEmptyFiles();
    void lineBreaksInFieldsBecomeSpaces();
    void badPairIsRefusedWhole_data();
    void badPairIsRefusedWhole();
    void fewerRecordsThanLinesIsValid();
    void listFileThatIsItsOwnDataFile();
    void failedSaveKeepsTheOldPair_data();
    void failedSaveKeepsTheOldPair();
    void handEditedDataFile_data();
    void handEditedDataFile();
    void saveKilledAtEveryStep_data();
    void saveKilledAtEveryStep();
    void saveFailingAtEveryStep_data();
    void saveFailingAtEveryStep();
    void readerLeavesAWritersFilesAlone_data();
    void readerLeavesAWritersFilesAlone();
    void readerRacingASaveReadsOnePair_data();
    void readerRacingASaveReadsOnePair();
    void everyFileCallKilled();
    void writeRefusalsSayWhy_data();
    void writeRefusalsSayWhy();
    void permissionsAreKept();
    void linksAreFollowedNotReplaced();
    void pipesAndDevicesAreRefused();
    void sizeLimitFailsTheSaveNotTheProgram();
    void unstorableCharactersAreReported();
    void writtenBytesFollowTheLineRules();
    void readLineEnds_data();
    void readLineEnds();
    void fieldsReadAreIndependentStrings();
    void pairChangedOnDiskIsNotReplaced_data();
    void pairChangedOnDiskIsNotReplaced();
    void changeWhileSavingIsCaught();
    void backupsKeepEachReplacedPair();
    void backupNamesAndRotation_data();
    void backupNamesAndRotation();
    void restoreIsASaveThatCanBeUndone();
};

void TestCardFile::recordConstructorTakesTheSurname()
{
    const THuman h(QStringLiteral("Новый пациент"));
    QCOMPARE(h.FName, QStringLiteral("Новый пациент"));
    QCOMPARE(h.Age, 0);
    for (const QString &field : {h.Date, h.LName, h.MName, h.Doc, h.Addr, h.Phone, h.Complaint,
                                 h.Anamnesis, h.Concl})
        QVERIFY(field.isEmpty());
}

void TestCardFile::displayText_data()
{
    QTest::addColumn<QString>("f");
    QTest::addColumn<QString>("l");
    QTest::addColumn<QString>("m");
    QTest::addColumn<QString>("text");
    QTest::newRow("full") << "Петров" << "Олег" << "Ильич" << "Петров О.И.";
    QTest::newRow("no names") << "Петров" << "" << "" << "Петров ..";
    QTest::newRow("no middle name") << "Smith" << "John" << "" << "Smith J..";
    QTest::newRow("nothing") << "" << "" << "" << " ..";
}

void TestCardFile::displayText()
{
    QFETCH(QString, f);
    QFETCH(QString, l);
    QFETCH(QString, m);
    THuman h(f);
    h.LName = l;
    h.MName = m;
    QTEST(state::human::displayText(h), "text");
}

void TestCardFile::ageFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("age");
    QTest::newRow("plain") << "42" << true << 42;
    QTest::newRow("negative") << "-7" << true << -7;
    QTest::newRow("plus") << "+5" << true << 5;
    QTest::newRow("blanks") << " 12 " << true << 12;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(std::numeric_limits<int>::min());
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("word") << "сорок" << false << 0;
    QTest::newRow("mixed") << "42 года" << false << 0;
    QTest::newRow("fraction") << "4.5" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestCardFile::ageFromText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, age);
    int parsed = 12345;
    QCOMPARE(state::human::parseAge(text, &parsed), valid);
    if (valid)
        QCOMPARE(parsed, age);
    QCOMPARE(state::human::ageFromText(text), age);
}

void TestCardFile::dataFileName_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("data");
    QTest::newRow("upper case extension") << "/home/iris/Картотека.LST" << "/home/iris/Картотека.lso";
    QTest::newRow("lower case extension") << "/home/iris/k.lst" << "/home/iris/k.lso";
    QTest::newRow("no extension") << "/home/iris/patients" << "/home/iris/pati.lso";
    QTest::newRow("name of four characters") << "/home/iris/p.ls" << "/home/iris/p.ls.lso";
    QTest::newRow("name shorter than four") << "cards/a.b" << "cards/a.b.lso";
    QTest::newRow("name of five characters") << "cards/ab.cd" << "cards/a.lso";
}

void TestCardFile::dataFileName()
{
    QFETCH(QString, list);
    QTEST(state::cardindex::dataFileName(list), "data");
}

void TestCardFile::labelText_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("whole");
    QTest::newRow("46") << 46 << true;
    QTest::newRow("47") << 47 << true;
    QTest::newRow("48") << 48 << false;
    QTest::newRow("120") << 120 << false;
}

void TestCardFile::labelText()
{
    QFETCH(int, length);
    QFETCH(bool, whole);
    QString name = QStringLiteral("/home/iris/Картотека_");
    while (name.size() < length - 4)
        name += QLatin1Char(char('a' + name.size() % 26));
    name += QStringLiteral(".LST");
    QCOMPARE(name.size(), length);
    const QString label = state::cardindex::labelText(name);
    QVERIFY(label.startsWith(QStringLiteral("Картотека:")));
    if (whole)
        QCOMPARE(label, QStringLiteral("Картотека:  ") + name);
    else
        QCOMPARE(label, QStringLiteral("Картотека: ...") + name.right(48));
}

void TestCardFile::writesTheGoldenPair()
{
    TestEnv env;
    const state::cardindex::WriteResult written = state::cardindex::writePair(env.path("three.lst"), threeEntries());
    QVERIFY2(written.ok, qPrintable(written.message));
    for (const QString &name : {QStringLiteral("three.lst"), QStringLiteral("three.lso")}) {
        const QStringList golden = platform::textfile::readLines(TestEnv::testDataPath("cards/golden/" + name)).lines;
        const QStringList actual = platform::textfile::readLines(env.path(name)).lines;
        QCOMPARE(actual, golden);
        // Byte for byte too: Windows-1251, CR LF after every line.
        QFile g(TestEnv::testDataPath("cards/golden/" + name));
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(env.readBytes(name), g.readAll());
    }
    // Only the pair is left in the folder, no temporary files.
    QCOMPARE(filesIn(env.path()), (QStringList{QStringLiteral("three.lso"), QStringLiteral("three.lst")}));
}

void TestCardFile::readsTheGoldenPairByPosition()
{
    TestEnv env;
    const state::cardindex::ReadResult read = state::cardindex::readPair(TestEnv::testDataPath("cards/golden/three.lst"));
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(read.entries.size(), 3);
    QCOMPARE(read.entries.at(0).text, QStringLiteral("Петров О.И."));
    QCOMPARE(read.entries.at(1).text, QStringLiteral("Без карточки"));
    QCOMPARE(read.entries.at(2).text, QStringLiteral("Иванова .."));
    // Records belong to list lines by position only: the third entry's
    // record now sits on the second entry, the third has none.
    QCOMPARE(read.entries.at(0).record, std::optional<THuman>(petrov()));
    QCOMPARE(read.entries.at(1).record, std::optional<THuman>(ivanova()));
    QVERIFY(!read.entries.at(2).record);
}

void TestCardFile::roundTripOfManyRecords()
{
    TestEnv env;
    QList<CardEntry> entries = manyEntries(500);
    // Entries without a record leave no trace in the data file, so the
    // records after them move up by one when read back.
    entries[3].record.reset();
    entries.append(CardEntry{QStringLiteral("Последний без записи"), std::nullopt});
    QList<CardEntry> expected = entries;
    QList<std::optional<THuman>> records;
    for (const CardEntry &e : entries)
        if (e.record)
            records.append(e.record);
    for (qsizetype i = 0; i < expected.size(); ++i)
        expected[i].record = i < records.size() ? records.at(i) : std::nullopt;

    const QString list = env.path("Картотека.LST");
    QVERIFY(state::cardindex::writePair(list, entries).ok);
    QCOMPARE(platform::textfile::readLines(env.path("Картотека.lso")).lines.size(), records.size() * 11);
    const state::cardindex::ReadResult read = state::cardindex::readPair(list);
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(read.entries.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QCOMPARE(read.entries.at(i), expected.at(i));

    // Without the gap the pair comes back exactly as it was written.
    const QList<CardEntry> full = manyEntries(300);
    QVERIFY(state::cardindex::writePair(list, full).ok);
    QCOMPARE(state::cardindex::readPair(list).entries, full);
}

void TestCardFile::emptyListMakesEmptyFiles()
{
    TestEnv env;
    QVERIFY(state::cardindex::writePair(env.path("empty.lst"), {}).ok);
    QCOMPARE(env.readBytes("empty.lst"), QByteArray());
    QCOMPARE(env.readBytes("empty.lso"), QByteArray());
    const state::cardindex::ReadResult read = state::cardindex::readPair(env.path("empty.lst"));
    QVERIFY(read.ok);
    QVERIFY(read.entries.isEmpty());
}

void TestCardFile::lineBreaksInFieldsBecomeSpaces()
{
    TestEnv env;
    THuman h(QStringLiteral("Пет\r\nров"));
    h.Addr = QStringLiteral("дом 5\nкв. 7");
    h.Complaint = QStringLiteral("боли\r\rслабость\n");
    h.Concl = QStringLiteral("\n");
    const QList<CardEntry> entries{CardEntry{QStringLiteral("Пет\nров .."), h}};
    QVERIFY(state::cardindex::writePair(env.path("b.lst"), entries).ok);
    QCOMPARE(platform::textfile::readLines(env.path("b.lst")).lines, QStringList{QStringLiteral("Пет ров ..")});
    const QStringList data = platform::textfile::readLines(env.path("b.lso")).lines;
    QCOMPARE(data.size(), 11);
    QCOMPARE(data.at(1), QStringLiteral("Пет ров"));
    QCOMPARE(data.at(6), QStringLiteral("дом 5 кв. 7"));
    QCOMPARE(data.at(8), QStringLiteral("боли  слабость "));
    QCOMPARE(data.at(10), QStringLiteral(" "));
    const state::cardindex::ReadResult read = state::cardindex::readPair(env.path("b.lst"));
    QVERIFY(read.ok);
    QCOMPARE(read.entries.size(), 1);
    QCOMPARE(*read.entries.at(0).record, state::human::singleLined(h));
}

void TestCardFile::badPairIsRefusedWhole_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("data"); // "-" for no data file, "dir" for a folder
    QTest::addColumn<QString>("message"); // %L list file, %D data file

    const QStringList two{QStringLiteral("Петров О.И."), QStringLiteral("Иванова ..")};
    const QStringList good = state::cardindex::recordLines(petrov());
    auto bytes = [](const QStringList &lines) { return platform::textfile::encodeLines(lines); };
    QStringList badAge = good + good;
    badAge[15] = QStringLiteral("сорок");
    QStringList emptyAge = good;
    emptyAge[4] = QString();

    QTest::newRow("no data file") << two << QByteArray("-") << "Нет файла данных картотеки %D";
    QTest::newRow("data file is a folder") << two << QByteArray("dir") << "Файл %D не является обычным файлом";
    QTest::newRow("age of the second record is a word")
        << two << bytes(badAge)
        << "Ошибка в файле данных картотеки %D, строка 16: возраст «сорок» не является целым числом";
    QTest::newRow("empty age") << two << bytes(emptyAge)
                               << "Ошибка в файле данных картотеки %D, строка 5: возраст «» не "
                                  "является целым числом";
    QTest::newRow("more records than lines")
        << two << bytes(good + good + good)
        << "Ошибка в файле данных картотеки %D, строка 23: карточек в нём больше, чем строк (2) в файле "
           "списка %L";
    QTest::newRow("records but no list lines")
        << QStringList() << bytes(good)
        << "Ошибка в файле данных картотеки %D, строка 1: карточек в нём больше, чем строк (0) в файле "
           "списка %L";
}

void TestCardFile::badPairIsRefusedWhole()
{
    QFETCH(QStringList, list);
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    TestEnv env;
    const QString listFile = env.path("bad.LST");
    const QString dataFile = env.path("bad.lso");
    env.writeLines("bad.LST", list);
    if (data == "dir")
        QDir().mkpath(dataFile);
    else if (data != "-")
        env.writeBytes("bad.lso", data);
    const state::cardindex::ReadResult read = state::cardindex::readPair(listFile);
    QVERIFY(!read.ok);
    QVERIFY(read.entries.isEmpty());
    QCOMPARE(read.message, QString(message).replace("%D", dataFile).replace("%L", listFile));
}

void TestCardFile::fewerRecordsThanLinesIsValid()
{
    TestEnv env;
    env.writeLines("f.lst", {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
    env.writeLines("f.lso", state::cardindex::recordLines(petrov()));
    const state::cardindex::ReadResult read = state::cardindex::readPair(env.path("f.lst"));
    QVERIFY(read.ok);
    QCOMPARE(read.entries.size(), 3);
    QCOMPARE(read.entries.at(0).record, std::optional<THuman>(petrov()));
    QVERIFY(!read.entries.at(1).record);
    QVERIFY(!read.entries.at(2).record);

    // An empty data file is fine too; a missing list file is not.
    env.writeBytes("f.lso", {});
    QVERIFY(state::cardindex::readPair(env.path("f.lst")).ok);
    const state::cardindex::ReadResult missing = state::cardindex::readPair(env.path("nothing.lst"));
    QVERIFY(!missing.ok);
    QCOMPARE(missing.message, QStringLiteral("Ошибка открытия файла"));
}

void TestCardFile::listFileThatIsItsOwnDataFile()
{
    TestEnv env;
    const QString name = env.path("same.lso");
    const state::cardindex::WriteResult written = state::cardindex::writePair(name, threeEntries());
    QVERIFY(!written.ok);
    QCOMPARE(written.message,
             QStringLiteral("Файл списка картотеки не может служить и её файлом данных: ") + name);
    QVERIFY(!QFile::exists(name));
    env.writeLines("same.lso", {QStringLiteral("x")});
    QCOMPARE(state::cardindex::readPair(name).message, written.message);
}

void TestCardFile::failedSaveKeepsTheOldPair_data()
{
    QTest::addColumn<long long>("limit");
    QTest::addColumn<QString>("message");
    // The new list file is 60-odd bytes, its data file several kilobytes.
    QTest::newRow("list file cannot be written") << 10LL << "Ошибка записи в файл\nФайл %L: превышен допустимый размер файла";
    QTest::newRow("data file cannot be written") << 2000LL << "Ошибка записи в файл\nФайл %D: превышен допустимый размер файла";
}

void TestCardFile::failedSaveKeepsTheOldPair()
{
    QFETCH(long long, limit);
    QFETCH(QString, message);
    TestEnv env;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, threeEntries()).ok);
    const QByteArray oldList = env.readBytes("k.LST");
    const QByteArray oldData = env.readBytes("k.lso");

    state::cardindex::WriteResult written;
    {
        WriteLimit writeLimit(limit);
        written = state::cardindex::writePair(list, manyEntries(40));
    }
    QVERIFY(!written.ok);
    QCOMPARE(written.message, QString(message).replace("%D", env.path("k.lso")).replace("%L", list));
    QCOMPARE(env.readBytes("k.LST"), oldList);
    QCOMPARE(env.readBytes("k.lso"), oldData);
    QCOMPARE(filesIn(env.path()), (QStringList{QStringLiteral("k.LST"), QStringLiteral("k.lso")}));

    // Without a pair beforehand, a failed save leaves no files at all.
    {
        WriteLimit writeLimit(limit);
        QVERIFY(!state::cardindex::writePair(env.path("new.lst"), manyEntries(40)).ok);
    }
    QVERIFY(!QFile::exists(env.path("new.lst")));
    QVERIFY(!QFile::exists(env.path("new.lso")));
}

// Hand-edited data files: a last record cut short reads with its missing
// lines empty (and a warning naming the card); empty lines after the last
// record are no record.
void TestCardFile::handEditedDataFile_data()
{
    QTest::addColumn<int>("keep");   // lines of the second record kept
    QTest::addColumn<int>("blanks"); // empty lines added at the end
    QTest::addColumn<bool>("warned");
    QTest::newRow("whole, one empty line after") << 11 << 1 << false;
    QTest::newRow("whole, ten empty lines after") << 11 << 10 << false;
    QTest::newRow("trailing empty fields dropped") << 9 << 0 << true;
    QTest::newRow("cut after the surname") << 2 << 0 << true;
    QTest::newRow("cut, then empty lines") << 7 << 2 << true;
}

void TestCardFile::handEditedDataFile()
{
    QFETCH(int, keep);
    QFETCH(int, blanks);
    QFETCH(bool, warned);
    TestEnv env;
    THuman second = ivanova();
    second.Concl.clear();
    second.Anamnesis.clear();
    env.writeLines("h.lst", {QStringLiteral("Петров О.И."), QStringLiteral("Иванова ..")});
    env.writeLines("h.lso", state::cardindex::recordLines(petrov()) + state::cardindex::recordLines(second).mid(0, keep) +
                                QStringList(blanks));
    const state::cardindex::ReadResult read = state::cardindex::readPair(env.path("h.lst"));
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(read.entries.at(0).record, std::optional<THuman>(petrov()));
    QStringList expected = state::cardindex::recordLines(second).mid(0, keep) + QStringList(blanks);
    expected.resize(state::cardindex::kLinesPerRecord);
    if (keep <= 4)
        expected[4] = QStringLiteral("0");
    QCOMPARE(state::cardindex::recordLines(*read.entries.at(1).record), expected);
    QCOMPARE(read.warning.isEmpty(), !warned);
    if (warned) {
        QVERIFY(read.warning.contains(env.path("h.lso")));
        QVERIFY(read.warning.contains(QStringLiteral("(2, «Иванова ..»)")));
    }
}

namespace {

// The pair written before a save and the one the save writes.
QList<CardEntry> numbered(int count)
{
    QList<CardEntry> entries;
    for (int i = 0; i < count; ++i) {
        THuman h(QStringLiteral("Пациент%1").arg(i));
        h.Age = i;
        h.Complaint = QStringLiteral("жалобы пациента номер %1").arg(i);
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

// After the pair is opened by the holder of its lock, nothing but the pair
// is left in the folder.
void checkOpensWhole(const TestEnv &env, const QString &list, const QList<CardEntry> &old,
                     const QList<CardEntry> &saved, bool expectSaved)
{
    const state::cardindex::ReadResult read = state::cardindex::readPair(list, state::cardindex::Role::Holder);
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(read.entries, expectSaved ? saved : old);
    QCOMPARE(filesIn(env.path()), (QStringList{QStringLiteral("k.LST"), QStringLiteral("k.lso")}));
}

} // namespace

void TestCardFile::saveKilledAtEveryStep_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("newPair"); // what an open finds afterwards
    QTest::newRow("list staged") << int(state::cardindex::SaveStep::ListStaged) << false;
    QTest::newRow("data staged") << int(state::cardindex::SaveStep::DataStaged) << false;
    QTest::newRow("backup made") << int(state::cardindex::SaveStep::BackupMade) << false;
    QTest::newRow("intent recorded") << int(state::cardindex::SaveStep::IntentRecorded) << true;
    QTest::newRow("list replaced") << int(state::cardindex::SaveStep::ListReplaced) << true;
    QTest::newRow("data replaced") << int(state::cardindex::SaveStep::DataReplaced) << true;
    QTest::newRow("finished") << int(state::cardindex::SaveStep::Finished) << true;
}

// The save runs in a process of its own that is killed with SIGKILL right
// after one step; the old pair has one card fewer, so that a mixed pair would
// show every patient with a neighbour's record.
void TestCardFile::saveKilledAtEveryStep()
{
    QFETCH(int, step);
    QFETCH(bool, newPair);
    TestEnv env;
    const QString list = env.path("k.LST");
    const QList<CardEntry> old = numbered(299).mid(1);
    QVERIFY(state::cardindex::writePair(list, old).ok);

    QProcess saver;
    saver.start(QStringLiteral(CARDSAVER), {list, QStringLiteral("300"), QString::number(step)});
    QVERIFY(saver.waitForFinished(30000));
    QCOMPARE(saver.exitStatus(), QProcess::CrashExit);
    checkOpensWhole(env, list, old, numbered(300), newPair);
    // A backup, if one was made, is the old pair whole.
    const QList<state::cardbackup::Backup> backups = state::cardbackup::list(list);
    QVERIFY(backups.size() <= 1);
    for (const state::cardbackup::Backup &b : backups)
        QCOMPARE(state::cardindex::readPair(b.listFile).entries, old);
}

void TestCardFile::saveFailingAtEveryStep_data()
{
    saveKilledAtEveryStep_data();
}

// A step that fails as an I/O error would: before the record of intent the
// save fails and the old pair stays; after it, the save is finished by the
// next open.
void TestCardFile::saveFailingAtEveryStep()
{
    QFETCH(int, step);
    QFETCH(bool, newPair);
    TestEnv env;
    const QString list = env.path("k.LST");
    const QList<CardEntry> old = manyEntries(3);
    QVERIFY(state::cardindex::writePair(list, old).ok);
    state::cardindex::setSaveHook([step](state::cardindex::SaveStep s) { return int(s) != step; });
    const state::cardindex::WriteResult written = state::cardindex::writePair(list, manyEntries(20));
    state::cardindex::setSaveHook({});
    QCOMPARE(written.ok, step == int(state::cardindex::SaveStep::Finished));
    // A failure while the record of intent is written leaves the old pair.
    checkOpensWhole(env, list, old, manyEntries(20), newPair && step != int(state::cardindex::SaveStep::IntentRecorded));
}

void TestCardFile::readerLeavesAWritersFilesAlone_data()
{
    QTest::addColumn<int>("step"); // where the writer is held up
    QTest::addColumn<bool>("newPair"); // what the reader reads meanwhile
    QTest::newRow("staged, no record of intent yet") << int(state::cardindex::SaveStep::BackupMade) << false;
    QTest::newRow("between the two renames") << int(state::cardindex::SaveStep::ListReplaced) << true;
}

// Another workstation reads the pair while its holder's save is held up (a
// slow share): the reader reads one whole pair and writes nothing, and the
// save then goes through.
void TestCardFile::readerLeavesAWritersFilesAlone()
{
    QFETCH(int, step);
    QFETCH(bool, newPair);
    TestEnv env;
    const QString list = env.path("k.LST");
    const QList<CardEntry> old = numbered(299).mid(1);
    QVERIFY(state::cardindex::writePair(list, old).ok);
    QProcess writer;
    writer.start(QStringLiteral(CARDSAVER), {list, QStringLiteral("300"), QStringLiteral("pause"), QString::number(step)});
    QVERIFY(writer.waitForReadyRead(30000));
    QCOMPARE(writer.readAll().trimmed(), QByteArray("paused"));
    const QStringList during = filesIn(env.path());

    const state::cardindex::ReadResult read = state::cardindex::readPair(list);
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(read.entries, newPair ? numbered(300) : old);
    QCOMPARE(filesIn(env.path()), during);

    writer.write("\n");
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitCode(), 0);
    QCOMPARE(state::cardindex::readPair(list).entries, numbered(300));
}

void TestCardFile::readerRacingASaveReadsOnePair_data()
{
    QTest::addColumn<QString>("killStep"); // of the save run between the two opens; "" for none
    QTest::newRow("a whole save") << "";
    QTest::newRow("a save that dies between the renames") << QString::number(int(state::cardindex::SaveStep::ListReplaced));
}

// The reader is slow to open the data file, and another workstation saves
// the pair in that moment: what is read is one save's pair, never the old
// list with the new records.
void TestCardFile::readerRacingASaveReadsOnePair()
{
    QFETCH(QString, killStep);
    TestEnv env;
    const QString list = env.path("k.LST");
    const QList<CardEntry> old = numbered(299).mid(1);
    QVERIFY(state::cardindex::writePair(list, old).ok);
    bool saved = false;
    platform::safefile::setHook([&](platform::safefile::Call call, const QString &path) {
        if (call == platform::safefile::Call::Open && path.endsWith(QLatin1String(".lso")) && !saved) {
            saved = true;
            QStringList args{list, QStringLiteral("300")};
            if (!killStep.isEmpty())
                args << killStep;
            QProcess::execute(QStringLiteral(CARDSAVER), args);
        }
        return 0;
    });
    const state::cardindex::ReadResult read = state::cardindex::readPair(list);
    platform::safefile::setHook({});
    QVERIFY(saved);
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(read.entries, numbered(300));
    if (!killStep.isEmpty()) // nothing was finished by the reader
        QVERIFY(QFileInfo::exists(state::cardindex::intentName(list)));
}

namespace {

// The pair of version n of the day's work (cardsaver's scenario).
QList<CardEntry> version(int n)
{
    return numbered(n);
}

} // namespace

// A workstation is killed just before each of its file calls in turn while
// it takes over a stale lock, saves (backing up and pruning), writes the
// photo index, restores a backup and lets the lock go. After each kill the
// lock is whole or gone, the pair and every backup listed open whole, the
// photo index reads, and the next save leaves nothing stray behind.
void TestCardFile::everyFileCallKilled()
{
    TestEnv env;
    // What counts is the order of the calls, not the disk: nothing is synced.
    platform::safefile::setHook([](platform::safefile::Call call, const QString &) {
        return call == platform::safefile::Call::Sync ? platform::safefile::kSkip : 0;
    });
    const auto unhook = qScopeGuard([] { platform::safefile::setHook({}); });
    // The day starts from the same folder each time: the pair is version 4,
    // its backups 3, 2 and 1, its lock left by a workstation that died, its
    // photo index names 2 photos.
    const QString start = env.path("start");
    {
        const QString list = start + "/k.LST";
        QDir().mkpath(start);
        state::cardindex::SaveOptions options;
        options.keepBackups = 3;
        for (int v = 1; v <= 4; ++v)
            QVERIFY(state::cardindex::writePair(list, version(v), options).ok);
        state::cardlock::Holder dead = state::cardlock::me(QStringLiteral("gone"));
        QVERIFY(platform::textfile::writeLines(state::cardlock::lockName(list),
                                     {QStringLiteral("НИРЕЛ-3: картотека открыта"), dead.user, dead.host,
                                      dead.since.toUTC().toString(Qt::ISODate), "999999999", "0", "x"}));
        photos::PhotoIndex index;
        for (int i = 0; i < 2; ++i)
            index.add(QStringLiteral("R%1.jpg").arg(i), photos::Eye::Right, photos::keyOf(*version(4).at(i).record), QString());
        QVERIFY(photos::save(photos::folderFor(list), index));
    }
    const QString work = env.path("work");
    const QString list = work + "/k.LST";
    const QString foto = photos::folderFor(list);
    int killAt = 1;
    for (;; ++killAt) {
        QDir(work).removeRecursively();
        QVERIFY(QProcess::execute("cp", {"-a", start, work}) == 0);
        QProcess worker;
        worker.start(QStringLiteral(CARDSAVER), {list, QStringLiteral("scenario"), QString::number(killAt)});
        QVERIFY(worker.waitForFinished(30000));
        if (worker.exitStatus() == QProcess::NormalExit) {
            QCOMPARE(worker.exitCode(), 0);
            break;
        }
        const QString at = QStringLiteral("killed before file call %1").arg(killAt);

        // The lock: whole, or not there.
        const std::optional<state::cardlock::Holder> left = state::cardlock::holderOf(list);
        QVERIFY2(!left || left->problem.isEmpty(), qPrintable(at + ": " + (left ? left->problem : QString())));
        const state::cardlock::Holder self = state::cardlock::me(QStringLiteral("test"));
        QString error;
        QCOMPARE(left ? state::cardlock::takeOver(list, *left, self, &error) : state::cardlock::take(list, self, &error),
                 state::cardlock::Take::Taken);
        // The pair and the backups, each one whole version.
        const QList<QList<CardEntry>> versions{version(1), version(2), version(3), version(4), version(5)};
        const state::cardindex::ReadResult read = state::cardindex::readPair(list, state::cardindex::Role::Holder);
        QVERIFY2(read.ok && versions.contains(read.entries), qPrintable(at + ": " + read.message));
        const QList<state::cardbackup::Backup> backups = state::cardbackup::list(list);
        QVERIFY2(backups.size() >= 3 && backups.size() <= 4, qPrintable(at));
        for (const state::cardbackup::Backup &b : backups)
            QVERIFY2(versions.contains(state::cardindex::readPair(b.listFile).entries), qPrintable(at + ": " + b.listFile));
        // The photo index: the old one or the new one.
        const photos::Loaded photos = photos::load(foto);
        QVERIFY2(photos.warning.isEmpty(), qPrintable(at + ": " + photos.warning));
        QVERIFY2(photos.index.photos.size() == 2 || photos.index.photos.size() == 3, qPrintable(at));

        // The next save and photo index leave the folders as they should be.
        state::cardindex::SaveOptions options;
        options.keepBackups = 3;
        QVERIFY(state::cardindex::writePair(list, version(6), options).ok);
        QVERIFY(photos::save(foto, photos.index));
        state::cardlock::release(list, self);
        QCOMPARE(filesIn(work), (QStringList{"k.LST", "k.lso"}));
        QCOMPARE(filesIn(state::cardbackup::folderOf(list)).size(), 6);
        QCOMPARE(state::cardbackup::list(list).size(), 3);
        QCOMPARE(filesIn(foto), (QStringList{"index.txt", "visits.txt"}));
    }
    qInfo("%d file calls, each one killed once", killAt - 1);
    QVERIFY(killAt > 40);
}

void TestCardFile::writeRefusalsSayWhy_data()
{
    QTest::addColumn<int>("call"); // made to fail; -1: none
    QTest::addColumn<QString>("on"); // the name it fails on
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message"); // %L the list file, %D the data file
    const int create = int(platform::safefile::Call::Create), write = int(platform::safefile::Call::Write);
    QTest::newRow("disk full") << write << "k.lso.nirel3-new" << ENOSPC
                               << "Ошибка записи в файл\nФайл %D: на диске нет места";
    QTest::newRow("read-only disk") << create << "k.LST.nirel3-new" << EROFS
                                    << "Ошибка записи в файл\nФайл %L: диск доступен только для чтения";
    QTest::newRow("folder without rights") << create << "k.LST.nirel3-new" << EACCES
                                           << "Ошибка записи в файл\nФайл %L: нет прав доступа";
    QTest::newRow("pair protected against writing") << -1 << "" << 0
                                                    << "Ошибка записи в файл\nФайл %L защищён от записи: картотека не заменена";
}

// A save that cannot be made names the file and the reason, and leaves the
// pair as it was.
void TestCardFile::writeRefusalsSayWhy()
{
    QFETCH(int, call);
    QFETCH(QString, on);
    QFETCH(int, error);
    QFETCH(QString, message);
    TestEnv env;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, threeEntries()).ok);
    const QByteArray oldList = env.readBytes("k.LST");
    const QByteArray oldData = env.readBytes("k.lso");
    if (call < 0)
        QVERIFY(QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    platform::safefile::setHook([&](platform::safefile::Call c, const QString &path) {
        return int(c) == call && path.endsWith(on) ? error : 0;
    });
    const state::cardindex::WriteResult written = state::cardindex::writePair(list, manyEntries(40));
    platform::safefile::setHook({});
    QVERIFY(!written.ok);
    QCOMPARE(written.message, QString(message).replace("%L", list).replace("%D", env.path("k.lso")));
    QCOMPARE(env.readBytes("k.LST"), oldList);
    QCOMPARE(env.readBytes("k.lso"), oldData);
    QCOMPARE(filesIn(env.path()), (QStringList{"k.LST", "k.lso"}));
}

// A register kept private stays private through a save and a restore, and
// so do its backups.
void TestCardFile::permissionsAreKept()
{
    TestEnv env;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, manyEntries(2)).ok);
    const auto modeOf = [](const QString &file) {
        struct stat st {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    };
    for (const QString &file : {list, env.path("k.lso")})
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0600) == 0);
    state::cardindex::SaveOptions options;
    options.keepBackups = 3;
    QVERIFY(state::cardindex::writePair(list, manyEntries(4), options).ok);
    const QString backup = state::cardbackup::list(list).at(0).listFile;
    const QList<int> privateModes{0600, 0600, 0600, 0600};
    QCOMPARE((QList<int>{modeOf(list), modeOf(env.path("k.lso")), modeOf(backup), modeOf(state::cardindex::dataFileName(backup))}),
             privateModes);
    QVERIFY(state::cardindex::restorePair(list, backup, options).ok);
    QCOMPARE((QList<int>{modeOf(list), modeOf(env.path("k.lso"))}), (QList<int>{0600, 0600}));
    QCOMPARE(state::cardindex::readPair(list).entries, manyEntries(2));
}

void TestCardFile::linksAreFollowedNotReplaced()
{
    TestEnv env;
    QDir().mkpath(env.path("shared"));
    // A pair kept as links into a shared folder stays linked after a save.
    QVERIFY(state::cardindex::writePair(env.path("shared/k.LST"), threeEntries()).ok);
    QVERIFY(QFile::link(env.path("shared/k.LST"), env.path("k.LST")));
    QVERIFY(QFile::link(env.path("shared/k.lso"), env.path("k.lso")));
    QVERIFY(state::cardindex::writePair(env.path("k.LST"), manyEntries(5)).ok);
    QVERIFY(QFileInfo(env.path("k.LST")).isSymLink());
    QVERIFY(QFileInfo(env.path("k.lso")).isSymLink());
    QCOMPARE(state::cardindex::readPair(env.path("shared/k.LST")).entries, manyEntries(5));

    // A data file that is a link to its own list file is no pair.
    env.writeLines("s.LST", {QStringLiteral("Петров О.И.")});
    QVERIFY(QFile::link(env.path("s.LST"), env.path("s.lso")));
    const QByteArray before = env.readBytes("s.LST");
    const state::cardindex::WriteResult written = state::cardindex::writePair(env.path("s.LST"), threeEntries());
    QVERIFY(!written.ok);
    QVERIFY(written.message.startsWith(QStringLiteral("Файл списка картотеки не может служить")));
    QCOMPARE(env.readBytes("s.LST"), before);
    QVERIFY(!state::cardindex::readPair(env.path("s.LST")).ok);
}

void TestCardFile::pipesAndDevicesAreRefused()
{
    TestEnv env;
    QVERIFY(::mkfifo(QFile::encodeName(env.path("fifo.LST")).constData(), 0600) == 0);
    state::cardindex::ReadResult read = state::cardindex::readPair(env.path("fifo.LST")); // would block if opened
    QVERIFY(!read.ok);
    QCOMPARE(read.message, QStringLiteral("Ошибка открытия файла\nФайл ") + env.path("fifo.LST") +
                               QStringLiteral(" не является обычным файлом"));

    env.writeLines("z.LST", {QStringLiteral("Петров О.И.")});
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), env.path("z.lso")));
    read = state::cardindex::readPair(env.path("z.LST")); // would eat memory if read
    QVERIFY(!read.ok);
    QVERIFY(read.message.endsWith(QStringLiteral(" не является обычным файлом")));

    const state::cardindex::WriteResult written = state::cardindex::writePair(env.path("z.LST"), threeEntries());
    QVERIFY(!written.ok);
    QVERIFY(written.message.startsWith(QStringLiteral("Ошибка записи в файл\n")));
    QCOMPARE(platform::textfile::readLines(env.path("z.LST")).lines, QStringList{QStringLiteral("Петров О.И.")});
}

// Under "ulimit -f" the program itself (started as it always is) survives a
// save that outgrows the limit, and reports the failure.
void TestCardFile::sizeLimitFailsTheSaveNotTheProgram()
{
    TestEnv env;
    QProcess saver;
    saver.setChildProcessModifier([] {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_DFL); // as a shell leaves it
    });
    saver.start(QStringLiteral(CARDSAVER), {env.path("big.LST"), QStringLiteral("500")});
    QVERIFY(saver.waitForFinished(30000));
    QCOMPARE(saver.exitStatus(), QProcess::NormalExit);
    QCOMPARE(saver.exitCode(), 3);
    QVERIFY(filesIn(env.path()).isEmpty());
}

void TestCardFile::unstorableCharactersAreReported()
{
    TestEnv env;
    QList<CardEntry> entries = threeEntries();
    entries[2].record->FName = QStringLiteral("Müller");
    entries[2].record->Addr = QStringLiteral("Köln 😀");
    const state::cardindex::WriteResult written = state::cardindex::writePair(env.path("u.lst"), entries);
    QVERIFY(written.ok);
    QCOMPARE(written.replaced, (QStringList{QStringLiteral("карточка 3 (Иванова ..), поле «Фамилия»"),
                                            QStringLiteral("карточка 3 (Иванова ..), поле «Адрес»")}));
    // (The second entry has no record, so the third's is read onto it.)
    QCOMPARE(state::cardindex::readPair(env.path("u.lst")).entries.at(1).record->FName, QStringLiteral("M?ller"));
    QVERIFY(state::cardindex::writePair(env.path("u.lst"), threeEntries()).replaced.isEmpty());
}

// The pair is written field by field straight into bytes; it must be what
// the line rules give: each field made single-line, encoded, CR LF after it.
void TestCardFile::writtenBytesFollowTheLineRules()
{
    TestEnv env;
    QList<CardEntry> entries = manyEntries(60);
    THuman odd(QStringLiteral("Пет\r\nров\r\rИ\nван\r"));
    odd.Addr = QStringLiteral("a") + QChar(char16_t(0xD83D)) + QStringLiteral("б") + QChar(char16_t(0xD83D)) + QChar(char16_t(0xDE00)) +
               u"\u00A0\u2116\u0098\x01\t";
    odd.Concl = QStringLiteral("Ђђ€“”«»™ЁёЇїЎўҐґ");
    odd.Age = -2147483647 - 1;
    entries.insert(7, CardEntry{QStringLiteral("Странная\nзапись"), odd});
    entries[9].record.reset();
    bool lossy = false;
    const state::cardindex::WriteResult written = state::cardindex::writePair(env.path("r.lst"), entries);
    QVERIFY(written.ok);
    QCOMPARE(env.readBytes("r.lst"), platform::textfile::encodeLines(state::cardindex::listLines(entries)));
    QCOMPARE(env.readBytes("r.lso"), platform::textfile::encodeLines(state::cardindex::dataLines(entries), &lossy));
    QVERIFY(lossy);
    QCOMPARE(written.replaced, QStringList{QStringLiteral("карточка 8 (Странная запись), поле «Адрес»")});
    QVERIFY(env.readBytes("r.lso").contains("a?\xE1?\xA0\xB9\x98\x01\t\r\n"));
}

void TestCardFile::readLineEnds_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("first"); // the first record's lines
    // The end of line 1, lines 2 to 10 (the age on line 5).
    const QByteArray rest = "\r\n\r\n\r\n\r\n42\r\n\r\n\r\n\r\n\r\n\r\n";
    const QStringList restLines{"", "", "", "42", "", "", "", "", ""};
    QTest::newRow("CR LF") << ("d" + rest + "\r\n") << (QStringList{"d"} + restLines + QStringList{""});
    QTest::newRow("LF only") << QByteArray("d\n\n\n\n7\n\n\n\n\n\n\n")
                             << QStringList{"d", "", "", "", "7", "", "", "", "", "", ""};
    QTest::newRow("no line end after the last line") << ("d" + rest + "x") << (QStringList{"d"} + restLines + QStringList{"x"});
    QTest::newRow("a CR alone ends a line") << QByteArray("d\r\r\r\r42\r\r\r\r\r\rx\r")
                                            << (QStringList{"d"} + restLines + QStringList{"x"});
    QTest::newRow("age with blanks and sign") << QByteArray("\r\n\r\n\r\n\r\n +12 \r\n\r\n\r\n\r\n\r\n\r\n\r\n")
                                             << QStringList{"", "", "", "", "12", "", "", "", "", "", ""};
    QTest::newRow("cp1251 letters") << QByteArray("\xC0\xFF\xA8\xB8\r\n\r\n\r\n\r\n-0\r\n\r\n\r\n\r\n\r\n\r\n\r\n")
                                    << QStringList{"АяЁё", "", "", "", "0", "", "", "", "", "", ""};
}

// The reader goes over the bytes itself; its lines are those of the text
// file rules.
void TestCardFile::readLineEnds()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, first);
    TestEnv env;
    env.writeLines("l.lst", {QStringLiteral("Один")});
    env.writeBytes("l.lso", data);
    const state::cardindex::ReadResult read = state::cardindex::readPair(env.path("l.lst"));
    QVERIFY2(read.ok, qPrintable(read.message));
    QVERIFY(read.warning.isEmpty());
    const THuman &h = *read.entries.at(0).record;
    QCOMPARE((QStringList{h.Date, h.FName, h.LName, h.MName, QString::number(h.Age), h.Doc, h.Addr, h.Phone,
                          h.Complaint, h.Anamnesis, h.Concl}),
             first);
}

// Fields read from a file share blocks of memory; each must still behave as
// a string of its own: changed, kept, or outliving the rest.
void TestCardFile::fieldsReadAreIndependentStrings()
{
    TestEnv env;
    const QList<CardEntry> written = manyEntries(2000);
    QVERIFY(state::cardindex::writePair(env.path("s.lst"), written).ok);
    QString kept;
    QString grown;
    {
        state::cardindex::ReadResult read = state::cardindex::readPair(env.path("s.lst"));
        QVERIFY(read.ok);
        QCOMPARE(read.entries, written);
        THuman &h = *read.entries[10].record;
        kept = h.Addr;
        h.FName += QStringLiteral("-изменено");
        h.LName.append(QString(5000, QLatin1Char('x'))); // past the block's end
        h.MName[0] = QLatin1Char('Z');
        grown = h.Doc;
        grown.replace(0, 4, QStringLiteral("ВРАЧ"));
        QCOMPARE(read.entries.at(11), written.at(11));
        QCOMPARE(h.Doc, written.at(10).record->Doc);
        QCOMPARE(h.FName, written.at(10).record->FName + QStringLiteral("-изменено"));
        QCOMPARE(*h.MName.utf16() , u'Z');
        QCOMPARE(read.entries.at(9).record->Concl.utf16()[read.entries.at(9).record->Concl.size()], u'\0');
        read.entries.erase(read.entries.begin() + 5, read.entries.end() - 5);
        QCOMPARE(read.entries.at(5), written.at(1995));
    }
    // The rest is gone; what was kept is whole.
    QCOMPARE(kept, written.at(10).record->Addr);
    QCOMPARE(grown, QStringLiteral("ВРАЧ") + written.at(10).record->Doc.mid(4));
}

void TestCardFile::pairChangedOnDiskIsNotReplaced_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("refused");
    QTest::newRow("nothing changed") << "" << false;
    QTest::newRow("list rewritten, same size") << "list" << true;
    QTest::newRow("data grown") << "data+" << true;
    QTest::newRow("data removed") << "data-" << true;
    QTest::newRow("whole pair replaced") << "pair" << true;
    QTest::newRow("list replaced, same size, its time put back") << "same" << true;
}

// The stamp taken when the pair was read stops a save over files another
// program has written since; without a stamp the save goes ahead.
void TestCardFile::pairChangedOnDiskIsNotReplaced()
{
    QFETCH(QString, change);
    QFETCH(bool, refused);
    TestEnv env;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, threeEntries()).ok);
    const state::cardindex::ReadResult read = state::cardindex::readPair(list);
    QVERIFY(read.ok);
    QCOMPARE(read.stamp, state::cardindex::stampOf(list));
    QTest::qWait(20); // a later modification time
    if (change == "list")
        env.writeBytes("k.LST", QByteArray(env.readBytes("k.LST")).replace("\xcf", "\xc8"));
    else if (change == "data+")
        QVERIFY(platform::textfile::appendLines(env.path("k.lso"), state::cardindex::recordLines(petrov())));
    else if (change == "data-")
        QFile::remove(env.path("k.lso"));
    else if (change == "pair")
        QVERIFY(state::cardindex::writePair(list, manyEntries(2)).ok);
    else if (change == "same") {
        // Another file of the same size put in place, with the old time.
        QByteArray bytes = env.readBytes("k.LST");
        bytes.replace("\xcf", "\xc8");
        env.writeBytes("other", bytes);
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(list).constData(), &st) == 0);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(env.path("other")).constData(), times, 0) == 0);
        QVERIFY(::rename(QFile::encodeName(env.path("other")).constData(), QFile::encodeName(list).constData()) == 0);
    }
    const QByteArray listBefore = env.readBytes("k.LST");
    const QByteArray dataBefore = env.readBytes("k.lso");

    state::cardindex::SaveOptions options;
    options.expected = read.stamp;
    options.keepBackups = 3;
    const state::cardindex::WriteResult written = state::cardindex::writePair(list, manyEntries(7), options);
    QCOMPARE(written.changedOnDisk, refused);
    QCOMPARE(written.ok, !refused);
    if (refused) {
        QCOMPARE(written.message, "Файлы картотеки " + list +
                                      " изменены другой программой после того, как картотека была открыта.");
        QCOMPARE(env.readBytes("k.LST"), listBefore);
        QCOMPARE(env.readBytes("k.lso"), dataBefore);
        QCOMPARE(filesIn(env.path()).size(), change == "data-" ? 1 : 2);
        QVERIFY(state::cardbackup::list(list).isEmpty());
        options.expected.reset(); // "replace them anyway"
        QVERIFY(state::cardindex::writePair(list, manyEntries(7), options).ok);
    }
    QCOMPARE(state::cardindex::readPair(list).entries, manyEntries(7));
    QCOMPARE(state::cardindex::stampOf(list), state::cardindex::writePair(list, manyEntries(7), {}).stamp);
}

// A change made while the new files are being written is caught before
// anything is replaced.
void TestCardFile::changeWhileSavingIsCaught()
{
    TestEnv env;
    const QString list = env.path("k.LST");
    QVERIFY(state::cardindex::writePair(list, threeEntries()).ok);
    state::cardindex::SaveOptions options;
    options.expected = state::cardindex::stampOf(list);
    options.keepBackups = 3;
    state::cardindex::setSaveHook([&](state::cardindex::SaveStep s) {
        if (s == state::cardindex::SaveStep::DataStaged)
            platform::textfile::appendLines(env.path("k.lso"), {QStringLiteral("чужая строка")});
        return true;
    });
    const state::cardindex::WriteResult written = state::cardindex::writePair(list, manyEntries(5), options);
    state::cardindex::setSaveHook({});
    QVERIFY(written.changedOnDisk);
    QCOMPARE(filesIn(env.path()), (QStringList{QStringLiteral("k.LST"), QStringLiteral("k.lso")}));
    QCOMPARE(platform::textfile::readLines(env.path("k.lso")).lines.constLast(), QStringLiteral("чужая строка"));
    QVERIFY(state::cardbackup::list(list).isEmpty());
}

// Each save keeps the pair it replaces; the newest backups are kept, and
// a backup is a pair that opens.
void TestCardFile::backupsKeepEachReplacedPair()
{
    TestEnv env;
    const QString list = env.path("Картотека.LST");
    state::cardindex::SaveOptions options;
    options.keepBackups = 4;
    for (int version = 1; version <= 7; ++version) {
        const state::cardindex::WriteResult written = state::cardindex::writePair(list, manyEntries(version), options);
        QVERIFY2(written.ok && written.warning.isEmpty(), qPrintable(written.message + written.warning));
    }
    const QList<state::cardbackup::Backup> backups = state::cardbackup::list(list);
    QCOMPARE(backups.size(), 4);
    for (int i = 0; i < 4; ++i) // newest first: the pairs of saves 6, 5, 4, 3
        QCOMPARE(state::cardindex::readPair(backups.at(i).listFile).entries, manyEntries(6 - i));
    QCOMPARE(QFileInfo(backups.at(0).listFile).absolutePath(), env.path("Картотека.LST.nirel3-backups"));
    QCOMPARE(QDir(env.path("Картотека.LST.nirel3-backups")).entryList(QDir::Files).size(), 8);
    // A backup is a copy: a program that writes into the pair in place (or
    // into another name of the same file) leaves every backup alone.
    QVERIFY(::link(QFile::encodeName(list).constData(), QFile::encodeName(env.path("elsewhere.LST")).constData()) == 0);
    QVERIFY(state::cardindex::writePair(list, manyEntries(8), options).ok);
    const QString newest = "Картотека.LST.nirel3-backups/" + QFileInfo(state::cardbackup::list(list).at(0).listFile).fileName();
    const QByteArray kept = env.readBytes(newest);
    for (const QString &name : {list, env.path("elsewhere.LST")}) {
        QFile live(name);
        QVERIFY(live.open(QIODevice::ReadWrite));
        live.write("XXXX");
    }
    QCOMPARE(env.readBytes(newest), kept);
    QCOMPARE(state::cardindex::readPair(state::cardbackup::list(list).at(0).listFile).entries, manyEntries(7));

    // A backup's list file without its data file is not listed; what a
    // backup or a pruning cut short left goes with the next save.
    const QString folder = "Картотека.LST.nirel3-backups/";
    env.writeBytes(folder + "Картотека_2020-01-01_10-00-00.LST", "x\r\n");
    env.writeBytes(folder + "Картотека_2020-01-02_10-00-00.lso", "");
    env.writeBytes(folder + "Картотека_2020-01-03_10-00-00.lso.nirel3-part", "");
    env.writeBytes(folder + "чужой файл.txt", "");
    QCOMPARE(state::cardbackup::list(list).size(), 4);
    QVERIFY(state::cardindex::writePair(list, manyEntries(9), options).ok);
    QCOMPARE(QDir(env.path(folder)).entryList(QDir::Files).size(), 9);
}

void TestCardFile::backupNamesAndRotation_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("names"); // of the two backups made at 14:05:33
    QTest::newRow("usual") << "k.LST" << QStringList{"k_2024-03-12_14-05-33_2.LST", "k_2024-03-12_14-05-33.LST"};
    QTest::newRow("no extension") << "patients"
                                  << QStringList{"pati_2024-03-12_14-05-33_2ents", "pati_2024-03-12_14-05-33ents"};
    QTest::newRow("short name") << "a.b" << QStringList{"a.b_2024-03-12_14-05-33_2.lst", "a.b_2024-03-12_14-05-33.lst"};
}

// Backups are named by the time of the save, numbered within one second,
// and are pairs by the usual rule for data file names.
void TestCardFile::backupNamesAndRotation()
{
    QFETCH(QString, list);
    QFETCH(QStringList, names);
    TestEnv env;
    const QString listFile = env.path(list);
    QString error;
    QVERIFY(state::cardbackup::make(listFile, QDateTime::currentDateTime(), &error).isEmpty()); // no pair yet
    QVERIFY(error.isEmpty());
    QVERIFY(state::cardindex::writePair(listFile, threeEntries()).ok);
    const QDateTime at(QDate(2024, 3, 12), QTime(14, 5, 33, 250));
    QVERIFY(!state::cardbackup::make(listFile, at, &error).isEmpty());
    QVERIFY(!state::cardbackup::make(listFile, at.addMSecs(500), &error).isEmpty());
    QVERIFY(!state::cardbackup::make(listFile, at.addDays(-1), &error).isEmpty());
    QList<state::cardbackup::Backup> backups = state::cardbackup::list(listFile);
    QCOMPARE(backups.size(), 3);
    QStringList got;
    for (int i = 0; i < 2; ++i)
        got << QFileInfo(backups.at(i).listFile).fileName();
    QCOMPARE(got, names);
    QCOMPARE(state::cardbackup::caption(backups.at(0)), QStringLiteral("12.03.2024 14:05:33 (2)"));
    QCOMPARE(state::cardbackup::caption(backups.at(2)), QStringLiteral("11.03.2024 14:05:33"));
    for (const state::cardbackup::Backup &b : backups)
        QCOMPARE(state::cardindex::readPair(b.listFile).entries, state::cardindex::readPair(listFile).entries);
    state::cardbackup::rotate(listFile, 1);
    backups = state::cardbackup::list(listFile);
    QCOMPARE(backups.size(), 1);
    QCOMPARE(QFileInfo(backups.at(0).listFile).fileName(), names.at(0));
    QCOMPARE(QDir(state::cardbackup::folderOf(listFile)).entryList(QDir::Files).size(), 2);
}

// A restore puts the backup's bytes in place as a save, keeping the pair it
// replaces, so that restoring that backup undoes it.
void TestCardFile::restoreIsASaveThatCanBeUndone()
{
    TestEnv env;
    const QString list = env.path("k.LST");
    state::cardindex::SaveOptions options;
    options.keepBackups = state::cardbackup::kKeep;
    // A hand-edited first version (LF line ends), which a restore keeps byte for byte.
    env.writeBytes("k.LST", "A\n");
    env.writeBytes("k.lso", "\n\xc0\xc1\n\n\n7\n\n\n\n\n\n\n\n\n");
    const QByteArray firstList = env.readBytes("k.LST"), firstData = env.readBytes("k.lso");
    QVERIFY(state::cardindex::writePair(list, manyEntries(3), options).ok);
    const QString first = state::cardbackup::list(list).at(0).listFile;

    options.expected = state::cardindex::stampOf(list);
    const state::cardindex::WriteResult restored = state::cardindex::restorePair(list, first, options);
    QVERIFY2(restored.ok, qPrintable(restored.message));
    QCOMPARE(env.readBytes("k.LST"), firstList);
    QCOMPARE(env.readBytes("k.lso"), firstData);
    QCOMPARE(restored.stamp, state::cardindex::stampOf(list));
    const QList<state::cardbackup::Backup> backups = state::cardbackup::list(list);
    QCOMPARE(backups.size(), 2);
    QCOMPARE(state::cardindex::readPair(backups.at(0).listFile).entries, manyEntries(3));

    // Undone: the pair before the restore comes back.
    options.expected = restored.stamp;
    QVERIFY(state::cardindex::restorePair(list, backups.at(0).listFile, options).ok);
    QCOMPARE(state::cardindex::readPair(list).entries, manyEntries(3));
    QCOMPARE(state::cardbackup::list(list).size(), 3);

    // A changed pair is not replaced by a restore either.
    options.expected = restored.stamp;
    QVERIFY(state::cardindex::restorePair(list, first, options).changedOnDisk);
    QCOMPARE(state::cardindex::readPair(list).entries, manyEntries(3));
}

QTEST_MAIN(TestCardFile)
#include "test_cardfile.moc"
