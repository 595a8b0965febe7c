#pragma once
// The express results in the examination state: the lines of each method as
// last confirmed by "Заключение", and the express section built from both.
#include <QStringList>

namespace express {

// VelkhoverLines / KrivenkoLines and their counts become exactly these lines.
void storeVelkhover(const QStringList &lines);
void storeKrivenko(const QStringList &lines);

// ExpressLines := the valid Velkhover lines followed by the valid Krivenko
// lines; ExpressLineCount the sum of the two counts. Returns the new lines.
QStringList combineExpressLines();

} // namespace express
