#pragma once
// Fixed texts of the draft conclusion, leading blanks counted exactly: the
// blanks centre the titles in the conclusion as it is printed.
#include <QString>

namespace conclusion {

inline QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

inline const QString kConclusionTitle = blanks(26) + QStringLiteral("ИРИДОЛОГИЧЕСКОЕ ЗАКЛЮЧЕНИЕ");
inline const QString kDeepTitle = blanks(33) + QStringLiteral("УГЛУБЛЕННЫЙ ОСМОТР");
// The card title and the eye titles are the deep window's (state/preliminary.h);
// this findings title has one blank more than the preliminary one.
inline const QString kFindingsTitle = blanks(32) + QStringLiteral("ЗАКЛЮЧЕНИЕ ИРИДОЛОГА:");
inline const QString kPatientPlaceholder = QStringLiteral("Ф.И.О.");
inline const QString kDatePlaceholder = QStringLiteral("Дата:");
inline const int kGapAfterName = 44;
inline const int kGapInPlaceholder = 61;
inline const QString kHandOverNotice =
    QStringLiteral("Отредактируйте и сохраните заключение. Помните - его нет в картотеке!");

} // namespace conclusion
