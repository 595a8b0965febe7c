#pragma once
// The preliminary conclusion the deep window writes into the draft window:
// the examination card per eye, the grouped findings and the consultations.
#include <QString>
#include <QStringList>

namespace state::deep {

inline const QString kCardTitle = QString(39, QLatin1Char(' ')) + QStringLiteral("КАРТА ОСМОТРА:");
inline const QString kRightEye = QStringLiteral("Правый глаз:");
inline const QString kLeftEye = QStringLiteral("Левый глаз:");
inline const QString kFindingsTitle =
    QString(31, QLatin1Char(' ')) + QStringLiteral("ЗАКЛЮЧЕНИЕ ИРИДОЛОГА:");
inline const QString kWriteFailed = QStringLiteral("Ошибка при записи в mmConcl");

// A finding as the conclusion shows it: from its 9th character on.
QString shownFinding(const QString &element);

// A recorded sign line as the conclusion shows it (and keeps it from then
// on): without the "&" left over from menu captions.
QString shownSign(const QString &line);

// The text of the preliminary conclusion: the card title, each eye's sign
// lines under its title (an eye without lines has no title), the findings
// title, the findings, and the consultations sentence.
QStringList preliminaryConclusion(const QStringList &rightEyeSigns, const QStringList &leftEyeSigns,
                                  const QStringList &findingLines, const QString &consultations);

} // namespace state::deep
