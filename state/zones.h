#pragma once
// Projection-zone charts without the window: the zone under a click, and the
// localisation of the current sign's lines by that zone.
#include "state/chartgeometry.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

namespace state::zones {

inline const QString kDeckOrgans = QStringLiteral(".\\SystmTxt\\DeckOrgans.txt");
inline const QString kJensenOrgans = QStringLiteral(".\\SystmTxt\\JensOrgans.txt");
inline const QString kCollaretteOrgansR = QStringLiteral(".\\SystmTxt\\ZrachOrgansR.txt");
inline const QString kCollaretteOrgansL = QStringLiteral(".\\SystmTxt\\ZrachOrgansL.txt");

// The organ file of a chart's picture for an eye: both Deck pictures share
// one, both Jensen pictures too; the pupillary belt has one per eye.
const QString &organFile(state::chartgeom::Chart chart, bool rightEye);

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

// The zone under a moving pointer: the colour number of the chart picture's
// pixel looked up in the organ file, as a click there does (nothing when the
// file has no line for the colour or cannot be read). The file is read again
// only when the colour under the pointer, or the file, changes, not at every
// move within one zone.
class ZoneUnderPointer {
public:
    std::optional<Zone> at(const QImage &picture, QPoint pixel, const QString &organFile);

private:
    QString m_organFile;
    int m_colour = -1;
    std::optional<Zone> m_zone;
};

// A zone's name as a list or a status line shows it: " (печень)" is "печень".
QString shownName(const QString &zoneName);

// The zones a chart picture shows, in the organ file's order: each colour
// of the file that the picture holds, once, with its name.
struct ShownZone {
    int colour = 0;
    QString name;
};
QList<ShownZone> zonesShown(const QImage &picture, const QString &organFile);

// The sign lines with the localisation text appended to each.
QStringList localiseSigns(const QStringList &signLines, const QString &text);

// Pathology lines localised: each whose body-system field (characters 6-7)
// is not "11" gets the zone code in that field (kept as it is while no zone
// has been found, code empty) and the localisation text appended.
QStringList localisePathology(const QStringList &pathologyLines, const QString &zoneCode, const QString &text);

// "Правый"/"Левый" tab names of the chart window: tsDeckR, tsJensenL, ...
bool eyeMatches(bool rightEyeSelected, const QString &eyeTabName);

} // namespace state::zones
