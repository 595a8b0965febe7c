// Rich text files: the writer against a golden file, round trips of every
// attribute, the reader on RTF as WordPad, Word and LibreOffice write it, and
// a corpus of malformed files that must neither crash nor hang.
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

namespace {

QByteArray readFile(const QString &relative)
{
    QFile f(TestEnv::testDataPath(QStringLiteral("rtf/") + relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QTextCharFormat chars(const QString &family, qreal size, bool bold = false, bool italic = false,
                      bool underline = false, bool strike = false)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(size);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    f.setFontStrikeOut(strike);
    return f;
}

QTextBlockFormat para(Qt::Alignment a, qreal left = 0, qreal right = 0, qreal first = 0)
{
    QTextBlockFormat b;
    b.setAlignment(a);
    b.setLeftMargin(left);
    b.setRightMargin(right);
    b.setTextIndent(first);
    return b;
}

// A conclusion with every attribute the editor offers: fonts, sizes,
// styles, a colour, the four alignments, indents, bullets, a line break, a
// tab, characters outside Windows-1251 and the RTF specials \ { }.
void buildEveryAttribute(QTextDocument &doc)
{
    doc.setDefaultFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QTextCursor c(&doc);
    c.setBlockFormat(para(Qt::AlignHCenter));
    c.insertText(QStringLiteral("ИРИДОЛОГИЧЕСКОЕ ЗАКЛЮЧЕНИЕ"), chars(QStringLiteral("Arial"), 14, true));
    c.insertBlock(para(Qt::AlignLeft, 30, 15, 20));
    c.insertText(QStringLiteral("Обычный "), chars(QStringLiteral("Times New Roman"), 12));
    c.insertText(QStringLiteral("жирный"), chars(QStringLiteral("Times New Roman"), 12, true));
    c.insertText(QStringLiteral(", "), chars(QStringLiteral("Times New Roman"), 12));
    c.insertText(QStringLiteral("курсив"), chars(QStringLiteral("Times New Roman"), 12, false, true));
    c.insertText(QStringLiteral(", "), chars(QStringLiteral("Times New Roman"), 12));
    c.insertText(QStringLiteral("подчёркнутый"), chars(QStringLiteral("Times New Roman"), 12, false, false, true));
    c.insertText(QStringLiteral(", "), chars(QStringLiteral("Times New Roman"), 12));
    c.insertText(QStringLiteral("зачёркнутый"), chars(QStringLiteral("Times New Roman"), 12, false, false, false, true));
    QTextCharFormat red = chars(QStringLiteral("Times New Roman"), 10.5);
    red.setForeground(QColor(200, 0, 0));
    c.insertText(QStringLiteral(" красный 10,5"), red);
    c.insertBlock(para(Qt::AlignRight));
    c.insertText(QStringLiteral("Дата:\t01.02.2024") + QChar(QChar::LineSeparator) + QStringLiteral("№ 7 € α 😀"),
                 chars(QStringLiteral("MS Sans Serif"), 8));
    c.insertBlock(para(Qt::AlignJustify));
    c.insertText(QStringLiteral("Знаки {фигурные} и \\обратная\\ черта"), chars(QStringLiteral("Times New Roman"), 12));
    c.insertBlock(para(Qt::AlignLeft, 10), chars(QStringLiteral("Times New Roman"), 12));
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    bullets.setIndent(1);
    c.createList(bullets);
    c.insertText(QStringLiteral("Первый пункт"), chars(QStringLiteral("Times New Roman"), 12));
    c.insertBlock();
    c.insertText(QStringLiteral("Второй пункт"), chars(QStringLiteral("Times New Roman"), 12));
    c.insertBlock(para(Qt::AlignLeft), chars(QStringLiteral("Times New Roman"), 16));
    c.insertBlock(para(Qt::AlignLeft));
    c.insertText(QStringLiteral("Врач-иридолог"), chars(QStringLiteral("Courier New"), 9, true, true));
}

// Everything the editor shows of a document, per fragment and paragraph.
QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        out << QStringLiteral("P align=%1 left=%2 right=%3 first=%4 list=%5 mark=%6")
                   .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(f.leftMargin())
                   .arg(f.rightMargin())
                   .arg(f.textIndent())
                   .arg(b.textList() ? int(b.textList()->format().style()) : 0)
                   .arg(b.length() == 1 ? b.charFormat().fontPointSize() : 0);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            out << QStringLiteral("  [%1] %2 %3 b%4 i%5 u%6 s%7 c%8")
                       .arg(it.fragment().text(), c.fontFamilies().toStringList().value(0))
                       .arg(c.fontPointSize())
                       .arg(int(c.fontWeight() >= QFont::DemiBold))
                       .arg(int(c.fontItalic()))
                       .arg(int(c.fontUnderline()))
                       .arg(int(c.fontStrikeOut()))
                       .arg(c.hasProperty(QTextFormat::ForegroundBrush) ? c.foreground().color().name() : QString());
        }
    }
    return out;
}

QString plain(const QByteArray &rtfBytes, bool *ok = nullptr)
{
    QTextDocument doc;
    const rtf::ReadResult r = rtf::read(rtfBytes, &doc);
    if (ok)
        *ok = r.ok;
    // Paragraphs apart by "\n"; line breaks, blanks and the rest as they are.
    return doc.toRawText().replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT
private slots:
    void writerMatchesGolden();
    void roundTripKeepsEveryAttribute();
    void cyrillicIsWindows1251Escapes();
    void paragraphsCarryTwipsAndAlignment();
    void readerSnippets_data();
    void readerSnippets();
    void charsetsDecideTheBytes();
    void wordPadSample();
    void libreOfficeSample();
    void malformedFilesNeitherCrashNorHang_data();
    void malformedFilesNeitherCrashNorHang();
    void failedReadLeavesTheDocument();
    void recognisesRtf();
    void picturesRoundTrip();
};

void TestRtf::writerMatchesGolden()
{
    QTextDocument doc;
    buildEveryAttribute(doc);
    // The text LibreOffice must read from it (tools/check_rtf_libreoffice.sh).
    QCOMPARE(doc.toPlainText() + QLatin1Char('\n'), QString::fromUtf8(readFile(QStringLiteral("golden/every_attribute.txt"))));
    const QByteArray written = rtf::write(doc);
    const QByteArray golden = readFile(QStringLiteral("golden/every_attribute.rtf"));
    if (written != golden) {
        QFile out(QDir::temp().filePath(QStringLiteral("every_attribute.rtf")));
        if (out.open(QIODevice::WriteOnly))
            out.write(written);
        QFAIL(qPrintable(QStringLiteral("written RTF differs from the golden file; see %1").arg(out.fileName())));
    }
}

void TestRtf::roundTripKeepsEveryAttribute()
{
    QTextDocument doc;
    buildEveryAttribute(doc);
    const QByteArray first = rtf::write(doc);
    QTextDocument back;
    back.setDefaultFont(doc.defaultFont());
    QVERIFY(rtf::read(first, &back).ok);
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(describe(back), describe(doc));
    QCOMPARE(rtf::write(back), first);
}

void TestRtf::cyrillicIsWindows1251Escapes()
{
    QTextDocument doc;
    QTextCursor(&doc).insertText(QStringLiteral("Аяё№ α😀"), chars(QStringLiteral("Arial"), 12));
    const QByteArray bytes = rtf::write(doc);
    QVERIFY(bytes.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    QVERIFY(bytes.contains("\\fcharset204 Arial;"));
    // А=C0 я=FF ё=B8 №=B9 in Windows-1251; α and the two halves of the
    // emoji as signed 16-bit \u with a "?" for readers that know no \u.
    QVERIFY(bytes.contains("\\'c0\\'ff\\'b8\\'b9 \\u945?\\u-10179?\\u-8704?"));
    for (const char ch : bytes)
        QVERIFY(uchar(ch) < 0x80);
    QVERIFY(bytes.contains("\r\n"));
    QVERIFY(!bytes.contains(QByteArray("\n").prepend('x'))); // every line ends in CR LF
    QCOMPARE(plain(bytes), QStringLiteral("Аяё№ α😀"));
}

void TestRtf::paragraphsCarryTwipsAndAlignment()
{
    // At 96 units an inch one unit is 15 twips; at 120, 12.
    QTextDocument doc;
    QTextCursor c(&doc);
    c.setBlockFormat(para(Qt::AlignRight, 48, 24, -16));
    c.insertText(QStringLiteral("x"));
    QVERIFY(rtf::write(doc).contains("\\pard\\qr\\li720\\ri360\\fi-240 "));
    QVERIFY(rtf::write(doc, 120).contains("\\pard\\qr\\li576\\ri288\\fi-192 "));
    QTextDocument back;
    QVERIFY(rtf::read(rtf::write(doc, 120), &back, 120).ok);
    QCOMPARE(back.begin().blockFormat().leftMargin(), 48.0);
    QCOMPARE(back.begin().blockFormat().textIndent(), -16.0);
}

void TestRtf::readerSnippets_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, const QByteArray &body, const QString &text) {
        QTest::newRow(name) << QByteArray("{\\rtf1\\ansi\\ansicpg1251 " + body + "}") << text;
    };
    row("hex by ansicpg", "\\'cf\\'f0\\'e8", QStringLiteral("При"));
    row("unicode, one fallback", "\\u1055?\\u1088?x", QStringLiteral("Прx"));
    row("unicode, fallback as hex", "\\uc1\\u1055\\'3f!", QStringLiteral("П!"));
    row("unicode, two fallbacks", "\\uc2\\u1055??x", QStringLiteral("Пx"));
    row("unicode, none", "\\uc0\\u1055\\u1088 x", QStringLiteral("Прx"));
    row("uc ends with its group", "{\\uc3 a}\\u1055?b", QStringLiteral("aПb"));
    row("negative unicode", "\\u-10179?\\u-8704?", QStringLiteral("😀"));
    row("star group skipped", "a{\\*\\unknowndest text}b", QStringLiteral("ab"));
    row("unknown word ignored", "a\\foobar12 b", QStringLiteral("ab"));
    row("stylesheet and info", "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}x", QStringLiteral("x"));
    row("picture with binary", "a{\\pict\\bin4 }}}{}b", QStringLiteral("ab"));
    row("nested groups", "{a{\\b b{\\i c}}d}", QStringLiteral("abcd"));
    row("escapes", "\\\\\\{\\}", QStringLiteral("\\{}"));
    row("paragraphs and lines", "a\\par b\\line c\\tab d", QStringLiteral("a\nb") + QChar(QChar::LineSeparator) + QStringLiteral("c\td"));
    row("trailing par is the end mark", "a\\par b\\par ", QStringLiteral("a\nb"));
    row("newline after backslash is par", "a\\\nb", QStringLiteral("a\nb"));
    row("specials", "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~",
        QStringLiteral("—–•‘’“”") + QChar(QChar::Nbsp));
    row("field result kept", "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}", QStringLiteral("link"));
    row("pntext skipped", "{\\pntext\\'b7\\tab}item", QStringLiteral("item"));
    row("table cells", "\\trowd a\\cell b\\cell\\row c", QStringLiteral("a\tb\t\nc"));
    row("CR LF in source ignored", "a\r\nb", QStringLiteral("ab"));
    // Found by the fuzz target: both must survive a write and a read.
    row("optional hyphen", "a\\-b\\'ad", QStringLiteral("a\u00ADb\u00AD"));
    row("control characters by \\u", "a\\u1?\\u9?\\u65532?b", QStringLiteral("a\tb"));
}

void TestRtf::readerSnippets()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    bool ok = false;
    QCOMPARE(plain(rtf, &ok), text);
    QVERIFY(ok);
    QTextDocument doc;
    QVERIFY(rtf::read(rtf, &doc).ok);
    QCOMPARE(plain(rtf::write(doc)), text); // what was read is written back whole
}

void TestRtf::charsetsDecideTheBytes()
{
    // The same byte E0 is "а" in a Cyrillic font, "à" in a Western one and
    // falls back to \ansicpg in a font without a charset.
    const QByteArray file("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 A;}{\\f1\\fcharset0 B;}{\\f2 C;}"
                          "{\\f3\\fcharset238 D;}}\\f0\\'e0\\f1\\'e0\\f2\\'e0\\f3\\'e0}");
    QCOMPARE(plain(file), QStringLiteral("аàаŕ"));
    QCOMPARE(plain("{\\rtf1\\ansi\\ansicpg1252 \\'e0}"), QStringLiteral("à"));
    QCOMPARE(plain("{\\rtf1\\ansi \\'e0}"), QStringLiteral("à"));
}

void TestRtf::wordPadSample()
{
    QTextDocument doc;
    QVERIFY(rtf::read(readFile(QStringLiteral("samples/wordpad.rtf")), &doc).ok);
    QCOMPARE(doc.blockCount(), 6);
    const auto block = [&doc](int n) { return doc.findBlockByNumber(n); };
    const auto fmt = [&](int n, int frag) {
        auto it = block(n).begin();
        for (int i = 0; i < frag; ++i)
            ++it;
        return it.fragment().charFormat();
    };
    QCOMPARE(block(0).text(), QStringLiteral("Заключение"));
    QCOMPARE(block(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(fmt(0, 0).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial CYR")});
    QCOMPARE(fmt(0, 0).fontPointSize(), 14.0);
    QVERIFY(fmt(0, 0).fontWeight() >= QFont::Bold);

    QCOMPARE(block(1).text(), QStringLiteral("Курсив подчеркнутый зачеркнутый"));
    QCOMPARE(block(1).blockFormat().leftMargin(), 48.0);
    QCOMPARE(block(1).blockFormat().rightMargin(), 24.0);
    QCOMPARE(block(1).blockFormat().textIndent(), -24.0);
    QVERIFY(fmt(1, 0).fontItalic());
    QVERIFY(fmt(1, 2).fontUnderline());
    QVERIFY(fmt(1, 4).fontStrikeOut());
    QCOMPARE(fmt(1, 0).fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});

    QCOMPARE(block(2).text(), QStringLiteral("Дата: 01.02.2024"));
    QCOMPARE(block(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(fmt(2, 0).foreground().color(), QColor(0, 0, 255));
    QCOMPARE(fmt(2, 0).fontPointSize(), 10.0);

    // Both bullets in one list; the second paragraph keeps the first's
    // properties, as WordPad writes it.
    QVERIFY(block(3).textList());
    QCOMPARE(block(3).textList(), block(4).textList());
    QCOMPARE(block(3).textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(block(3).text(), QStringLiteral("Первый пункт"));
    QCOMPARE(block(4).text(), QStringLiteral("Второй пункт"));

    QCOMPARE(block(5).text(), QStringLiteral("Текст №1")); // the picture is skipped
    QCOMPARE(block(5).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    QVERIFY(!block(5).textList());
}

void TestRtf::libreOfficeSample()
{
    // Made by LibreOffice 7.4 from samples/libreoffice-source.html: Cyrillic
    // as \uN with \'3f fallbacks, new-style lists (\ls), a style sheet.
    QTextDocument doc;
    QVERIFY(rtf::read(readFile(QStringLiteral("samples/libreoffice.rtf")), &doc).ok);
    QStringList texts;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        texts << b.text();
    QCOMPARE(texts, (QStringList{QStringLiteral("Обычный текст: заключение иридолога."),
                                 QStringLiteral("Жирный курсив подчёркнутый зачёркнутый"),
                                 QStringLiteral("ИРИДОЛОГИЧЕСКОЕ ЗАКЛЮЧЕНИЕ"), QStringLiteral("Дата: 12.03.2024"),
                                 QStringLiteral("Абзац с отступами слева, справа и красной строкой."),
                                 QStringLiteral("Первый пункт"), QStringLiteral("Второй пункт"),
                                 QStringLiteral("Красный и «кавычки» — тире €")}));
    const auto first = [&doc](int n) { return doc.findBlockByNumber(n).begin().fragment().charFormat(); };
    const auto nth = [&doc](int n, int frag) {
        auto it = doc.findBlockByNumber(n).begin();
        for (int i = 0; i < frag; ++i)
            ++it;
        return it.fragment().charFormat();
    };
    QCOMPARE(first(0).fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
    QCOMPARE(first(0).fontPointSize(), 12.0);
    QVERIFY(nth(1, 0).fontWeight() >= QFont::Bold);
    QVERIFY(nth(1, 2).fontItalic());
    QVERIFY(nth(1, 4).fontUnderline());
    QVERIFY(nth(1, 6).fontStrikeOut());
    QCOMPARE(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(first(2).fontPointSize(), 16.0);
    QCOMPARE(first(2).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    QCOMPARE(doc.findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(first(3).fontPointSize(), 10.0);
    const QTextBlockFormat indented = doc.findBlockByNumber(4).blockFormat();
    QCOMPARE(indented.leftMargin(), 1134 / 15.0);
    QCOMPARE(indented.rightMargin(), 567 / 15.0);
    QCOMPARE(indented.textIndent(), 567 / 15.0);
    QVERIFY(doc.findBlockByNumber(5).textList());
    QCOMPARE(doc.findBlockByNumber(5).textList(), doc.findBlockByNumber(6).textList());
    QVERIFY(!doc.findBlockByNumber(7).textList());
    QCOMPARE(first(7).foreground().color(), QColor(255, 0, 0));
}

void TestRtf::malformedFilesNeitherCrashNorHang_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *file, bool ok, const QString &text) {
        QTest::newRow(file) << QString::fromLatin1(file) << ok << text;
    };
    row("deep_nesting.rtf", false, {});
    row("huge_bin.rtf", true, QStringLiteral("before"));
    row("bin_in_skipped.rtf", true, QStringLiteral("ab"));
    row("bad_hex.rtf", true, QStringLiteral("zz  аok"));
    row("truncated_group.rtf", true, QStringLiteral("Привет"));
    row("unbalanced_close.rtf", true, QStringLiteral("one"));
    row("huge_numbers.rtf", true, QString());
    row("control_word_only.rtf", true, QString());
    row("just_header.rtf", true, QString());
    row("long_word.rtf", true, QStringLiteral("text"));
    row("unicode_fallback_runaway.rtf", true, QString());
    row("colour_table_junk.rtf", true, QStringLiteral("ab"));
    row("nul_bytes.rtf", true, QStringLiteral("abcd"));
    row("stray_pn.rtf", true, QStringLiteral("x"));
}

void TestRtf::malformedFilesNeitherCrashNorHang()
{
    QFETCH(QString, file);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    const QByteArray bytes = readFile(QStringLiteral("malformed/") + file);
    QVERIFY(!bytes.isEmpty());
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    const rtf::ReadResult r = rtf::read(bytes, &doc);
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(r.ok, ok);
    QCOMPARE(r.error.isEmpty(), ok);
    if (ok && !text.isEmpty())
        QCOMPARE(doc.toPlainText(), text);
    // Whatever was read can be written and read again.
    QTextDocument again;
    QVERIFY(rtf::read(rtf::write(doc), &again).ok);
    QCOMPARE(again.toPlainText(), doc.toPlainText());
}

void TestRtf::failedReadLeavesTheDocument()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("прежний текст"));
    QByteArray deep("{\\rtf1 ");
    deep += QByteArray(rtf::kMaxDepth + 1, '{');
    QVERIFY(!rtf::read(deep, &doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("прежний текст"));
    QByteArray fits("{\\rtf1 ");
    fits += QByteArray(rtf::kMaxDepth - 1, '{') + "x";
    QVERIFY(rtf::read(fits, &doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("x"));
}

void TestRtf::recognisesRtf()
{
    QVERIFY(rtf::isRtf("{\\rtf1 x}"));
    QVERIFY(rtf::isRtf("\r\n {\\rtf"));
    QVERIFY(!rtf::isRtf("Заключение"));
    QVERIFY(!rtf::isRtf("{\\rt"));
    QVERIFY(!rtf::isRtf(""));
}

// A picture keeps its pixels and its size on the page; Word's copy for old
// readers ({\nonshppict}) is not read a second time.
void TestRtf::picturesRoundTrip()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    image.setPixel(3, 4, qRgb(10, 20, 30));
    QTextDocument doc;
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), image);
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("Радужка: "));
    QTextImageFormat f;
    f.setName(QStringLiteral("pic"));
    f.setWidth(120);
    f.setHeight(90);
    c.insertImage(f);
    const QByteArray bytes = rtf::write(doc);
    QVERIFY(bytes.contains("{\\pict\\pngblip\\picw40\\pich30\\picwgoal1800\\pichgoal1350"));

    QByteArray word = bytes;
    const qsizetype at = word.indexOf("{\\pict");
    const qsizetype end = word.indexOf('}', at) + 1;
    const QByteArray pict = word.mid(at, end - at);
    const QByteArray wordPict = "{\\*\\shppict" + pict + "}{\\nonshppict{\\pict\\wmetafile8 0102}}";
    word.replace(at, end - at, wordPict);
    for (const QByteArray &file : {bytes, word}) {
        QTextDocument back;
        QVERIFY(rtf::read(file, &back).ok);
        QList<QTextImageFormat> found;
        for (QTextBlock b = back.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    found << it.fragment().charFormat().toImageFormat();
        QCOMPARE(found.size(), 1);
        QCOMPARE(qRound(found.at(0).width()), 120);
        const QImage read = back.resource(QTextDocument::ImageResource, QUrl(found.at(0).name())).value<QImage>();
        QCOMPARE(read.size(), image.size());
        QCOMPARE(read.pixel(3, 4), image.pixel(3, 4));
        QCOMPARE(back.toPlainText().left(9), QStringLiteral("Радужка: "));
    }
}

QTEST_MAIN(TestRtf)
#include "test_rtf.moc"
