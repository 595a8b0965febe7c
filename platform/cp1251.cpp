#include "platform/cp1251.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

namespace cp1251 {

namespace {
constexpr const char *kCodec = "windows-1251";
// Each call converts a whole text: a high surrogate at its end is an error,
// not the first half of a pair to be finished by a later call.
constexpr QStringConverter::Flags kWhole = QStringConverter::Flag::Stateless;

// The byte of each of the 256 characters the code page decodes to; every
// other character is asked of the codec one by one.
const QHash<char16_t, char> &byteOf()
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int b = 0; b < 256; ++b)
            t.insert(decode(QByteArray(1, char(b))).at(0).unicode(), char(b));
        return t;
    }();
    return table;
}
} // namespace

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodec);
    return decoder(bytes);
}

bool canEncode(const QString &text)
{
    QStringEncoder encoder(kCodec, kWhole);
    (void)encoder.encode(text).operator QByteArray();
    return !encoder.hasError();
}

QByteArray encode(const QString &text, bool *lossy)
{
    QStringEncoder encoder(kCodec, kWhole);
    QByteArray out = encoder(text);
    if (lossy)
        *lossy = encoder.hasError();
    if (!encoder.hasError())
        return out;
    // The codec marks an unmappable character with one 0x1A byte and cannot
    // tell it apart from a real U+001A, so re-encode character by character.
    // A surrogate pair is one character; a surrogate without its other half
    // is one unmappable character and never takes its neighbour with it.
    out.clear();
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const qsizetype len = pair ? 2 : 1;
        if (!pair) {
            const auto known = byteOf().constFind(text.at(i).unicode());
            if (known != byteOf().constEnd() || text.at(i).isSurrogate()) {
                out += known != byteOf().constEnd() ? *known : '?';
                ++i;
                continue;
            }
        }
        QStringEncoder one(kCodec, kWhole);
        const QByteArray piece = one(QStringView(text).mid(i, len));
        out += one.hasError() ? QByteArray("?") : piece;
        i += len;
    }
    return out;
}

} // namespace cp1251
