// Rich text files: the writer against a golden file, round trips of every
// attribute, the reader on RTF as WordPad, Word and LibreOffice write it, and
// a corpus of malformed files that must neither crash nor hang.
#include "rtf/rtfcommon.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
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

QByteArray imageBytes(const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    image.setPixel(0, 0, qRgb(250, 10, 10));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

struct Picture {
    QTextImageFormat format;
    QImage image;
};

QList<Picture> pictures(const QTextDocument &doc)
{
    QList<Picture> found;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat f = it.fragment().charFormat().toImageFormat();
                found << Picture{f, doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>()};
            }
    return found;
}

// Each visible paragraph: its list number ("1.", "b)", "•" for a bullet)
// or "-", then its text.
QStringList numbered(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (!b.isVisible())
            continue;
        const QTextList *l = b.textList();
        const bool bullet = l && l->format().style() >= QTextListFormat::ListSquare;
        out << (l ? (bullet ? QStringLiteral("•") : l->itemText(b)) : QStringLiteral("-")) + QLatin1Char(' ') + b.text();
    }
    return out;
}

// A table's cells, rows apart by "||", cells by "|", paragraphs by "/",
// nested tables in brackets.
QString tableText(const QTextTable *t)
{
    QStringList rows;
    for (int r = 0; r < t->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < t->columns(); ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                cells << QStringLiteral("^");
                continue;
            }
            QStringList items;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const auto *nested = qobject_cast<QTextTable *>(it.currentFrame()))
                    items << QLatin1Char('[') + tableText(nested) + QLatin1Char(']');
                else if (!it.currentFrame())
                    items << it.currentBlock().text();
            }
            cells << items.join(QLatin1Char('/'));
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.join(QStringLiteral("||"));
}

QList<QTextTable *> tables(const QTextDocument &doc)
{
    QList<QTextTable *> found;
    for (QTextFrame *f : doc.rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f))
            found << t;
    return found;
}

// What a reader sees, as tools/rtf_corpus.py takes it from LibreOffice's
// HTML: each paragraph's text after its list number (a bullet "•"), each
// table cell ("| " and its paragraphs apart by " / ", after the cells of a
// table in it).
QString paragraphText(const QTextBlock &b)
{
    QString text = b.text().remove(QChar::ObjectReplacementCharacter).simplified();
    const QTextList *list = b.textList();
    if (text.isEmpty() || !list)
        return text;
    const QTextListFormat f = list->format();
    QString number = list->itemText(b);
    const qsizetype suffix = f.hasProperty(QTextFormat::ListNumberSuffix) ? f.numberSuffix().size() : 1;
    number = f.style() >= QTextListFormat::ListSquare
                 ? QStringLiteral("•")
                 : number.mid(f.numberPrefix().size(), number.size() - f.numberPrefix().size() - suffix);
    return number + QLatin1Char(' ') + text;
}

void summarise(const QTextFrame *frame, QStringList &lines);

void summariseTable(const QTextTable *table, QStringList &lines)
{
    for (int r = 0; r < table->rows(); ++r)
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue;
            QStringList paragraphs;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const auto *nested = qobject_cast<const QTextTable *>(it.currentFrame()))
                    summariseTable(nested, lines);
                else if (!it.currentFrame() && !paragraphText(it.currentBlock()).isEmpty())
                    paragraphs << paragraphText(it.currentBlock());
            }
            lines << QStringLiteral("| ") + paragraphs.join(QStringLiteral(" / "));
        }
}

void summarise(const QTextFrame *frame, QStringList &lines)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame()))
            summariseTable(table, lines);
        else if (it.currentFrame())
            summarise(it.currentFrame(), lines);
        else if (it.currentBlock().isVisible() && !paragraphText(it.currentBlock()).isEmpty())
            lines << paragraphText(it.currentBlock());
    }
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
    void codePages_data();
    void codePages();
    void fontNamesAsUnicode();
    void wordPadSample();
    void libreOfficeSample();
    void malformedFilesNeitherCrashNorHang_data();
    void malformedFilesNeitherCrashNorHang();
    void failedReadLeavesTheDocument();
    void recognisesRtf();
    void picturesRoundTrip();
    void picturesAsWordAndLibreOfficeWriteThem_data();
    void picturesAsWordAndLibreOfficeWriteThem();
    void picturesAreDecodedAtTheirShownSize();
    void listsKeepTheirNumbers_data();
    void listsKeepTheirNumbers();
    void tablesAreTables();
    void hiddenTextPagesAndHighlight();
    void longParagraphsAreCutOnlyBeyondTheLimit();
    void valuesAreClampedToAPage();
    void corpusReadsAsLibreOfficeShowsIt_data();
    void corpusReadsAsLibreOfficeShowsIt();
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

void TestRtf::codePages_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    // The same byte E0 is "а" in a Cyrillic font, "à" in a Western one; a
    // font without a charset takes its \cpg, else \ansicpg, else the
    // language's code page, else Windows-1251.
    QTest::newRow("font charsets") << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 A;}{\\f1\\fcharset0 B;}"
                                                 "{\\f2 C;}{\\f3\\fcharset238 D;}}\\f0\\'e0\\f1\\'e0\\f2\\'e0\\f3\\'e0}")
                                   << QStringLiteral("аàаŕ");
    QTest::newRow("ansicpg") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 \\'e0}") << QStringLiteral("à");
    QTest::newRow("none named") << QByteArray("{\\rtf1\\ansi \\'c7\\'e0\\'ea\\'eb\\'fe\\'f7\\'e5\\'ed\\'e8\\'e5}")
                                << QStringLiteral("Заключение");
    QTest::newRow("Russian") << QByteArray("{\\rtf1\\ansi\\deflang1049 \\'e0}") << QStringLiteral("а");
    QTest::newRow("English tells nothing") << QByteArray("{\\rtf1\\ansi\\deflang1033 \\'e0}") << QStringLiteral("а");
    QTest::newRow("German") << QByteArray("{\\rtf1\\ansi\\deflang1031 \\'e0}") << QStringLiteral("à");
    QTest::newRow("run's language") << QByteArray("{\\rtf1\\ansi {\\lang1032 \\'e1}\\'e1}") << QStringLiteral("αб");
    QTest::newRow("font code page") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg1250 A;}}\\f0\\'e0}")
                                    << QStringLiteral("ŕ");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF{\\rtf1 x}") << QStringLiteral("x");
}

void TestRtf::codePages()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QVERIFY(rtf::isRtf(rtf));
    QCOMPARE(plain(rtf), text);
}

// A font name in the font table as \uN, as our writer writes names
// Windows-1251 cannot hold, comes back.
void TestRtf::fontNamesAsUnicode()
{
    QTextDocument doc;
    QVERIFY(rtf::read("{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\u1064?\\'f0\\u8364?;}}\\f0 x}", &doc).ok);
    QCOMPARE(doc.begin().begin().fragment().charFormat().fontFamilies().toStringList(), QStringList{"Шр€"});
    QTextDocument named;
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Гарнитура ☺")});
    QTextCursor(&named).insertText(QStringLiteral("x"), f);
    QTextDocument back;
    QVERIFY(rtf::read(rtf::write(named), &back).ok);
    QCOMPARE(back.begin().begin().fragment().charFormat().fontFamilies().toStringList(),
             QStringList{QStringLiteral("Гарнитура ☺")});
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

    // The metafile is kept as a placeholder before the text.
    QCOMPARE(block(5).text(), QChar(QChar::ObjectReplacementCharacter) + QStringLiteral("Текст №1"));
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
    row("deep_nesting.rtf", true, {});
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
    QVERIFY(ok); // every RTF file is read
    if (ok && !text.isEmpty())
        QCOMPARE(doc.toPlainText(), text);
    // Whatever was read can be written and read again.
    QTextDocument again;
    QVERIFY(rtf::read(rtf::write(doc), &again).ok);
    QCOMPARE(again.toPlainText(), doc.toPlainText());
}

// Bytes that are no RTF leave the document as it was; groups deeper than
// the limit are read, with the formatting of the deepest level kept and
// their destinations still skipped.
void TestRtf::failedReadLeavesTheDocument()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("прежний текст"));
    QVERIFY(!rtf::read("Заключение", &doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("прежний текст"));
    const int deep = rtf::kMaxDepth + 40;
    QByteArray file("{\\rtf1 ");
    file += QByteArray(rtf::kMaxDepth - 2, '{') + "\\i " + QByteArray(deep - rtf::kMaxDepth, '{') +
            "\\b deep{\\*\\junk no}\\par more" + QByteArray(deep - rtf::kMaxDepth, '}') + " tail" +
            QByteArray(rtf::kMaxDepth - 2, '}') + "}";
    QVERIFY(rtf::read(file, &doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("deep\nmore tail"));
    const QTextCharFormat f = doc.begin().begin().fragment().charFormat();
    QVERIFY(f.fontItalic());
    QCOMPARE(f.fontWeight(), int(QFont::Normal));
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

// Pictures as LibreOffice writes them ({\*\shppict} with {\*\picprop},
// a metafile copy in {\nonshppict}), as Word writes them (\bliptag,
// {\*\blipuid}), DIBs and pictures the program cannot draw: shown at their
// size on the page, their bytes written back as they came.
void TestRtf::picturesAsWordAndLibreOfficeWriteThem_data()
{
    QTest::addColumn<QByteArray>("pict");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QSizeF>("shown");
    QTest::addColumn<bool>("drawn");
    const QByteArray png = imageBytes(QSize(40, 30), "PNG");
    const QByteArray jpeg = imageBytes(QSize(80, 60), "JPEG");
    QByteArray dib = imageBytes(QSize(4, 2), "BMP").mid(14);
    const QByteArray wmf = QByteArray::fromHex("010009000003220000000000");
    const QByteArray copy = "{\\nonshppict{\\pict\\picw40\\pich30\\picwgoal600\\pichgoal450\\wmetafile8\r\n" +
                            wmf.toHex() + "}}";
    QTest::newRow("LibreOffice PNG")
        << "{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn wzDescription}{\\sv }}{\\sp{\\sn fFlipH}{\\sv 0}}}"
           "\\picscalex100\\picscaley100\\piccropl0\\piccropr0\\piccropt0\\piccropb0\\picw40\\pich30\\picwgoal600"
           "\\pichgoal450\\pngblip\r\n" + png.toHex() + "}}" + copy
        << png << QSizeF(40, 30) << true;
    QTest::newRow("Word JPEG at half size")
        << "{\\*\\shppict{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}\\picscalex50\\picscaley50"
           "\\piccropl0\\piccropr0\\piccropt0\\piccropb0\\picw2117\\pich1587\\picwgoal1200\\pichgoal900\\jpegblip"
           "\\bliptag-1234567{\\*\\blipuid 0123456789abcdef0123456789abcdef}" + jpeg.toHex() + "}}" + copy
        << jpeg << QSizeF(40, 30) << true;
    QTest::newRow("cropped") << "{\\pict\\pngblip\\picwgoal600\\pichgoal450\\piccropl150\\piccropr150 " + png.toHex() + "}"
                             << png << QSizeF(20, 30) << true;
    QTest::newRow("own size") << "{\\pict\\pngblip " + png.toHex() + "}" << png << QSizeF(40, 30) << true;
    QTest::newRow("DIB") << "{\\pict\\dibitmap0\\picw4\\pich2\\picwgoal60\\pichgoal30 " + dib.toHex() + "}" << dib
                         << QSizeF(4, 2) << true;
    QTest::newRow("metafile") << "{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 " + wmf.toHex() + "}"
                              << wmf << QSizeF(96, 48) << false;
    QTest::newRow("EMF, own size") << "{\\pict\\emfblip\\picw2540\\pich2540 " + wmf.toHex() + "}" << wmf
                                   << QSizeF(96, 96) << false;
}

void TestRtf::picturesAsWordAndLibreOfficeWriteThem()
{
    QFETCH(QByteArray, pict);
    QFETCH(QByteArray, data);
    QFETCH(QSizeF, shown);
    QFETCH(bool, drawn);
    QTextDocument doc;
    const rtf::ReadResult r = rtf::read("{\\rtf1\\ansi Iris: " + pict + " \\par}", &doc);
    QVERIFY(r.ok);
    QCOMPARE(r.notes.undrawnPictures, drawn ? 0 : 1);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Iris: ") + QChar(QChar::ObjectReplacementCharacter) + QLatin1Char(' '));
    for (int pass = 0; pass < 2; ++pass) {
        const QList<Picture> found = pictures(doc);
        QCOMPARE(found.size(), 1);
        QCOMPARE(QSizeF(found.at(0).format.width(), found.at(0).format.height()), shown);
        QVERIFY(!found.at(0).image.isNull());
        if (drawn && !pict.contains("jpegblip"))
            QCOMPARE(found.at(0).image.pixelColor(0, 0).red() > 200, !pict.contains("piccropl150"));
        // The bytes go back into the file as they came.
        const QByteArray written = rtf::write(doc);
        QVERIFY(QByteArray(written).replace("\r\n", "").contains(data.toHex()));
        QVERIFY(rtf::read(written, &doc).ok);
    }
}

// 20 photos of 5700 x 5700 took 2.5 GB: a picture is decoded no larger than
// twice its size on the page.
void TestRtf::picturesAreDecodedAtTheirShownSize()
{
    const QByteArray jpeg = imageBytes(QSize(2400, 1800), "JPEG");
    QByteArray file("{\\rtf1 ");
    for (int i = 0; i < 3; ++i)
        file += "{\\pict\\jpegblip\\picwgoal1440\\pichgoal1080 " + jpeg.toHex() + "}";
    QTextDocument doc;
    QVERIFY(rtf::read(file + "}", &doc).ok);
    const QList<Picture> found = pictures(doc);
    QCOMPARE(found.size(), 3);
    for (const Picture &p : found) {
        QCOMPARE(p.format.width(), 96.0);
        QVERIFY(p.image.width() <= 2 * 96 && p.image.width() >= 96);
    }
    QVERIFY(rtf::write(doc).contains(jpeg.left(64).toHex()));
}

// Lists as Word and LibreOffice write them (\ls with \listtable) and as
// WordPad writes them (\pn) keep their numbers, read and after a save.
void TestRtf::listsKeepTheirNumbers_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("items");
    const auto table = [](const QByteArray &levels,
                          const QByteArray &overrides = "{\\listoverride\\listid7\\ls1}") -> QByteArray {
        return "{\\*\\listtable{\\list\\listtemplateid1" + levels + "{\\listname ;}\\listid7}}{\\*\\listoverridetable" +
               overrides + "}";
    };
    const QByteArray decimal = "{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}";
    QTest::newRow("decimal") << "{\\rtf1" + table(decimal) + "\\pard\\ls1 a\\par b\\par\\pard c\\par\\pard\\ls1 d\\par}"
                             << QStringList{"1. a", "2. b", "- c", "3. d"};
    QTest::newRow("letters in brackets")
        << "{\\rtf1" + table("{\\listlevel\\levelnfc4{\\leveltext\\'03(\\'00);}}") + "\\ls1 a\\par b\\par}"
        << QStringList{"(a) a", "(b) b"};
    QTest::newRow("roman from 3")
        << "{\\rtf1" + table("{\\listlevel\\levelnfc1\\levelstartat3{\\leveltext\\'02\\'00.;}}") + "\\ls1 a\\par b\\par}"
        << QStringList{"III. a", "IV. b"};
    QTest::newRow("second level starts anew")
        << "{\\rtf1" + table(decimal + "{\\listlevel\\levelnfc4{\\leveltext\\'04\\'00.\\'01);}}") +
               "\\ls1 a\\par\\ilvl1 b\\par c\\par\\ilvl0 d\\par\\ilvl1 e\\par}"
        << QStringList{"1. a", "a) b", "b) c", "2. d", "a) e"};
    QTest::newRow("start from the override")
        << "{\\rtf1" + table(decimal, "{\\listoverride\\listid7\\listoverridecount1{\\lfolevel\\listoverridestartat"
                                      "\\levelstartat5}\\ls1}") + "\\ls1 a\\par}"
        << QStringList{"5. a"};
    QTest::newRow("bullets") << "{\\rtf1" + table("{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}") +
                                    "{\\listtext\\'b7\\tab}\\ls1 a\\par}"
                             << QStringList{"• a"};
    QTest::newRow("WordPad numbers")
        << QByteArray("{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}a\\par{\\pntext 2.\\tab}b\\par"
                      "\\pard c\\par}")
        << QStringList{"1. a", "2. b", "- c"};
    QTest::newRow("WordPad letters") << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pnucltr\\pnstart2{\\pntxta )}}a\\par b\\par}")
                                     << QStringList{"B) a", "C) b"};
    QTest::newRow("WordPad roman") << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pnlcrm\\pnstart4{\\pntxta .}}a\\par}")
                                   << QStringList{"iv. a"};
}

void TestRtf::listsKeepTheirNumbers()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, items);
    QTextDocument doc;
    QVERIFY(rtf::read(rtf, &doc).ok);
    QCOMPARE(numbered(doc), items);
    const QByteArray written = rtf::write(doc);
    if (items.join(QString()).contains(QLatin1Char('.')) || items.join(QString()).contains(QLatin1Char(')'))) {
        // For every reader: \ls, \pn with the item's own start, \pntext.
        QVERIFY(written.contains("\\listtable") && written.contains("\\ls1\\ilvl"));
        QVERIFY(written.contains("\\pnstart"));
        QVERIFY(written.contains("{\\pntext"));
    }
    QTextDocument back;
    QVERIFY(rtf::read(written, &back).ok);
    QCOMPARE(numbered(back), items);
    // Without the list table the \pn numbers stand alone.
    QByteArray wordPad = written;
    wordPad.replace("\\ls", "\\xls");
    QVERIFY(rtf::read(wordPad, &back).ok);
    QCOMPARE(numbered(back), items);
}

// Tables as LibreOffice and Word write them: a cell of two paragraphs, a
// table in a cell, merged cells; written as RTF tables and read back.
void TestRtf::tablesAreTables()
{
    const QByteArray file =
        "{\\rtf1\\ansi \\'e4\\'ee\\par"
        "\\trowd\\trql\\trleft-108\\clbrdrt\\brdrs\\brdrw10\\clvmgf\\cellx3000\\clbrdrt\\brdrs\\cellx6000"
        "\\pard\\plain\\intbl a1\\cell\\pard\\intbl b1 \\'ef\\'e5\\'f0\\'e2\\'fb\\'e9\\par\\pard\\intbl b1 2\\cell\\row"
        "\\trowd\\trleft-108\\clvmrg\\cellx3000\\cellx6000\\pard\\intbl\\cell"
        "\\pard\\intbl\\itap2 n1\\nestcell\\pard\\intbl\\itap2 n2\\nestcell"
        "\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd\\cellx1500\\cellx3000\\nestrow}{\\nonesttables\\par}"
        "\\pard\\intbl\\itap1 b2\\cell\\pard\\intbl{\\trowd\\clvmrg\\cellx3000\\cellx6000\\row}"
        "\\pard \\'ef\\'ee\\'f1\\'eb\\'e5\\par}";
    QTextDocument doc;
    QVERIFY(rtf::read(file, &doc).ok);
    const QString expected = QStringLiteral("a1|b1 первый/b1 2||^|/[n1|n2]/b2");
    for (int pass = 0; pass < 2; ++pass) {
        const QList<QTextTable *> found = tables(doc);
        QCOMPARE(found.size(), 1);
        QCOMPARE(tableText(found.at(0)), expected);
        QCOMPARE(found.at(0)->format().columnWidthConstraints().at(0).rawValue(), 3108 / 15.0);
        QCOMPARE(doc.begin().text(), QStringLiteral("до"));
        QCOMPARE(doc.lastBlock().text(), QStringLiteral("после"));
        const QByteArray written = rtf::write(doc);
        for (const char *word : {"\\trowd", "\\clvmgf", "\\clvmrg", "\\intbl", "\\cell", "\\row", "\\itap2",
                                 "\\nestcell", "\\nestrow"})
            QVERIFY2(written.contains(word), word);
        QVERIFY(!written.contains("\\tab"));
        QVERIFY(rtf::read(written, &doc).ok);
    }
    // A table pasted into the editor from elsewhere is saved as a table.
    QTextDocument pasted;
    pasted.setHtml(QStringLiteral("<p>до</p><table border=1><tr><td>a</td><td><p>b</p><p>c</p></td></tr>"
                                  "<tr><td>d</td><td>e</td></tr></table>"));
    QVERIFY(rtf::read(rtf::write(pasted), &doc).ok);
    QCOMPARE(tables(doc).size(), 1);
    QCOMPARE(tableText(tables(doc).at(0)), QStringLiteral("a|b/c||d|e"));
}

// Hidden text is not shown and is kept; \page breaks the page when printed;
// highlighting is kept.
void TestRtf::hiddenTextPagesAndHighlight()
{
    QTextDocument doc;
    QVERIFY(rtf::read("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}a{\\v \\'f1\\'ea\\'f0\\'fb\\'f2\\'ee}b\\highlight1 c\\highlight0 d\\par "
                      "e\\page f\\par g\\par}",
                      &doc)
                .ok);
    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(doc.toPlainText(), QStringLiteral("a\uFFFCbcd\ne\nf\ng"));
        const auto fragment = [&doc](int n) {
            auto it = doc.begin().begin();
            while (n-- > 0)
                ++it;
            return it.fragment().charFormat();
        };
        const QTextCharFormat hidden = fragment(1);
        QCOMPARE(hidden.objectType(), rtf::kHiddenTextObject);
        QCOMPARE(hidden.stringProperty(rtf::kHiddenTextProperty), QStringLiteral("скрыто"));
        QCOMPARE(fragment(3).background().color(), QColor(255, 255, 0));
        QCOMPARE(doc.findBlockByNumber(2).blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
        QCOMPARE(doc.findBlockByNumber(3).blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
        doc.setPageSize(QSizeF(400, 600));
        QCOMPARE(doc.pageCount(), 2);
        const QByteArray written = rtf::write(doc);
        QVERIFY(written.contains("{\\v \\'f1\\'ea\\'f0\\'fb\\'f2\\'ee}"));
        QVERIFY(written.contains("\\highlight1 c"));
        QVERIFY(rtf::read(written, &doc).ok);
    }
}

// A paragraph is kept whole up to kLongParagraph characters (64 KB of text
// with blanks is ordinary); beyond it, or with a stretch without blanks
// beyond kLongWord, it is cut at a blank near the limit, and the reader
// says so.
void TestRtf::longParagraphsAreCutOnlyBeyondTheLimit()
{
    QString words;
    while (words.size() < 64 * 1024)
        words += QStringLiteral("sklonnost k distonii ");
    QVERIFY(rtf::paragraphCuts(words).isEmpty());
    const QString longer = words.repeated(4);
    const QList<qsizetype> cuts = rtf::paragraphCuts(longer);
    QCOMPARE(cuts.size(), 2);
    qsizetype from = 0;
    for (const qsizetype cut : cuts) {
        QVERIFY(cut - from <= rtf::kLongParagraph && cut - from > rtf::kLongParagraph - rtf::kNearBlank);
        QCOMPARE(longer.at(cut - 1), QLatin1Char(' '));
        from = cut;
    }
    QCOMPARE(rtf::paragraphCuts(QString(QString(5000, QLatin1Char('x')) + QLatin1Char(' '))),
             (QList<qsizetype>{2000, 4000}));

    const auto rtfOf = [](const QString &text) -> QByteArray {
        return "{\\rtf1\\ansi\\ansicpg1251\\fi300\\sb100 " + text.toLatin1() + "\\par}";
    };
    QTextDocument doc;
    rtf::ReadResult r = rtf::read(rtfOf(words), &doc);
    QCOMPARE(doc.blockCount(), 1);
    QCOMPARE(r.notes.cutParagraphs, 0);
    r = rtf::read(rtfOf(longer), &doc);
    QCOMPARE(r.notes.cutParagraphs, 1);
    QCOMPARE(doc.blockCount(), 3);
    QCOMPARE(doc.toPlainText().remove(QLatin1Char('\n')), longer);
    QCOMPARE(doc.begin().blockFormat().textIndent(), 20.0);
    QCOMPARE(doc.begin().next().blockFormat().textIndent(), 0.0);
    QCOMPARE(doc.begin().next().blockFormat().topMargin(), 0.0);
    QVERIFY(!r.notes.sentences().isEmpty());
}

// Sizes beyond a page are clamped: 150 paragraphs with \sb999999999999 hung
// the layout. Empty paragraphs beyond a few pages are left out.
void TestRtf::valuesAreClampedToAPage()
{
    QByteArray file("{\\rtf1 ");
    for (int i = 0; i < 150; ++i)
        file += "\\pard\\sb999999999999\\sa999999999999\\li-99999999\\ri99999999\\fi99999999\\fs99999999 x\\par";
    QTextDocument doc;
    QVERIFY(rtf::read(file + "}", &doc).ok);
    const QTextBlockFormat f = doc.begin().blockFormat();
    const qreal page = rtf::kMaxTwips / 15.0;
    QCOMPARE(f.topMargin(), page);
    QCOMPARE(f.bottomMargin(), page);
    QCOMPARE(f.leftMargin(), 0.0);
    QCOMPARE(f.rightMargin(), page);
    QCOMPARE(f.textIndent(), page);
    QCOMPARE(doc.begin().begin().fragment().charFormat().fontPointSize(), rtf::kMaxHalfPoints / 2.0);
    doc.setTextWidth(600);
    QVERIFY(doc.size().height() < 150 * 3 * page + 150 * 3000);

    rtf::ReadResult r = rtf::read("{\\rtf1 a" + QByteArray("\\par ").repeated(1000) + "b}", &doc);
    QCOMPARE(doc.blockCount(), rtf::kMaxEmptyRun + 2);
    QCOMPARE(r.notes.droppedEmpty, 1000 - 1 - rtf::kMaxEmptyRun);

    // Qt lays out no more than QFIXED_MAX high (a taller document hangs it):
    // the file is read as far as that, and the reader says so.
    r = rtf::read("{\\rtf1\\fs99999 " + QByteArray("a\\par ").repeated(5000) + "}", &doc);
    QVERIFY(r.notes.truncated > 100 && r.notes.truncated < 5000);
    QCOMPARE(doc.blockCount(), r.notes.truncated);
    doc.setTextWidth(100);
    QVERIFY(doc.size().height() < 8388607);
    // So is one long paragraph in such letters: it is cut sooner.
    r = rtf::read("{\\rtf1\\fs99999 " + QByteArray("word ").repeated(20000) + "}", &doc);
    QVERIFY(r.notes.truncated && r.notes.cutParagraphs);
    doc.setTextWidth(320);
    QVERIFY(doc.size().height() < 8388607);
    // And a table of such rows, which goes on in a new table sooner.
    r = rtf::read("{\\rtf1\\fs99999 " + QByteArray("\\trowd\\cellx9000\\intbl a\\cell\\row ").repeated(5000) + "}", &doc);
    QVERIFY(r.notes.truncated && r.notes.splitTables);
    doc.setTextWidth(100);
    QVERIFY(doc.size().height() < 8388607);
}

// The corpus made with LibreOffice from documents of our own (pictures,
// numbered, lettered and roman lists, a table with a cell of two
// paragraphs and merged cells, Cyrillic with and without code page) reads
// as LibreOffice showed it. tools/rtf_corpus.py remakes the corpus, and
// checks, with LibreOffice, that it reads what our writer makes of it the
// same way (the test rtf_libreoffice).
void TestRtf::corpusReadsAsLibreOfficeShowsIt_data()
{
    QTest::addColumn<QString>("name");
    const QDir corpus(TestEnv::testDataPath(QStringLiteral("rtf/corpus")));
    const QStringList files = corpus.entryList({QStringLiteral("*.rtf")});
    QVERIFY(files.size() >= 6);
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << f.chopped(4);
}

void TestRtf::corpusReadsAsLibreOfficeShowsIt()
{
    QFETCH(QString, name);
    QTextDocument doc;
    const rtf::ReadResult r = rtf::read(readFile(QStringLiteral("corpus/") + name + QStringLiteral(".rtf")), &doc);
    QVERIFY(r.ok);
    QVERIFY(!r.notes.any());
    QStringList lines;
    summarise(doc.rootFrame(), lines);
    int pictures = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            pictures += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
    lines << QStringLiteral("pictures: %1").arg(pictures);
    const QString expected = name.startsWith(QLatin1String("cyrillic")) ? QStringLiteral("cyrillic") : name;
    const QString shown = QString::fromUtf8(readFile(QStringLiteral("corpus/") + expected + QStringLiteral(".expected")));
    QCOMPARE(lines, shown.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));
}

QTEST_MAIN(TestRtf)
#include "test_rtf.moc"
