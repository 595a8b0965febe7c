// Writes a synthetic eye photo, for trying the photo window by hand and for
// the README's pictures:  make_iris_photo 2592x1944 SEED out.jpg
// Prints the true pupil and limbus circles.
#include "support/synthiris.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        QTextStream(stderr) << "make_iris_photo WIDTHxHEIGHT SEED OUT\n";
        return 2;
    }
    const QStringList wh = args.at(1).split(QLatin1Char('x'));
    const QSize size(wh.value(0).toInt(), wh.value(1).toInt());
    const synth::Photo photo = synth::make(size, args.at(2).toUInt());
    if (size.isEmpty() || !photo.image.save(args.at(3), nullptr, 92))
        return 1;
    const iris::Fit &t = photo.scene.truth;
    QTextStream(stdout) << "pupil " << t.pupil.x << ' ' << t.pupil.y << ' ' << t.pupil.r << " limbus " << t.limbus.x
                        << ' ' << t.limbus.y << ' ' << t.limbus.r << '\n';
    return 0;
}
