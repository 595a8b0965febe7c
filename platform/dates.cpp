#include "platform/dates.h"

namespace platform::dates {

namespace {
const QString kShortDate = QStringLiteral("dd.MM.yyyy");
} // namespace

QString shortDate(const QDate &date)
{
    // Spelled out rather than taken from a locale: the text goes into files
    // other workstations read, and must not follow anybody's settings.
    return date.toString(kShortDate);
}

QDate fromShortDate(const QString &text)
{
    return QDate::fromString(text.simplified(), kShortDate);
}

} // namespace platform::dates
