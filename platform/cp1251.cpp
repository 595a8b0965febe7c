#include "platform/cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cp1251 {

namespace {
constexpr const char *kCodec = "windows-1251";
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodec);
    return decoder(bytes);
}

bool canEncode(const QString &text)
{
    QStringEncoder encoder(kCodec);
    (void)encoder.encode(text).operator QByteArray();
    return !encoder.hasError();
}

QByteArray encode(const QString &text, bool *lossy)
{
    QStringEncoder encoder(kCodec);
    QByteArray out = encoder(text);
    if (lossy)
        *lossy = encoder.hasError();
    if (!encoder.hasError())
        return out;
    // The codec marks an unmappable character with one 0x1A byte and cannot
    // tell it apart from a real U+001A, so re-encode character by character.
    out.clear();
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QStringEncoder one(kCodec);
        const QByteArray piece = one(QStringView(text).mid(i, len));
        out += one.hasError() ? QByteArray("?") : piece;
        i += len;
    }
    return out;
}

} // namespace cp1251
