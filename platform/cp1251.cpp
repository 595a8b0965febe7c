#include "platform/cp1251.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::cp1251 {

const char16_t kToUnicode[256] = {
    // 0x00-0x7F: ASCII
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
    // 0x80-0xBF
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    // 0xC0-0xFF: А-я
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

namespace {

// The 64 characters of 0x80-0xBF, sorted by character, with their bytes.
struct Rare {
    char16_t c;
    unsigned char byte;
};
using RareTable = std::array<Rare, 64>;

RareTable makeRareTable()
{
    RareTable t{};
    for (int b = 0x80; b < 0xC0; ++b)
        t[b - 0x80] = Rare{kToUnicode[b], static_cast<unsigned char>(b)};
    std::sort(t.begin(), t.end(), [](const Rare &x, const Rare &y) { return x.c < y.c; });
    return t;
}

const RareTable &rareTable()
{
    static const RareTable t = makeRareTable();
    return t;
}

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

} // namespace

// Sixteen bytes or eight characters at a time where the processor can: a
// byte below 0x80 is its own character and one from 0xC0 up is А-я, 0x350
// further on; only the 64 bytes between need the table.
void decodeInto(const char *bytes, qsizetype n, char16_t *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes);
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i topBits = _mm_set1_epi8(char(0xC0));
    const __m128i rareBits = _mm_set1_epi8(char(0x80));
    const __m128i shift = _mm_set1_epi16(0x350);
    for (; i + 16 <= n; i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i top = _mm_and_si128(b, topBits);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(top, rareBits))) {
            for (qsizetype j = i; j < i + 16; ++j)
                out[j] = kToUnicode[in[j]];
            continue;
        }
        const __m128i letters = _mm_cmpeq_epi8(top, topBits);
        const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(b, zero),
                                         _mm_and_si128(_mm_unpacklo_epi8(letters, letters), shift));
        const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(b, zero),
                                         _mm_and_si128(_mm_unpackhi_epi8(letters, letters), shift));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), hi);
    }
#endif
    for (; i < n; ++i)
        out[i] = kToUnicode[in[i]];
}

int byteOfRare(char16_t c)
{
    const RareTable &t = rareTable();
    const auto it = std::lower_bound(t.begin(), t.end(), c, [](const Rare &r, char16_t v) { return r.c < v; });
    return it != t.end() && it->c == c ? it->byte : -1;
}

qsizetype encodeInto(QStringView text, char *out, bool *lossy)
{
    const char16_t *in = text.utf16();
    const qsizetype n = text.size();
    qsizetype w = 0;
    bool replaced = false;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype plain = encodePlain(in + i, n - i, out + w);
        i += plain;
        w += plain;
        if (i == n)
            break;
        const char16_t c = in[i];
        const int b = byteOf(c);
        if (b >= 0) {
            out[w++] = char(b);
            continue;
        }
        // One character, one "?": a whole surrogate pair is one character,
        // a lone surrogate is one too and leaves its neighbour alone.
        if (isHigh(c) && i + 1 < n && isLow(in[i + 1]))
            ++i;
        out[w++] = '?';
        replaced = true;
    }
    if (replaced && lossy)
        *lossy = true;
    return w;
}

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    decodeInto(bytes.data(), bytes.size(), reinterpret_cast<char16_t *>(text.data()));
    return text;
}

QByteArray encode(QStringView text, bool *lossy)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    bool replaced = false;
    out.truncate(encodeInto(text, out.data(), &replaced));
    if (lossy)
        *lossy = replaced;
    return out;
}

bool canEncode(QStringView text)
{
    for (const QChar c : text) {
        if (byteOf(c.unicode()) < 0)
            return false;
    }
    return true;
}

} // namespace platform::cp1251
