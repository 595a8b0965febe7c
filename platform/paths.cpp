#include "platform/paths.h"

#include <QDir>

namespace platform::paths {

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

} // namespace platform::paths
