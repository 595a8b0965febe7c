// The keyed-line files of the charts and the pupil diagrams: a line's first
// eight characters are its colour key. Input: the key to look up in its
// first four bytes, then the file's bytes.
#include "fuzz.h"

#include "state/keyedlines.h"
#include "platform/cp1251.h"
#include "platform/textfile.h"
#include "state/zones.h"

#include <cstring>
#include <optional>

namespace {

// The key field as the files' description gives it: blanks, an optional
// sign, digits, nothing else, the value within an int.
std::optional<int> referenceKey(const QString &line)
{
    const QString field = line.left(state::keyed::kKeyWidth);
    qsizetype i = 0;
    while (i < field.size() && field.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < field.size() && (field.at(i) == QLatin1Char('-') || field.at(i) == QLatin1Char('+')))
        negative = field.at(i++) == QLatin1Char('-');
    if (i == field.size())
        return std::nullopt;
    long long value = 0;
    for (; i < field.size(); ++i) {
        const char16_t c = field.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return int(negative ? -value : value); // eight characters always fit
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    int key = 0;
    std::memcpy(&key, data, 4);
    const QByteArray bytes = fuzz::bytes(data + 4, size - 4);
    const QStringList lines = platform::textfile::splitLines(platform::cp1251::decode(bytes));
    bool allKeyed = true;
    QStringList expected;
    for (const QString &line : lines) {
        const std::optional<int> k = state::keyed::lineKey(line);
        FUZZ_CHECK(k == referenceKey(line));
        if (!k) {
            allKeyed = false;
            break;
        }
        if (*k == key)
            expected.append(line.mid(state::keyed::kKeyWidth));
    }
    const QString path = fuzz::scratch() + QStringLiteral("/Organs.txt");
    fuzz::put(path, bytes);
    const state::keyed::Matches found = state::keyed::matching(path, key);
    FUZZ_CHECK(found.ok == allKeyed);
    FUZZ_CHECK(found.data == expected);

    // The zone of the key: the last matching line, characters 10-11 its code.
    const state::zones::Lookup zone = state::zones::lookupChartZone(path, key);
    FUZZ_CHECK(zone.ok == allKeyed);
    FUZZ_CHECK(zone.zone.has_value() == !expected.isEmpty());
    if (zone.zone) {
        FUZZ_CHECK(zone.zone->code == expected.constLast().mid(1, 2));
        const QStringList localised = state::zones::localisePathology({QStringLiteral("0001 05 x")}, zone.zone->code, zone.zone->name);
        FUZZ_CHECK(localised.size() == 1);
    }
    return 0;
}
