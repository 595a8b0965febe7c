// The Windows-1251 line reader, and the encoder that writes lines back.
// Input: a file's bytes (first byte even), or UTF-16 text to encode (odd).
#include "fuzz.h"

#include "platform/cp1251.h"
#include "platform/textfile.h"

namespace {

void readBytes(const QByteArray &bytes)
{
    const QString text = platform::cp1251::decode(bytes);
    // Every byte has a character and comes back as itself.
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(platform::cp1251::encode(text) == bytes);

    const QStringList lines = platform::textfile::splitLines(text);
    qsizetype ends = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n' || (bytes.at(i) == '\r' && (i + 1 == bytes.size() || bytes.at(i + 1) != '\n')))
            ++ends;
    }
    const bool unended = !bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r');
    FUZZ_CHECK(lines.size() == ends + (unended ? 1 : 0));
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
    // Written back with CR LF, the lines read the same.
    FUZZ_CHECK(platform::textfile::splitLines(platform::cp1251::decode(platform::textfile::encodeLines(lines))) == lines);

    // The file reader gives what the splitter gives.
    const QString path = fuzz::scratch() + QStringLiteral("/f.txt");
    fuzz::put(path, bytes);
    const platform::textfile::ReadResult read = platform::textfile::readLines(path);
    FUZZ_CHECK(read.ok);
    FUZZ_CHECK(read.lines == lines);
}

void encodeText(const QByteArray &raw)
{
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.constData()), raw.size() / 2);
    bool lossy = false;
    const QByteArray out = platform::cp1251::encode(text, &lossy);
    FUZZ_CHECK(platform::cp1251::canEncode(text) == !lossy);
    // One byte per character: a surrogate pair is one, half a pair alone is one.
    QString expected;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString one = text.mid(i, pair ? 2 : 1);
        expected += !one.at(0).isSurrogate() && platform::cp1251::canEncode(one) ? one : QStringLiteral("?");
        i += pair ? 1 : 0;
    }
    FUZZ_CHECK(out.size() == expected.size());
    FUZZ_CHECK(out == platform::cp1251::encode(expected));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray rest = fuzz::bytes(data + 1, size - 1);
    if (data[0] % 2 == 0)
        readBytes(rest);
    else
        encodeText(rest);
    return 0;
}
