// The pathology dictionary: reading the code of a line, the lookup into the
// deep window's pathology box, and the dictionary shipped with the program.
#include "deep/tfmdeep.h"
#include "platform/cp1251.h"
#include "platform/textfile.h"
#include "state/examination.h"
#include "state/openwindow.h"
#include "state/pathology.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

const QString kDictionary = QStringLiteral("SystmTxt/Patology.txt");
const QString kAbsent = QStringLiteral("File .\\SystmTxt\\Patology.txt is absent");

QString line(const char16_t *text)
{
    return QString::fromUtf16(text);
}

TfmDeep *deepWindow()
{
    return state::ensureWindow(state::windows().fmDeep);
}

// The lookup into the pathology lines the deep window shows.
bool FillPathologyBox(const QList<int> &codes)
{
    return state::examination().FillPathologyBox(codes);
}

} // namespace

class TestPathology : public QObject {
    Q_OBJECT
private slots:
    void codeOf_data();
    void codeOf();
    void resultsGroupedByCodeInListOrder();
    void appendsWithoutClearing();
    void noCodesTouchNothing();
    void failureShowsOneMessage_data();
    void failureShowsOneMessage();
    void fileIsReadAfreshForEveryLookup();
    void awkwardFileContent();
    void coreLookupWithoutWindow();

    void shippedHasEveryRequiredCode();
    void shippedLinesFollowTheLayout();
    void shippedIsWindows1251WithCyrillic();
};

void TestPathology::codeOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("leading zero") << "0113 05 x" << 113;
    QTest::newRow("leading blank") << " 113 05 x" << 113;
    QTest::newRow("left-aligned") << "113  05 x" << 113;
    QTest::newRow("letter after digits") << "113x05 x" << 113;
    QTest::newRow("four digits") << "1130 05 x" << 1130;
    QTest::newRow("five digits: first four") << "11305 x" << 1130;
    QTest::newRow("two blanks") << "  59 01 x" << 59;
    QTest::newRow("short line") << "59" << 59;
    QTest::newRow("four blanks then digits") << "    113" << 0;
    QTest::newRow("no digit") << "abcd 05 x" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("zeros") << "0000 05 x" << 0;
    QTest::newRow("Cyrillic") << line(u"Код 05") << 0;
}

void TestPathology::codeOf()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(state::pathology::codeOf(text), code);
}

void TestPathology::resultsGroupedByCodeInListOrder()
{
    TestEnv env;
    env.writeLines(kDictionary, {
        line(u"0059 05 Первая строка 59"),
        line(u"0113 01 Первая строка 113"),
        line(u"1130 02 Не 113"),
        line(u" 113 03 Вторая строка 113"),
        line(u"0059 04 Вторая строка 59"),
        line(u"113x05 Третья строка 113"),
        line(u"11305 Код 1130"),
    });
    ScriptedPrompter prompter;
    TfmDeep *w = deepWindow();
    FillPathologyBox({113, 59});
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), QStringList({
        line(u"0113 01 Первая строка 113"),
        line(u" 113 03 Вторая строка 113"),
        line(u"113x05 Третья строка 113"),
        line(u"0059 05 Первая строка 59"),
        line(u"0059 04 Вторая строка 59"),
    }));
    control<Memo>(w, "mmPathology")->clearLines();
    FillPathologyBox({1130, 7, 1130});
    // A code without lines gives nothing; a code given twice yields twice.
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), QStringList({
        line(u"1130 02 Не 113"), line(u"11305 Код 1130"),
        line(u"1130 02 Не 113"), line(u"11305 Код 1130"),
    }));
    QVERIFY(prompter.records.isEmpty());
}

void TestPathology::appendsWithoutClearing()
{
    TestEnv env;
    env.writeLines(kDictionary, {QStringLiteral("0113 01 a")});
    TfmDeep *w = deepWindow();
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("already there")});
    FillPathologyBox({113});
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), QStringList({QStringLiteral("already there"), QStringLiteral("0113 01 a")}));
}

void TestPathology::noCodesTouchNothing()
{
    TestEnv env; // no dictionary at all
    ScriptedPrompter prompter;
    TfmDeep *w = deepWindow();
    control<Memo>(w, "mmPathology")->setLines({QStringLiteral("kept")});
    FillPathologyBox({});
    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), QStringList{QStringLiteral("kept")});
}

void TestPathology::failureShowsOneMessage_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("directory") << "directory";
    QTest::newRow("no folder") << "no folder";
}

void TestPathology::failureShowsOneMessage()
{
    QFETCH(QString, kind);
    TestEnv env;
    if (kind == QLatin1String("missing"))
        QDir().mkpath(env.path(QStringLiteral("SystmTxt")));
    else if (kind == QLatin1String("directory"))
        QDir().mkpath(env.path(kDictionary));
    ScriptedPrompter prompter;
    TfmDeep *w = deepWindow();
    FillPathologyBox({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    QCOMPARE(prompter.texts(), QStringList{kAbsent});
    QCOMPARE(prompter.records.first().kind, PromptRecord::Message);
    QCOMPARE(control<Memo>(w, "mmPathology")->lineCount(), 0);
    // The next sign choice tries again and finds the file.
    QDir(env.path(kDictionary)).removeRecursively();
    env.writeLines(kDictionary, {QStringLiteral("0002 01 b")});
    FillPathologyBox({1, 2});
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), QStringList{QStringLiteral("0002 01 b")});
    QCOMPARE(prompter.records.size(), 1);
}

void TestPathology::fileIsReadAfreshForEveryLookup()
{
    TestEnv env;
    env.writeLines(kDictionary, {QStringLiteral("0113 01 old")});
    TfmDeep *w = deepWindow();
    FillPathologyBox({113});
    env.writeLines(kDictionary, {QStringLiteral("0113 01 new")});
    FillPathologyBox({113});
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), QStringList({QStringLiteral("0113 01 old"), QStringLiteral("0113 01 new")}));
}

void TestPathology::awkwardFileContent()
{
    TestEnv env;
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high.append(char(b));
    const QByteArray longText(200000, 'x');
    QByteArray bytes;
    bytes += "\r\n";                              // empty line
    bytes += "0113 01 " + high + "\r\n";          // every high byte
    bytes += "\xC0\xC1\xC2\xC3 01 not a code\r\n"; // Cyrillic where the code stands
    bytes += "0113 02 " + longText + "\n";        // LF only, very long
    bytes += "\r\n\r\n";
    bytes += "0113 xx no body system, returned all the same\r\n";
    bytes += "0113 03 last line without end";
    env.writeBytes(kDictionary, bytes);
    ScriptedPrompter prompter;
    TfmDeep *w = deepWindow();
    FillPathologyBox({113});
    QCOMPARE(control<Memo>(w, "mmPathology")->lines(), QStringList({
        QStringLiteral("0113 01 ") + platform::cp1251::decode(high),
        QStringLiteral("0113 02 ") + QString::fromLatin1(longText),
        QStringLiteral("0113 xx no body system, returned all the same"),
        QStringLiteral("0113 03 last line without end"),
    }));
    QVERIFY(prompter.records.isEmpty());
}

void TestPathology::coreLookupWithoutWindow()
{
    TestEnv env;
    env.writeLines(kDictionary, {QStringLiteral("0113 01 a"), QStringLiteral("0059 01 b")});
    QStringList out;
    QVERIFY(state::pathology::lookup(env.path(kDictionary), {59, 113}, &out));
    QCOMPARE(out, QStringList({QStringLiteral("0059 01 b"), QStringLiteral("0113 01 a")}));
    out.clear();
    QVERIFY(!state::pathology::lookup(env.path(QStringLiteral("nothing.txt")), {59}, &out));
    QVERIFY(out.isEmpty());
    QVERIFY(state::pathology::lookup(env.path(QStringLiteral("nothing.txt")), {}, &out));
    // Without the deep window the lookup has no box to fill but still reports.
    QFile::remove(env.path(kDictionary));
    ScriptedPrompter prompter;
    FillPathologyBox({59});
    QCOMPARE(prompter.texts(), QStringList{kAbsent});
}

// --- The dictionary shipped with the program ---

namespace {

QByteArray shippedBytes()
{
    QFile f(TestEnv::sourcePath(QStringLiteral("data/") + kDictionary));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QStringList shippedLines()
{
    return platform::textfile::readLines(TestEnv::sourcePath(QStringLiteral("data/") + kDictionary)).lines;
}

} // namespace

void TestPathology::shippedHasEveryRequiredCode()
{
    QFile list(TestEnv::testDataPath(QStringLiteral("deep/required_codes.txt")));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QList<int> required;
    for (const QByteArray &l : list.readAll().split('\n'))
        if (!l.trimmed().isEmpty())
            required.append(l.trimmed().toInt());
    QCOMPARE(required.size(), 476);

    const QStringList lines = shippedLines();
    QVERIFY2(!lines.isEmpty(), "data/SystmTxt/Patology.txt is missing or empty");
    QHash<int, int> perCode;
    for (const QString &l : lines)
        ++perCode[state::pathology::codeOf(l)];
    QStringList missing;
    for (int code : required)
        if (!perCode.contains(code))
            missing << QString::number(code);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("codes without a line: ") + missing.join(u' ')));

    // The lookup itself finds them, through the file the program opens.
    TestEnv env;
    env.seed(kDictionary);
    QStringList found;
    QVERIFY(state::pathology::lookup(env.path(kDictionary), required, &found));
    int expected = 0;
    for (int code : required)
        expected += perCode.value(code);
    QCOMPARE(found.size(), expected);

    // The constitutional types are recommendations.
    for (const QString &l : lines) {
        const int code = state::pathology::codeOf(l);
        if (code >= 1202 && code <= 1207)
            QVERIFY2(l.mid(5, 2) == QLatin1String("11"), qPrintable(l));
    }
}

void TestPathology::shippedLinesFollowTheLayout()
{
    const QStringList lines = shippedLines();
    QVERIFY(!lines.isEmpty());
    static const QRegularExpression codeField(QStringLiteral("^( *[0-9]+ *)$"));
    static const QRegularExpression systemField(QStringLiteral("^( [1-9]|0[1-9]|1[01])$"));
    static const QRegularExpression cyrillic(QStringLiteral("[А-Яа-яЁё]"));
    QSet<QString> seen;
    for (const QString &l : lines) {
        QVERIFY2(l.size() > 9, qPrintable(QStringLiteral("too short: ") + l));
        QVERIFY2(codeField.match(l.left(4)).hasMatch() && state::pathology::codeOf(l) > 0,
                 qPrintable(QStringLiteral("code field: ") + l));
        // A blank after a shorter code is allowed; blanks inside the digits are not.
        QVERIFY2(state::pathology::codeOf(l) == l.left(4).trimmed().toInt(), qPrintable(l));
        QVERIFY2(l.at(4) == QLatin1Char(' ') && l.at(7) == QLatin1Char(' '),
                 qPrintable(QStringLiteral("separators: ") + l));
        QVERIFY2(systemField.match(l.mid(5, 2)).hasMatch(),
                 qPrintable(QStringLiteral("body-system code: ") + l));
        const QString text = l.mid(8);
        QVERIFY2(!text.trimmed().isEmpty() && text.at(0) != QLatin1Char(' '), qPrintable(l));
        QVERIFY2(text.contains(cyrillic), qPrintable(QStringLiteral("no Russian text: ") + l));
        QVERIFY2(!seen.contains(text), qPrintable(QStringLiteral("repeated statement: ") + l));
        seen.insert(text);
    }
}

void TestPathology::shippedIsWindows1251WithCyrillic()
{
    const QByteArray bytes = shippedBytes();
    QVERIFY(!bytes.isEmpty());
    QVERIFY2(bytes.endsWith("\r\n"), "the last line must end in CR LF");
    int cyrillicBytes = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        if (b == '\n')
            QVERIFY2(i > 0 && bytes.at(i - 1) == '\r', qPrintable(QStringLiteral("bare LF at byte %1").arg(i)));
        else if (b == '\r')
            QVERIFY2(i + 1 < bytes.size() && bytes.at(i + 1) == '\n',
                     qPrintable(QStringLiteral("bare CR at byte %1").arg(i)));
        else
            QVERIFY2(b >= 0x20 && b != 0x7F && b != 0x98,
                     qPrintable(QStringLiteral("byte 0x%1 at %2 is no Windows-1251 text")
                                    .arg(b, 2, 16, QLatin1Char('0')).arg(i)));
        if (b >= 0xC0 || b == 0xA8 || b == 0xB8)
            ++cyrillicBytes;
    }
    // Mostly Russian: UTF-8 would show up as pairs of 0xD0/0xD1 lead bytes
    // followed by 0x80-0xBF, which is no Cyrillic text in Windows-1251.
    QVERIFY(cyrillicBytes > bytes.size() / 3);
    QVERIFY2(!bytes.contains("\xD0\xB0") && !bytes.contains("\xD0\xBE"), "looks like UTF-8");
    // Encoding back gives the same bytes.
    QCOMPARE(platform::cp1251::encode(platform::cp1251::decode(bytes)), bytes);
}

QTEST_MAIN(TestPathology)
#include "test_pathology.moc"
