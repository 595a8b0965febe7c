#include "state/recording.h"

#include <QSet>

#include <algorithm>

namespace state::deep {

QStringList boxLines(const QStringList &lines)
{
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        return lines.first(lines.size() - 1);
    return lines;
}

QStringList uniqueLines(const QStringList &lines)
{
    // Walking from the end, a line is kept the first time it is met, which is
    // its last occurrence: the same result as comparing every pair, in linear
    // time.
    QSet<QString> seen;
    seen.reserve(lines.size());
    QStringList kept;
    kept.reserve(lines.size());
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QString &line = lines.at(i);
        if (seen.contains(line))
            continue;
        seen.insert(line);
        kept.append(line);
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}

QStringList recordSigns(bool firstRecording, const QStringList &eyeSigns, const QStringList &signs)
{
    return firstRecording ? signs : eyeSigns + signs;
}

Pathologies recordPathologies(bool firstRecording, const QStringList &accumulated, const QStringList &lines)
{
    // The first recording keeps repeats within the box.
    if (firstRecording)
        return {lines, lines};
    const QStringList all = accumulated + lines;
    return {all, uniqueLines(all)};
}

} // namespace state::deep
