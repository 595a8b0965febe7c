#pragma once
// Finds the pupil and the limbus on a photograph of an eye. The photo is
// looked at in grey, shrunk to at most kWorkingSide pixels on its longer
// side: the pupil is the darkest round blob, refined along rays from its
// centre; the limbus is the circle that most rays agree on where the iris
// gives way to the bright sclera. The upper part of the limbus, which the
// eyelid and lashes usually hide, is not looked at; rays that meet a lid
// elsewhere are outvoted. Everything is returned in the photo's own pixels.
#include "photos/irismap.h"

#include <QImage>
#include <QString>

namespace iris {

constexpr int kWorkingSide = 800;

struct Found {
    bool ok = false;
    Fit fit;         // when not ok: circles proposed from the photo's size
    QString problem; // what was not found, for the user
};

Found find(const QImage &photo);

// Circles to start from by hand: centred, the limbus 0.4 and the pupil
// 0.14 of the photo's shorter side.
Fit proposedFit(QSize photo);

} // namespace iris
