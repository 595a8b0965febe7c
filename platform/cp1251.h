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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::cp1251 {

// The character of every byte.
extern const char16_t kToUnicode[256];

// Decodes n bytes into out (n characters). Every byte has a character.
void decodeInto(const char *bytes, qsizetype n, char16_t *out);

// Encodes the leading run of text that is printable ASCII (0x20-0x7F) or
// А-я, the bulk of any Russian text, into out and returns its length; the
// caller deals with the character that stopped it. Inline: it is called for
// every field of every card.
inline qsizetype encodePlain(const char16_t *text, qsizetype n, char *out)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight characters at a time; unsigned ranges by signed comparison with
    // the sign bit turned over.
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    const __m128i asciiFrom = _mm_set1_epi16(0x20), asciiSpan = _mm_set1_epi16(short(0x60 ^ 0x8000));
    const __m128i lettersFrom = _mm_set1_epi16(0x410), lettersSpan = _mm_set1_epi16(short(0x40 ^ 0x8000));
    const __m128i shift = _mm_set1_epi16(0x350);
    for (; i + 8 <= n; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        const __m128i ascii = _mm_cmplt_epi16(_mm_xor_si128(_mm_sub_epi16(c, asciiFrom), flip), asciiSpan);
        const __m128i letters = _mm_cmplt_epi16(_mm_xor_si128(_mm_sub_epi16(c, lettersFrom), flip), lettersSpan);
        if (_mm_movemask_epi8(_mm_or_si128(ascii, letters)) != 0xFFFF)
            break;
        const __m128i bytes16 = _mm_sub_epi16(c, _mm_and_si128(letters, shift));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(bytes16, bytes16));
    }
#endif
    for (; i < n; ++i) {
        const char16_t c = text[i];
        if (c >= 0x0410 && c <= 0x044F)
            out[i] = char(c - 0x0410 + 0xC0);
        else if (c >= 0x20 && c < 0x80)
            out[i] = char(c);
        else
            break;
    }
    return i;
}

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

} // namespace platform::cp1251
