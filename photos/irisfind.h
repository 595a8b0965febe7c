#pragma once
// Finds the pupil and the limbus on a photograph of an eye. The photo is
// looked at in its red channel (where even a dark-brown iris stands clear of
// the pupil in visible light), shrunk to at most kWorkingSide pixels on its
// longer side: the pupil is the darkest round blob, refined along rays from
// its centre, the bar for its edge set by how far the iris lies above the
// pupil and by the camera's noise; the limbus is the circle that most rays
// agree on where the iris gives way to the bright sclera. The upper part of
// the limbus, which the eyelid and lashes usually hide, is not looked at;
// rays that meet a lid, a lash or a glint elsewhere are outvoted. Should the
// red channel fail (a red reflex in the pupil), the grey photo is tried.
// Everything is returned in the photo's own pixels.
#include "photos/irismap.h"

#include <QImage>
#include <QPointF>
#include <QString>

#include <vector>

namespace photos::iris {

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

// The pupil's edge point by point, for measuring its shape: on
// kOutlineRays rays from the fitted pupil's centre, in the photo's pixels,
// looked at with the pupil at most kOutlineRadius pixels across its radius.
// Rays where the edge is not clear, or that meet a glint or a lid near it,
// give no point.
constexpr int kOutlineRays = 180;
constexpr double kOutlineRadius = 160;
std::vector<QPointF> pupilOutline(const QImage &photo, const Fit &fit);

} // namespace photos::iris
