#pragma once
// Synthetic photographs of an eye with known circles: a pupil (often off the
// iris's centre, with glints of the lamp), an iris with radial fibres,
// crypts, a collarette and a darker limbal ring, the sclera, an upper lid
// with lashes that hides the top of the iris, sometimes a lower lid, uneven
// light and camera noise; any size up to 12 megapixels and more.
//
// Two families of scenes: randomScene() gives the everyday photos the finder
// was first built on (three iris colours, good light); hardScene() gives
// every iris colour down to dark brown, whose iris lies only 10 to 25 grey
// levels above the pupil, in dim or uneven light, with the pupil from 0.2
// to 0.6 of the iris, lids covering up to 45 % of the iris's height, long
// lashes across it, glints on the pupil's edge, defocus and JPEG down to
// quality 70.
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

// Iris colour classes, from the lightest to the darkest.
enum class IrisColour { Blue, BlueGrey, Green, Hazel, Brown, DarkBrown };
inline constexpr IrisColour kIrisColours[] = {IrisColour::Blue,  IrisColour::BlueGrey, IrisColour::Green,
                                              IrisColour::Hazel, IrisColour::Brown,    IrisColour::DarkBrown};
const char *nameOf(IrisColour colour);

struct Scene {
    photos::iris::Fit truth; // turn 0; for a flattened pupil, the circle of its round part
    double upperLid = 0.15; // how far the upper lid comes down, as a fraction of the iris's height
    double lowerLid = 0.0;  // the same for the lower lid, from below
    IrisColour colour = IrisColour::Brown;
    double contrast = 0;    // dark brown: grey levels from the pupil up to the iris in the photo
    double noise = 5;       // standard deviation of the camera noise, grey levels
    int glints = 1;
    bool glintOnEdge = false; // the first glint sits on the pupil's edge
    bool lashes = true;
    double lashReach = 0;   // the longest lash, as a fraction of the iris's radius (0: short lashes)
    double light = 1.0;     // exposure: dim light below 0.7
    double tilt = 0;        // uneven light: brighter by this fraction of the photo's half-side ...
    double tiltClock = 0;   // ... towards this clock direction
    double defocus = 0;     // blur, as a fraction of the iris's radius
    int jpeg = 0;           // quality of the JPEG the photo went through; 0 for none
    double ruff = 0;        // the frill at the pupil's margin, from the pupil (0) to the iris (1); 0: as at first
    // The pupil's shape: an oval of this ratio of its axes (area kept) with
    // the long axis towards ovalClock, and a flat chord cut off its edge,
    // flatDepth of its radius deep, in the middle of which lies flatClock.
    double oval = 1.0;
    double ovalClock = 0;
    double flatDepth = 0;
    double flatClock = 0;
};

// A random everyday scene for a photo of this size.
Scene randomScene(QSize size, quint32 seed);
// A random hard scene of the given iris colour.
Scene hardScene(QSize size, quint32 seed, IrisColour colour);

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
inline Photo makeHard(QSize size, quint32 seed, IrisColour colour)
{
    const Scene s = hardScene(size, seed, colour);
    return {render(s, size, seed), s};
}

// The pixel of a colour of a chart picture farthest from every other
// colour: a point well inside the zone.
QPoint deepest(const QImage &picture, int colour);

} // namespace synth
