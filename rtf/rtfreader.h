#pragma once
// Reads RTF into a QTextDocument: what our writer writes, and RTF as Word,
// WordPad and LibreOffice write it.
//
// Read: the font table with charsets and code pages (a font name written as
// \uN included), the colour table, \'hh decoded by the current font's
// charset (204 Windows-1251, 0 Windows-1252, ...), else its \cpg, else
// \ansicpg, else the language of the text (\lang, \deflang), else
// Windows-1251, the code page of this program's files; \uN with \ucN; \par
// \line \tab \page and the special characters; \b \i \ul \strike \f \fs \cf
// \highlight \super \sub \v (hidden text, kept); \pard \plain, \ql \qc \qr
// \qj \li \ri \fi \sb \sa \pagebb; lists as Word and LibreOffice write them
// (\listtable, \listoverridetable, \ls, \ilvl: bullets, numbers, letters,
// roman numbers, their start and text around the number) and as WordPad
// writes them (\pn ...); tables (\trowd \cellx \intbl \cell \row, nested
// ones with \itap \nestcell \nestrow, merged cells); pictures (\pngblip,
// \jpegblip, \dibitmap, \wbitmap inside \pict, also within \shppict and
// with \picprop and \blipuid groups; \nonshppict only where no \shppict
// stands before it), shown at their size on the page (\picwgoal,
// \picscalex, the crop values). A picture the program cannot draw
// (\wmetafile, \emfblip, \macpict, ...) is shown as a framed placeholder of
// its size. Every picture's bytes are kept for the writer.
// Skipped: \stylesheet, \info, headers, footers, footnotes, every {\* ...}
// group not named above, \binN data elsewhere. Unknown words are ignored.
//
// Bounded work on any bytes (rtfcommon.h): sizes clamped to the page,
// paragraphs cut where the layout would be slow, runs of empty paragraphs
// shortened, pictures decoded at the size shown within a memory budget.
// Groups nested deeper than kMaxDepth are read with the formatting of the
// deepest level kept. What was changed so is told in ReadResult::notes.
#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextDocument;

namespace rtf {

constexpr int kMaxDepth = 256;

// True when the bytes start as RTF ("{\rtf", blanks or a UTF-8 byte order
// mark before it allowed).
bool isRtf(const QByteArray &bytes);

// What the reader changed to keep the work bounded or could not show.
struct ReadNotes {
    int cutParagraphs = 0;      // paragraphs cut into pieces
    int undrawnPictures = 0;    // shown as placeholders (kept for the save)
    int reducedPictures = 0;    // decoded smaller than shown, for memory
    int droppedEmpty = 0;       // empty paragraphs left out
    int truncated = 0;          // paragraphs read before the rest was left unread
    bool formatsDropped = false; // format changes past kMaxFormatRuns
    int writtenNumbers = 0;     // list items whose numbers became text
    int splitTables = 0;        // tables continued in a new table
    int flatCells = 0;          // table cells read as text with tabs
    bool any() const
    {
        return cutParagraphs || undrawnPictures || reducedPictures || droppedEmpty || truncated ||
               formatsDropped || writtenNumbers || splitTables || flatCells;
    }
    // One sentence in Russian for each thing changed.
    QStringList sentences() const;
};

struct ReadResult {
    bool ok = false;
    QString error; // why the text could not be read; empty when ok
    ReadNotes notes;
};

// Replaces the document's text with the RTF's. On failure the document is
// left as it was. The document's undo history is not kept.
ReadResult read(const QByteArray &bytes, QTextDocument *doc, double unitsPerInch = 96.0);

} // namespace rtf
