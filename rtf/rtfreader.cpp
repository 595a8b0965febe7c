#include "rtf/rtfreader.h"

#include "rtf/rtfcommon.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <array>
#include <cmath>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rtf {

namespace {

// --- Code pages --------------------------------------------------------------

// The Windows code page of a font's charset; 0 when the charset names none.
int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252; // Symbol: read as Latin, it is only ever bullets
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;
    }
}

// The code page a language's text is written in; 0 when the language tells
// nothing about letters above 0x7F (English, none, unknown).
int codePageOfLanguage(int lang)
{
    switch (lang & 0x3FF) {
    case 0x19: case 0x22: case 0x23: case 0x02: case 0x2F: case 0x3F: case 0x40: case 0x44: case 0x50:
    case 0x28: case 0x6D: case 0x85:
        return 1251; // Russian, Ukrainian, Belarusian, Bulgarian, Macedonian, Kazakh, ...
    case 0x1A:
        return lang == 0x0C1A || lang == 0x1C1A || lang == 0x201A || lang == 0x281A || lang == 0x301A ? 1251 : 1250;
    case 0x43: return lang == 0x0843 ? 1251 : 1254;
    case 0x2C: return lang == 0x082C ? 1251 : 1254;
    case 0x07: case 0x0C: case 0x10: case 0x0A: case 0x13: case 0x16: case 0x1D: case 0x14: case 0x06:
    case 0x0B: case 0x0F: case 0x03: case 0x2D: case 0x56: case 0x36: case 0x38: case 0x21: case 0x3E:
    case 0x41: case 0x62:
        return 1252;
    case 0x15: case 0x05: case 0x0E: case 0x1B: case 0x24: case 0x18: case 0x1C:
        return 1250;
    case 0x08: return 1253;
    case 0x1F: return 1254;
    case 0x0D: return 1255;
    case 0x01: case 0x29: case 0x20: return 1256;
    case 0x25: case 0x26: case 0x27: return 1257;
    case 0x2A: return 1258;
    case 0x1E: return 874;
    case 0x11: return 932;
    case 0x12: return 949;
    case 0x04: return (lang >> 10) == 0x01 || (lang >> 10) == 0x02 ? 936 : 950;
    default: return 0;
    }
}

QByteArray codecName(int cp)
{
    switch (cp) {
    case 65001: return "UTF-8";
    case 10000: return "macintosh";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 437: return "IBM437";
    case 850: return "IBM850";
    default: break;
    }
    if (cp >= 1250 && cp <= 1258)
        return "windows-" + QByteArray::number(cp);
    return "cp" + QByteArray::number(cp);
}

// Bytes to text, one decoder per code page for the whole file: a table for
// the single-byte code pages, the codec library for the others.
class Codecs {
public:
    struct Codec {
        bool single = true;
        std::array<char16_t, 256> table{};
        QByteArray name;
    };

    const Codec &get(int cp)
    {
        auto it = m_codecs.find(cp);
        if (it != m_codecs.end())
            return *it->second;
        auto codec = std::make_unique<Codec>();
        codec->name = codecName(cp);
        if (!QStringDecoder(codec->name.constData()).isValid())
            codec->name = "windows-1251";
        codec->single = !(cp == 65001 || cp == 932 || cp == 936 || cp == 949 || cp == 950);
        if (codec->single) {
            for (int b = 0; b < 256; ++b) {
                QStringDecoder decoder(codec->name.constData());
                const QString s = decoder(QByteArray(1, char(b)));
                codec->table[b] = s.size() == 1 ? s.at(0).unicode() : char16_t(0xFFFD);
            }
        }
        return *m_codecs.emplace(cp, std::move(codec)).first->second;
    }

    void decode(int cp, const QByteArray &bytes, QString &out)
    {
        const Codec &codec = get(cp);
        if (codec.single) {
            for (const char b : bytes)
                out += QChar(codec.table[uchar(b)]);
            return;
        }
        QStringDecoder decoder(codec.name.constData());
        out += decoder(bytes);
    }

private:
    std::unordered_map<int, std::unique_ptr<Codec>> m_codecs;
};

// --- Properties -------------------------------------------------------------

enum class Dest : quint8 {
    Text,         // the document's text
    Skip,         // read for its structure only
    FontTable,
    ColorTable,
    Pn,           // WordPad's paragraph numbering: {\*\pn ...}
    PnBefore,     // {\pntxtb ...}
    PnAfter,      // {\pntxta ...}
    Pict,         // a picture: {\pict ... data}
    ListTable,    // {\*\listtable ...}
    LevelText,    // {\leveltext ...}
    ListOverride, // {\*\listoverridetable ...}
};

struct CharProps {
    int font = -1; // -1: the default font (\deff)
    qint16 halfPoints = 24;
    qint16 colour = 0;
    qint16 highlight = 0;
    qint8 vertical = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const CharProps &) const = default;
};

struct CharPropsHash {
    size_t operator()(const CharProps &p) const
    {
        size_t h = size_t(p.font) * 1000003u ^ size_t(p.halfPoints) * 131u ^ size_t(p.colour) * 8191u ^
                   size_t(p.highlight) * 524287u ^ size_t(p.vertical + 2);
        h = h * 31 + (p.bold | p.italic << 1 | p.underline << 2 | p.strike << 3 | p.hidden << 4);
        return h;
    }
};

enum class Pn : quint8 { None, Bullet, Number };

struct ParaProps {
    qint8 align = 0; // 0 left, 1 centre, 2 right, 3 justified
    bool pageBreak = false;
    bool intbl = false;
    qint8 itap = -1; // -1: none given
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    int ls = 0;
    qint8 ilvl = 0;
    Pn pn = Pn::None;
    qint8 pnStyle = 0; // a QTextListFormat::Style
    qint8 pnLevel = 0;
    int pnStart = 1;
    int pnText = -1; // index of the number's text before and after

    int level() const
    {
        if (itap >= 0)
            return itap;
        return intbl ? 1 : 0;
    }
};

struct State {
    CharProps ch;
    ParaProps para;
    Dest dest = Dest::Text;
    qint8 uc = 1;
    bool nestProps = false;  // within \nesttableprops
    bool shapePicture = false; // within a shape's property: only a picture is read
    int lang = 0;
};

// --- The model between reading and the document ------------------------------

struct ListRef {
    Pn kind = Pn::None;
    qint8 style = 0;
    qint8 level = 0;
    int start = 1;
    quint64 key = 0;
    QString prefix, suffix;
};

struct Object {
    bool hidden = false; // hidden text; otherwise a picture
    int format = 0;
    QString text;        // the hidden text
    QImage image;        // the picture as shown
    qreal width = 0, height = 0;
    PictureBytes bytes;
};

struct Para {
    ParaProps props;
    int mark = 0; // format of the paragraph mark
    QString text;
    std::vector<std::pair<int, int>> runs;       // start, format
    std::vector<std::pair<int, Object>> objects; // position in text (an object character)
    ListRef list;
    bool continued = false; // a piece after the first of a cut paragraph
};

struct Table;

struct Item {
    std::unique_ptr<Para> para;
    std::unique_ptr<Table> table;
};

struct Cell {
    std::vector<Item> items;
};

struct CellDef {
    int right = 0;
    bool hFirst = false, hCont = false, vFirst = false, vCont = false;
};

struct RowDef {
    int left = 0;
    bool borders = false;
    std::vector<CellDef> cells;
    CellDef pending; // merge marks before the cell's \cellx
};

struct Row {
    std::vector<Cell> cells;
    RowDef def;
};

struct Table {
    std::vector<Row> rows;
    int cells = 0;
    bool borders = false;
    qreal height = 0; // of all its paragraphs one under the other: estimated high
};

struct Font {
    QString name;
    int charset = -1;
    int cpg = 0;
};

// Fonts, colours and character formats of the file.
struct Catalog {
    QHash<int, Font> fonts;
    int deff = 0;
    QList<QColor> colours;
    std::vector<CharProps> formats;
    std::unordered_map<CharProps, int, CharPropsHash> formatIndex;

    int indexOf(const CharProps &p)
    {
        auto it = formatIndex.find(p);
        if (it != formatIndex.end())
            return it->second;
        formats.push_back(p);
        formatIndex.emplace(p, int(formats.size() - 1));
        return int(formats.size() - 1);
    }
};

// --- Numbers of list items written as text ----------------------------------

QString roman(int n, bool upper)
{
    if (n <= 0 || n >= 5000)
        return QString::number(n);
    static const std::pair<int, const char *> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                         {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                         {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                         {1, "i"}};
    QString s;
    for (const auto &[value, text] : parts)
        while (n >= value) {
            s += QLatin1String(text);
            n -= value;
        }
    return upper ? s.toUpper() : s;
}

QString letters(int n, bool upper)
{
    QString s;
    while (n > 0) {
        --n;
        s.prepend(QChar((upper ? 'A' : 'a') + n % 26));
        n /= 26;
    }
    return s;
}

QString numberText(int style, int n)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha: return letters(n, false);
    case QTextListFormat::ListUpperAlpha: return letters(n, true);
    case QTextListFormat::ListLowerRoman: return roman(n, false);
    case QTextListFormat::ListUpperRoman: return roman(n, true);
    default: return QString::number(n);
    }
}

// --- Pictures -----------------------------------------------------------------

enum class PictType { None, Png, Jpeg, Dib, Wbitmap, Undrawable };

struct Pict {
    PictType type = PictType::None;
    QByteArray kind;
    QByteArray data;
    int high = -1; // a hex digit waiting for its pair
    int picw = 0, pich = 0, goalW = 0, goalH = 0;
    int scaleX = 100, scaleY = 100;
    int cropL = 0, cropT = 0, cropR = 0, cropB = 0;
    int bitsPixel = 1, planes = 1, widthBytes = 0;
};

quint32 le32(const QByteArray &b, int at)
{
    if (at + 4 > b.size())
        return 0;
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

// A DIB (a bitmap file without its file header) made a BMP file.
QByteArray bmpOfDib(const QByteArray &dib)
{
    const quint32 header = le32(dib, 0);
    if (dib.size() < 16 || header < 12 || header > 256)
        return {};
    int bits = 0, colours = 0, entry = 4, extra = 0;
    if (header == 12) {
        bits = uchar(dib[10]) | uchar(dib[11]) << 8;
        colours = bits <= 8 ? 1 << bits : 0;
        entry = 3;
    } else {
        bits = uchar(dib[14]) | uchar(dib[15]) << 8;
        const quint32 compression = le32(dib, 16);
        const quint32 used = le32(dib, 32);
        colours = used && used <= 256 ? int(used) : (bits <= 8 ? 1 << bits : 0);
        if (header == 40 && compression == 3)
            extra = 12;
        if (header == 40 && compression == 6)
            extra = 16;
    }
    const qint64 offset = 14 + qint64(header) + qint64(colours) * entry + extra;
    QByteArray bmp("BM");
    const auto put32 = [&bmp](quint32 v) {
        for (int i = 0; i < 4; ++i)
            bmp += char((v >> (8 * i)) & 0xFF);
    };
    put32(quint32(14 + dib.size()));
    put32(0);
    put32(quint32(qMin<qint64>(offset, 14 + dib.size())));
    return bmp + dib;
}

// A device-dependent bitmap (\wbitmap): rows top down, 1, 24 or 32 bits a
// pixel.
QImage imageOfWbitmap(const Pict &p)
{
    const int w = qBound(0, p.picw, 32768), h = qBound(0, p.pich, 32768);
    const int bits = p.bitsPixel;
    if (w == 0 || h == 0 || p.planes != 1 || (bits != 1 && bits != 24 && bits != 32))
        return {};
    const qint64 rowBytes = p.widthBytes > 0 ? p.widthBytes : ((qint64(w) * bits + 15) / 16) * 2;
    if (rowBytes < (qint64(w) * bits + 7) / 8)
        return {};
    const int rows = int(qMin<qint64>(h, p.data.size() / rowBytes));
    if (rows == 0)
        return {};
    QImage image(w, rows, bits == 1 ? QImage::Format_Mono : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    if (bits == 1)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < rows; ++y) {
        const uchar *src = reinterpret_cast<const uchar *>(p.data.constData()) + y * rowBytes;
        uchar *dst = image.scanLine(y);
        if (bits == 1) {
            memcpy(dst, src, size_t((w + 7) / 8));
        } else {
            auto *px = reinterpret_cast<QRgb *>(dst);
            const int step = bits / 8;
            for (int x = 0; x < w; ++x)
                px[x] = qRgb(src[x * step + 2], src[x * step + 1], src[x * step]);
        }
    }
    return image;
}

// A frame of the picture's size for what cannot be drawn.
QImage placeholder(qreal width, qreal height)
{
    const qreal scale = qMin<qreal>(1.0, 512.0 / qMax<qreal>(1.0, qMax(width, height)));
    const int w = qMax(8, int(std::ceil(width * scale))), h = qMax(8, int(std::ceil(height * scale)));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawRect(0, 0, w - 1, h - 1);
    p.drawLine(0, 0, w - 1, h - 1);
    p.drawLine(0, h - 1, w - 1, 0);
    return image;
}

// --- The document being built ---------------------------------------------

class Builder {
public:
    Builder(QTextDocument *doc, double unitsPerInch, Catalog &catalog, ReadNotes &notes)
        : m_doc(doc)
        , m_upi(unitsPerInch)
        , m_catalog(catalog)
        , m_notes(notes)
        , m_cursor(doc)
        , m_hang(bulletHang(*doc))
    {
        m_base = doc->defaultFont();
    }

    int depth() const { return int(m_open.size()); }
    int cells() const { return m_cells; }

    // A paragraph at table level `level` (0: the body).
    void place(std::unique_ptr<Para> p, int level)
    {
        setDepth(level);
        if (level == 0) {
            emitTop(std::move(p));
            return;
        }
        m_open.front().table.height += estimatedHeight(*p);
        m_open.back().cell.items.push_back(Item{std::move(p), nullptr});
    }

    void endCell(int level)
    {
        setDepth(level);
        Open &o = m_open.back();
        if (o.cell.items.empty())
            o.cell.items.push_back(Item{std::make_unique<Para>(), nullptr});
        if (int(o.row.cells.size()) >= kMaxColumns) {
            // Cells past the last column go into it.
            auto &last = o.row.cells.back().items;
            for (Item &i : o.cell.items)
                last.push_back(std::move(i));
        } else {
            o.row.cells.push_back(std::move(o.cell));
            ++m_cells;
        }
        o.cell = Cell();
    }

    void endRow(int level, const RowDef &def)
    {
        setDepth(level);
        Open &o = m_open.back();
        if (!o.cell.items.empty())
            endCell(level);
        if (o.row.cells.empty())
            return;
        o.row.def = def;
        o.table.borders = o.table.borders || def.borders;
        o.table.cells += int(o.row.cells.size());
        o.table.rows.push_back(std::move(o.row));
        o.row = Row();
        if (level == 1 && (o.table.cells >= kMaxTableCells || o.table.height >= kMaxParagraphHeight)) {
            // The rest of a long table goes on in a new one, which is laid
            // out apart.
            Table t = std::move(o.table);
            o.table = Table();
            insertTable(m_cursor, t, m_fresh);
            ++m_notes.splitTables;
        }
    }

    void closeTables() { setDepth(0); }
    // Whether the document is as long as the layout can take: what comes
    // after is not read.
    bool full() const { return m_blocks >= kMaxParagraphs || m_height >= kMaxLayoutHeight; }

private:
    struct Open {
        Table table;
        Row row;
        Cell cell;
    };

    void setDepth(int level)
    {
        while (int(m_open.size()) > level)
            closeInnermost();
        while (int(m_open.size()) < level)
            m_open.emplace_back();
    }

    void closeInnermost()
    {
        Open o = std::move(m_open.back());
        m_open.pop_back();
        if (!o.cell.items.empty() || !o.row.cells.empty()) {
            if (!o.cell.items.empty()) {
                o.row.cells.push_back(std::move(o.cell));
                ++m_cells;
            }
            o.table.cells += int(o.row.cells.size());
            o.table.rows.push_back(std::move(o.row));
        }
        if (o.table.rows.empty())
            return;
        auto t = std::make_unique<Table>(std::move(o.table));
        if (m_open.empty()) {
            insertTable(m_cursor, *t, m_fresh);
            m_emptyRun = 0;
        } else {
            m_open.back().cell.items.push_back(Item{nullptr, std::move(t)});
        }
    }

    void emitTop(std::unique_ptr<Para> p)
    {
        if (p->text.isEmpty()) {
            if (++m_emptyRun > kMaxEmptyRun) {
                ++m_notes.droppedEmpty;
                return;
            }
        } else {
            m_emptyRun = 0;
        }
        insertPara(m_cursor, *p, m_fresh);
    }

    QTextCharFormat charFormat(int index)
    {
        if (index < int(m_formats.size()) && m_made[index])
            return m_formats[index];
        if (index >= int(m_formats.size())) {
            m_formats.resize(index + 1);
            m_made.resize(index + 1, false);
        }
        const CharProps &p = m_catalog.formats[index];
        QTextCharFormat f;
        const int number = p.font < 0 ? m_catalog.deff : p.font;
        const auto font = m_catalog.fonts.constFind(number);
        f.setFontFamilies({font != m_catalog.fonts.constEnd() && !font->name.isEmpty() ? font->name : m_base.family()});
        f.setFontPointSize(p.halfPoints / 2.0);
        f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(p.italic);
        f.setFontUnderline(p.underline);
        f.setFontStrikeOut(p.strike);
        const auto &colours = m_catalog.colours;
        if (p.colour > 0 && p.colour < colours.size() && colours.at(p.colour).isValid())
            f.setForeground(colours.at(p.colour));
        if (p.highlight > 0 && p.highlight < colours.size() && colours.at(p.highlight).isValid())
            f.setBackground(colours.at(p.highlight));
        if (p.vertical != 0)
            f.setVerticalAlignment(p.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                  : QTextCharFormat::AlignSubScript);
        m_formats[index] = f;
        m_made[index] = true;
        return f;
    }

    QTextBlockFormat blockFormat(const Para &p, bool listed) const
    {
        QTextBlockFormat bf;
        switch (p.props.align) {
        case 1: bf.setAlignment(Qt::AlignHCenter); break;
        case 2: bf.setAlignment(Qt::AlignRight); break;
        case 3: bf.setAlignment(Qt::AlignJustify); break;
        default: bf.setAlignment(Qt::AlignLeft); break;
        }
        qreal left = fromTwips(p.props.li, m_upi);
        qreal first = fromTwips(p.props.fi, m_upi);
        if (listed) {
            left -= m_hang * (p.list.level + 1);
            first += m_hang;
        }
        bf.setLeftMargin(qMax<qreal>(0, left));
        bf.setTextIndent(first);
        bf.setRightMargin(qMax<qreal>(0, fromTwips(p.props.ri, m_upi)));
        bf.setTopMargin(qMax<qreal>(0, fromTwips(p.props.sb, m_upi)));
        bf.setBottomMargin(qMax<qreal>(0, fromTwips(p.props.sa, m_upi)));
        if (p.props.pageBreak)
            bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        return bf;
    }

    void newBlock(QTextCursor &c, const QTextBlockFormat &bf, const QTextCharFormat &mark, bool &fresh)
    {
        if (fresh) {
            c.setBlockFormat(bf);
            c.setBlockCharFormat(mark);
            c.setCharFormat(mark);
            fresh = false;
        } else {
            c.insertBlock(bf, mark);
        }
        ++m_blocks;
    }

    struct ListSlot {
        QTextList *list = nullptr;
        int count = 0;
        bool written = false; // numbers written into the text from here on
    };

    void prependText(Para &p, const QString &s)
    {
        p.text.prepend(s);
        for (std::size_t i = 1; i < p.runs.size(); ++i)
            p.runs[i].first += int(s.size());
        if (p.runs.empty())
            p.runs.push_back({0, p.mark});
        for (auto &o : p.objects)
            o.first += int(s.size());
    }

    void insertPara(QTextCursor &c, Para &p, bool &fresh)
    {
        const QTextCharFormat mark = charFormat(p.mark);
        if (p.list.kind == Pn::None) {
            newBlock(c, blockFormat(p, false), mark, fresh);
            insertContent(c, p);
            return;
        }
        ListSlot &slot = m_lists[p.list.key];
        const bool first = slot.count == 0 && !slot.list && !slot.written;
        if (first) {
            slot.count = p.list.start - 1;
            slot.written = p.list.start - 1 > kMaxListItems / 2 || m_listed + p.list.start > kMaxListedItems;
        } else if (!slot.written && (slot.list->count() >= kMaxListItems || m_listed >= kMaxListedItems)) {
            slot.written = true;
        }
        ++slot.count;
        if (slot.written) {
            ++m_notes.writtenNumbers;
            const QString number = p.list.kind == Pn::Bullet
                                       ? QStringLiteral("•")
                                       : p.list.prefix + numberText(p.list.style, slot.count) + p.list.suffix;
            prependText(p, number + QLatin1Char('\t'));
            newBlock(c, blockFormat(p, false), mark, fresh);
            insertContent(c, p);
            return;
        }
        QTextBlockFormat bf = blockFormat(p, true);
        if (first) {
            QTextListFormat lf;
            lf.setStyle(QTextListFormat::Style(p.list.style));
            lf.setIndent(p.list.level + 1);
            if (p.list.kind == Pn::Number) {
                lf.setNumberPrefix(p.list.prefix);
                lf.setNumberSuffix(p.list.suffix);
            }
            // Qt 6.4 counts every list from 1: a later start is made by
            // invisible items before the first.
            QTextBlockFormat pad = bf;
            pad.setProperty(kListPadProperty, true);
            for (int i = 1; i < p.list.start; ++i) {
                newBlock(c, pad, mark, fresh);
                if (slot.list)
                    slot.list->add(c.block());
                else
                    slot.list = c.createList(lf);
                c.block().setVisible(false);
                ++m_listed;
            }
            newBlock(c, bf, mark, fresh);
            if (slot.list)
                slot.list->add(c.block());
            else
                slot.list = c.createList(lf);
        } else {
            newBlock(c, bf, mark, fresh);
            slot.list->add(c.block());
        }
        ++m_listed;
        insertContent(c, p);
    }

    void insertRange(QTextCursor &c, const Para &p, int from, int to, std::size_t &run)
    {
        while (from < to) {
            while (run + 1 < p.runs.size() && p.runs[run + 1].first <= from)
                ++run;
            const int end = run + 1 < p.runs.size() ? qMin(to, p.runs[run + 1].first) : to;
            const int format = p.runs.empty() ? p.mark : p.runs[run].second;
            c.insertText(p.text.mid(from, end - from), charFormat(format));
            from = end;
        }
    }

    // The height the paragraph takes, estimated high: a narrow text
    // column, the largest letters of the paragraph for every line.
    qreal estimatedHeight(const Para &p) const
    {
        int halfPoints = m_catalog.formats[p.mark].halfPoints;
        for (const auto &r : p.runs)
            halfPoints = qMax<int>(halfPoints, m_catalog.formats[r.second].halfPoints);
        const qreal letter = halfPoints / 2.0 * m_upi / 72.0;
        const qreal lines = 1 + p.text.count(QChar(QChar::LineSeparator)) + p.text.size() * 0.6 * letter / 400.0;
        qreal height = lines * letter * 1.3 + fromTwips(p.props.sb, m_upi) + fromTwips(p.props.sa, m_upi);
        for (const auto &o : p.objects)
            height += o.second.height;
        return height;
    }

    void insertContent(QTextCursor &c, Para &p)
    {
        m_height += estimatedHeight(p);
        std::size_t run = 0;
        int at = 0;
        for (auto &[pos, object] : p.objects) {
            insertRange(c, p, at, pos, run);
            QTextCharFormat f = charFormat(object.format);
            if (object.hidden) {
                f.setObjectType(kHiddenTextObject);
                f.setProperty(kHiddenTextProperty, object.text);
                c.insertText(QString(QChar::ObjectReplacementCharacter), f);
            } else {
                const QString name = QStringLiteral("rtf-picture-%1").arg(++m_pictures);
                m_doc->addResource(QTextDocument::ImageResource, QUrl(name), object.image);
                m_doc->addResource(QTextDocument::UserResource, QUrl(keptBytesName(name)),
                                  QVariant::fromValue(object.bytes));
                QTextImageFormat image;
                image.merge(f);
                image.setName(name);
                image.setWidth(object.width);
                image.setHeight(object.height);
                c.insertImage(image);
                object.image = QImage();
            }
            at = pos + 1;
        }
        insertRange(c, p, at, int(p.text.size()), run);
    }

    void insertItems(QTextCursor &c, std::vector<Item> &items, bool &fresh)
    {
        for (Item &i : items) {
            if (i.para)
                insertPara(c, *i.para, fresh);
            else
                insertTable(c, *i.table, fresh);
        }
    }

    void insertTable(QTextCursor &c, Table &t, bool &fresh)
    {
        int columns = 0;
        const RowDef *widest = nullptr;
        for (const Row &r : t.rows) {
            if (int(r.cells.size()) > columns)
                columns = int(r.cells.size());
            if (!widest || r.def.cells.size() > widest->cells.size())
                widest = &r.def;
        }
        if (columns == 0)
            return;
        QTextTableFormat tf;
        tf.setBorder(t.borders ? 1 : 0);
        tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        tf.setCellSpacing(0);
        tf.setCellPadding(2);
        tf.setAlignment(Qt::AlignLeft);
        QList<QTextLength> widths;
        int left = widest ? widest->left : 0;
        for (int i = 0; i < columns; ++i) {
            if (widest && i < int(widest->cells.size()) && widest->cells[i].right > left) {
                widths << QTextLength(QTextLength::FixedLength,
                                      fromTwips(widest->cells[i].right - left, m_upi));
                left = widest->cells[i].right;
            } else {
                widths << QTextLength(QTextLength::VariableLength, 0);
            }
        }
        tf.setColumnWidthConstraints(widths);
        // A table stands after a paragraph: an empty one where there is none.
        QTextTable *table = c.insertTable(int(t.rows.size()), columns, tf);
        for (int r = 0; r < int(t.rows.size()); ++r) {
            Row &row = t.rows[r];
            for (int k = 0; k < int(row.cells.size()); ++k) {
                QTextCursor cell = table->cellAt(r, k).firstCursorPosition();
                bool cellFresh = true;
                insertItems(cell, row.cells[k].items, cellFresh);
            }
        }
        // Merged cells, from the last so that earlier merges keep their places.
        for (int r = int(t.rows.size()) - 1; r >= 0; --r) {
            const auto &defs = t.rows[r].def.cells;
            for (int k = int(defs.size()) - 1; k >= 0 && k < columns; --k) {
                if (defs[k].hFirst) {
                    int span = 1;
                    while (k + span < int(defs.size()) && k + span < columns && defs[k + span].hCont)
                        ++span;
                    if (span > 1)
                        table->mergeCells(r, k, 1, span);
                }
            }
        }
        for (int k = 0; k < columns; ++k) {
            for (int r = 0; r < int(t.rows.size()); ++r) {
                const auto &defs = t.rows[r].def.cells;
                if (k >= int(defs.size()) || !defs[k].vFirst)
                    continue;
                int span = 1;
                while (r + span < int(t.rows.size()) && k < int(t.rows[r + span].def.cells.size()) &&
                       t.rows[r + span].def.cells[k].vCont)
                    ++span;
                if (span > 1 && table->cellAt(r, k).columnSpan() == 1)
                    table->mergeCells(r, k, span, 1);
            }
        }
        c = table->lastCursorPosition();
        c.movePosition(QTextCursor::NextBlock);
        fresh = true;
        t.rows.clear();
    }

    QTextDocument *m_doc;
    double m_upi;
    Catalog &m_catalog;
    ReadNotes &m_notes;
    QTextCursor m_cursor;
    bool m_fresh = true;
    qreal m_hang;
    QFont m_base;
    std::vector<Open> m_open;
    std::vector<QTextCharFormat> m_formats;
    std::vector<bool> m_made;
    std::unordered_map<quint64, ListSlot> m_lists;
    int m_listed = 0;
    int m_blocks = 0;
    int m_cells = 0;
    int m_emptyRun = 0;
    int m_pictures = 0;
    qreal m_height = 0; // the text's height so far, estimated high
};

// --- Control words ----------------------------------------------------------

enum class W : quint8 {
    Unknown,
    // groups and destinations
    Fonttbl, Colortbl, Listtable, Listoverridetable, List, Listlevel, Leveltext, Listoverride, Lfolevel,
    Pn, PnTxta, PnTxtb, Shppict, Nonshppict, Pict, Object, Result, Field, Fldrslt, Nesttableprops,
    Nonesttables, Skipped, Shp, Shpinst, Sp, Shprslt,
    // lists
    Listid, Ls, Ilvl, Levelnfc, Levelstartat, PnLvlBlt, PnLvlBody, PnLvl, PnLvlCont, PnDec, PnUcLtr,
    PnLcLtr, PnUcRm, PnLcRm, PnStart,
    // pictures
    Pngblip, Jpegblip, Dibitmap, Wbitmap, Undrawable, Picw, Pich, Picwgoal, Pichgoal, Picscalex, Picscaley,
    Piccropl, Piccropr, Piccropt, Piccropb, Wbmbitspixel, Wbmplanes, Wbmwidthbytes, Bin,
    // characters
    Par, Sect, Page, Line, Tab, Cell, Nestcell, Row, Nestrow, Emdash, Endash, Bullet, Lquote, Rquote,
    Ldblquote, Rdblquote, Emspace, Enspace, Qmspace, U, Uc,
    // document
    Ansi, Ansicpg, Mac, Pc, Pca, Deff, Deflang, F, Fcharset, Cpg, Red, Green, Blue,
    // character format
    Plain, Fs, B, I, Ul, Ulnone, Strike, Cf, Highlight, Super, Sub, Nosupersub, V, Lang,
    // paragraph format
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Pagebb, Intbl, Itap,
    // tables
    Trowd, Trleft, Cellx, Clmgf, Clmrg, Clvmgf, Clvmrg, Clbrdr, Brdrnone,
};

const std::unordered_map<std::string_view, W> &words()
{
    static const std::unordered_map<std::string_view, W> map = [] {
        std::unordered_map<std::string_view, W> m{
            {"fonttbl", W::Fonttbl}, {"colortbl", W::Colortbl}, {"listtable", W::Listtable},
            {"listoverridetable", W::Listoverridetable}, {"list", W::List}, {"listlevel", W::Listlevel},
            {"leveltext", W::Leveltext}, {"listoverride", W::Listoverride}, {"lfolevel", W::Lfolevel},
            {"pn", W::Pn}, {"pntxta", W::PnTxta}, {"pntxtb", W::PnTxtb}, {"shppict", W::Shppict},
            {"nonshppict", W::Nonshppict}, {"pict", W::Pict}, {"object", W::Object}, {"result", W::Result},
            {"field", W::Field}, {"fldrslt", W::Fldrslt}, {"nesttableprops", W::Nesttableprops},
            {"nonesttables", W::Nonesttables}, {"shp", W::Shp}, {"shpinst", W::Shpinst}, {"sp", W::Sp},
            {"shprslt", W::Shprslt},
            {"listid", W::Listid}, {"ls", W::Ls}, {"ilvl", W::Ilvl}, {"levelnfc", W::Levelnfc},
            {"levelnfcn", W::Levelnfc}, {"levelstartat", W::Levelstartat}, {"pnlvlblt", W::PnLvlBlt},
            {"pnlvlbody", W::PnLvlBody}, {"pnlvl", W::PnLvl}, {"pnlvlcont", W::PnLvlCont}, {"pndec", W::PnDec},
            {"pnucltr", W::PnUcLtr}, {"pnlcltr", W::PnLcLtr}, {"pnucrm", W::PnUcRm}, {"pnlcrm", W::PnLcRm},
            {"pnstart", W::PnStart},
            {"pngblip", W::Pngblip}, {"jpegblip", W::Jpegblip}, {"dibitmap", W::Dibitmap},
            {"wbitmap", W::Wbitmap}, {"wmetafile", W::Undrawable}, {"emfblip", W::Undrawable},
            {"macpict", W::Undrawable}, {"pmmetafile", W::Undrawable}, {"picw", W::Picw}, {"pich", W::Pich},
            {"picwgoal", W::Picwgoal}, {"pichgoal", W::Pichgoal}, {"picscalex", W::Picscalex},
            {"picscaley", W::Picscaley}, {"piccropl", W::Piccropl}, {"piccropr", W::Piccropr},
            {"piccropt", W::Piccropt}, {"piccropb", W::Piccropb}, {"wbmbitspixel", W::Wbmbitspixel},
            {"wbmplanes", W::Wbmplanes}, {"wbmwidthbytes", W::Wbmwidthbytes}, {"bin", W::Bin},
            {"par", W::Par}, {"sect", W::Sect}, {"page", W::Page}, {"line", W::Line}, {"tab", W::Tab},
            {"cell", W::Cell}, {"nestcell", W::Nestcell}, {"row", W::Row}, {"nestrow", W::Nestrow},
            {"emdash", W::Emdash}, {"endash", W::Endash}, {"bullet", W::Bullet}, {"lquote", W::Lquote},
            {"rquote", W::Rquote}, {"ldblquote", W::Ldblquote}, {"rdblquote", W::Rdblquote},
            {"emspace", W::Emspace}, {"enspace", W::Enspace}, {"qmspace", W::Qmspace}, {"u", W::U},
            {"uc", W::Uc},
            {"ansi", W::Ansi}, {"ansicpg", W::Ansicpg}, {"mac", W::Mac}, {"pc", W::Pc}, {"pca", W::Pca},
            {"deff", W::Deff}, {"deflang", W::Deflang}, {"f", W::F}, {"fcharset", W::Fcharset},
            {"cpg", W::Cpg}, {"red", W::Red}, {"green", W::Green}, {"blue", W::Blue},
            {"plain", W::Plain}, {"fs", W::Fs}, {"b", W::B}, {"i", W::I}, {"ulnone", W::Ulnone},
            {"strike", W::Strike}, {"striked", W::Strike}, {"cf", W::Cf}, {"highlight", W::Highlight},
            {"chcbpat", W::Highlight}, {"cb", W::Highlight}, {"super", W::Super}, {"sub", W::Sub},
            {"nosupersub", W::Nosupersub}, {"v", W::V}, {"lang", W::Lang},
            {"pard", W::Pard}, {"ql", W::Ql}, {"qc", W::Qc}, {"qr", W::Qr}, {"qj", W::Qj}, {"qd", W::Qj},
            {"li", W::Li}, {"ri", W::Ri}, {"fi", W::Fi}, {"sb", W::Sb}, {"sa", W::Sa}, {"pagebb", W::Pagebb},
            {"intbl", W::Intbl}, {"itap", W::Itap},
            {"trowd", W::Trowd}, {"trleft", W::Trleft}, {"cellx", W::Cellx}, {"clmgf", W::Clmgf},
            {"clmrg", W::Clmrg}, {"clvmgf", W::Clvmgf}, {"clvmrg", W::Clvmrg}, {"clbrdrt", W::Clbrdr},
            {"clbrdrl", W::Clbrdr}, {"clbrdrb", W::Clbrdr}, {"clbrdrr", W::Clbrdr}, {"brdrnone", W::Brdrnone},
            {"brdrnil", W::Brdrnone},
        };
        for (const char *u : {"ul", "uld", "uldb", "ulw", "uldash", "uldashd", "uldashdd", "ulth", "ulwave",
                              "ulhwave", "ululdbwave", "ulthd", "ulthdash", "ulldash", "ulthldash",
                              "ulthdashd", "ulthdashdd"})
            m.emplace(u, W::Ul);
        for (const char *s :
             {"stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
              "footerf", "footnote", "annotation", "fldinst", "xe", "tc", "txe", "rxe", "pntext", "listtext",
              "revtbl", "rsidtbl", "filetbl", "generator", "themedata", "colorschememapping", "datastore",
              "latentstyles", "author", "operator", "title", "subject", "keywords", "comment", "doccomm",
              "private", "template", "buptim", "creatim", "printim", "revtim", "objdata", "bkmkstart",
              "bkmkend", "userprops", "docvar", "xmlnstbl", "mmathPr", "wgrffmtfilter", "pgdsctbl",
              "listname", "levelnumbers", "listpicture", "fonttable", "pgptbl", "protusertbl", "do",
              "shptxt", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn"})
            m.emplace(s, W::Skipped);
        return m;
    }();
    return map;
}

struct ListLevel {
    int nfc = 0;
    int start = 1;
    QString text; // the level text: characters below U+0010 stand for level numbers
};

struct ListDef {
    int id = 0;
    std::vector<ListLevel> levels;
};

struct Override {
    int listId = 0;
    int ls = 0;
    std::vector<std::pair<int, int>> starts; // level, start
};

// --- The reader ----------------------------------------------------------------

class Reader {
public:
    Reader(const QByteArray &bytes, QTextDocument *doc, double unitsPerInch)
        : m_in(bytes)
        , m_doc(doc)
        , m_upi(unitsPerInch)
    {
    }

    ReadResult run();

private:
    // Input
    void controlWord();
    void controlSymbol(char c);
    void text(char c);
    void hexByte(uchar b);

    // Groups
    void openGroup();
    void closeGroup();
    State &st() { return m_stack.back(); }

    // Text
    int codePage(Dest d) const;
    void flushBytes();
    void appendChar(QChar c);
    void appendText(QStringView s);
    void flushHidden();
    void addObject(Object &&o);
    void endParagraph(bool last = false);
    void cutEarly();
    void placePieces(std::unique_ptr<Para> p, int level, bool tailFollows = false);
    void placeCut(std::unique_ptr<Para> p, int level, bool tailFollows);
    bool stopWhenFull();
    ListRef listOf(const ParaProps &props);
    int tableLevel() const;
    void endCell(int level);
    void endRow(int level);
    void endPicture(const CharProps &props);

    const QByteArray &m_in;
    QTextDocument *m_doc;
    double m_upi;
    qsizetype m_pos = 0;
    std::vector<State> m_stack;
    int m_excess = 0;    // groups opened beyond kMaxDepth and not yet closed
    int m_excessSkip = 0; // of those, the depth where skipping began (0: none)
    State m_final;
    bool m_star = false;
    bool m_finished = false;
    int m_fallbackLeft = 0;

    Codecs m_codecs;
    int m_ansiCpg = 0; // \ansicpg, or \mac \pc \pca
    int m_deflang = 0;
    Catalog m_catalog;
    int m_fontEntry = 0;
    QString m_fontName;
    int m_red = -1, m_green = -1, m_blue = -1;

    QByteArray m_pendingBytes;
    int m_pendingCp = 0;
    Dest m_pendingDest = Dest::Text;

    std::vector<ListDef> m_listDefs;
    std::vector<Override> m_overrides;
    // The level text being read: list and level (-1: none). Indices, as
    // the lists grow while they are read.
    int m_levelList = -1, m_levelIndex = -1;
    QString *levelText()
    {
        if (m_levelList < 0 || m_levelList >= int(m_listDefs.size()) || m_levelIndex < 0 ||
            m_levelIndex >= int(m_listDefs[m_levelList].levels.size()))
            return nullptr;
        return &m_listDefs[m_levelList].levels[m_levelIndex].text;
    }
    std::vector<std::pair<QString, QString>> m_pnTexts;
    std::unordered_map<quint64, int> m_levelGeneration; // (ls, level) -> generation
    quint64 m_pnChain = 0;     // the WordPad list the last paragraph belonged to
    ParaProps m_pnLast;        // its properties
    int m_pnLastNumber = 0;
    bool m_pnLastListed = false;

    std::unique_ptr<Para> m_para = std::make_unique<Para>();
    int m_runs = 0;
    QString m_hidden;       // hidden text in progress
    int m_hiddenFormat = 0;
    Pict m_pict;
    bool m_shppictEnded = false; // a picture just ended: a \nonshppict now is its copy
    bool m_pageBreakNext = false; // after \page
    RowDef m_rowDefs[kMaxTableDepth + 1];
    bool m_borderPending = false;
    bool m_tablesOff = false;
    qint64 m_pixels = 0;
    bool m_sawPar = false;
    int m_placed = 0; // paragraphs read

    ReadNotes m_notes;
    std::unique_ptr<Builder> m_builder;
};

void Reader::openGroup()
{
    flushBytes();
    m_fallbackLeft = 0;
    m_star = false;
    if (int(m_stack.size()) >= kMaxDepth) {
        // Deeper groups are read with the formatting of the deepest level.
        ++m_excess;
        return;
    }
    State child = m_stack.empty() ? State() : m_stack.back();
    if (child.dest == Dest::Pict)
        child.dest = Dest::Skip; // \picprop, \blipuid: no picture data
    m_stack.push_back(child);
}

void Reader::closeGroup()
{
    flushBytes();
    m_fallbackLeft = 0;
    m_star = false;
    if (m_excess > 0) {
        if (m_excessSkip == m_excess)
            m_excessSkip = 0;
        --m_excess;
        return;
    }
    if (m_stack.empty())
        return;
    flushHidden();
    const State leaving = m_stack.back();
    if (m_stack.size() == 1)
        m_final = leaving;
    m_stack.pop_back();
    if (leaving.dest == Dest::Pict && (m_stack.empty() || m_stack.back().dest != Dest::Pict)) {
        endPicture(leaving.ch);
        m_shppictEnded = true;
    }
    // A font entry without its closing ";" still names its font.
    if (leaving.dest == Dest::FontTable && !m_fontName.trimmed().isEmpty()) {
        m_catalog.fonts[m_fontEntry].name = m_fontName.trimmed();
        m_fontName.clear();
    }
    if (leaving.dest == Dest::LevelText && (m_stack.empty() || m_stack.back().dest != Dest::LevelText))
        m_levelList = m_levelIndex = -1;
    if (m_stack.empty())
        m_finished = true;
}

int Reader::codePage(Dest d) const
{
    const State &s = m_stack.back();
    const Font *font = nullptr;
    if (d == Dest::FontTable) {
        const auto it = m_catalog.fonts.constFind(m_fontEntry);
        font = it == m_catalog.fonts.constEnd() ? nullptr : &*it;
    } else {
        const int f = s.ch.font < 0 ? m_catalog.deff : s.ch.font;
        const auto it = m_catalog.fonts.constFind(f);
        font = it == m_catalog.fonts.constEnd() ? nullptr : &*it;
    }
    if (font) {
        if (const int cp = codePageOfCharset(font->charset))
            return cp;
        if (font->cpg > 0)
            return font->cpg;
    }
    if (m_ansiCpg)
        return m_ansiCpg;
    if (const int cp = codePageOfLanguage(s.lang ? s.lang : m_deflang))
        return cp;
    return 1251; // this program's files
}

void Reader::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    QString s;
    m_codecs.decode(m_pendingCp, m_pendingBytes, s);
    m_pendingBytes.clear();
    switch (m_pendingDest) {
    case Dest::FontTable: m_fontName += s; break;
    case Dest::Text: appendText(s); break;
    case Dest::PnBefore:
    case Dest::PnAfter:
        if (st().para.pnText >= 0) {
            auto &t = m_pnTexts[st().para.pnText];
            (m_pendingDest == Dest::PnBefore ? t.first : t.second) += s;
        }
        break;
    case Dest::LevelText:
        if (QString *t = levelText())
            *t += s;
        break;
    default: break;
    }
}

void Reader::hexByte(uchar b)
{
    const Dest d = m_stack.back().dest;
    if (d == Dest::Pict) {
        m_pict.data += char(b);
        return;
    }
    if (d == Dest::LevelText) {
        // The level text: its length, then characters with the places of
        // the level numbers as bytes 0 to 8.
        flushBytes();
        if (QString *t = levelText(); t && b < 0x10)
            *t += QChar(char16_t(b));
        else if (t)
            m_codecs.decode(codePage(d), QByteArray(1, char(b)), *t);
        return;
    }
    if (d != Dest::Text && d != Dest::FontTable && d != Dest::PnBefore && d != Dest::PnAfter)
        return;
    if (m_excessSkip)
        return;
    const int cp = codePage(d);
    if (!m_pendingBytes.isEmpty() && (cp != m_pendingCp || d != m_pendingDest))
        flushBytes();
    m_pendingCp = cp;
    m_pendingDest = d;
    m_pendingBytes += char(b);
}

void Reader::appendChar(QChar c)
{
    flushBytes();
    const Dest d = m_stack.back().dest;
    if (m_excessSkip)
        return;
    if (d == Dest::Text)
        appendText(QStringView(&c, 1));
    else if (d == Dest::FontTable)
        m_fontName += c;
    else if ((d == Dest::PnBefore || d == Dest::PnAfter) && st().para.pnText >= 0)
        (d == Dest::PnBefore ? m_pnTexts[st().para.pnText].first : m_pnTexts[st().para.pnText].second) += c;
    else if (QString *t = levelText(); d == Dest::LevelText && t)
        *t += c;
}

void Reader::flushHidden()
{
    if (m_hidden.isEmpty())
        return;
    Object o;
    o.hidden = true;
    o.format = m_hiddenFormat;
    o.text = m_hidden;
    m_hidden.clear();
    addObject(std::move(o));
}

void Reader::addObject(Object &&o)
{
    Para &p = *m_para;
    if (p.runs.empty() || p.runs.back().second != o.format)
        p.runs.push_back({int(p.text.size()), o.format});
    p.objects.push_back({int(p.text.size()), std::move(o)});
    p.text += QChar(QChar::ObjectReplacementCharacter);
    m_shppictEnded = false;
}

void Reader::appendText(QStringView text)
{
    // A control character (other than a tab) or an object mark is no text,
    // however it was written (\'hh, \uN).
    QString s;
    s.reserve(text.size());
    for (const QChar ch : text)
        if (!((ch.unicode() < 0x20 && ch.unicode() != '\t') || ch == QChar::ObjectReplacementCharacter))
            s += ch;
    if (s.isEmpty())
        return;
    m_shppictEnded = false;
    const CharProps &props = m_stack.back().ch;
    if (props.hidden) {
        const int format = m_catalog.indexOf(props);
        if (!m_hidden.isEmpty() && format != m_hiddenFormat)
            flushHidden();
        m_hiddenFormat = format;
        m_hidden += s;
        return;
    }
    flushHidden();
    Para &p = *m_para;
    if (p.runs.empty() || m_runs < kMaxFormatRuns) {
        const int format = m_catalog.indexOf(props);
        if (p.runs.empty() || p.runs.back().second != format) {
            if (!p.runs.empty() && p.runs.back().first == p.text.size())
                p.runs.back().second = format;
            else
                p.runs.push_back({int(p.text.size()), format});
            if (++m_runs >= kMaxFormatRuns)
                m_notes.formatsDropped = true;
        }
    }
    p.text += s;
    if (p.text.size() >= 2 * kLongParagraph)
        cutEarly();
}

// Pieces of a paragraph too long to lay out go to the document as soon as
// they are complete, so that no paragraph is held whole in memory.
void Reader::cutEarly()
{
    Para &p = *m_para;
    qsizetype from = -1;
    for (qsizetype at = nextCut(p.text, 0); at >= 0; at = nextCut(p.text, at))
        from = at;
    if (from <= 0)
        return;
    // The part before the last cut goes now; the rest stays to be read on.
    auto rest = std::make_unique<Para>();
    rest->continued = true;
    rest->text = p.text.mid(from);
    int format = p.runs.empty() ? 0 : p.runs.front().second;
    for (const auto &r : p.runs) {
        if (r.first <= from)
            format = r.second;
        else
            rest->runs.push_back({int(r.first - from), r.second});
    }
    rest->runs.insert(rest->runs.begin(), {0, format});
    for (auto &o : p.objects)
        if (o.first >= from)
            rest->objects.push_back({int(o.first - from), std::move(o.second)});
    std::erase_if(p.objects, [from](const auto &o) { return o.first >= from; });
    std::erase_if(p.runs, [from](const auto &r) { return r.first >= from; });
    p.text.truncate(from);
    p.props = st().para;
    p.props.li = qBound(0, p.props.li, kMaxTwips);
    p.props.pageBreak = p.props.pageBreak || m_pageBreakNext;
    p.mark = m_catalog.indexOf(st().ch);
    if (!p.continued)
        p.list = listOf(p.props);
    std::unique_ptr<Para> head = std::move(m_para);
    m_para = std::move(rest);
    m_pageBreakNext = false;
    placePieces(std::move(head), tableLevel(), true);
}

int Reader::tableLevel() const
{
    if (m_tablesOff)
        return 0;
    return qMin(m_stack.back().para.level(), kMaxTableDepth);
}

ListRef Reader::listOf(const ParaProps &props)
{
    ListRef ref;
    if (props.ls > 0) {
        const Override *ov = nullptr;
        for (const Override &o : m_overrides)
            if (o.ls == props.ls)
                ov = &o;
        const ListDef *def = nullptr;
        if (ov)
            for (const ListDef &d : m_listDefs)
                if (d.id == ov->listId)
                    def = &d;
        if (def) {
            const int level = qBound(0, int(props.ilvl), 8);
            ListLevel lv = level < int(def->levels.size()) ? def->levels[level] : ListLevel();
            for (const auto &[l, start] : ov->starts)
                if (l == level && start >= 0)
                    lv.start = start;
            ref.level = qint8(level);
            ref.start = qBound(1, lv.start, 1000000);
            switch (lv.nfc) {
            case 23: case 255: ref.kind = Pn::Bullet; ref.style = QTextListFormat::ListDisc; break;
            case 1: ref.kind = Pn::Number; ref.style = QTextListFormat::ListUpperRoman; break;
            case 2: ref.kind = Pn::Number; ref.style = QTextListFormat::ListLowerRoman; break;
            case 3: ref.kind = Pn::Number; ref.style = QTextListFormat::ListUpperAlpha; break;
            case 4: ref.kind = Pn::Number; ref.style = QTextListFormat::ListLowerAlpha; break;
            default: ref.kind = Pn::Number; ref.style = QTextListFormat::ListDecimal; break;
            }
            if (lv.nfc == 255) // no number at all: a plain paragraph
                ref.kind = Pn::None;
            if (ref.kind == Pn::Number) {
                // The text around this level's number; numbers of the
                // levels above are not shown.
                const QString &t = lv.text;
                qsizetype at = -1;
                for (qsizetype i = 1; i < t.size(); ++i)
                    if (t.at(i).unicode() == char16_t(level))
                        at = i;
                if (at > 0) {
                    // The text before the first number is this level's
                    // when its number is the first; what stands between
                    // numbers belongs to the levels above.
                    const auto isLevel = [](QChar c) { return c.unicode() < 0x10; };
                    qsizetype first = 1;
                    while (first < at && !isLevel(t.at(first)))
                        ++first;
                    qsizetype after = at + 1;
                    while (after < t.size() && !isLevel(t.at(after)))
                        ++after;
                    if (first == at)
                        ref.prefix = t.mid(1, at - 1);
                    ref.suffix = t.mid(at + 1, after - at - 1);
                } else {
                    ref.suffix = QStringLiteral(".");
                }
            }
            // A higher level item starts the lists below it anew.
            for (int l = level + 1; l < 9; ++l)
                ++m_levelGeneration[quint64(props.ls) << 8 | quint64(l)];
            const quint64 generation = m_levelGeneration[quint64(props.ls) << 8 | quint64(level)];
            ref.key = quint64(props.ls) << 40 | quint64(level) << 32 | (generation & 0xFFFFFFFF);
            m_pnLastListed = false;
            return ref;
        }
    }
    if (props.pn == Pn::None) {
        if (props.ls > 0) {
            // A list without its table: a bullet.
            ref.kind = Pn::Bullet;
            ref.style = QTextListFormat::ListDisc;
            ref.key = quint64(props.ls) << 40 | 0xFFFFFFFFull;
        }
        m_pnLastListed = false;
        return ref;
    }
    ref.kind = props.pn;
    ref.style = props.pn == Pn::Bullet ? qint8(QTextListFormat::ListDisc) : props.pnStyle;
    ref.level = props.pnLevel;
    ref.start = qBound(1, props.pnStart, 1000000);
    if (props.pn == Pn::Number) {
        if (props.pnText >= 0) {
            ref.prefix = m_pnTexts[props.pnText].first;
            ref.suffix = m_pnTexts[props.pnText].second;
        }
    }
    // A WordPad list goes on while its paragraphs follow each other with
    // the same numbering and a start that is its own or the next number.
    const bool goesOn = m_pnLastListed && m_pnLast.pn == props.pn && m_pnLast.pnStyle == props.pnStyle &&
                        m_pnLast.pnLevel == props.pnLevel &&
                        (props.pnStart == m_pnLast.pnStart || props.pnStart == m_pnLastNumber + 1);
    if (!goesOn) {
        ++m_pnChain;
        m_pnLastNumber = ref.start - 1;
    }
    ++m_pnLastNumber;
    m_pnLast = props;
    if (goesOn)
        m_pnLast.pnStart = props.pnStart; // the start as written
    m_pnLastListed = true;
    ref.key = 0xFFFF000000000000ull | m_pnChain;
    return ref;
}

void Reader::placePieces(std::unique_ptr<Para> p, int level, bool tailFollows)
{
    if (m_notes.truncated)
        return;
    placeCut(std::move(p), level, tailFollows);
    ++m_placed;
    stopWhenFull();
}

bool Reader::stopWhenFull()
{
    if (!m_notes.truncated && m_builder->full()) {
        // As long as the layout can take: the rest of the file is not read.
        m_notes.truncated = qMax(1, m_placed);
        m_finished = true;
    }
    return m_notes.truncated;
}

void Reader::placeCut(std::unique_ptr<Para> p, int level, bool tailFollows)
{
    // In large letters a paragraph is cut after fewer characters, so that
    // no paragraph is taller than kMaxParagraphHeight.
    int halfPoints = m_catalog.formats[p->mark].halfPoints;
    for (const auto &r : p->runs)
        halfPoints = qMax<int>(halfPoints, m_catalog.formats[r.second].halfPoints);
    const qreal letter = halfPoints / 2.0 * m_upi / 72.0;
    const qreal lines = kMaxParagraphHeight / (letter * 1.3) - 1;
    const qsizetype limit = qsizetype(qBound<qreal>(1, lines * 400.0 / (0.6 * letter), kLongParagraph));
    const QList<qsizetype> cuts = paragraphCuts(p->text, limit);
    if (cuts.isEmpty() && !tailFollows && !p->continued) {
        m_builder->place(std::move(p), level);
        return;
    }
    if (!p->continued)
        ++m_notes.cutParagraphs;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= cuts.size(); ++i) {
        const qsizetype to = i < cuts.size() ? cuts.at(i) : p->text.size();
        const bool more = i < cuts.size() || tailFollows;
        auto piece = std::make_unique<Para>();
        piece->props = p->props;
        piece->mark = p->mark;
        piece->continued = p->continued || i > 0;
        if (piece->continued) {
            // A piece goes on the paragraph before it: no first-line
            // indent, no space or page break before it.
            piece->props.fi = 0;
            piece->props.sb = 0;
            piece->props.pageBreak = false;
        } else {
            piece->list = p->list;
        }
        if (more)
            piece->props.sa = 0;
        qsizetype end = to;
        // A piece cut at a line break loses it: the new paragraph stands in
        // its place.
        if (i < cuts.size() && end > from && p->text.at(end - 1) == QChar(QChar::LineSeparator))
            --end;
        piece->text = p->text.mid(from, end - from);
        int format = p->runs.empty() ? p->mark : p->runs.front().second;
        for (const auto &r : p->runs) {
            if (r.first <= from)
                format = r.second;
            else if (r.first < end)
                piece->runs.push_back({int(r.first - from), r.second});
        }
        piece->runs.insert(piece->runs.begin(), {0, format});
        for (auto &o : p->objects)
            if (o.first >= from && o.first < end)
                piece->objects.push_back({int(o.first - from), std::move(o.second)});
        if (i > 0 && stopWhenFull())
            return;
        m_builder->place(std::move(piece), level);
        from = to;
    }
}

void Reader::endParagraph(bool last)
{
    const bool open = !m_stack.empty();
    if (open) {
        flushBytes();
        flushHidden();
    }
    auto p = std::move(m_para);
    m_para = std::make_unique<Para>();
    const State &s = open ? m_stack.back() : m_final;
    p->props = s.para;
    p->props.li = qBound(0, p->props.li, kMaxTwips);
    p->props.pageBreak = p->props.pageBreak || (m_pageBreakNext && !p->continued);
    m_pageBreakNext = false;
    p->mark = m_catalog.indexOf(s.ch);
    if (!p->continued)
        p->list = listOf(p->props);
    if (!last)
        m_sawPar = true;
    const int level = m_tablesOff ? 0 : qMin(s.para.level(), kMaxTableDepth);
    placePieces(std::move(p), level);
}

void Reader::endCell(int level)
{
    if (level <= 0 || m_tablesOff || m_builder->cells() >= kMaxCells) {
        if (m_builder->cells() >= kMaxCells && !m_tablesOff) {
            m_tablesOff = true;
            m_builder->closeTables();
        }
        ++m_notes.flatCells;
        appendChar(QLatin1Char('\t'));
        return;
    }
    // The cell's last paragraph ends with it.
    flushBytes();
    flushHidden();
    auto p = std::move(m_para);
    m_para = std::make_unique<Para>();
    p->props = st().para;
    p->props.li = qBound(0, p->props.li, kMaxTwips);
    p->props.pageBreak = p->props.pageBreak || (m_pageBreakNext && !p->continued);
    m_pageBreakNext = false;
    p->mark = m_catalog.indexOf(st().ch);
    if (!p->continued)
        p->list = listOf(p->props);
    placePieces(std::move(p), level);
    m_builder->endCell(level);
}

void Reader::endRow(int level)
{
    if (m_tablesOff) {
        endParagraph();
        return;
    }
    flushBytes();
    flushHidden();
    // Text between the last cell and the row's end is a cell of its own.
    if (!m_para->text.isEmpty()) {
        endCell(level);
    }
    m_builder->endRow(level, m_rowDefs[level]);
    stopWhenFull();
}

void Reader::endPicture(const CharProps &props)
{
    Pict p = std::move(m_pict);
    m_pict = Pict();
    if (p.type == PictType::None || p.data.isEmpty())
        return;
    if (m_excessSkip)
        return;
    // Its bytes, kept for the save.
    PictureBytes bytes;
    bytes.kind = p.kind;
    if (p.type == PictType::Wbitmap)
        bytes.kind += "\\wbmbitspixel" + QByteArray::number(p.bitsPixel) + "\\wbmplanes" +
                      QByteArray::number(p.planes) + "\\wbmwidthbytes" + QByteArray::number(p.widthBytes);
    bytes.data = p.data;
    bytes.picw = p.picw;
    bytes.pich = p.pich;
    bytes.goalW = p.goalW;
    bytes.goalH = p.goalH;
    bytes.scaleX = p.scaleX;
    bytes.scaleY = p.scaleY;
    bytes.cropL = p.cropL;
    bytes.cropT = p.cropT;
    bytes.cropR = p.cropR;
    bytes.cropB = p.cropB;

    QByteArray file = p.data;
    const char *format = nullptr;
    if (p.type == PictType::Png)
        format = "PNG";
    else if (p.type == PictType::Jpeg)
        format = "JPEG";
    else if (p.type == PictType::Dib) {
        file = bmpOfDib(p.data);
        format = "BMP";
    }
    QImage wbitmap;
    QSize natural;
    if (p.type == PictType::Wbitmap) {
        wbitmap = imageOfWbitmap(p);
        natural = wbitmap.size();
    }
    QBuffer buffer(&file);
    QImageReader reader;
    if (format) {
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setFormat(format);
        reader.setAutoTransform(true);
        natural = reader.size();
    }
    // Its size on the page, in twips: the goal, else its own size (pixels
    // at 96 an inch; a metafile's in hundredths of a millimetre), less the
    // cropping, times the scale.
    const bool bitmap = p.type != PictType::Undrawable;
    const auto own = [&](int goal, int pic, int nat) -> double {
        if (goal > 0)
            return goal;
        if (bitmap && nat > 0)
            return nat * 15.0;
        if (bitmap)
            return pic * 15.0;
        return pic * 1440.0 / 2540.0;
    };
    const double baseW = own(p.goalW, p.picw, natural.width());
    const double baseH = own(p.goalH, p.pich, natural.height());
    const double cropW = qBound(0.0, double(p.cropL + p.cropR), baseW * 0.95);
    const double cropH = qBound(0.0, double(p.cropT + p.cropB), baseH * 0.95);
    const double twW = qBound(15.0, (baseW - cropW) * qBound(1, p.scaleX, 10000) / 100.0, double(kMaxTwips));
    const double twH = qBound(15.0, (baseH - cropH) * qBound(1, p.scaleY, 10000) / 100.0, double(kMaxTwips));
    Object o;
    o.format = m_catalog.indexOf(props);
    o.width = twW * m_upi / 1440.0;
    o.height = twH * m_upi / 1440.0;

    QImage image;
    if (bitmap && (natural.isValid() || !wbitmap.isNull())) {
        // Decoded at twice the size shown, for print, never above its own
        // size, and smaller still when the pictures so far fill the budget.
        const double fracW = baseW > 0 ? cropW / baseW : 0, fracH = baseH > 0 ? cropH / baseH : 0;
        QSizeF want(qMin<qreal>(natural.width() * (1 - fracW), 2 * o.width),
                    qMin<qreal>(natural.height() * (1 - fracH), 2 * o.height));
        want = want.expandedTo(QSizeF(1, 1));
        const qint64 pixels = qint64(want.width() * want.height());
        const qint64 left = qMax<qint64>(64 * 64, kPictureBudget - m_pixels);
        if (pixels > left) {
            want *= std::sqrt(double(left) / double(pixels));
            want = want.expandedTo(QSizeF(1, 1));
            ++m_notes.reducedPictures;
        }
        m_pixels += qint64(want.width() * want.height());
        // The whole picture at the size that gives the cropped part `want`.
        const QSize whole(qMax(1, int(std::ceil(want.width() / (1 - fracW)))),
                          qMax(1, int(std::ceil(want.height() / (1 - fracH)))));
        QImage full;
        if (format) {
            if (whole.width() < natural.width() || whole.height() < natural.height())
                reader.setScaledSize(whole.boundedTo(natural));
            full = reader.read();
        } else {
            full = wbitmap.scaled(whole.boundedTo(natural), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        if (!full.isNull() && (p.cropL || p.cropT || p.cropR || p.cropB) && baseW > 0 && baseH > 0) {
            const double sx = full.width() / baseW, sy = full.height() / baseH;
            const QRect crop(int(qMax(0, p.cropL) * sx), int(qMax(0, p.cropT) * sy),
                             qMax(1, int(full.width() - cropW * sx)), qMax(1, int(full.height() - cropH * sy)));
            full = full.copy(crop);
        }
        image = full;
    }
    if (image.isNull()) {
        image = placeholder(o.width, o.height);
        m_pixels += qint64(image.width()) * image.height();
        ++m_notes.undrawnPictures;
    }
    o.image = image;
    o.bytes = bytes;
    addObject(std::move(o));
}

void Reader::text(char c)
{
    const Dest d = m_stack.back().dest;
    if (d == Dest::Pict) {
        int v = -1;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        if (v < 0)
            return;
        if (m_pict.high < 0) {
            m_pict.high = v;
        } else {
            m_pict.data += char(m_pict.high << 4 | v);
            m_pict.high = -1;
        }
        return;
    }
    if (d == Dest::ColorTable) {
        if (c == ';') {
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_catalog.colours << QColor(); // "auto"
            else
                m_catalog.colours << QColor(qBound(0, m_red, 255), qBound(0, m_green, 255), qBound(0, m_blue, 255));
            m_red = m_green = m_blue = -1;
        }
        return;
    }
    if (d == Dest::FontTable) {
        if (c == ';') {
            flushBytes();
            m_catalog.fonts[m_fontEntry].name = m_fontName.trimmed();
            m_fontName.clear();
        } else if (uchar(c) >= 0x80) {
            hexByte(uchar(c));
        } else {
            appendChar(QLatin1Char(c));
        }
        return;
    }
    if (d == Dest::LevelText) {
        if (c == ';')
            return;
        if (uchar(c) >= 0x80)
            hexByte(uchar(c));
        else if (uchar(c) >= 0x20)
            appendChar(QLatin1Char(c));
        return;
    }
    if (d != Dest::Text && d != Dest::PnBefore && d != Dest::PnAfter)
        return;
    if (uchar(c) >= 0x80) {
        hexByte(uchar(c));
        return;
    }
    if (c == '\t') {
        appendChar(QLatin1Char('\t'));
        return;
    }
    if (uchar(c) < 0x20)
        return;
    appendChar(QLatin1Char(c));
}

void Reader::controlSymbol(char c)
{
    if (c == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_in.size()) {
            const char h = m_in.at(m_pos);
            int v = -1;
            if (h >= '0' && h <= '9')
                v = h - '0';
            else if (h >= 'a' && h <= 'f')
                v = h - 'a' + 10;
            else if (h >= 'A' && h <= 'F')
                v = h - 'A' + 10;
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++m_pos;
        }
        if (m_fallbackLeft > 0) {
            --m_fallbackLeft;
            return;
        }
        if (digits == 0)
            return; // a bad \' is dropped
        hexByte(uchar(value));
        return;
    }
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return;
    }
    if (m_excessSkip && c != '*')
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        text(c);
        break;
    case '~':
        appendChar(QChar(QChar::Nbsp));
        break;
    case '_':
        appendChar(QChar(0x2011)); // non-breaking hyphen
        break;
    case '-':
        appendChar(QChar(0x00AD)); // optional hyphen
        break;
    case '*':
        m_star = true;
        return;
    case '\r':
    case '\n':
        if (m_stack.back().dest == Dest::Text && !m_excessSkip)
            endParagraph();
        break;
    default:
        break; // \: \| and the rest carry no text
    }
    m_star = false;
}

void Reader::controlWord()
{
    // Letters: the word; then an optional signed number; then one blank.
    const qsizetype start = m_pos;
    const char *in = m_in.constData();
    const qsizetype size = m_in.size();
    while (m_pos < size && ((in[m_pos] >= 'a' && in[m_pos] <= 'z') || (in[m_pos] >= 'A' && in[m_pos] <= 'Z')))
        ++m_pos;
    const std::string_view name(in + start, size_t(qMin<qsizetype>(m_pos - start, 32)));
    bool hasParam = false;
    bool negative = false;
    qint64 param = 0;
    if (m_pos + 1 < size && in[m_pos] == '-' && in[m_pos + 1] >= '0' && in[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    while (m_pos < size && in[m_pos] >= '0' && in[m_pos] <= '9') {
        hasParam = true;
        if (param < 1000000000000LL)
            param = param * 10 + (in[m_pos] - '0');
        ++m_pos;
    }
    if (negative)
        param = -param;
    if (m_pos < size && in[m_pos] == ' ')
        ++m_pos;
    const int iparam = int(qBound(qint64(-2147483647), param, qint64(2147483647)));
    const int twips = int(qBound(qint64(-kMaxTwips), param, qint64(kMaxTwips)));

    const auto found = words().find(name);
    const W word = found == words().end() ? W::Unknown : found->second;

    // Binary data is skipped wherever it stands, bounded by what is there;
    // in a picture it is the picture's data.
    if (word == W::Bin) {
        flushBytes();
        const qint64 n = hasParam && param > 0 ? qMin<qint64>(param, size - m_pos) : 0;
        if (m_stack.back().dest == Dest::Pict && !m_excessSkip)
            m_pict.data += QByteArray(in + m_pos, qsizetype(n));
        m_pos += qsizetype(n);
        m_star = false;
        return;
    }
    if (m_fallbackLeft > 0 && word != W::U) {
        --m_fallbackLeft;
        m_star = false;
        return;
    }
    const bool star = m_star;
    m_star = false;
    State &s = st();

    // Within groups deeper than the limit only the text counts.
    if (m_excess > 0) {
        if (m_excessSkip)
            return;
        const bool textWord = word == W::Par || word == W::Line || word == W::Tab || word == W::U ||
                              word == W::Emdash || word == W::Endash || word == W::Bullet || word == W::Lquote ||
                              word == W::Rquote || word == W::Ldblquote || word == W::Rdblquote ||
                              word == W::Emspace || word == W::Enspace || word == W::Qmspace || word == W::Uc ||
                              word == W::Sect || word == W::Page;
        if (star || !textWord) {
            if (star || word == W::Skipped || word == W::Pict || word == W::Fonttbl || word == W::Colortbl ||
                word == W::Listtable || word == W::Listoverridetable || word == W::Pn || word == W::Nonshppict ||
                word == W::Nonesttables)
                m_excessSkip = m_excess;
            return;
        }
    }

    // Destinations and groups of their own
    switch (word) {
    case W::Fonttbl:
        if (s.dest != Dest::Skip)
            s.dest = Dest::FontTable;
        return;
    case W::Colortbl:
        if (s.dest != Dest::Skip)
            s.dest = Dest::ColorTable;
        return;
    case W::Listtable:
        if (s.dest != Dest::Skip)
            s.dest = Dest::ListTable;
        return;
    case W::Listoverridetable:
        if (s.dest != Dest::Skip)
            s.dest = Dest::ListOverride;
        return;
    case W::Pn:
        if (s.dest == Dest::Text && m_stack.size() >= 2) {
            s.dest = Dest::Pn;
            ParaProps &outer = m_stack[m_stack.size() - 2].para;
            outer.pnStyle = QTextListFormat::ListDecimal;
            outer.pnStart = 1;
            outer.pnText = -1;
        } else {
            s.dest = Dest::Skip;
        }
        return;
    case W::PnTxta:
    case W::PnTxtb:
        if (s.dest == Dest::Pn && m_stack.size() >= 3) {
            ParaProps &outer = m_stack[m_stack.size() - 3].para;
            if (outer.pnText < 0) {
                outer.pnText = int(m_pnTexts.size());
                m_pnTexts.emplace_back();
            }
            s.para.pnText = outer.pnText;
            (word == W::PnTxtb ? m_pnTexts[outer.pnText].first : m_pnTexts[outer.pnText].second).clear();
            s.dest = word == W::PnTxtb ? Dest::PnBefore : Dest::PnAfter;
        } else {
            s.dest = Dest::Skip;
        }
        return;
    case W::Shppict:
        // Word and LibreOffice put a picture in {\*\shppict{\pict ...}}
        // and a copy for old readers in {\nonshppict ...} after it.
        return;
    case W::Nonshppict:
        if (m_shppictEnded)
            s.dest = Dest::Skip;
        return;
    case W::Pict:
        if (s.dest == Dest::Text || (s.dest == Dest::Skip && s.shapePicture)) {
            s.dest = Dest::Pict;
            m_pict = Pict();
        } else {
            s.dest = Dest::Skip;
        }
        return;
    case W::Object:
    case W::Result:
    case W::Field:
    case W::Fldrslt:
    case W::Shp:
    case W::Shpinst:
        // Read through: an object's look, a field's result, a shape's
        // picture.
        return;
    case W::Sp:
        // A shape's property: only a picture in it is read.
        if (s.dest == Dest::Text) {
            s.dest = Dest::Skip;
            s.shapePicture = true;
        }
        return;
    case W::Shprslt:
        s.dest = Dest::Skip; // a shape's copy for old readers
        s.shapePicture = false;
        return;
    case W::Nesttableprops:
        s.nestProps = true;
        return;
    case W::Nonesttables:
    case W::Skipped:
        s.dest = Dest::Skip;
        return;
    case W::Leveltext:
        if (s.dest == Dest::ListTable && !m_listDefs.empty() && !m_listDefs.back().levels.empty()) {
            s.dest = Dest::LevelText;
            m_levelList = int(m_listDefs.size()) - 1;
            m_levelIndex = int(m_listDefs.back().levels.size()) - 1;
            levelText()->clear();
        } else if (s.dest == Dest::ListOverride) {
            s.dest = Dest::Skip;
        } else {
            s.dest = Dest::Skip;
        }
        return;
    default:
        break;
    }
    if (star && s.dest != Dest::Pict) {
        s.dest = Dest::Skip;
        s.shapePicture = false;
        return;
    }
    if (s.dest == Dest::Skip)
        return;

    switch (s.dest) {
    case Dest::Pict:
        switch (word) {
        case W::Pngblip: m_pict.type = PictType::Png; m_pict.kind = "pngblip"; break;
        case W::Jpegblip: m_pict.type = PictType::Jpeg; m_pict.kind = "jpegblip"; break;
        case W::Dibitmap:
            m_pict.type = PictType::Dib;
            m_pict.kind = "dibitmap" + QByteArray::number(hasParam ? iparam : 0);
            break;
        case W::Wbitmap:
            m_pict.type = PictType::Wbitmap;
            m_pict.kind = "wbitmap" + QByteArray::number(hasParam ? iparam : 0);
            break;
        case W::Undrawable:
            m_pict.type = PictType::Undrawable;
            m_pict.kind = QByteArray(name.data(), qsizetype(name.size()));
            if (hasParam)
                m_pict.kind += QByteArray::number(iparam);
            break;
        case W::Picw: m_pict.picw = qBound(0, iparam, 1000000); break;
        case W::Pich: m_pict.pich = qBound(0, iparam, 1000000); break;
        case W::Picwgoal: m_pict.goalW = qBound(0, twips, kMaxTwips); break;
        case W::Pichgoal: m_pict.goalH = qBound(0, twips, kMaxTwips); break;
        case W::Picscalex: m_pict.scaleX = qBound(1, iparam, 10000); break;
        case W::Picscaley: m_pict.scaleY = qBound(1, iparam, 10000); break;
        case W::Piccropl: m_pict.cropL = twips; break;
        case W::Piccropr: m_pict.cropR = twips; break;
        case W::Piccropt: m_pict.cropT = twips; break;
        case W::Piccropb: m_pict.cropB = twips; break;
        case W::Wbmbitspixel: m_pict.bitsPixel = iparam; break;
        case W::Wbmplanes: m_pict.planes = iparam; break;
        case W::Wbmwidthbytes: m_pict.widthBytes = qBound(0, iparam, 1 << 20); break;
        default: break;
        }
        return;
    case Dest::FontTable:
        if (word == W::F) {
            flushBytes();
            m_fontEntry = iparam;
            m_fontName.clear();
            m_catalog.fonts[m_fontEntry].charset = -1;
            m_catalog.fonts[m_fontEntry].cpg = 0;
        } else if (word == W::Fcharset) {
            m_catalog.fonts[m_fontEntry].charset = iparam;
        } else if (word == W::Cpg) {
            m_catalog.fonts[m_fontEntry].cpg = qBound(0, iparam, 100000);
        } else if (word == W::U && hasParam) {
            flushBytes();
            m_fontName += QChar(char16_t(((param % 65536) + 65536) % 65536));
            m_fallbackLeft = qBound(0, int(s.uc), 16);
        } else if (word == W::Uc) {
            s.uc = qint8(qBound(0, iparam, 16));
        }
        return;
    case Dest::ColorTable:
        if (word == W::Red)
            m_red = iparam;
        else if (word == W::Green)
            m_green = iparam;
        else if (word == W::Blue)
            m_blue = iparam;
        return;
    case Dest::ListTable:
    case Dest::LevelText:
        switch (word) {
        case W::List: m_listDefs.emplace_back(); break;
        case W::Listlevel:
            if (m_listDefs.empty())
                m_listDefs.emplace_back();
            if (m_listDefs.back().levels.size() < 9)
                m_listDefs.back().levels.emplace_back();
            break;
        case W::Listid:
            if (!m_listDefs.empty())
                m_listDefs.back().id = iparam;
            break;
        case W::Levelnfc:
            if (!m_listDefs.empty() && !m_listDefs.back().levels.empty())
                m_listDefs.back().levels.back().nfc = iparam;
            break;
        case W::Levelstartat:
            if (!m_listDefs.empty() && !m_listDefs.back().levels.empty())
                m_listDefs.back().levels.back().start = iparam;
            break;
        case W::U:
            if (QString *t = levelText(); hasParam && s.dest == Dest::LevelText && t) {
                flushBytes();
                *t += QChar(char16_t(((param % 65536) + 65536) % 65536));
                m_fallbackLeft = qBound(0, int(s.uc), 16);
            }
            break;
        case W::Uc: s.uc = qint8(qBound(0, iparam, 16)); break;
        default: break;
        }
        return;
    case Dest::ListOverride:
        switch (word) {
        case W::Listoverride: m_overrides.emplace_back(); break;
        case W::Listid:
            if (!m_overrides.empty())
                m_overrides.back().listId = iparam;
            break;
        case W::Ls:
            if (!m_overrides.empty())
                m_overrides.back().ls = iparam;
            break;
        case W::Lfolevel:
            if (!m_overrides.empty())
                m_overrides.back().starts.push_back({int(m_overrides.back().starts.size()), -1});
            break;
        case W::Levelstartat:
            if (!m_overrides.empty() && !m_overrides.back().starts.empty())
                m_overrides.back().starts.back().second = iparam;
            break;
        default: break;
        }
        return;
    case Dest::Pn: {
        if (m_stack.size() < 2)
            return;
        ParaProps &outer = m_stack[m_stack.size() - 2].para;
        switch (word) {
        case W::PnLvlBlt: outer.pn = Pn::Bullet; outer.pnLevel = 0; break;
        case W::PnLvlBody: outer.pn = Pn::Number; outer.pnLevel = 0; break;
        case W::PnLvl: outer.pn = Pn::Number; outer.pnLevel = qint8(qBound(0, iparam - 1, 8)); break;
        case W::PnLvlCont: outer.pn = Pn::None; break;
        case W::PnDec: outer.pnStyle = QTextListFormat::ListDecimal; break;
        case W::PnUcLtr: outer.pnStyle = QTextListFormat::ListUpperAlpha; break;
        case W::PnLcLtr: outer.pnStyle = QTextListFormat::ListLowerAlpha; break;
        case W::PnUcRm: outer.pnStyle = QTextListFormat::ListUpperRoman; break;
        case W::PnLcRm: outer.pnStyle = QTextListFormat::ListLowerRoman; break;
        case W::PnStart: outer.pnStart = iparam; break;
        default: break;
        }
        return;
    }
    case Dest::PnBefore:
    case Dest::PnAfter:
        if (word == W::U && hasParam) {
            appendChar(QChar(char16_t(((param % 65536) + 65536) % 65536)));
            m_fallbackLeft = qBound(0, int(s.uc), 16);
        }
        return;
    default:
        break;
    }

    // Document-wide settings
    switch (word) {
    case W::Ansicpg: m_ansiCpg = qBound(0, iparam, 100000); return;
    case W::Mac: if (!m_ansiCpg) m_ansiCpg = 10000; return;
    case W::Pc: if (!m_ansiCpg) m_ansiCpg = 437; return;
    case W::Pca: if (!m_ansiCpg) m_ansiCpg = 850; return;
    case W::Deff: m_catalog.deff = iparam; return;
    case W::Deflang: m_deflang = iparam; return;
    default: break;
    }

    // Table definitions
    const int defLevel = s.nestProps ? qBound(2, s.para.level(), kMaxTableDepth) : 1;
    if (word != W::Brdrnone && m_borderPending) {
        m_rowDefs[defLevel].borders = true;
        m_borderPending = false;
    }
    switch (word) {
    case W::Trowd: m_rowDefs[defLevel] = RowDef(); return;
    case W::Trleft: m_rowDefs[defLevel].left = twips; return;
    case W::Cellx: {
        RowDef &def = m_rowDefs[defLevel];
        def.pending.right = qBound(0, twips, kMaxTwips);
        if (def.cells.size() < std::size_t(kMaxColumns))
            def.cells.push_back(def.pending);
        def.pending = CellDef();
        return;
    }
    case W::Clmgf: m_rowDefs[defLevel].pending.hFirst = true; return;
    case W::Clmrg: m_rowDefs[defLevel].pending.hCont = true; return;
    case W::Clvmgf: m_rowDefs[defLevel].pending.vFirst = true; return;
    case W::Clvmrg: m_rowDefs[defLevel].pending.vCont = true; return;
    case W::Clbrdr: m_borderPending = true; return;
    case W::Brdrnone: m_borderPending = false; return;
    default: break;
    }

    // Characters
    const auto put = [this](char16_t u) { appendChar(QChar(u)); };
    switch (word) {
    case W::Par:
    case W::Sect:
        endParagraph();
        return;
    case W::Page:
        endParagraph();
        m_pageBreakNext = true; // the next paragraph starts a page
        return;
    case W::Line: put(QChar::LineSeparator); return;
    case W::Tab: put(u'\t'); return;
    case W::Cell: endCell(m_tablesOff ? 0 : qMax(1, tableLevel())); return;
    case W::Nestcell: endCell(m_tablesOff ? 0 : qMax(2, tableLevel())); return;
    case W::Row: endRow(1); return;
    case W::Nestrow: endRow(qBound(2, s.para.level(), kMaxTableDepth)); return;
    case W::Emdash: put(0x2014); return;
    case W::Endash: put(0x2013); return;
    case W::Bullet: put(0x2022); return;
    case W::Lquote: put(0x2018); return;
    case W::Rquote: put(0x2019); return;
    case W::Ldblquote: put(0x201C); return;
    case W::Rdblquote: put(0x201D); return;
    case W::Emspace: put(0x2003); return;
    case W::Enspace: put(0x2002); return;
    case W::Qmspace: put(0x2005); return;
    case W::U: {
        if (!hasParam)
            return;
        int code = int(param % 65536);
        if (code < 0)
            code += 65536;
        appendChar(QChar(char16_t(code)));
        m_fallbackLeft = qBound(0, int(s.uc), 16);
        return;
    }
    case W::Uc: s.uc = qint8(qBound(0, iparam, 16)); return;
    default: break;
    }
    if (m_excess > 0)
        return; // formatting of groups too deep is not taken

    // Character formatting
    flushBytes();
    switch (word) {
    case W::Plain: s.ch = CharProps(); s.lang = 0; return;
    case W::F: s.ch.font = iparam; return;
    case W::Fs: s.ch.halfPoints = qint16(hasParam && iparam > 0 ? qMin(iparam, kMaxHalfPoints) : 24); return;
    case W::B: s.ch.bold = !hasParam || iparam != 0; return;
    case W::I: s.ch.italic = !hasParam || iparam != 0; return;
    case W::Ul: s.ch.underline = !hasParam || iparam != 0; return;
    case W::Ulnone: s.ch.underline = false; return;
    case W::Strike: s.ch.strike = !hasParam || iparam != 0; return;
    case W::Cf: s.ch.colour = qint16(qBound(0, iparam, 32767)); return;
    case W::Highlight: s.ch.highlight = qint16(qBound(0, iparam, 32767)); return;
    case W::Super: s.ch.vertical = 1; return;
    case W::Sub: s.ch.vertical = -1; return;
    case W::Nosupersub: s.ch.vertical = 0; return;
    case W::V: s.ch.hidden = !hasParam || iparam != 0; return;
    case W::Lang: s.lang = qMax(0, iparam); return;
    default: break;
    }
    // Paragraph formatting
    switch (word) {
    case W::Pard: s.para = ParaProps(); return;
    case W::Ql: s.para.align = 0; return;
    case W::Qc: s.para.align = 1; return;
    case W::Qr: s.para.align = 2; return;
    case W::Qj: s.para.align = 3; return;
    case W::Li: s.para.li = twips; return;
    case W::Ri: s.para.ri = qMax(0, twips); return;
    case W::Fi: s.para.fi = twips; return;
    case W::Sb: s.para.sb = qMax(0, twips); return;
    case W::Sa: s.para.sa = qMax(0, twips); return;
    case W::Pagebb: s.para.pageBreak = !hasParam || iparam != 0; return;
    case W::Intbl: s.para.intbl = true; return;
    case W::Itap: s.para.itap = qint8(qBound(0, iparam, 100)); return;
    case W::Ls: s.para.ls = qMax(0, iparam); return;
    case W::Ilvl: s.para.ilvl = qint8(qBound(0, iparam, 8)); return;
    default: break;
    }
}

ReadResult Reader::run()
{
    ReadResult result;
    qsizetype i = 0;
    // A UTF-8 byte order mark and blanks may stand before the first group.
    if (m_in.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < m_in.size() && (m_in.at(i) == ' ' || m_in.at(i) == '\r' || m_in.at(i) == '\n' || m_in.at(i) == '\t'))
        ++i;
    if (i >= m_in.size() || m_in.at(i) != '{') {
        result.error = QStringLiteral("это не файл RTF");
        return result;
    }
    m_pos = i + 1;
    m_stack.reserve(64);
    m_stack.push_back(State());

    m_doc->setUndoRedoEnabled(false);
    m_doc->clear();
    m_builder = std::make_unique<Builder>(m_doc, m_upi, m_catalog, m_notes);
    QTextCursor batch(m_doc);
    batch.beginEditBlock();

    const char *in = m_in.constData();
    const qsizetype size = m_in.size();
    while (m_pos < size && !m_finished) {
        const char c = in[m_pos++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            if (m_pos >= size)
                break;
            if ((in[m_pos] >= 'a' && in[m_pos] <= 'z') || (in[m_pos] >= 'A' && in[m_pos] <= 'Z'))
                controlWord();
            else
                controlSymbol(in[m_pos++]);
            break;
        case '\r':
        case '\n':
            break;
        default:
            if (m_fallbackLeft > 0) {
                --m_fallbackLeft;
                break;
            }
            if (m_stack.back().dest == Dest::Text && uchar(c) >= 0x20 && uchar(c) < 0x80 && !m_excessSkip) {
                // A stretch of plain characters goes in at once.
                qsizetype end = m_pos;
                while (end < size) {
                    const uchar n = uchar(in[end]);
                    if (n < 0x20 || n >= 0x80 || n == '\\' || n == '{' || n == '}')
                        break;
                    ++end;
                }
                flushBytes();
                const QString s = QString::fromLatin1(in + m_pos - 1, end - m_pos + 1);
                appendText(s);
                m_pos = end;
                break;
            }
            if (!m_excessSkip)
                text(c);
            break;
        }
    }
    if (!m_stack.empty()) {
        flushBytes();
        flushHidden();
    }
    // The last paragraph needs no \par; an empty one after the last \par is
    // only the file's final paragraph mark.
    if (!m_notes.truncated && (!m_para->text.isEmpty() || !m_sawPar)) {
        if (m_stack.empty())
            endParagraph(true);
        else
            endParagraph();
    }
    m_builder->closeTables();
    batch.endEditBlock();
    m_doc->setUndoRedoEnabled(true);
    m_doc->setModified(false);
    result.ok = true;
    result.notes = m_notes;
    return result;
}

} // namespace

QStringList ReadNotes::sentences() const
{
    QStringList s;
    if (cutParagraphs)
        s << QStringLiteral("Абзацев, разбитых на части: %1. Абзац длиннее %2 знаков или с куском текста без пробелов "
                            "длиннее %3 знаков редактор показывает слишком медленно; при сохранении части останутся "
                            "отдельными абзацами.")
                 .arg(cutParagraphs)
                 .arg(kLongParagraph)
                 .arg(kLongWord);
    if (undrawnPictures)
        s << QStringLiteral("Рисунков, которые программа не умеет показать (WMF, EMF, PICT): %1. Они показаны "
                            "рамками и так печатаются; в файл они сохраняются без изменений.")
                 .arg(undrawnPictures);
    if (reducedPictures)
        s << QStringLiteral("Рисунков так много, что %1 из них показаны и печатаются с меньшей чёткостью; в файл они "
                            "сохраняются без изменений.")
                 .arg(reducedPictures);
    if (droppedEmpty)
        s << QStringLiteral("Пустых абзацев подряд больше %1: лишние (%2) убраны.").arg(kMaxEmptyRun).arg(droppedEmpty);
    if (truncated)
        s << QStringLiteral("Файл слишком велик для редактора: прочитаны первые %1 абзацев, остальное не показано. "
                            "Документ открыт как новый, чтобы при сохранении не заменить файл его началом.")
                 .arg(truncated);
    if (formatsDropped)
        s << QStringLiteral("Оформление текста меняется больше %1 раз: дальше текст оставлен в оформлении, которое "
                            "было на этом месте.")
                 .arg(kMaxFormatRuns);
    if (writtenNumbers)
        s << QStringLiteral("Номера %1 пунктов списков записаны в текст: списки слишком длинные.").arg(writtenNumbers);
    if (splitTables)
        s << QStringLiteral("Длинные таблицы разделены на части, не больше %1 ячеек в каждой.").arg(kMaxTableCells);
    if (flatCells)
        s << QStringLiteral("Ячеек таблиц больше %1: остальные (%2) прочитаны как текст с табуляциями.")
                 .arg(kMaxCells)
                 .arg(flatCells);
    return s;
}

bool isRtf(const QByteArray &bytes)
{
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size() && (bytes.at(i) == ' ' || bytes.at(i) == '\r' || bytes.at(i) == '\n' || bytes.at(i) == '\t'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

ReadResult read(const QByteArray &bytes, QTextDocument *doc, double unitsPerInch)
{
    Reader reader(bytes, doc, unitsPerInch);
    return reader.run();
}

} // namespace rtf
