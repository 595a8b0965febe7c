#include "state/zones.h"

#include "platform/paths.h"
#include "platform/textfile.h"
#include "state/keyedlines.h"

#include <QSet>

namespace state::zones {

const QString &organFile(state::chartgeom::Chart chart, bool rightEye)
{
    switch (chart) {
    case state::chartgeom::Chart::Deck:
        return kDeckOrgans;
    case state::chartgeom::Chart::Jensen:
        return kJensenOrgans;
    case state::chartgeom::Chart::Collarette:
        break;
    }
    return rightEye ? kCollaretteOrgansR : kCollaretteOrgansL;
}

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

std::optional<Zone> ZoneUnderPointer::at(const QImage &picture, QPoint pixel, const QString &organFile)
{
    const int colour = keyed::colourNumber(picture, pixel);
    if (colour != m_colour || organFile != m_organFile) {
        m_zone = lookupChartZone(organFile, colour).zone;
        m_colour = colour;
        m_organFile = organFile;
    }
    return m_zone;
}

QString shownName(const QString &zoneName)
{
    QString name = zoneName.trimmed();
    if (name.startsWith(QLatin1Char('(')) && name.endsWith(QLatin1Char(')')))
        name = name.mid(1, name.size() - 2).trimmed();
    return name;
}

QList<ShownZone> zonesShown(const QImage &picture, const QString &organFile)
{
    QSet<int> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(keyed::colourNumber(picture, QPoint(x, y)));
    QList<ShownZone> out;
    const platform::textfile::ReadResult read = platform::textfile::readLines(platform::paths::local(organFile));
    for (const QString &line : read.lines) {
        const std::optional<int> key = keyed::lineKey(line);
        if (!key)
            break;
        if (!colours.contains(*key))
            continue;
        // The last line of a colour names it, as in a lookup.
        const ShownZone zone{*key, line.mid(keyed::kKeyWidth + 3)};
        const auto same = std::find_if(out.begin(), out.end(), [&](const ShownZone &z) { return z.colour == *key; });
        if (same == out.end())
            out.append(zone);
        else
            *same = zone;
    }
    return out;
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

} // namespace state::zones
