#include "rtf/rtfwriter.h"

#include "rtf/rtfcommon.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPixmap>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>

namespace rtf {

namespace {

const char kHex[] = "0123456789abcdef";

// Windows-1251 for the characters above 0x7F: one table built once.
struct Cp1251Table {
    QHash<char16_t, uchar> byteOf;
    Cp1251Table()
    {
        QStringDecoder decoder("windows-1251");
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = decoder(QByteArray(1, char(b)));
            if (c.size() == 1 && c.at(0) != QChar::ReplacementCharacter)
                byteOf.insert(c.at(0).unicode(), uchar(b));
        }
    }
};

const Cp1251Table &cp1251()
{
    static const Cp1251Table table;
    return table;
}

void appendHexByte(QByteArray &out, uchar b)
{
    out += "\\'";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
}

void appendHexData(QByteArray &out, const QByteArray &data)
{
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        out += hex.mid(i, 128) + "\r\n";
}

// Text, escaped. Characters of Windows-1251 go as \'hh, others as \uN?.
void appendText(QByteArray &out, QStringView text)
{
    const auto &table = cp1251().byteOf;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == '\n' || u == '\v') {
            out += "\\line ";
        } else if (u == QChar::Nbsp) {
            out += "\\~";
        } else if (u < 0x20 || u == QChar::ObjectReplacementCharacter) {
            // control characters and embedded objects have no text to give
        } else if (u < 0x80) {
            out += char(u);
        } else if (auto it = table.constFind(u); it != table.constEnd()) {
            appendHexByte(out, it.value());
        } else {
            out += "\\u";
            out += QByteArray::number(int(qint16(u)));
            out += '?';
        }
    }
}

QByteArray fontName(const QString &family)
{
    QByteArray out;
    QString clean = family;
    clean.remove(QLatin1Char(';'));
    appendText(out, clean);
    return out;
}

int halfPoints(const QTextCharFormat &f, const QFont &fallback)
{
    qreal pt = f.fontPointSize();
    if (pt <= 0)
        pt = fallback.pointSizeF();
    if (pt <= 0)
        pt = 12;
    return qBound(1, int(std::lround(pt * 2)), kMaxHalfPoints);
}

QString familyOf(const QTextCharFormat &f, const QFont &fallback)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.constFirst().isEmpty())
        return families.constFirst();
    return fallback.family();
}

bool isNumbered(const QTextList *list)
{
    const int style = list->format().style();
    return style == QTextListFormat::ListDecimal || style == QTextListFormat::ListLowerAlpha ||
           style == QTextListFormat::ListUpperAlpha || style == QTextListFormat::ListLowerRoman ||
           style == QTextListFormat::ListUpperRoman;
}

const char *pnStyle(int style)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha: return "\\pnlcltr";
    case QTextListFormat::ListUpperAlpha: return "\\pnucltr";
    case QTextListFormat::ListLowerRoman: return "\\pnlcrm";
    case QTextListFormat::ListUpperRoman: return "\\pnucrm";
    default: return "\\pndec";
    }
}

int levelNfc(int style)
{
    switch (style) {
    case QTextListFormat::ListUpperRoman: return 1;
    case QTextListFormat::ListLowerRoman: return 2;
    case QTextListFormat::ListUpperAlpha: return 3;
    case QTextListFormat::ListLowerAlpha: return 4;
    default: return 0;
    }
}

QString numberSuffix(const QTextListFormat &f)
{
    return f.hasProperty(QTextFormat::ListNumberSuffix) ? f.numberSuffix() : QStringLiteral(".");
}

bool isPad(const QTextBlock &b)
{
    return b.blockFormat().boolProperty(kListPadProperty);
}

// The character state written so far, to write only what changes.
struct CharState {
    int font = 0;
    int size = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int colour = 0;
    int highlight = 0;
    int vertical = 0; // 0 normal, 1 super, -1 sub
};

class Writer {
public:
    Writer(const QTextDocument &doc, double unitsPerInch)
        : m_doc(doc)
        , m_upi(unitsPerInch)
        , m_default(doc.defaultFont())
        , m_hang(bulletHang(doc))
    {
    }

    QByteArray run();

private:
    void collect();
    void writeFrame(const QTextFrame *frame, int level);
    void writeTable(const QTextTable *table, int level);
    void writeBlock(const QTextBlock &b, int level, const char *end);
    void writeListItem(const QTextBlock &b, const QTextList *list);
    void writePicture(const QTextImageFormat &format);
    void setChar(const QTextCharFormat &f);
    QByteArray rowDefinition(const QTextTable *table, int row) const;

    const QTextDocument &m_doc;
    double m_upi;
    QFont m_default;
    qreal m_hang;
    QByteArray m_out;
    QStringList m_fonts;
    QList<QRgb> m_colours;
    QHash<const QTextList *, int> m_ls; // numbered lists and their \ls
    int m_symbolFont = 0;
    CharState m_cur;
    bool m_first = true;
    bool m_breakNext = false; // the block before asked for a page after it
};

void Writer::collect()
{
    // Fonts and colours in first use order; font 0 is the document's own.
    m_fonts = {m_default.family()};
    for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString family = familyOf(f, m_default);
            if (!m_fonts.contains(family))
                m_fonts << family;
            for (const int property : {int(QTextFormat::ForegroundBrush), int(QTextFormat::BackgroundBrush)}) {
                if (f.hasProperty(property)) {
                    const QRgb c = f.brushProperty(property).color().rgb();
                    if (!m_colours.contains(c))
                        m_colours << c;
                }
            }
        }
        if (const QTextList *list = b.textList(); list && !m_ls.contains(list))
            m_ls.insert(list, int(m_ls.size()) + 1);
    }
    m_symbolFont = int(m_fonts.size());
}

QByteArray Writer::run()
{
    collect();
    m_out.reserve(m_doc.characterCount() * 2 + 512);
    m_out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\r\n{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i)
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset204 " + fontName(m_fonts.at(i)) + ";}";
    m_out += "{\\f" + QByteArray::number(m_symbolFont) + "\\fnil\\fcharset2 Symbol;}}\r\n";
    m_out += "{\\colortbl ;";
    for (const QRgb c : m_colours)
        m_out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue" +
                 QByteArray::number(qBlue(c)) + ';';
    m_out += "}\r\n";
    if (!m_ls.isEmpty()) {
        // Lists as Word and LibreOffice read them: one list of nine levels
        // each, every level numbered (or bulleted) alike, the list's own
        // level starting where the list starts.
        QList<const QTextList *> lists(m_ls.size());
        for (auto it = m_ls.cbegin(); it != m_ls.cend(); ++it)
            lists[it.value() - 1] = it.key();
        m_out += "{\\*\\listtable";
        for (int k = 0; k < lists.size(); ++k) {
            const QTextList *list = lists.at(k);
            const QTextListFormat lf = list->format();
            int start = 1;
            while (start <= list->count() && isPad(list->item(start - 1)))
                ++start;
            const int own = qBound(0, lf.indent() - 1, 8);
            const bool numbered = isNumbered(list);
            const int nfc = numbered ? levelNfc(lf.style()) : 23;
            const QString prefix = numbered ? lf.numberPrefix() : QString();
            const QString suffix = numbered ? numberSuffix(lf) : QString();
            m_out += "\r\n{\\list\\listtemplateid" + QByteArray::number(k + 1);
            for (int level = 0; level < 9; ++level) {
                QByteArray text;
                appendText(text, prefix);
                QByteArray after;
                appendText(after, suffix);
                const int length = int(prefix.size() + 1 + suffix.size());
                m_out += "{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn" +
                         QByteArray::number(nfc) + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" +
                         QByteArray::number(level == own ? start : 1) + "{\\leveltext";
                if (numbered) {
                    appendHexByte(m_out, uchar(qMin(length, 255)));
                    m_out += text;
                    appendHexByte(m_out, uchar(level));
                    m_out += after + ";}{\\levelnumbers";
                    appendHexByte(m_out, uchar(prefix.size() + 1));
                } else {
                    m_out += "\\'01\\u8226 ?;}{\\levelnumbers";
                }
                m_out += ";}\\fi-" + QByteArray::number(toTwips(m_hang, m_upi)) + "\\li" +
                         QByteArray::number(toTwips(m_hang * (level + 1), m_upi)) + "}";
            }
            m_out += "{\\listname ;}\\listid" + QByteArray::number(k + 1) + "}";
        }
        m_out += "}\r\n{\\*\\listoverridetable";
        for (int k = 0; k < lists.size(); ++k)
            m_out += "{\\listoverride\\listid" + QByteArray::number(k + 1) + "\\listoverridecount0\\ls" +
                     QByteArray::number(k + 1) + "}";
        m_out += "}\r\n";
    }
    m_out += "\\viewkind4\\uc1";
    writeFrame(m_doc.rootFrame(), 0);
    m_out += "}\r\n";
    return m_out;
}

void Writer::writeFrame(const QTextFrame *frame, int level)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child))
                writeTable(table, level + 1);
            else
                writeFrame(child, level); // a frame of its own is written as its text
        } else {
            writeBlock(it.currentBlock(), level, "\\par");
        }
    }
}

QByteArray Writer::rowDefinition(const QTextTable *table, int row) const
{
    const QTextTableFormat tf = table->format();
    const int columns = table->columns();
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    const double page = 9360; // the text's width on a page of A4 or Letter, in twips
    QByteArray out = "\\trowd\\trgaph108\\trleft0";
    const bool borders = tf.border() > 0;
    int right = 0;
    for (int c = 0; c < columns; ++c) {
        double w = page / columns;
        if (c < widths.size()) {
            const QTextLength &l = widths.at(c);
            if (l.type() == QTextLength::FixedLength)
                w = toTwips(l.rawValue(), m_upi);
            else if (l.type() == QTextLength::PercentageLength)
                w = page * l.rawValue() / 100.0;
        }
        right = qMin(kMaxTwips, right + qMax(1, int(std::lround(w))));
        const QTextTableCell cell = table->cellAt(row, c);
        if (cell.isValid()) {
            if (cell.row() == row && cell.column() == c) {
                if (cell.columnSpan() > 1)
                    out += "\\clmgf";
                if (cell.rowSpan() > 1)
                    out += "\\clvmgf";
            } else {
                if (cell.column() != c)
                    out += "\\clmrg";
                if (cell.row() != row)
                    out += "\\clvmrg";
            }
        }
        if (borders)
            out += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
        out += "\\cellx" + QByteArray::number(right);
    }
    return out;
}

void Writer::writeTable(const QTextTable *table, int level)
{
    const char *cellEnd = level > 1 ? "\\nestcell" : "\\cell";
    for (int r = 0; r < table->rows(); ++r) {
        const QByteArray definition = rowDefinition(table, r);
        if (level == 1)
            m_out += definition + "\r\n";
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QList<QTextFrame::iterator> items;
            if (cell.isValid() && cell.row() == r && cell.column() == c)
                for (auto it = cell.begin(); !it.atEnd(); ++it)
                    items << it;
            // A cell ends with a paragraph; a cell merged away is empty.
            if (items.isEmpty() || items.constLast().currentFrame()) {
                for (const auto &it : items)
                    writeTable(qobject_cast<const QTextTable *>(it.currentFrame()), level + 1);
                m_out += "\\pard\\intbl";
                if (level > 1)
                    m_out += "\\itap" + QByteArray::number(level);
                m_out += QByteArray(" ") + cellEnd + "\r\n";
                continue;
            }
            for (int i = 0; i < items.size(); ++i) {
                const QTextFrame::iterator &it = items.at(i);
                if (const QTextFrame *child = it.currentFrame()) {
                    if (const auto *nested = qobject_cast<const QTextTable *>(child))
                        writeTable(nested, level + 1);
                    else
                        writeFrame(child, level);
                } else {
                    writeBlock(it.currentBlock(), level, i + 1 == items.size() ? cellEnd : "\\par");
                }
            }
        }
        if (level == 1)
            m_out += "\\row\r\n";
        else
            m_out += "{\\*\\nesttableprops" + definition + "\\nestrow}{\\nonesttables\\par}\r\n";
    }
}

void Writer::setChar(const QTextCharFormat &f)
{
    CharState want;
    want.font = int(m_fonts.indexOf(familyOf(f, m_default)));
    want.size = halfPoints(f, m_default);
    want.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : m_default.bold();
    want.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : m_default.italic();
    want.underline = f.hasProperty(QTextFormat::TextUnderlineStyle) ? f.fontUnderline() : m_default.underline();
    want.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : m_default.strikeOut();
    want.colour = f.hasProperty(QTextFormat::ForegroundBrush)
                      ? int(m_colours.indexOf(f.foreground().color().rgb())) + 1
                      : 0;
    want.highlight = f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush
                         ? int(m_colours.indexOf(f.background().color().rgb())) + 1
                         : 0;
    want.vertical = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
                    : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? -1
                                                                                : 0;
    QByteArray words;
    if (m_first || want.font != m_cur.font)
        words += "\\f" + QByteArray::number(want.font);
    if (m_first || want.size != m_cur.size)
        words += "\\fs" + QByteArray::number(want.size);
    if (m_first || want.bold != m_cur.bold)
        words += want.bold ? "\\b" : "\\b0";
    if (m_first || want.italic != m_cur.italic)
        words += want.italic ? "\\i" : "\\i0";
    if (m_first || want.underline != m_cur.underline)
        words += want.underline ? "\\ul" : "\\ulnone";
    if (m_first || want.strike != m_cur.strike)
        words += want.strike ? "\\strike" : "\\strike0";
    if (m_first || want.colour != m_cur.colour)
        words += "\\cf" + QByteArray::number(want.colour);
    if (want.highlight != m_cur.highlight)
        words += "\\highlight" + QByteArray::number(want.highlight);
    if (m_first || want.vertical != m_cur.vertical)
        words += want.vertical > 0 ? "\\super" : want.vertical < 0 ? "\\sub" : "\\nosupersub";
    if (!words.isEmpty())
        m_out += words + ' ';
    m_cur = want;
    m_first = false;
}

// A picture: the bytes it was read from where there are any, else the
// picture as PNG, at its size on the page.
void Writer::writePicture(const QTextImageFormat &format)
{
    const auto twips = [this](double v) { return QByteArray::number(toTwips(v, m_upi)); };
    const QVariant kept = m_doc.resource(QTextDocument::UserResource, QUrl(keptBytesName(format.name())));
    if (kept.canConvert<PictureBytes>()) {
        const PictureBytes p = kept.value<PictureBytes>();
        if (!p.data.isEmpty() && !p.kind.isEmpty()) {
            m_out += "{\\pict\\" + p.kind;
            int picw = p.picw, pich = p.pich;
            if ((picw <= 0 || pich <= 0) && (p.kind == "pngblip" || p.kind == "jpegblip")) {
                QByteArray data = p.data;
                QBuffer buffer(&data);
                const QSize size = QImageReader(&buffer).size();
                picw = size.width();
                pich = size.height();
            }
            if (picw > 0 && pich > 0)
                m_out += "\\picw" + QByteArray::number(picw) + "\\pich" + QByteArray::number(pich);
            if (p.goalW > 0 && p.goalH > 0)
                m_out += "\\picwgoal" + QByteArray::number(p.goalW) + "\\pichgoal" + QByteArray::number(p.goalH);
            if (p.scaleX != 100 || p.scaleY != 100)
                m_out += "\\picscalex" + QByteArray::number(p.scaleX) + "\\picscaley" + QByteArray::number(p.scaleY);
            if (p.cropL || p.cropR || p.cropT || p.cropB)
                m_out += "\\piccropl" + QByteArray::number(p.cropL) + "\\piccropr" + QByteArray::number(p.cropR) +
                         "\\piccropt" + QByteArray::number(p.cropT) + "\\piccropb" + QByteArray::number(p.cropB);
            m_out += "\r\n";
            appendHexData(m_out, p.data);
            m_out += '}';
            return;
        }
    }
    const QVariant resource = m_doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image = resource.value<QImage>();
    if (image.isNull())
        image = resource.value<QPixmap>().toImage();
    if (image.isNull() && resource.typeId() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const double w = format.width() > 0 ? format.width() : image.width();
    const double h = format.height() > 0 ? format.height() : image.height() * w / std::max(1, image.width());
    m_out += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
             QByteArray::number(image.height()) + "\\picwgoal" + twips(w) + "\\pichgoal" + twips(h) + "\r\n";
    appendHexData(m_out, png);
    m_out += '}';
}

void Writer::writeListItem(const QTextBlock &b, const QTextList *list)
{
    const QByteArray ls = "\\ls" + QByteArray::number(m_ls.value(list)) + "\\ilvl" +
                          QByteArray::number(qBound(0, list->format().indent() - 1, 8));
    if (!isNumbered(list)) {
        m_out += "{\\pntext\\f" + QByteArray::number(m_symbolFont) + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" +
                 QByteArray::number(m_symbolFont) + "\\pnindent0{\\pntxtb\\'b7}}" + ls;
        return;
    }
    // The number for readers that know lists (\ls), that know WordPad's
    // numbering (\pn: each item its own start) and that know neither
    // (\pntext).
    const QTextListFormat lf = list->format();
    const int number = list->itemNumber(b) + 1;
    const QByteArray font = QByteArray::number(qMax(0, int(m_fonts.indexOf(familyOf(b.charFormat(), m_default)))));
    m_out += "{\\pntext\\f" + font + ' ';
    appendText(m_out, list->itemText(b));
    m_out += "\\tab}{\\*\\pn\\pnlvlbody\\pnf" + font + "\\pnindent0\\pnstart" + QByteArray::number(number) +
             pnStyle(lf.style());
    if (!lf.numberPrefix().isEmpty()) {
        m_out += "{\\pntxtb ";
        appendText(m_out, lf.numberPrefix());
        m_out += '}';
    }
    m_out += "{\\pntxta ";
    appendText(m_out, numberSuffix(lf));
    m_out += "}}" + ls;
}

void Writer::writeBlock(const QTextBlock &b, int level, const char *end)
{
    const bool inCell = qstrcmp(end, "\\par") != 0;
    if (isPad(b) && !inCell)
        return; // the list's start is written with the list
    const QTextBlockFormat bf = b.blockFormat();
    const QTextList *list = isPad(b) ? nullptr : b.textList();
    qreal left = bf.leftMargin();
    qreal firstLine = bf.textIndent();
    if (list) {
        left += list->format().indent() * m_doc.indentWidth();
        firstLine -= m_hang;
    }
    m_out += "\\pard";
    if (level > 0) {
        m_out += "\\intbl";
        if (level > 1)
            m_out += "\\itap" + QByteArray::number(level);
    }
    if (list)
        writeListItem(b, list);
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    m_out += (a & Qt::AlignHCenter) ? "\\qc" : (a & Qt::AlignJustify) ? "\\qj" : (a & Qt::AlignRight) ? "\\qr" : "\\ql";
    m_out += "\\li" + QByteArray::number(toTwips(left, m_upi));
    m_out += "\\ri" + QByteArray::number(toTwips(bf.rightMargin(), m_upi));
    m_out += "\\fi" + QByteArray::number(toTwips(firstLine, m_upi));
    if (bf.topMargin() != 0)
        m_out += "\\sb" + QByteArray::number(toTwips(bf.topMargin(), m_upi));
    if (bf.bottomMargin() != 0)
        m_out += "\\sa" + QByteArray::number(toTwips(bf.bottomMargin(), m_upi));
    if ((bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) || m_breakNext)
        m_out += "\\pagebb";
    m_breakNext = bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
    // An empty paragraph still carries its mark's character format.
    if (b.begin().atEnd())
        setChar(b.charFormat());
    else
        m_out += ' ';
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat f = frag.charFormat();
        setChar(f);
        if (f.isImageFormat()) {
            // Each object character of the fragment is a picture.
            for (int i = 0; i < frag.length(); ++i)
                writePicture(f.toImageFormat());
        } else if (f.objectType() == kHiddenTextObject) {
            for (int i = 0; i < frag.length(); ++i) {
                m_out += "{\\v ";
                appendText(m_out, f.stringProperty(kHiddenTextProperty));
                m_out += '}';
            }
        } else {
            appendText(m_out, frag.text());
        }
    }
    m_out += end;
    m_out += "\r\n";
}

} // namespace

QByteArray write(const QTextDocument &doc, double unitsPerInch)
{
    Writer writer(doc, unitsPerInch);
    return writer.run();
}

} // namespace rtf
