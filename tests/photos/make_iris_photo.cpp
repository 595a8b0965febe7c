// Writes a synthetic eye photo, for trying the photo window by hand and for
// the README's pictures:  make_iris_photo 2592x1944 SEED out.jpg [CLASS]
// CLASS 0 to 5 draws a hard scene of that iris colour, from blue to dark
// brown. Prints the true pupil and limbus circles.
#include "support/synthiris.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 && args.size() != 5) {
        QTextStream(stderr) << "make_iris_photo WIDTHxHEIGHT SEED OUT [CLASS]\n";
        return 2;
    }
    const QStringList wh = args.at(1).split(QLatin1Char('x'));
    const QSize size(wh.value(0).toInt(), wh.value(1).toInt());
    const quint32 seed = args.at(2).toUInt();
    const int hard = args.size() == 5 ? std::clamp(args.at(4).toInt(), 0, 5) : -1;
    const synth::Photo photo = hard < 0 ? synth::make(size, seed)
                                        : synth::makeHard(size, seed, synth::kIrisColours[hard]);
    if (size.isEmpty() || !photo.image.save(args.at(3), nullptr, 92))
        return 1;
    const photos::iris::Fit &t = photo.scene.truth;
    QTextStream(stdout) << "pupil " << t.pupil.x << ' ' << t.pupil.y << ' ' << t.pupil.r << " limbus " << t.limbus.x
                        << ' ' << t.limbus.y << ' ' << t.limbus.r << '\n';
    return 0;
}
