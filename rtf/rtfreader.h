#pragma once
// Reads RTF into a QTextDocument: what our writer writes, and RTF as Word,
// WordPad and LibreOffice write it.
//
// Read: the font table with charsets, the colour table, \'hh decoded by the
// current font's charset (204 Windows-1251, 0 Windows-1252, ...; \ansicpg
// for fonts without one), \uN with \ucN, \par \line \tab and the special
// characters, \b \i \ul \strike \f \fs \cf \super \sub, \pard \plain,
// \ql \qc \qr \qj \li \ri \fi \sb \sa, WordPad and Word bullets (\pn...,
// \ls), table cells as tabs and rows as paragraphs.
// Skipped: \stylesheet, \info, \pict and the other destinations that hold no
// text of the document, every {\* ...} group, \binN data (bounded by the
// bytes present). Unknown control words are ignored.
// Malformed input never crashes and never hangs: a missing closing brace
// ends the text where the file ends, a stray one is ignored, nesting deeper
// than kMaxDepth groups is an error.
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

constexpr int kMaxDepth = 256;

// True when the bytes start as RTF ("{\rtf", blanks before it allowed).
bool isRtf(const QByteArray &bytes);

struct ReadResult {
    bool ok = false;
    QString error; // why the text could not be read; empty when ok
};

// Replaces the document's text with the RTF's. On failure the document is
// left as it was.
ReadResult read(const QByteArray &bytes, QTextDocument *doc, double unitsPerInch = 96.0);

} // namespace rtf
