#include "platform/dates.h"

namespace platform::dates {

QString shortDate(const QDate &date)
{
    // Spelled out rather than taken from a locale: the text goes into files
    // other workstations read, and must not follow anybody's settings.
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace platform::dates
