// The file boundary: Windows-1251 text files, shown paths, the dialog seam.
#include "platform/cp1251.h"
#include "platform/memo.h"
#include "platform/paths.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QFile>
#include <QMimeData>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void everyHighByteSurvivesDecodeAndEncode();
    void unmappableCharacterBecomesQuestionMark();
    void tableAgreesWithTheSystemCodec();
    void eachUnmappableCharacterIsOneQuestionMark_data();
    void eachUnmappableCharacterIsOneQuestionMark();
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
    void longLinesAreBrokenForDisplay_data();
    void longLinesAreBrokenForDisplay();
    void longLinesStayResponsive_data();
    void longLinesStayResponsive();
    void outerSizeIncludesTheFrame();
};

void TestPlatform::everyHighByteSurvivesDecodeAndEncode()
{
    QByteArray all;
    for (int b = 0x80; b <= 0xFF; ++b)
        all.append(char(b));
    const QString text = platform::cp1251::decode(all);
    QCOMPARE(text.size(), all.size());
    QCOMPARE(platform::cp1251::encode(text), all);
    QCOMPARE(platform::cp1251::decode("\xCF\xE0\xF2\xEE\xEB\xEE\xE3\xE8\xFF"), QStringLiteral("Патология"));
    QCOMPARE(platform::cp1251::decode("\xB8\xA8"), QStringLiteral("ёЁ"));
}

void TestPlatform::unmappableCharacterBecomesQuestionMark()
{
    const QString text = QStringLiteral("Боль \u2192 ухо \U0001F600 конец");
    QVERIFY(!platform::cp1251::canEncode(text));
    QCOMPARE(platform::cp1251::encode(text), platform::cp1251::encode(QStringLiteral("Боль ? ухо ? конец")));
    // A real U+001A stays itself.
    QCOMPARE(platform::cp1251::encode(QString(QChar(0x1A))), QByteArray("\x1A"));
}

// The code page's own table against the system's converter: every byte
// decodes alike, every character of the BMP encodes alike or not at all.
void TestPlatform::tableAgreesWithTheSystemCodec()
{
    QByteArray all;
    for (int b = 0; b <= 0xFF; ++b)
        all.append(char(b));
    QStringDecoder decoder("windows-1251");
    QCOMPARE(platform::cp1251::decode(all), QString(decoder(all)));
    for (int c = 1; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString one{QChar(char16_t(c))};
        QStringEncoder encoder("windows-1251");
        const QByteArray expected = encoder(one);
        bool lossy = false;
        const QByteArray got = platform::cp1251::encode(one, &lossy);
        QCOMPARE(lossy, encoder.hasError());
        QCOMPARE(platform::cp1251::canEncode(one), !encoder.hasError());
        QCOMPARE(got, encoder.hasError() ? QByteArray("?") : expected);
    }
}

void TestPlatform::eachUnmappableCharacterIsOneQuestionMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    auto utf16 = [](std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); };
    QTest::newRow("lone high surrogate") << utf16(u"\xD800" u"Ab") << QByteArray("?Ab");
    QTest::newRow("lone high surrogate last") << utf16(u"A\xD800") << QByteArray("A?");
    QTest::newRow("lone low surrogate") << utf16(u"\xDC00" u"A") << QByteArray("?A");
    QTest::newRow("halves reversed") << utf16(u"\xDC00\xD800x") << QByteArray("??x");
    QTest::newRow("high before a pair") << utf16(u"\xD800\xD83D\xDE00") << QByteArray("??");
    QTest::newRow("pair") << utf16(u"\xD83D\xDE00x") << QByteArray("?x");
    QTest::newRow("arrow among cyrillic") << QStringLiteral("ж\u2192ж") << QByteArray("\xE6?\xE6");
    QTest::newRow("storable") << QStringLiteral("Глаз\u001A") << QByteArray("\xC3\xEB\xE0\xE7\x1A");
}

// Every character the code page cannot hold is written as exactly one "?",
// and the characters around it are kept.
void TestPlatform::eachUnmappableCharacterIsOneQuestionMark()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool lossy = false;
    QCOMPARE(platform::cp1251::encode(text, &lossy), bytes);
    const bool storable = !bytes.contains('?');
    QCOMPARE(lossy, !storable);
    QCOMPARE(platform::cp1251::canEncode(text), storable);
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
    // A CR alone ends a line too, wherever it stands.
    QTest::newRow("lone cr inside") << QByteArray("0001 01 a\rb\r\n") << QStringList{"0001 01 a", "b"};
    QTest::newRow("cr only") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("cr before crlf") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("lf then cr") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("lone cr last") << QByteArray("\r") << QStringList{""};
}

void TestPlatform::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    TestEnv env;
    env.writeBytes(QStringLiteral("f.txt"), bytes);
    const platform::textfile::ReadResult r = platform::textfile::readLines(QStringLiteral("f.txt"));
    QVERIFY(r.ok);
    QCOMPARE(r.lines, lines);
    // A text box shows each line read as one line, and writing the lines
    // back gives CR LF after each.
    Memo box;
    box.setLines(r.lines);
    QCOMPARE(box.lines(), lines);
    QCOMPARE(platform::textfile::splitLines(platform::cp1251::decode(platform::textfile::encodeLines(lines))), lines);
}

void TestPlatform::writeUsesCrLfAndCp1251()
{
    TestEnv env;
    QVERIFY(platform::textfile::writeLines(QStringLiteral("w.txt"), {QStringLiteral("Зрачок"), QString(), QStringLiteral("x")}));
    QCOMPARE(env.readBytes(QStringLiteral("w.txt")), QByteArray("\xC7\xF0\xE0\xF7\xEE\xEA\r\n\r\nx\r\n"));
    QVERIFY(platform::textfile::writeLines(QStringLiteral("empty.txt"), {}));
    QCOMPARE(env.readBytes(QStringLiteral("empty.txt")), QByteArray());
}

void TestPlatform::appendAddsAfterExistingLines()
{
    TestEnv env;
    env.writeBytes(QStringLiteral("a.txt"), "one\r\n");
    QVERIFY(platform::textfile::appendLines(QStringLiteral("a.txt"), {QStringLiteral("два")}));
    QCOMPARE(env.readBytes(QStringLiteral("a.txt")), QByteArray("one\r\n\xE4\xE2\xE0\r\n"));
}

void TestPlatform::failedWriteKeepsOldFile()
{
    TestEnv env;
    env.writeBytes(QStringLiteral("keep.txt"), "old\r\n");
    QString error;
    {
        WriteLimit limit(8);
        QVERIFY(!platform::textfile::writeLines(QStringLiteral("keep.txt"),
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
    QVERIFY(!platform::textfile::readLines(QStringLiteral("nope.txt")).ok);
    QDir().mkdir(QStringLiteral("dir.txt"));
    QVERIFY(!platform::textfile::readLines(QStringLiteral("dir.txt")).ok);
    // Writing over a directory fails instead of destroying it.
    QVERIFY(!platform::textfile::writeLines(QStringLiteral("dir.txt"), {QStringLiteral("x")}));
    QVERIFY(QFileInfo(QStringLiteral("dir.txt")).isDir());
}

void TestPlatform::shownPathOpensRelativeToWorkingDirectory()
{
    TestEnv env;
    env.writeBytes(QStringLiteral("SystmTxt/Patology.txt"), "0001 01 x\r\n");
    QCOMPARE(platform::paths::kPathology, QStringLiteral(".\\SystmTxt\\Patology.txt"));
    QCOMPARE(platform::paths::local(platform::paths::kPathology), QDir::toNativeSeparators(QStringLiteral("./SystmTxt/Patology.txt")));
    QVERIFY(platform::textfile::readLines(platform::paths::local(platform::paths::kPathology)).ok);
    QCOMPARE(platform::paths::absentMessage(platform::paths::kPathology), QStringLiteral("File .\\SystmTxt\\Patology.txt is absent"));
    QCOMPARE(platform::paths::local(QStringLiteral("Caption.txt")), QStringLiteral("Caption.txt"));
}

void TestPlatform::pipeFilterBecomesQtFilter()
{
    QCOMPARE(platform::ui::qtFilter(QStringLiteral("текстовый файл|*.txt")), QStringLiteral("текстовый файл (*.txt)"));
    QCOMPARE(platform::ui::qtFilter(QStringLiteral("Картотека|*.lst|Все|*.*")),
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

void TestPlatform::longLinesAreBrokenForDisplay_data()
{
    constexpr qsizetype k = Memo::kLongLine;
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<qsizetype>>("pieces");
    QTest::newRow("short") << QStringLiteral("слово") << QList<qsizetype>{5};
    QTest::newRow("at the limit") << QString(k, QLatin1Char('x')) << QList<qsizetype>{k};
    QTest::newRow("one over") << QString(k + 1, QLatin1Char('x')) << QList<qsizetype>{k, 1};
    QTest::newRow("blank in the second half") << QString(k - 10, QLatin1Char('x')) + QStringLiteral(" ") + QString(20, QLatin1Char('y'))
                                               << QList<qsizetype>{k - 9, 20};
    QTest::newRow("blank only in the first half") << QStringLiteral("x ") + QString(k, QLatin1Char('y'))
                                                   << QList<qsizetype>{k, 2};
    QTest::newRow("pair across the limit") << QString(k - 1, QLatin1Char('x')) + QStringLiteral("\U0001F600")
                                           << QList<qsizetype>{k - 1, 2};
    QTest::newRow("prose") << QStringLiteral("слово ").repeated(2000) << QList<qsizetype>{3996, 3996, 3996, 12};
}

// A long line is shown as pieces that give the line back when joined.
void TestPlatform::longLinesAreBrokenForDisplay()
{
    QFETCH(QString, line);
    QFETCH(QList<qsizetype>, pieces);
    const QStringList shown = Memo::brokenForDisplay({QStringLiteral("до"), line, QStringLiteral("после")});
    QCOMPARE(shown.first(), QStringLiteral("до"));
    QCOMPARE(shown.last(), QStringLiteral("после"));
    QList<qsizetype> sizes;
    for (const QString &piece : shown.mid(1, shown.size() - 2))
        sizes.append(piece.size());
    QCOMPARE(sizes, pieces);
    QCOMPARE(shown.mid(1, shown.size() - 2).join(QString()), line);
}

void TestPlatform::longLinesStayResponsive_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("wrapped");
    QTest::addColumn<QString>("line");
    const QString solid(1 << 20, QChar(0x436)); // "жжж...": no blank to wrap at
    const QString prose = QStringLiteral("слово ").repeated((1 << 20) / 6);
    QTest::newRow("set, wrapped") << "set" << true << solid;
    QTest::newRow("set, not wrapped") << "set" << false << solid;
    QTest::newRow("set prose, wrapped") << "set" << true << prose;
    QTest::newRow("appended, wrapped") << "append" << true << solid;
    QTest::newRow("inserted, wrapped") << "insert" << true << solid;
    QTest::newRow("pasted, wrapped") << "paste" << true << solid;
}

// A megabyte line with no blank froze the draft box for about a minute
// while it was wrapped. Now it shows, is counted and written in a fraction
// of a second, in a box the size of the draft box, and nothing of it is lost.
void TestPlatform::longLinesStayResponsive()
{
    QFETCH(QString, how);
    QFETCH(bool, wrapped);
    QFETCH(QString, line);
    Memo box;
    box.setLineWrapMode(wrapped ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box.resize(386, 400);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QElapsedTimer clock;
    clock.start();
    if (how == QLatin1String("set")) {
        box.setLines({QStringLiteral("начало"), line, QStringLiteral("конец")});
    } else if (how == QLatin1String("append")) {
        box.setLines({QStringLiteral("начало")});
        box.appendLines({line, QStringLiteral("конец")});
    } else if (how == QLatin1String("insert")) {
        box.setLines({QStringLiteral("начало"), QStringLiteral("конец")});
        QVERIFY(box.insertAtDisplayed(0, 6, line));
    } else {
        box.setLines({QStringLiteral("начало")});
        box.moveCursor(QTextCursor::End);
        auto *data = new QMimeData; // the clipboard takes it
        data->setText(QStringLiteral("\n") + line + QStringLiteral("\nконец"));
        QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
        box.paste();
        QApplication::clipboard()->clear();
    }
    QCoreApplication::processEvents();
    box.repaint();
    const QStringList shown = box.displayedLines();
    box.moveCursor(QTextCursor::End);
    const Memo::Place caret = box.displayedCaret();
    const qint64 ms = clock.elapsed();
    qInfo("%s: %lld ms, %lld displayed lines", QTest::currentDataTag(), ms, qsizetype(shown.size()));
    QVERIFY2(ms < 5000, qPrintable(QStringLiteral("%1 ms").arg(ms)));

    QCOMPARE(caret.line, shown.size() - 1);
    const QStringList lines = box.lines();
    for (const QString &l : lines)
        QVERIFY(l.size() <= Memo::kLongLine);
    QCOMPARE(lines.join(QString()), QStringLiteral("начало") + line + QStringLiteral("конец"));
}

void TestPlatform::outerSizeIncludesTheFrame()
{
    QWidget shown;
    shown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    QWidget placed;
    platform::place::outer(&placed, 1, 96, 373, 469);
    placed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&placed));
    QCOMPARE(placed.frameGeometry().size(), QSize(373, 469));
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
