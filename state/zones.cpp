#include "state/zones.h"

#include "state/keyedlines.h"

namespace zones {

Lookup lookupChartZone(const QString &organFile, int colourKey)
{
    Lookup result;
    const keyed::Matches found = keyed::matching(organFile, colourKey);
    if (!found.data.isEmpty()) {
        // After the key, character 9 is a separator, 10-11 the code, 12 on the name.
        const QString &last = found.data.constLast();
        result.zone = Zone{last.mid(3), last.mid(1, 2)};
    }
    result.ok = found.ok;
    return result;
}

QStringList localiseSigns(const QStringList &signLines, const QString &text)
{
    QStringList out;
    out.reserve(signLines.size());
    for (const QString &line : signLines)
        out.append(line + text);
    return out;
}

QStringList localisePathology(const QStringList &pathologyLines, const QString &zoneCode, const QString &text)
{
    QStringList out;
    out.reserve(pathologyLines.size());
    for (const QString &line : pathologyLines) {
        if (line.mid(5, 2) == QLatin1String("11"))
            out.append(line);
        else if (zoneCode.isEmpty())
            out.append(line + text);
        else
            out.append(line.left(5) + zoneCode + line.mid(7) + text);
    }
    return out;
}

bool eyeMatches(bool rightEyeSelected, const QString &eyeTabName)
{
    return eyeTabName.endsWith(rightEyeSelected ? QLatin1Char('R') : QLatin1Char('L'));
}

} // namespace zones
