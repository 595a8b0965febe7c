#pragma once
// The ten chart and diagram pictures carried with the program.
#include <QImage>
#include <QString>

namespace charts {

// A picture by its control's name ("imDeckR", "imDecen", ...); null if unknown.
QImage picture(const QString &name);

} // namespace charts
