#pragma once
// The preliminary conclusion the deep window writes into the draft window:
// the examination card per eye, the grouped findings and the consultations.
#include <QString>
#include <QStringList>

namespace deep {

inline const QString kCardTitle = QString(39, QLatin1Char(' ')) + QStringLiteral("КАРТА ОСМОТРА:");
inline const QString kRightEye = QStringLiteral("Правый глаз:");
inline const QString kLeftEye = QStringLiteral("Левый глаз:");
inline const QString kFindingsTitle =
    QString(31, QLatin1Char(' ')) + QStringLiteral("ЗАКЛЮЧЕНИЕ ИРИДОЛОГА:");
inline const QString kWriteFailed = QStringLiteral("Ошибка при записи в mmConcl");

// A finding as the conclusion shows it: from its 9th character on.
QString shownFinding(const QString &element);

// The text of the preliminary conclusion from the examination state. Removes
// every "&" (left over from menu captions) from the recorded sign lines
// themselves, so later summaries show them clean too, and rebuilds the
// consultations. Returns false when the consultations cannot be built.
bool preliminaryConclusion(QStringList *out);

} // namespace deep
