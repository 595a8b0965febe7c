#pragma once
// Synthetic photographs of an eye with known circles: a pupil (often off the
// iris's centre, with a glint of the lamp), an iris with radial fibres,
// crypts, a collarette and a darker limbal ring, the sclera, an upper lid
// with lashes that hides the top of the iris, sometimes a lower lid, uneven
// light and camera noise; any size up to 12 megapixels and more.
//
// The scene is drawn pixel by pixel at a size where the limbus is at most
// about 240 pixels across its radius and then enlarged, as a camera's optics
// would blur it; the noise is added at the full size.
#include "photos/irismap.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace synth {

struct Scene {
    iris::Fit truth; // turn 0
    double upperLid = 0.15; // how far the upper lid comes down, as a fraction of the iris's height
    double lowerLid = 0.0;  // the same for the lower lid, from below
    int irisKind = 0;       // 0 brown, 1 blue-grey, 2 green-hazel
    double noise = 5;       // standard deviation of the camera noise, grey levels
    int glints = 1;
    bool lashes = true;
};

// A random scene for a photo of this size.
Scene randomScene(QSize size, quint32 seed);

// Draws a scene (Format_RGB32).
QImage render(const Scene &scene, QSize size, quint32 seed);

struct Photo {
    QImage image;
    Scene scene;
};
inline Photo make(QSize size, quint32 seed)
{
    const Scene s = randomScene(size, seed);
    return {render(s, size, seed), s};
}

// The pixel of a colour of a chart picture farthest from every other
// colour: a point well inside the zone.
QPoint deepest(const QImage &picture, int colour);

} // namespace synth
