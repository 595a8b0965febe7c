#pragma once
// Dates as this program writes them. The program speaks Russian whatever the
// machine's locale is, so a date put into a card is always the Russian short
// date, "07.12.2026", never the machine's ("7 Dec 2026" on a C locale). Date
// texts already stored are left as they are.
#include <QDate>
#include <QString>

namespace platform::dates {

// The Russian short date: day and month with two digits, the year with four.
QString shortDate(const QDate &date);
// A short date read back ("07.12.2026", blanks around it allowed); an
// invalid date for any other text.
QDate fromShortDate(const QString &text);

} // namespace platform::dates
