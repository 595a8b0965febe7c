#pragma once
// The door of the chart windows: the projection-zone charts ([Z] signs), the
// right eye's pupillary-belt chart ([B] signs) and the pupil and border
// diagrams, as the sign menus and the main window open them. Each request is
// also noted, oldest first, so that what the menus asked for can be read back.
#include "state/chartgeometry.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

// Shows the projection-zone chart window (created on first use, owned by the
// main window) at whichever page it showed last, and brings it to the front.
void OpenProjectionCharts();
// Shows the chart window at the right eye's pupillary-belt page, whatever
// eye the deep window has selected.
void OpenCollaretteChart();
// Shows the pupil and border window (created on first use, owned by the deep
// window) at one of its pages: "tsDecenter", "tsFlatten" or "tsBorder".
void OpenPupilWindow(const QString &page);

// Shows the chart window at a chart's eye tab (created on first use, owned
// by the main window) and presses its picture at a pixel, as the mouse
// would: the zone shown is then what a click there gives, and "Ввод" works
// on it, the eye check included. The chart window is
// shown without taking the focus or coming to the front: the caller's
// window (the photo window) stays where the user works. Returns the name of
// the zone found there, empty for none.
QString PressChart(state::chartgeom::Chart chart, bool rightEye, QPoint pixel);

// Shows the pupil window (created on first use, owned by the deep window)
// at the diagram of a picture ("imDecen", "imFlatRorL", "imFlatBoth",
// "imBorder"), without taking the focus, and presses the picture at a pixel
// as the mouse would: what a click on that patch does, for the eye chosen
// in the deep window, is done.
void PressPupilPatch(const QString &picture, QPoint pixel);

namespace charts::chartlinks {

// What the chart window tells those who show its zones elsewhere (the photo
// window): the zone chosen in its list is outlined on a chart, -1 for none.
class Notices : public QObject {
    Q_OBJECT
signals:
    void outlined(state::chartgeom::Chart chart, bool rightEye, int colour);
};
Notices &notices();
void noteOutline(state::chartgeom::Chart chart, bool rightEye, int colour);

// The zone the chart window shows: the colour number of the last click
// (Label1), the zone found or typed (Edit1) and its body-system code
// (ChartZoneCode); all empty while the window does not exist.
struct Zone {
    QString colour;
    QString name;
    QString code;
};
Zone shownZone();
// Localises the deep examination's current sign to the zone shown, as the
// chart window's "Ввод" does.
void enterZone();
// Enrols the chart and pupil windows, "fmShProek" and "fmPupil", to be
// opened by their names (at start-up).
void enrol();

// The chart page of OpenCollaretteChart.
inline const QString kCollarettePage = QStringLiteral("tsCollaretteR");

// The requests made so far, oldest first, each as the call's name followed by
// the page it targets, if any: "OpenProjectionCharts",
// "OpenCollaretteChart tsCollaretteR", "OpenPupilWindow tsBorder".
QStringList requests();
void clearRequests();

} // namespace charts::chartlinks
