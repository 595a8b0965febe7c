#include "charts/chartlinks.h"

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
}

void OpenCollaretteChart()
{
    chartlinks::requestLog().append(QStringLiteral("OpenCollaretteChart ") + chartlinks::kCollarettePage);
}

void OpenPupilWindow(const QString &page)
{
    chartlinks::requestLog().append(QStringLiteral("OpenPupilWindow ") + page);
}
