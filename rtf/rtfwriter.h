#pragma once
// Writes a QTextDocument as RTF that Word, WordPad and LibreOffice open with
// the Cyrillic intact:
//   \rtf1\ansi\ansicpg1251, a font table (\fcharset204 for the text fonts,
//   \fcharset2 Symbol for bullets), a colour table, paragraphs with
//   \ql \qc \qr \qj and \li \ri \fi \sb \sa in twips, character runs with
//   \f, \fs (half-points), \b, \i, \ul, \strike, \cf, bullets as WordPad
//   writes them ({\pntext ...}{\*\pn\pnlvlblt ...}), Windows-1251 characters
//   as \'hh, anything else as \uN (signed 16-bit) followed by "?".
// Lines of the file end in CR LF.
#include <QByteArray>

class QTextDocument;

namespace rtf {

QByteArray write(const QTextDocument &doc, double unitsPerInch = 96.0);

} // namespace rtf
