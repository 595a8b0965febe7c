#include "express/scoring.h"

#include <array>

namespace express {

namespace {

const QString kHeadingIndent(13, QLatin1Char(' '));

// Highest number of ticked signs for each level, best level first.
constexpr std::array<int, 5> kVelkhoverUpTo{1, 3, 5, 7, 10};
constexpr std::array<int, 5> kKrivenkoUpTo{1, 4, 7, 12, 16};

const std::array<QString, 5> &levelTexts()
{
    static const std::array<QString, 5> texts{
        QStringLiteral(" высокий ["), QStringLiteral(" выше среднего ["), QStringLiteral(" средний ["),
        QStringLiteral(" ниже среднего ["), QStringLiteral(" низкий [")};
    return texts;
}

} // namespace

const QStringList &checkItems(Method method)
{
    static const QStringList velkhover{
        QStringLiteral("Плотность радужки 3-6 степени"),
        QStringLiteral("Рельеф радужки 2-7 вида"),
        QStringLiteral("Деформация зрачка"),
        QStringLiteral("Зашлакованность автономного кольца"),
        QStringLiteral("Разрыв и зашлакованность автономного кольца"),
        QStringLiteral("Пигментные пятна"),
        QStringLiteral("Токсические пятна"),
        QStringLiteral("Адаптационные кольца"),
        QStringLiteral("Лимфатический розарий"),
        QStringLiteral("Дистрофический ободок"),
    };
    static const QStringList krivenko{
        QStringLiteral("Плотность радужки 3-6"),
        QStringLiteral("Деформация зрачка"),
        QStringLiteral("Форма зрачковой каймы 3-6"),
        QStringLiteral("Форма автономного кольца 3-4"),
        QStringLiteral("Зашлакованность автономного кольца"),
        QStringLiteral("Втяжение автономного кольца на 5-7 ч"),
        QStringLiteral("Токсическая лучистость"),
        QStringLiteral("Многочисленые адаптационные кольца"),
        QStringLiteral("Лимфатический розарий"),
        QStringLiteral("Дистрофический ободок"),
        QStringLiteral("Множественные лакуны"),
        QStringLiteral("Токсические пятна"),
        QStringLiteral("Множеств.пигментные пятна (более 3-х)"),
        QStringLiteral("Кольцо натрия"),
        QStringLiteral("Эндогенная гиперпигментация (сметанки)"),
        QStringLiteral("Экзогенная гиперпигментация"),
    };
    return method == Method::Velkhover ? velkhover : krivenko;
}

int signCount(Method method)
{
    return int(checkItems(method).size());
}

QString mapHeading(Method method)
{
    return kHeadingIndent
        + (method == Method::Velkhover ? QStringLiteral("КАРТА ЭКСПРЕСС-ОСМОТРА ПО ВЕЛЬХОВЕРУ:")
                                       : QStringLiteral("КАРТА ЭКСПРЕСС-ОСМОТРА ПО КРИВЕНКО:"));
}

QString resultHeading(Method method)
{
    return kHeadingIndent
        + (method == Method::Velkhover ? QStringLiteral("ЭКСПРЕСС-ДИАГНОСТИКА ПО ВЕЛЬХОВЕРУ:")
                                       : QStringLiteral("ЭКСПРЕСС-ДИАГНОСТИКА ПО КРИВЕНКО:"));
}

QString levelText(Method method, int ticked)
{
    const auto &upTo = method == Method::Velkhover ? kVelkhoverUpTo : kKrivenkoUpTo;
    for (std::size_t i = 0; i < upTo.size(); ++i)
        if (ticked <= upTo[i])
            return levelTexts()[i];
    return levelTexts().back();
}

QString levelLine(Method method, int ticked)
{
    const int total = signCount(method);
    return QStringLiteral("Уровень здоровья") + levelText(method, ticked) + QString::number(total - ticked)
        + QLatin1Char('/') + QString::number(total) + QLatin1Char(']');
}

QStringList resultLines(Method method, const QList<bool> &ticked)
{
    const QStringList &items = checkItems(method);
    QStringList out{mapHeading(method)};
    int n = 0;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i < ticked.size() && ticked.at(i)) {
            out.append(items.at(i));
            ++n;
        }
    }
    out.append(resultHeading(method));
    out.append(levelLine(method, n));
    return out;
}

} // namespace express
