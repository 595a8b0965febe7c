#include "state/bodysystem.h"

namespace bodysystem {

int codeOf(const QString &line, bool *ok)
{
    const QString field = line.mid(5, 2);
    qsizetype i = 0;
    while (i < field.size() && field.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < field.size() && (field.at(i) == QLatin1Char('+') || field.at(i) == QLatin1Char('-'))) {
        negative = field.at(i) == QLatin1Char('-');
        ++i;
    }
    const qsizetype firstDigit = i;
    int value = 0;
    while (i < field.size() && field.at(i) >= QLatin1Char('0') && field.at(i) <= QLatin1Char('9')) {
        value = value * 10 + (field.at(i).unicode() - '0');
        ++i;
    }
    *ok = i > firstDigit && i == field.size();
    if (!*ok)
        return 0;
    return negative ? -value : value;
}

} // namespace bodysystem
