#include "state/bodysystem.h"

#include <array>

namespace state::bodysystem {

namespace {

struct System {
    const char16_t *heading;
    const char16_t *specialist;
    const char16_t *listItem;
};

// The systems by code, 1 to 11.
constexpr std::array<System, kLast> kSystems = {{
    {u"ОБЩАЯ ХАРАКТЕРИСТИКА ОРГАНИЗМА:", u"терапевта, ", u"  1    Обшие характеристики"},
    {u"НЕРВНАЯ СИСТЕМА:", u"невропатолога, ", u"  2    Нервная система"},
    {u"СЕРДЕЧНО-СОСУДИСТАЯ СИСТЕМА:", u"кардиолога, ", u"  3    Сердечно-сосудистая система"},
    {u"ДЫХАТЕЛЬНАЯ СИСТЕМА:", u"пульмонолога, ", u"  4    Дыхательная система"},
    {u"ПИЩЕВАРИТЕЛЬНАЯ СИСТЕМА:", u"гастроэнтеролога, ", u"  5    Пищеварительная система"},
    {u"МОЧЕВЫДЕЛИТЕЛЬНАЯ И ПОЛОВАЯ СИСТЕМЫ:", u"уролога, ", u"  6    Мочевыделительная и половая системы"},
    {u"ЭНДОКРИННАЯ СИСТЕМА:", u"эндокринолога, ", u"  7    Эндокринная система"},
    {u"ОПОРНО-ДВИГАТЕЛЬНАЯ СИСТЕМА:", u"вертебролога, ", u"  8    Опорно-двигательная"},
    {u"КОЖА:", u"дерматолога, ", u"  9    Кожа"},
    {u"ОРГАНЫ ЗРЕНИЯ И ЛОР:", u"окулиста, ЛОР, ", u" 10   Органы зрения и ЛОР"},
    {u"РЕКОМЕНДАЦИИ:", nullptr, u" 11   Рекомендации"},
}};

QString text(int code, const char16_t *System::*field)
{
    if (code < kFirst || code > kLast || !(kSystems[size_t(code - 1)].*field))
        return {};
    return QString::fromUtf16(kSystems[size_t(code - 1)].*field);
}

} // namespace

QString heading(int code)
{
    return text(code, &System::heading);
}

QString specialist(int code)
{
    return text(code, &System::specialist);
}

QString listItem(int code)
{
    return text(code, &System::listItem);
}

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

} // namespace state::bodysystem
