#include "rtf/rtfwriter.h"

#include "rtf/rtfcommon.h"

#include <QColor>
#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QList>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
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

// A picture of the document as {\pict\pngblip ...}, at its size on the page.
void appendPicture(QByteArray &out, const QTextDocument &doc, const QTextImageFormat &format, double unitsPerInch)
{
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
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
    const auto twips = [unitsPerInch](double v) { return QByteArray::number(toTwips(v, unitsPerInch)); };
    out += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
           QByteArray::number(image.height()) + "\\picwgoal" + twips(w) + "\\pichgoal" + twips(h) + "\r\n";
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        out += hex.mid(i, 128) + "\r\n";
    out += '}';
}

void appendHexByte(QByteArray &out, uchar b)
{
    out += "\\'";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
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
    return qBound(1, int(std::lround(pt * 2)), 3276);
}

QString familyOf(const QTextCharFormat &f, const QFont &fallback)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.constFirst().isEmpty())
        return families.constFirst();
    return fallback.family();
}

bool isBullet(const QTextBlock &block)
{
    return block.textList() != nullptr;
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
    int vertical = 0; // 0 normal, 1 super, -1 sub
};

} // namespace

QByteArray write(const QTextDocument &doc, double unitsPerInch)
{
    const QFont defaultFont = doc.defaultFont();

    // Fonts and colours in first use order; font 0 is the document's own.
    QStringList fonts{defaultFont.family()};
    QList<QRgb> colours;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString family = familyOf(f, defaultFont);
            if (!fonts.contains(family))
                fonts << family;
            if (f.hasProperty(QTextFormat::ForegroundBrush)) {
                const QRgb c = f.foreground().color().rgb();
                if (!colours.contains(c))
                    colours << c;
            }
        }
    }
    const int symbolFont = int(fonts.size());

    QByteArray out;
    out.reserve(doc.characterCount() * 2 + 512);
    out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\r\n{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i)
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset204 " + fontName(fonts.at(i)) + ";}";
    out += "{\\f" + QByteArray::number(symbolFont) + "\\fnil\\fcharset2 Symbol;}}\r\n";
    out += "{\\colortbl ;";
    for (const QRgb c : colours)
        out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue" +
               QByteArray::number(qBlue(c)) + ';';
    out += "}\r\n\\viewkind4\\uc1";

    CharState cur;
    bool first = true;
    const auto setChar = [&](const QTextCharFormat &f) {
        CharState want;
        want.font = int(fonts.indexOf(familyOf(f, defaultFont)));
        want.size = halfPoints(f, defaultFont);
        want.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : defaultFont.bold();
        want.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : defaultFont.italic();
        want.underline = f.hasProperty(QTextFormat::TextUnderlineStyle) ? f.fontUnderline() : defaultFont.underline();
        want.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : defaultFont.strikeOut();
        want.colour = f.hasProperty(QTextFormat::ForegroundBrush)
                          ? int(colours.indexOf(f.foreground().color().rgb())) + 1
                          : 0;
        want.vertical = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
                        : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? -1
                                                                                    : 0;
        QByteArray words;
        if (first || want.font != cur.font)
            words += "\\f" + QByteArray::number(want.font);
        if (first || want.size != cur.size)
            words += "\\fs" + QByteArray::number(want.size);
        if (first || want.bold != cur.bold)
            words += want.bold ? "\\b" : "\\b0";
        if (first || want.italic != cur.italic)
            words += want.italic ? "\\i" : "\\i0";
        if (first || want.underline != cur.underline)
            words += want.underline ? "\\ul" : "\\ulnone";
        if (first || want.strike != cur.strike)
            words += want.strike ? "\\strike" : "\\strike0";
        if (first || want.colour != cur.colour)
            words += "\\cf" + QByteArray::number(want.colour);
        if (first || want.vertical != cur.vertical)
            words += want.vertical > 0 ? "\\super" : want.vertical < 0 ? "\\sub" : "\\nosupersub";
        if (!words.isEmpty())
            out += words + ' ';
        cur = want;
        first = false;
    };

    const qreal hang = bulletHang(doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        const bool bullet = isBullet(b);
        qreal left = bf.leftMargin();
        qreal firstLine = bf.textIndent();
        if (bullet) {
            left += b.textList()->format().indent() * doc.indentWidth();
            firstLine -= hang;
        }
        out += "\\pard";
        if (bullet)
            out += "{\\pntext\\f" + QByteArray::number(symbolFont) + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" +
                   QByteArray::number(symbolFont) + "\\pnindent0{\\pntxtb\\'b7}}";
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        out += (a & Qt::AlignHCenter) ? "\\qc" : (a & Qt::AlignJustify) ? "\\qj" : (a & Qt::AlignRight) ? "\\qr" : "\\ql";
        out += "\\li" + QByteArray::number(toTwips(left, unitsPerInch));
        out += "\\ri" + QByteArray::number(toTwips(bf.rightMargin(), unitsPerInch));
        out += "\\fi" + QByteArray::number(toTwips(firstLine, unitsPerInch));
        if (bf.topMargin() != 0)
            out += "\\sb" + QByteArray::number(toTwips(bf.topMargin(), unitsPerInch));
        if (bf.bottomMargin() != 0)
            out += "\\sa" + QByteArray::number(toTwips(bf.bottomMargin(), unitsPerInch));
        // An empty paragraph still carries its mark's character format.
        if (b.begin().atEnd())
            setChar(b.charFormat());
        else
            out += ' ';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            setChar(frag.charFormat());
            if (frag.charFormat().isImageFormat())
                appendPicture(out, doc, frag.charFormat().toImageFormat(), unitsPerInch);
            else
                appendText(out, frag.text());
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace rtf
