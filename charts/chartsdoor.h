#pragma once
// The door of the chart windows: the projection-zone charts ([Z] signs), the
// right eye's pupillary-belt chart ([B] signs) and the pupil and border
// diagrams, as the sign menus and the main window open them. Each request is
// also noted, oldest first, so that what the menus asked for can be read back.
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

namespace chartlinks {

// The chart page of OpenCollaretteChart.
inline const QString kCollarettePage = QStringLiteral("tsCollaretteR");

// The requests made so far, oldest first, each as the call's name followed by
// the page it targets, if any: "OpenProjectionCharts",
// "OpenCollaretteChart tsCollaretteR", "OpenPupilWindow tsBorder".
QStringList requests();
void clearRequests();

} // namespace chartlinks
