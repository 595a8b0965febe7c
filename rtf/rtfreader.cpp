#include "rtf/rtfreader.h"

#include "rtf/rtfcommon.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextList>
#include <QUrl>

#include <vector>

namespace rtf {

namespace {

enum class Dest {
    Text,      // the document's text
    Skip,      // read for its structure only
    FontTable,
    ColorTable,
    Pn,        // Word 6 / WordPad paragraph numbering: {\*\pn ...}
    Pict,      // a picture: {\pict\pngblip ... hex data}
};

enum ListKind { NoList = 0, BulletList = 1, NumberList = 2 };

struct CharProps {
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int colour = 0;
    int vertical = 0;

    bool operator==(const CharProps &) const = default;
};

struct ParaProps {
    int align = 0; // 0 left, 1 centre, 2 right, 3 justified
    qint64 li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    int list = NoList;
};

struct State {
    CharProps ch;
    ParaProps para;
    Dest dest = Dest::Text;
    int uc = 1;
};

struct Run {
    CharProps props;
    QString text;
    QImage image;       // a picture in place of text
    qint64 widthTw = 0; // its size on the page, in twips (0: its own)
    qint64 heightTw = 0;
};

// The picture being read.
struct Pict {
    const char *format = nullptr; // "PNG", "JPG", or none we can show
    QByteArray hex;
    qint64 widthTw = 0, heightTw = 0;
};

struct Paragraph {
    ParaProps props;
    CharProps mark;
    std::vector<Run> runs;
};

struct Font {
    QString name;
    int charset = -1; // -1: none given
};

// Windows charset numbers to code page names the codec library knows.
QByteArray codecForCharset(int charset, const QByteArray &ansi)
{
    switch (charset) {
    case 0: return "windows-1252";
    case 2: return "windows-1252"; // Symbol: read as Latin, it is only ever bullets
    case 77: return "macintosh";
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return ansi;
    }
}

QByteArray codecForCodePage(qint64 cp)
{
    switch (cp) {
    case 65001: return "UTF-8";
    case 10000: return "macintosh";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 950: return "Big5";
    default:
        break;
    }
    if (cp >= 1250 && cp <= 1258)
        return "windows-" + QByteArray::number(cp);
    if (cp > 0 && cp < 100000) {
        const QByteArray name = "cp" + QByteArray::number(cp);
        if (QStringDecoder(name.constData()).isValid())
            return name;
    }
    return "windows-1252";
}

class Reader {
public:
    Reader(const QByteArray &bytes)
        : m_in(bytes)
    {
    }

    ReadResult run();
    void build(QTextDocument *doc, double unitsPerInch) const;

private:
    // Input
    int peek() const { return m_pos < m_in.size() ? uchar(m_in.at(m_pos)) : -1; }
    void controlWord();
    void controlSymbol(char c);
    void text(char c);
    void hexByte(uchar b);

    // Groups
    bool openGroup();
    void closeGroup();
    State &st() { return m_stack.back(); }
    State *outerTextState();

    // Output
    void flushBytes();
    void appendChar(QChar c);
    void appendText(const QString &s);
    void endParagraph();
    QByteArray codecOfCurrentFont() const;

    bool skipping() const { return m_stack.back().dest == Dest::Skip; }
    bool consumeUnicodeFallback();

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    std::vector<State> m_stack;
    State m_final; // the outermost group's state when it closed
    bool m_star = false;
    bool m_started = false;
    bool m_finished = false;
    int m_fallbackLeft = 0; // characters still to skip after \uN

    QByteArray m_ansi = "windows-1252";
    int m_deff = 0;
    QHash<int, Font> m_fonts;
    int m_fontEntry = 0;
    QString m_fontName;
    QList<QColor> m_colours;
    int m_red = -1, m_green = -1, m_blue = -1;

    QByteArray m_pendingBytes;
    QByteArray m_pendingCodec;
    QHash<QByteArray, bool> m_codecValid;

    std::vector<Paragraph> m_paragraphs;
    Paragraph m_current;
    Pict m_pict;
    bool m_sawPar = false;
    QString m_error;
};

bool Reader::openGroup()
{
    flushBytes();
    m_fallbackLeft = 0;
    if (int(m_stack.size()) >= kMaxDepth) {
        m_error = QStringLiteral("вложенность групп RTF глубже %1").arg(kMaxDepth);
        return false;
    }
    m_stack.push_back(m_stack.empty() ? State() : m_stack.back());
    m_star = false;
    return true;
}

void Reader::closeGroup()
{
    flushBytes();
    m_fallbackLeft = 0;
    m_star = false;
    if (m_stack.empty())
        return;
    const Dest leaving = m_stack.back().dest;
    const CharProps leavingChar = m_stack.back().ch;
    if (m_stack.size() == 1)
        m_final = m_stack.back();
    m_stack.pop_back();
    if (leaving == Dest::Pict && (m_stack.empty() || m_stack.back().dest != Dest::Pict)) {
        QImage image;
        if (m_pict.format)
            image = QImage::fromData(QByteArray::fromHex(m_pict.hex), m_pict.format);
        if (!image.isNull())
            m_current.runs.push_back(Run{leavingChar, QString(), image, m_pict.widthTw, m_pict.heightTw});
        m_pict = Pict();
    }
    // A font entry without its closing ";" still names its font.
    if (leaving == Dest::FontTable && !m_fontName.trimmed().isEmpty()) {
        m_fonts[m_fontEntry].name = m_fontName.trimmed();
        m_fontName.clear();
    }
    if (m_stack.empty())
        m_finished = true;
}

State *Reader::outerTextState()
{
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
        if (it->dest == Dest::Text)
            return &*it;
    return nullptr;
}

QByteArray Reader::codecOfCurrentFont() const
{
    const int f = m_stack.back().ch.font < 0 ? m_deff : m_stack.back().ch.font;
    const auto it = m_fonts.constFind(f);
    return codecForCharset(it == m_fonts.constEnd() ? -1 : it->charset, m_ansi);
}

void Reader::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    QByteArray codec = m_pendingCodec;
    auto valid = m_codecValid.constFind(codec);
    if (valid == m_codecValid.constEnd())
        valid = m_codecValid.insert(codec, QStringDecoder(codec.constData()).isValid());
    if (!*valid)
        codec = "windows-1252";
    QStringDecoder decoder(codec.constData());
    const QString s = decoder(m_pendingBytes);
    m_pendingBytes.clear();
    Dest d = m_stack.empty() ? Dest::Text : m_stack.back().dest;
    if (d == Dest::FontTable)
        m_fontName += s;
    else if (d == Dest::Text)
        appendText(s);
}

void Reader::appendText(const QString &text)
{
    // A control character (other than a tab) or an object mark is no text,
    // however it was written (\'hh, \uN).
    QString s = text;
    s.removeIf([](QChar ch) {
        return (ch.unicode() < 0x20 && ch.unicode() != '\t') || ch == QChar::ObjectReplacementCharacter;
    });
    if (s.isEmpty())
        return;
    const CharProps &p = m_stack.back().ch;
    if (m_current.runs.empty() || !(m_current.runs.back().props == p))
        m_current.runs.push_back(Run{p, QString(), QImage(), 0, 0});
    m_current.runs.back().text += s;
}

void Reader::appendChar(QChar c)
{
    flushBytes();
    if (m_stack.back().dest == Dest::Text)
        appendText(QString(c));
    else if (m_stack.back().dest == Dest::FontTable)
        m_fontName += c;
}

void Reader::endParagraph()
{
    flushBytes();
    State *s = outerTextState();
    if (!s)
        return;
    m_current.props = s->para;
    m_current.mark = s->ch;
    m_paragraphs.push_back(std::move(m_current));
    m_current = Paragraph();
    m_sawPar = true;
}

void Reader::hexByte(uchar b)
{
    const Dest d = m_stack.back().dest;
    if (d != Dest::Text && d != Dest::FontTable)
        return;
    const QByteArray codec = d == Dest::FontTable
                                 ? codecForCharset(m_fonts.value(m_fontEntry).charset, m_ansi)
                                 : codecOfCurrentFont();
    if (!m_pendingBytes.isEmpty() && codec != m_pendingCodec)
        flushBytes();
    m_pendingCodec = codec;
    m_pendingBytes += char(b);
}

void Reader::text(char c)
{
    const Dest d = m_stack.back().dest;
    if (d == Dest::Pict) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
            m_pict.hex += c;
        return;
    }
    if (d == Dest::ColorTable) {
        if (c == ';') {
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colours << QColor(); // "auto"
            else
                m_colours << QColor(qBound(0, m_red, 255), qBound(0, m_green, 255), qBound(0, m_blue, 255));
            m_red = m_green = m_blue = -1;
        }
        return;
    }
    if (d == Dest::FontTable) {
        if (c == ';') {
            flushBytes();
            m_fonts[m_fontEntry].name = m_fontName.trimmed();
            m_fontName.clear();
        } else if (uchar(c) >= 0x80) {
            hexByte(uchar(c));
        } else {
            appendChar(QLatin1Char(c));
        }
        return;
    }
    if (d != Dest::Text)
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
    flushBytes();
    appendText(QString(QLatin1Char(c)));
}

bool Reader::consumeUnicodeFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
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
        if (consumeUnicodeFallback() || digits == 0)
            return; // a bad \' is dropped
        hexByte(uchar(value));
        return;
    }
    if (consumeUnicodeFallback())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (m_stack.back().dest == Dest::Text || m_stack.back().dest == Dest::FontTable)
            appendChar(QLatin1Char(c));
        break;
    case '~':
        appendChar(QChar(QChar::Nbsp));
        break;
    case '_':
        appendChar(QChar(0x2011));
        break;
    case '-':
        appendChar(QChar(0x00AD)); // optional hyphen
        break;
    case '*':
        m_star = true;
        return;
    case '\r':
    case '\n':
        if (m_stack.back().dest == Dest::Text)
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
    while (m_pos < m_in.size() && ((m_in.at(m_pos) >= 'a' && m_in.at(m_pos) <= 'z') ||
                                   (m_in.at(m_pos) >= 'A' && m_in.at(m_pos) <= 'Z')))
        ++m_pos;
    const QByteArray word = m_in.mid(start, qMin<qsizetype>(m_pos - start, 32));
    bool hasParam = false;
    bool negative = false;
    qint64 param = 0;
    if (m_pos < m_in.size() && m_in.at(m_pos) == '-' && m_pos + 1 < m_in.size() && m_in.at(m_pos + 1) >= '0' &&
        m_in.at(m_pos + 1) <= '9') {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_in.size() && m_in.at(m_pos) >= '0' && m_in.at(m_pos) <= '9') {
        hasParam = true;
        if (param < 1000000000000LL)
            param = param * 10 + (m_in.at(m_pos) - '0');
        ++m_pos;
    }
    if (negative)
        param = -param;
    if (m_pos < m_in.size() && m_in.at(m_pos) == ' ')
        ++m_pos;
    const int iparam = int(qBound(qint64(-2147483647), param, qint64(2147483647)));

    // Bytes of \'hh gathered so far belong to the state before this word.
    flushBytes();
    // Binary data is skipped wherever it stands, bounded by what is there.
    if (word == "bin") {
        const qint64 n = hasParam && param > 0 ? param : 0;
        m_pos += qsizetype(qMin<qint64>(n, m_in.size() - m_pos));
        m_star = false;
        return;
    }

    if (m_fallbackLeft > 0 && word != "u") {
        --m_fallbackLeft;
        m_star = false;
        return;
    }

    State &s = st();
    const bool star = m_star;
    m_star = false;

    // Destinations: a group whose text is not the document's.
    static const QList<QByteArray> skipped{
        "stylesheet", "info", "object", "header", "headerl", "headerr", "headerf", "footer", "footerl",
        "footerr", "footerf", "footnote", "annotation", "fldinst", "xe", "tc", "txe", "rxe", "nonshppict",
        "shp", "pntext", "listtext", "pntxta", "pntxtb", "listtable", "listoverridetable", "revtbl",
        "rsidtbl", "filetbl", "generator", "themedata", "colorschememapping", "datastore", "latentstyles",
        "author", "operator", "title", "subject", "keywords", "comment", "doccomm", "private", "template",
        "buptim", "creatim", "printim", "revtim", "objdata", "result", "bkmkstart", "bkmkend", "userprops",
        "docvar", "xmlnstbl", "mmathPr", "wgrffmtfilter", "pgdsctbl"};
    if (word == "fonttbl") {
        s.dest = s.dest == Dest::Skip ? Dest::Skip : Dest::FontTable;
        return;
    }
    if (word == "colortbl") {
        s.dest = s.dest == Dest::Skip ? Dest::Skip : Dest::ColorTable;
        return;
    }
    if (word == "pn" && s.dest == Dest::Text) {
        s.dest = Dest::Pn;
        return;
    }
    // Word puts its pictures in {\*\shppict{\pict ...}} and a copy for old
    // readers in {\nonshppict ...}: the first is read, the second skipped.
    if (word == "shppict" && s.dest == Dest::Text)
        return;
    if (word == "pict") {
        if (s.dest == Dest::Text) {
            s.dest = Dest::Pict;
            m_pict = Pict();
        } else {
            s.dest = Dest::Skip;
        }
        return;
    }
    if (s.dest == Dest::Pict) {
        if (word == "pngblip")
            m_pict.format = "PNG";
        else if (word == "jpegblip")
            m_pict.format = "JPG";
        else if (word == "picwgoal")
            m_pict.widthTw = qBound(0, iparam, 31680);
        else if (word == "pichgoal")
            m_pict.heightTw = qBound(0, iparam, 31680);
        return;
    }
    if (star || skipped.contains(word)) {
        s.dest = Dest::Skip;
        return;
    }
    if (s.dest == Dest::Skip)
        return;

    if (s.dest == Dest::FontTable) {
        if (word == "f") {
            flushBytes();
            m_fontEntry = iparam;
            m_fontName.clear();
            m_fonts[m_fontEntry].charset = -1;
        } else if (word == "fcharset") {
            m_fonts[m_fontEntry].charset = iparam;
        }
        return;
    }
    if (s.dest == Dest::ColorTable) {
        if (word == "red")
            m_red = iparam;
        else if (word == "green")
            m_green = iparam;
        else if (word == "blue")
            m_blue = iparam;
        return;
    }
    if (s.dest == Dest::Pn) {
        State *outer = outerTextState();
        if (!outer)
            return;
        if (word == "pnlvlblt")
            outer->para.list = BulletList;
        else if (word == "pnlvlbody")
            outer->para.list = NumberList;
        return;
    }

    // Document-wide settings
    if (word == "ansicpg") {
        m_ansi = codecForCodePage(param);
        return;
    }
    if (word == "mac") {
        m_ansi = "macintosh";
        return;
    }
    if (word == "pc") {
        m_ansi = "IBM437";
        return;
    }
    if (word == "pca") {
        m_ansi = "IBM850";
        return;
    }
    if (word == "deff") {
        m_deff = iparam;
        return;
    }

    // Characters
    const auto put = [this](char16_t u) { appendChar(QChar(u)); };
    if (word == "par" || word == "sect" || word == "page" || word == "row") {
        endParagraph();
    } else if (word == "line") {
        put(QChar::LineSeparator);
    } else if (word == "tab" || word == "cell" || word == "nestcell") {
        put(u'\t');
    } else if (word == "emdash") {
        put(0x2014);
    } else if (word == "endash") {
        put(0x2013);
    } else if (word == "bullet") {
        put(0x2022);
    } else if (word == "lquote") {
        put(0x2018);
    } else if (word == "rquote") {
        put(0x2019);
    } else if (word == "ldblquote") {
        put(0x201C);
    } else if (word == "rdblquote") {
        put(0x201D);
    } else if (word == "emspace") {
        put(0x2003);
    } else if (word == "enspace") {
        put(0x2002);
    } else if (word == "qmspace") {
        put(0x2005);
    } else if (word == "u") {
        if (!hasParam)
            return;
        int code = int(param % 65536);
        if (code < 0)
            code += 65536;
        flushBytes();
        if (s.dest == Dest::Text)
            appendText(QString(QChar(char16_t(code))));
        m_fallbackLeft = qBound(0, s.uc, 16);
    } else if (word == "uc") {
        s.uc = qBound(0, iparam, 16);
    }
    // Character formatting
    else if (word == "plain") {
        flushBytes();
        s.ch = CharProps();
    } else if (word == "f") {
        flushBytes();
        s.ch.font = iparam;
    } else if (word == "fs") {
        s.ch.halfPoints = hasParam && iparam > 0 ? qMin(iparam, 3276) : 24;
    } else if (word == "b") {
        s.ch.bold = !hasParam || iparam != 0;
    } else if (word == "i") {
        s.ch.italic = !hasParam || iparam != 0;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" ||
               word == "uldashd" || word == "uldashdd" || word == "ulth" || word == "ulwave" || word == "ulhwave" ||
               word == "ululdbwave" || word == "ulthd" || word == "ulthdash" || word == "ulldash" ||
               word == "ulthldash" || word == "ulthdashd" || word == "ulthdashdd") {
        s.ch.underline = !hasParam || iparam != 0;
    } else if (word == "ulnone") {
        s.ch.underline = false;
    } else if (word == "strike" || word == "striked") {
        s.ch.strike = !hasParam || iparam != 0;
    } else if (word == "cf") {
        s.ch.colour = qMax(0, iparam);
    } else if (word == "super") {
        s.ch.vertical = 1;
    } else if (word == "sub") {
        s.ch.vertical = -1;
    } else if (word == "nosupersub") {
        s.ch.vertical = 0;
    }
    // Paragraph formatting
    else if (word == "pard") {
        s.para = ParaProps();
    } else if (word == "ql") {
        s.para.align = 0;
    } else if (word == "qc") {
        s.para.align = 1;
    } else if (word == "qr") {
        s.para.align = 2;
    } else if (word == "qj" || word == "qd") {
        s.para.align = 3;
    } else if (word == "li") {
        s.para.li = param;
    } else if (word == "ri") {
        s.para.ri = param;
    } else if (word == "fi") {
        s.para.fi = param;
    } else if (word == "sb") {
        s.para.sb = param;
    } else if (word == "sa") {
        s.para.sa = param;
    } else if (word == "ls") {
        s.para.list = param > 0 ? BulletList : NoList;
    }
}

ReadResult Reader::run()
{
    ReadResult result;
    m_stack.reserve(64);
    while (m_pos < m_in.size() && !m_finished) {
        const char c = m_in.at(m_pos++);
        if (!m_started) {
            // Up to the first group, only blanks are allowed.
            if (c == '{') {
                m_started = true;
                if (!openGroup())
                    break;
            } else if (c != ' ' && c != '\r' && c != '\n' && c != '\t') {
                m_error = QStringLiteral("это не файл RTF");
                break;
            }
            continue;
        }
        switch (c) {
        case '{':
            if (!openGroup())
                goto done;
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            if (m_pos >= m_in.size())
                break;
            if ((m_in.at(m_pos) >= 'a' && m_in.at(m_pos) <= 'z') || (m_in.at(m_pos) >= 'A' && m_in.at(m_pos) <= 'Z'))
                controlWord();
            else
                controlSymbol(m_in.at(m_pos++));
            break;
        case '\r':
        case '\n':
            break;
        default:
            if (consumeUnicodeFallback())
                break;
            if (m_stack.back().dest == Dest::Text && uchar(c) >= 0x20 && uchar(c) < 0x80) {
                // A stretch of plain characters goes in at once.
                qsizetype end = m_pos;
                while (end < m_in.size()) {
                    const uchar n = uchar(m_in.at(end));
                    if (n < 0x20 || n >= 0x80 || n == '\\' || n == '{' || n == '}')
                        break;
                    ++end;
                }
                flushBytes();
                appendText(QString::fromLatin1(m_in.constData() + m_pos - 1, end - m_pos + 1));
                m_pos = end;
                break;
            }
            text(c);
            break;
        }
    }
done:
    if (!m_error.isEmpty()) {
        result.error = m_error;
        return result;
    }
    if (!m_started) {
        result.error = QStringLiteral("это не файл RTF");
        return result;
    }
    if (!m_stack.empty())
        flushBytes();
    // The last paragraph needs no \par; an empty one after the last \par is
    // only the file's final paragraph mark.
    if (!m_current.runs.empty() || !m_sawPar) {
        const State *textState = m_stack.empty() ? &m_final : outerTextState();
        m_current.props = textState ? textState->para : ParaProps();
        m_current.mark = textState ? textState->ch : CharProps();
        m_paragraphs.push_back(std::move(m_current));
    }
    result.ok = true;
    return result;
}

void Reader::build(QTextDocument *doc, double unitsPerInch) const
{
    const QFont base = doc->defaultFont();
    const auto charFormat = [&](const CharProps &p) {
        QTextCharFormat f;
        const int fontNumber = p.font < 0 ? m_deff : p.font;
        const auto font = m_fonts.constFind(fontNumber);
        const QString family =
            font != m_fonts.constEnd() && !font->name.isEmpty() ? font->name : base.family();
        f.setFontFamilies({family});
        f.setFontPointSize(p.halfPoints / 2.0);
        f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(p.italic);
        f.setFontUnderline(p.underline);
        f.setFontStrikeOut(p.strike);
        if (p.colour > 0 && p.colour < m_colours.size() && m_colours.at(p.colour).isValid())
            f.setForeground(m_colours.at(p.colour));
        if (p.vertical != 0)
            f.setVerticalAlignment(p.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                  : QTextCharFormat::AlignSubScript);
        return f;
    };
    const qreal hang = bulletHang(*doc);

    doc->clear();
    int pictures = 0;
    QTextCursor c(doc);
    c.beginEditBlock();
    QTextList *list = nullptr;
    int listKind = NoList;
    bool firstBlock = true;
    for (const Paragraph &p : m_paragraphs) {
        QTextBlockFormat bf;
        switch (p.props.align) {
        case 1: bf.setAlignment(Qt::AlignHCenter); break;
        case 2: bf.setAlignment(Qt::AlignRight); break;
        case 3: bf.setAlignment(Qt::AlignJustify); break;
        default: bf.setAlignment(Qt::AlignLeft); break;
        }
        qreal left = fromTwips(p.props.li, unitsPerInch);
        qreal first = fromTwips(p.props.fi, unitsPerInch);
        if (p.props.list != NoList) {
            left = qMax<qreal>(0, left - hang);
            first += hang;
        }
        bf.setLeftMargin(left);
        bf.setTextIndent(first);
        bf.setRightMargin(qMax<qreal>(0, fromTwips(p.props.ri, unitsPerInch)));
        bf.setTopMargin(qMax<qreal>(0, fromTwips(p.props.sb, unitsPerInch)));
        bf.setBottomMargin(qMax<qreal>(0, fromTwips(p.props.sa, unitsPerInch)));
        const QTextCharFormat mark = charFormat(p.mark);
        if (firstBlock) {
            c.setBlockFormat(bf);
            c.setBlockCharFormat(mark);
            c.setCharFormat(mark);
            firstBlock = false;
        } else {
            c.insertBlock(bf, mark);
        }
        if (p.props.list != NoList) {
            if (list && listKind == p.props.list) {
                list->add(c.block());
            } else {
                QTextListFormat lf;
                lf.setStyle(p.props.list == BulletList ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
                lf.setIndent(1);
                list = c.createList(lf);
                listKind = p.props.list;
            }
        } else {
            list = nullptr;
            listKind = NoList;
        }
        for (const Run &r : p.runs) {
            if (r.image.isNull()) {
                c.insertText(r.text, charFormat(r.props));
                continue;
            }
            const QString name = QStringLiteral("rtf-picture-%1").arg(++pictures);
            doc->addResource(QTextDocument::ImageResource, QUrl(name), r.image);
            QTextImageFormat f;
            f.setName(name);
            if (r.widthTw > 0 && r.heightTw > 0) {
                f.setWidth(r.widthTw * unitsPerInch / 1440.0);
                f.setHeight(r.heightTw * unitsPerInch / 1440.0);
            }
            c.insertImage(f);
        }
    }
    c.endEditBlock();
}

} // namespace

bool isRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && (bytes.at(i) == ' ' || bytes.at(i) == '\r' || bytes.at(i) == '\n' || bytes.at(i) == '\t'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

ReadResult read(const QByteArray &bytes, QTextDocument *doc, double unitsPerInch)
{
    Reader reader(bytes);
    ReadResult result = reader.run();
    if (result.ok)
        reader.build(doc, unitsPerInch);
    return result;
}

} // namespace rtf
