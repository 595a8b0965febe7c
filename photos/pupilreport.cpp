#include "photos/pupilreport.h"

#include "deep/signcatalog.h"
#include "state/keyedlines.h"

#include <cmath>

namespace photos::iris {

namespace {

// A number as Russian text writes it: a decimal comma.
QString number(double value, int decimals = 0)
{
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString percent(double value)
{
    return number(std::round(value)) + QStringLiteral(" %");
}

QString sizeWord(PupilSize size)
{
    switch (size) {
    case PupilSize::Miosis:
        return QStringLiteral("миоз");
    case PupilSize::Narrow:
        return QStringLiteral("сужен");
    case PupilSize::Normal:
        break;
    case PupilSize::Wide:
        return QStringLiteral("расширен");
    case PupilSize::Mydriasis:
        return QStringLiteral("мидриаз");
    }
    return QStringLiteral("нормальной величины");
}

QString gradeWord(FlatGrade grade)
{
    switch (grade) {
    case FlatGrade::Slight:
        return QStringLiteral("лёгкое");
    case FlatGrade::Moderate:
        return QStringLiteral("умеренное");
    case FlatGrade::Marked:
        return QStringLiteral("выраженное");
    case FlatGrade::None:
        break;
    }
    return {};
}

} // namespace

QStringList describe(const PupilMeasures &m)
{
    const PupilThresholds &t = kPupilThresholds;
    QStringList lines;
    lines << QStringLiteral("Зрачок: %1 диаметра радужки, %2").arg(percent(100 * m.ratio), sizeWord(m.size));
    if (m.decentration > t.decentration)
        lines << QStringLiteral("Децентрация зрачка на %1: %2 радиуса радужки")
                     .arg(clockText(m.decentrationClock), percent(m.decentration));
    else
        lines << QStringLiteral("Зрачок в центре (смещение %1 радиуса радужки)").arg(percent(m.decentration));
    if (!m.shaped)
        lines << QStringLiteral("Форма края не определена: край зрачка виден мало");
    else if (m.flat == FlatGrade::None)
        lines << QStringLiteral("Край зрачка без уплощения, овальность %1").arg(percent(100 * m.ovality));
    else
        lines << QStringLiteral("Уплощение зрачка на %1, %2: дуга %3 ч, глубина %4 радиуса радужки")
                     .arg(clockText(m.flatClock), gradeWord(m.flat), number(m.flatHours, 1), percent(m.flatDepth));
    return lines;
}

QString describe(const Anisocoria &a)
{
    const QString difference =
        QStringLiteral("разница зрачков %1 диаметра радужки (около %2 мм)").arg(percent(a.difference), number(a.mm, 1));
    if (!a.present)
        return QStringLiteral("Анизокории нет: ") + difference;
    return QStringLiteral("Анизокория%1: %2, шире %3")
        .arg(a.marked ? QStringLiteral(" выраженная") : QString(), difference,
             a.rightLarger ? QStringLiteral("правый") : QStringLiteral("левый"));
}

QString offerName(const Offer &offer)
{
    if (offer.source == Source::Catalogue) {
        const deep::catalog::Sign *sign = deep::catalog::findSign(offer.item);
        return sign ? sign->text() : QString();
    }
    const state::keyed::Matches names = state::keyed::matching(offer.nameFile, offer.colour);
    return names.data.isEmpty() ? QString() : names.data.constLast();
}

QString describeChange(const PupilMeasures &earlier, const QString &earlierVisit, const PupilMeasures &later,
                       const QString &laterVisit)
{
    const auto change = [](double a, double b) -> QString { return percent(a) + QStringLiteral(" → ") + percent(b); };
    QString text = QStringLiteral("С %1 по %2: зрачок %3 диаметра радужки, децентрация %4 радиуса радужки")
                       .arg(earlierVisit, laterVisit, change(100 * earlier.ratio, 100 * later.ratio),
                            change(earlier.decentration, later.decentration));
    if (earlier.flat != FlatGrade::None || later.flat != FlatGrade::None)
        text += QStringLiteral(", уплощение края %1 → %2 ч").arg(number(earlier.flatHours, 1), number(later.flatHours, 1));
    return text;
}

} // namespace photos::iris
