#include "state/keyedlines.h"

#include "platform/paths.h"
#include "platform/textfile.h"

namespace state::keyed {

std::optional<int> lineKey(const QString &line)
{
    const QString field = line.left(kKeyWidth);
    qsizetype i = 0;
    while (i < field.size() && field.at(i) == QLatin1Char(' '))
        ++i;
    const qsizetype start = i;
    if (i < field.size() && (field.at(i) == QLatin1Char('-') || field.at(i) == QLatin1Char('+')))
        ++i;
    const qsizetype digits = i;
    while (i < field.size() && field.at(i) >= QLatin1Char('0') && field.at(i) <= QLatin1Char('9'))
        ++i;
    if (i == digits || i != field.size())
        return std::nullopt;
    bool ok = false;
    const int value = field.mid(start).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

Matches matching(const QString &shownPath, int key)
{
    Matches result;
    const platform::textfile::ReadResult read = platform::textfile::readLines(platform::paths::local(shownPath));
    if (!read.ok)
        return result;
    for (const QString &line : read.lines) {
        const std::optional<int> k = lineKey(line);
        if (!k)
            return result;
        if (*k == key)
            result.data.append(line.mid(kKeyWidth));
    }
    result.ok = true;
    return result;
}

int colourNumber(const QImage &picture, QPoint at)
{
    if (!picture.valid(at))
        return 0;
    const QRgb c = picture.pixel(at);
    return qRed(c) + 256 * qGreen(c) + 65536 * qBlue(c);
}

} // namespace state::keyed
