#include "charts/pictures.h"

// The pictures live in a static library; nothing references them by symbol,
// so they are registered explicitly before the first is needed.
static void registerChartResources()
{
    Q_INIT_RESOURCE(charts);
}

namespace charts {

QImage picture(const QString &name)
{
    static const bool registered = (registerChartResources(), true);
    (void)registered;
    return QImage(QStringLiteral(":/charts/pictures/") + name + QStringLiteral(".bmp"));
}

} // namespace charts
