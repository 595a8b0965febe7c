#pragma once
// Windows-1251 conversion at the file boundary. In memory every text is a
// QString; on disk every text file of the program is Windows-1251.
//
// The code page is a fixed table: bytes below 0x80 are ASCII, 0xC0-0xFF are
// А-я, and the 64 bytes between hold the remaining letters and signs. The
// table lives here, so that the card index can decode and encode a hundred
// thousand cards field by field without a converter object per call.
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace cp1251 {

// The character of every byte.
extern const char16_t kToUnicode[256];

// Decodes n bytes into out (n characters). Every byte has a character.
void decodeInto(const char *bytes, qsizetype n, char16_t *out);

// Encodes the leading run of text that is printable ASCII (0x20-0x7F) or
// А-я, the bulk of any Russian text, into out and returns its length; the
// caller deals with the character that stopped it.
qsizetype encodePlain(const char16_t *text, qsizetype n, char *out);

// The byte of a character outside ASCII and А-я, or -1.
int byteOfRare(char16_t c);

// The byte of a character, or -1 when the code page has none.
inline int byteOf(char16_t c)
{
    if (c < 0x80)
        return c;
    if (c >= 0x0410 && c <= 0x044F) // А-я
        return c - 0x0410 + 0xC0;
    return byteOfRare(c);
}

// Encodes text into out, which must have room for text.size() bytes, and
// returns the number of bytes written. A character the code page cannot hold
// becomes one "?": a pair of surrogates (one character beyond the BMP) as
// well as a lone surrogate, which never takes the next character with it.
// lossy, if given, is set when that happened and left alone otherwise.
qsizetype encodeInto(QStringView text, char *out, bool *lossy = nullptr);

// Decodes Windows-1251 bytes. Every byte 0x00-0xFF has a character.
QString decode(QByteArrayView bytes);

// Encodes to Windows-1251 (see encodeInto); lossy, if given, tells whether
// a "?" had to be written.
QByteArray encode(QStringView text, bool *lossy = nullptr);

// True when every character of text can be written in Windows-1251.
bool canEncode(QStringView text);

} // namespace cp1251
