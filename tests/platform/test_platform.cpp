// The file boundary: Windows-1251 text files, shown paths, the dialog seam.
#include "platform/cp1251.h"
#include "platform/memo.h"
#include "platform/paths.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QFile>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void everyHighByteSurvivesDecodeAndEncode();
    void unmappableCharacterBecomesQuestionMark();
    void tableAgreesWithTheSystemCodec();
    void surrogatesBecomeOneQuestionMarkEach_data();
    void surrogatesBecomeOneQuestionMarkEach();
    void lineEnds_data();
    void lineEnds();
    void writeUsesCrLfAndCp1251();
    void appendAddsAfterExistingLines();
    void failedWriteKeepsOldFile();
    void missingFileAndDirectoryFailToRead();
    void shownPathOpensRelativeToWorkingDirectory();
    void pipeFilterBecomesQtFilter();
    void memoKeepsEmptyLines();
    void memoDisplayedLinesFollowWrapping();
    void outerSizeIncludesTheFrame();
};

void TestPlatform::everyHighByteSurvivesDecodeAndEncode()
{
    QByteArray all;
    for (int b = 0x80; b <= 0xFF; ++b)
        all.append(char(b));
    const QString text = cp1251::decode(all);
    QCOMPARE(text.size(), all.size());
    QCOMPARE(cp1251::encode(text), all);
    QCOMPARE(cp1251::decode("\xCF\xE0\xF2\xEE\xEB\xEE\xE3\xE8\xFF"), QStringLiteral("Патология"));
    QCOMPARE(cp1251::decode("\xB8\xA8"), QStringLiteral("ёЁ"));
}

void TestPlatform::unmappableCharacterBecomesQuestionMark()
{
    const QString text = QStringLiteral("Боль \u2192 ухо \U0001F600 конец");
    QVERIFY(!cp1251::canEncode(text));
    QCOMPARE(cp1251::encode(text), cp1251::encode(QStringLiteral("Боль ? ухо ? конец")));
    // A real U+001A stays itself.
    QCOMPARE(cp1251::encode(QString(QChar(0x1A))), QByteArray("\x1A"));
}

// The code page's own table against the system's converter: every byte
// decodes alike, every character of the BMP encodes alike or not at all.
void TestPlatform::tableAgreesWithTheSystemCodec()
{
    QByteArray all;
    for (int b = 0; b <= 0xFF; ++b)
        all.append(char(b));
    QStringDecoder decoder("windows-1251");
    QCOMPARE(cp1251::decode(all), QString(decoder(all)));
    for (int c = 1; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString one{QChar(char16_t(c))};
        QStringEncoder encoder("windows-1251");
        const QByteArray expected = encoder(one);
        bool lossy = false;
        const QByteArray got = cp1251::encode(one, &lossy);
        QCOMPARE(lossy, encoder.hasError());
        QCOMPARE(cp1251::canEncode(one), !encoder.hasError());
        QCOMPARE(got, encoder.hasError() ? QByteArray("?") : expected);
    }
}

void TestPlatform::surrogatesBecomeOneQuestionMarkEach_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const QChar high(char16_t(0xD83D)), low(char16_t(0xDE00));
    QTest::newRow("pair") << QStringLiteral("а") + high + low + QStringLiteral("б") << QByteArray("\xE0?\xE1");
    QTest::newRow("lone high before a letter") << QStringLiteral("а") + high + QStringLiteral("б") << QByteArray("\xE0?\xE1");
    QTest::newRow("lone high at the end") << QStringLiteral("а") + high << QByteArray("\xE0?");
    QTest::newRow("lone low") << QStringLiteral("а") + low + QStringLiteral("б") << QByteArray("\xE0?\xE1");
    QTest::newRow("two highs then a low") << QString(high) + QString(high) + low << QByteArray("??");
    QTest::newRow("low then high") << QString(low) + QString(high) + QStringLiteral("x") << QByteArray("??x");
}

// One character the code page lacks gives one "?", and never takes its
// neighbour with it.
void TestPlatform::surrogatesBecomeOneQuestionMarkEach()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool lossy = false;
    QCOMPARE(cp1251::encode(text, &lossy), bytes);
    QVERIFY(lossy);
    QVERIFY(!cp1251::canEncode(text));
}

void TestPlatform::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("no final end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n\r\n")
                                      << QStringList{"", "", "x", ""};
    QTest::newRow("lone line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("mixed") << QByteArray("a\nb\r\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("cyrillic") << QByteArray("\xC3\xEB\xE0\xE7\r\n") << QStringList{QStringLiteral("Глаз")};
}

void TestPlatform::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    TestEnv env;
    env.writeBytes(QStringLiteral("f.txt"), bytes);
    const textfile::ReadResult r = textfile::readLines(QStringLiteral("f.txt"));
    QVERIFY(r.ok);
    QCOMPARE(r.lines, lines);
}

void TestPlatform::writeUsesCrLfAndCp1251()
{
    TestEnv env;
    QVERIFY(textfile::writeLines(QStringLiteral("w.txt"), {QStringLiteral("Зрачок"), QString(), QStringLiteral("x")}));
    QCOMPARE(env.readBytes(QStringLiteral("w.txt")), QByteArray("\xC7\xF0\xE0\xF7\xEE\xEA\r\n\r\nx\r\n"));
    QVERIFY(textfile::writeLines(QStringLiteral("empty.txt"), {}));
    QCOMPARE(env.readBytes(QStringLiteral("empty.txt")), QByteArray());
}

void TestPlatform::appendAddsAfterExistingLines()
{
    TestEnv env;
    env.writeBytes(QStringLiteral("a.txt"), "one\r\n");
    QVERIFY(textfile::appendLines(QStringLiteral("a.txt"), {QStringLiteral("два")}));
    QCOMPARE(env.readBytes(QStringLiteral("a.txt")), QByteArray("one\r\n\xE4\xE2\xE0\r\n"));
}

void TestPlatform::failedWriteKeepsOldFile()
{
    TestEnv env;
    env.writeBytes(QStringLiteral("keep.txt"), "old\r\n");
    QString error;
    {
        WriteLimit limit(8);
        QVERIFY(!textfile::writeLines(QStringLiteral("keep.txt"),
                                      {QStringLiteral("a much longer new text")}, &error));
    }
    QVERIFY(!error.isEmpty());
    QCOMPARE(env.readBytes(QStringLiteral("keep.txt")), QByteArray("old\r\n"));
    // No temporary file is left behind.
    QCOMPARE(QDir(env.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
}

void TestPlatform::missingFileAndDirectoryFailToRead()
{
    TestEnv env;
    QVERIFY(!textfile::readLines(QStringLiteral("nope.txt")).ok);
    QDir().mkdir(QStringLiteral("dir.txt"));
    QVERIFY(!textfile::readLines(QStringLiteral("dir.txt")).ok);
    // Writing over a directory fails instead of destroying it.
    QVERIFY(!textfile::writeLines(QStringLiteral("dir.txt"), {QStringLiteral("x")}));
    QVERIFY(QFileInfo(QStringLiteral("dir.txt")).isDir());
}

void TestPlatform::shownPathOpensRelativeToWorkingDirectory()
{
    TestEnv env;
    env.writeBytes(QStringLiteral("SystmTxt/Patology.txt"), "0001 01 x\r\n");
    QCOMPARE(paths::kPathology, QStringLiteral(".\\SystmTxt\\Patology.txt"));
    QCOMPARE(paths::local(paths::kPathology), QDir::toNativeSeparators(QStringLiteral("./SystmTxt/Patology.txt")));
    QVERIFY(textfile::readLines(paths::local(paths::kPathology)).ok);
    QCOMPARE(paths::absentMessage(paths::kPathology), QStringLiteral("File .\\SystmTxt\\Patology.txt is absent"));
    QCOMPARE(paths::local(QStringLiteral("Caption.txt")), QStringLiteral("Caption.txt"));
}

void TestPlatform::pipeFilterBecomesQtFilter()
{
    QCOMPARE(ui::qtFilter(QStringLiteral("текстовый файл|*.txt")), QStringLiteral("текстовый файл (*.txt)"));
    QCOMPARE(ui::qtFilter(QStringLiteral("Картотека|*.lst|Все|*.*")),
             QStringLiteral("Картотека (*.lst);;Все (*.*)"));
}

void TestPlatform::memoKeepsEmptyLines()
{
    Memo memo;
    QCOMPARE(memo.lineCount(), 0);
    memo.appendLine(QString());
    QCOMPARE(memo.lines(), QStringList{QString()});
    memo.appendLine(QStringLiteral("x"));
    QCOMPARE(memo.lines(), (QStringList{QString(), QStringLiteral("x")}));
    memo.setLines({QString(), QString(), QStringLiteral("y"), QString()});
    QCOMPARE(memo.lineCount(), 4);
    QCOMPARE(memo.line(2), QStringLiteral("y"));
    memo.clearLines();
    QCOMPARE(memo.lines(), QStringList{});
    memo.setModified(false);
    memo.appendLines({QStringLiteral("a"), QStringLiteral("b")});
    QVERIFY(!memo.modified());
}

void TestPlatform::memoDisplayedLinesFollowWrapping()
{
    Memo memo;
    memo.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo.resize(200, 300);
    memo.show();
    const QString longLine = QStringLiteral("слово ").repeated(30).trimmed();
    memo.setLines({QStringLiteral("короткая"), longLine});
    const QStringList shown = memo.displayedLines();
    QVERIFY(shown.size() > 2);
    QCOMPARE(shown.first(), QStringLiteral("короткая"));
    QCOMPARE(shown.mid(1).join(QLatin1Char(' ')), longLine);
    for (const QString &l : shown)
        QVERIFY(!l.endsWith(QLatin1Char(' ')));
}

void TestPlatform::outerSizeIncludesTheFrame()
{
    QWidget shown;
    shown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    QWidget placed;
    place::outer(&placed, 1, 96, 373, 469);
    placed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&placed));
    QCOMPARE(placed.frameGeometry().size(), QSize(373, 469));
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
