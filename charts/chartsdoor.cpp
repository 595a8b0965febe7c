#include "charts/chartsdoor.h"

#include "charts/tfmpupil.h"
#include "charts/tfmshproek.h"
#include "state/openwindow.h"

#include <QLabel>
#include <QLineEdit>

namespace charts::chartlinks {

namespace {
QStringList &requestLog()
{
    static QStringList requests;
    return requests;
}
} // namespace

Notices &notices()
{
    static Notices notices;
    return notices;
}

void noteOutline(state::chartgeom::Chart chart, bool rightEye, int colour)
{
    emit notices().outlined(chart, rightEye, colour);
}

QStringList requests()
{
    return requestLog();
}

void clearRequests()
{
    requestLog().clear();
}

Zone shownZone()
{
    const TfmShProek *w = state::windows().fmShProek.data();
    return w ? Zone{w->colourShown(), w->zoneShown(), w->ChartZoneCode} : Zone{};
}

void enterZone()
{
    // As its own button would: the chart window is not brought forward,
    // "Ввод" brings the deep window.
    state::ensureWindow(state::windows().fmShProek)->enterZone();
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmShProek"), &state::Windows::fmShProek);
    state::enrolWindow(QStringLiteral("fmPupil"), &state::Windows::fmPupil);
}

} // namespace charts::chartlinks

QString PressChart(state::chartgeom::Chart chart, bool rightEye, QPoint pixel)
{
    // Shown without taking the focus: a window manager puts a window it
    // maps in front and activates it after the caller has raised itself
    // again, so the caller's window would end up behind the chart.
    TfmShProek *w = state::ensureWindow(state::windows().fmShProek);
    if (!w->isVisible()) {
        w->setAttribute(Qt::WA_ShowWithoutActivating);
        w->show();
        w->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    w->pressChart(chart, rightEye, pixel);
    return w->zoneShown();
}

void PressPupilPatch(const QString &picture, QPoint pixel)
{
    TfmPupil *w = state::ensureWindow(state::windows().fmPupil);
    if (!w->isVisible()) {
        w->setAttribute(Qt::WA_ShowWithoutActivating);
        w->show();
        w->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    w->pressPatch(picture, pixel);
}

void OpenProjectionCharts()
{
    charts::chartlinks::requestLog().append(QStringLiteral("OpenProjectionCharts"));
    state::openWindow(state::windows().fmShProek);
}

void OpenCollaretteChart()
{
    charts::chartlinks::requestLog().append(QStringLiteral("OpenCollaretteChart ") + charts::chartlinks::kCollarettePage);
    state::openWindow(state::windows().fmShProek)->showCollaretteRight();
}

void OpenPupilWindow(const QString &page)
{
    charts::chartlinks::requestLog().append(QStringLiteral("OpenPupilWindow ") + page);
    state::openWindow(state::windows().fmPupil)->showPage(page);
}
