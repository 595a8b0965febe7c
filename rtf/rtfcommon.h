#pragma once
// What the reader and the writer agree on: units, the bullet layout, the
// bounds any file is held to, and how pictures, hidden text and list starts
// live in a QTextDocument.
#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringView>
#include <QTextFormat>
#include <QtGlobal>

class QTextDocument;

namespace rtf {

// Paragraph indents in a QTextDocument are layout units: pixels of the
// screen the text is shown on. unitsPerInch is that screen's logical
// resolution (96 on most desktops); RTF counts in twips, 1440 per inch.
inline double twipsPerUnit(double unitsPerInch) { return 1440.0 / unitsPerInch; }
int toTwips(qreal units, double unitsPerInch);
qreal fromTwips(qint64 twips, double unitsPerInch);

// A bulleted paragraph hangs its bullet in the list's indent; in RTF the
// same space is a negative first-line indent, as WordPad and Word write it.
qreal bulletHang(const QTextDocument &doc);

// --- Bounds ------------------------------------------------------------------
// Whatever a file says, the editor is asked for no more than a page can
// hold and lays the text out in moments (Qt 6.4, measured on this program's
// machines; see bench/bench_rtf.cpp).

// Sizes on the page (indents, spacing, cell edges, pictures) stay within the
// largest page, 22 inches; letters stay no taller than it.
constexpr int kMaxTwips = 31680;
constexpr int kMaxHalfPoints = 2 * 1584;

// A paragraph up to this many characters is kept whole: with blanks to wrap
// at, 100,000 characters are laid out in about 0.1 s (64 KB of ordinary
// text is opened and laid out in 0.03 s of processor time, bench_rtf). A
// longer one is cut into paragraphs, at a blank near the limit where there
// is one.
constexpr qsizetype kLongParagraph = 100000;
// A blank is "near" when it is at most this far before the limit.
constexpr qsizetype kNearBlank = kLongParagraph / 10;
// Without a blank the layout of a stretch costs time growing with the square
// of its length (16,000 characters: 0.14 s; 64,000: 1.9 s); one stretch
// longer than this is cut after this many characters (2 ms each).
constexpr qsizetype kLongWord = 2000;

// More empty paragraphs in a row than this only make blank pages; the rest
// are left out.
constexpr int kMaxEmptyRun = 100;
// Qt lays text out only to a height of 8,388,607 units (QFIXED_MAX: a
// taller document hangs the layout), and each paragraph costs it about 600
// bytes: a document is read up to this many paragraphs or this height,
// estimated high, and no further.
constexpr int kMaxParagraphs = 200000;
constexpr qreal kMaxLayoutHeight = 4000000;
// No paragraph is taller than this: in large letters a paragraph is cut
// after fewer characters.
constexpr qreal kMaxParagraphHeight = kMaxLayoutHeight / 4;
// Each change of character format costs the layout about 10 microseconds;
// after this many, the text goes on in the format it has.
constexpr int kMaxFormatRuns = 100000;
// Qt renumbers a whole list for each item added: items in one list, and in
// all lists together, beyond which list numbers are written into the text.
constexpr int kMaxListItems = 2000;
constexpr int kMaxListedItems = 20000;
// Tables: cells of one table before the rest goes on in a new table (a table
// is laid out at once, about 40 microseconds a cell; so it also does after
// kMaxParagraphHeight), cells in all, columns of a row, levels of tables in
// tables.
constexpr int kMaxTableCells = 5000;
constexpr int kMaxCells = 100000;
constexpr int kMaxColumns = 63;
constexpr int kMaxTableDepth = 8;
// Pixels of all pictures decoded for the page together (4 bytes each).
constexpr qint64 kPictureBudget = 24 * 1024 * 1024;

// Where a paragraph too long to lay out quickly is cut: the ends of its
// pieces but the last, each piece at most `limit` characters (a blank is
// near within a tenth of it) and no stretch without a blank longer than
// kLongWord. A piece cut at a blank ends with it. Empty when the paragraph
// is kept whole.
QList<qsizetype> paragraphCuts(QStringView text, qsizetype limit = kLongParagraph);
// The end of the first piece from `from` when it must be cut within text,
// otherwise -1 (the decision needs no text after the cut).
qsizetype nextCut(QStringView text, qsizetype from, qsizetype limit = kLongParagraph);
// A character after which a line may wrap: blanks, tabs and line breaks.
inline bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == 0x2028 || u == 0x3000 || (u >= 0x2000 && u <= 0x200B);
}

// --- What a QTextDocument holds for RTF -------------------------------------

// Hidden text (\v): an object character of no size carrying the text, in
// the character format the text had.
constexpr int kHiddenTextObject = QTextFormat::UserObject + 21;
constexpr int kHiddenTextProperty = QTextFormat::UserProperty + 21;
// A list that starts at N (Qt 6.4 lists count from 1) is preceded by N - 1
// invisible empty items marked with this block property.
constexpr int kListPadProperty = QTextFormat::UserProperty + 22;

// A picture as the file gave it, kept as a resource of the document under
// keptBytesName(the picture's name) and written back byte for byte: the
// picture kind's control words ("pngblip", "wmetafile8", ...), the data and
// the size words.
struct PictureBytes {
    QByteArray kind;
    QByteArray data;
    int picw = 0, pich = 0;
    int goalW = 0, goalH = 0;
    int scaleX = 100, scaleY = 100;
    int cropL = 0, cropT = 0, cropR = 0, cropB = 0;
};

inline QString keptBytesName(const QString &pictureName)
{
    return pictureName + QLatin1String("#rtf-bytes");
}

} // namespace rtf

Q_DECLARE_METATYPE(rtf::PictureBytes)
