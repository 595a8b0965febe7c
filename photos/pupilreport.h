#pragma once
// The pupil's measures as the photo window writes them, in an iridologist's
// words, and the names of the signs offered from them.
#include "photos/pupilmeasure.h"

#include <QString>
#include <QStringList>

namespace photos::iris {

// One eye: size against the iris, decentration, the shape of the edge.
QStringList describe(const PupilMeasures &m);
// Between the eyes of one visit.
QString describe(const Anisocoria &a);
// One eye at two visits, the earlier first: "С 01.02.2026 по 07.12.2026:
// зрачок 24 % → 31 % диаметра радужки, децентрация 3 % → 9 % радиуса
// радужки, уплощение края 0 → 2 ч".
QString describeChange(const PupilMeasures &earlier, const QString &earlierVisit, const PupilMeasures &later,
                       const QString &laterVisit);
// The sign an offer stands for, as the diagram's name file names its patch
// or as the catalogue's item writes its sign; empty when the name file has
// no line for the patch (or cannot be read).
QString offerName(const Offer &offer);

} // namespace photos::iris
