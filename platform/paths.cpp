#include "platform/paths.h"

#include <QDir>

namespace paths {

QString local(const QString &shownPath)
{
    QString p = shownPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::toNativeSeparators(p);
}

QString absentMessage(const QString &shownPath)
{
    return QStringLiteral("File ") + shownPath + QStringLiteral(" is absent");
}

} // namespace paths
