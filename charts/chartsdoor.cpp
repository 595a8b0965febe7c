#include "charts/chartsdoor.h"

#include "charts/tfmpupil.h"
#include "charts/tfmshproek.h"
#include "state/openwindow.h"

namespace chartlinks {

namespace {
QStringList &requestLog()
{
    static QStringList requests;
    return requests;
}
} // namespace

QStringList requests()
{
    return requestLog();
}

void clearRequests()
{
    requestLog().clear();
}

} // namespace chartlinks

void OpenProjectionCharts()
{
    chartlinks::requestLog().append(QStringLiteral("OpenProjectionCharts"));
    state::openWindow(state::fmShProek);
}

void OpenCollaretteChart()
{
    chartlinks::requestLog().append(QStringLiteral("OpenCollaretteChart ") + chartlinks::kCollarettePage);
    state::openWindow(state::fmShProek)->showCollaretteRight();
}

void OpenPupilWindow(const QString &page)
{
    chartlinks::requestLog().append(QStringLiteral("OpenPupilWindow ") + page);
    state::openWindow(state::fmPupil)->showPage(page);
}
