#pragma once
// Projection-zone charts without the window: the zone under a click, and the
// localisation of the current sign's lines by that zone.
#include <QString>
#include <QStringList>

#include <optional>

namespace zones {

inline const QString kDeckOrgans = QStringLiteral(".\\SystmTxt\\DeckOrgans.txt");
inline const QString kJensenOrgans = QStringLiteral(".\\SystmTxt\\JensOrgans.txt");
inline const QString kCollaretteOrgansR = QStringLiteral(".\\SystmTxt\\ZrachOrgansR.txt");
inline const QString kCollaretteOrgansL = QStringLiteral(".\\SystmTxt\\ZrachOrgansL.txt");

struct Zone {
    QString name; // characters 12 on: the localisation text
    QString code; // characters 10-11: the body-system code of the zone
};

// The zone of a colour number in an organ file; the last matching line wins.
// ok is false for an unreadable file or a line without a readable key; a
// zone found before that line is still given.
struct Lookup {
    bool ok = false;
    std::optional<Zone> zone;
};
Lookup lookupChartZone(const QString &organFile, int colourKey);

// The sign lines with the localisation text appended to each.
QStringList localiseSigns(const QStringList &signLines, const QString &text);

// Pathology lines localised: each whose body-system field (characters 6-7)
// is not "11" gets the zone code in that field (kept as it is while no zone
// has been found, code empty) and the localisation text appended.
QStringList localisePathology(const QStringList &pathologyLines, const QString &zoneCode, const QString &text);

// "Правый"/"Левый" tab names of the chart window: tsDeckR, tsJensenL, ...
bool eyeMatches(bool rightEyeSelected, const QString &eyeTabName);

} // namespace zones
