// Iris photos: the circles found on photos of 2 to 12 megapixels (everyday
// ones, and hard ones of the lightest and the darkest iris colour), the
// pupil outlined and measured, the chart laid over an iris for the screen,
// a photo point taken to the chart, and the photo window refreshed over a
// large card index.
#include "cards/tfmcard.h"
#include "photos/irisfind.h"
#include "photos/overlay.h"
#include "photos/photodoor.h"
#include "photos/photostore.h"
#include "photos/pupilmeasure.h"
#include "photos/tfmphoto.h"
#include "state/cardlistmodel.h"
#include "state/openwindow.h"
#include "state/windows.h"
#include "support/synthiris.h"
#include "support/testenv.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void findCircles(benchmark::State &state)
{
    const QSize size(int(state.range(0)), int(state.range(0)) * 3 / 4);
    const synth::Photo photo = synth::make(size, 77);
    for (auto _ : state)
        benchmark::DoNotOptimize(photos::iris::find(photo.image));
    state.SetLabel(QStringLiteral("%1 MP").arg(size.width() * size.height() / 1e6, 0, 'f', 1).toStdString());
}
BENCHMARK(findCircles)->Arg(1632)->Arg(2592)->Arg(4000)->Unit(benchmark::kMillisecond);

// Width and iris colour class (0 blue ... 5 dark brown) of a hard scene.
void findCirclesHard(benchmark::State &state)
{
    const QSize size(int(state.range(0)), int(state.range(0)) * 3 / 4);
    const synth::IrisColour colour = synth::kIrisColours[state.range(1)];
    const synth::Photo photo = synth::makeHard(size, 77, colour);
    for (auto _ : state)
        benchmark::DoNotOptimize(photos::iris::find(photo.image));
    state.SetLabel(QStringLiteral("%1 MP, %2")
                       .arg(size.width() * size.height() / 1e6, 0, 'f', 1)
                       .arg(QLatin1String(synth::nameOf(colour)))
                       .toStdString());
}
BENCHMARK(findCirclesHard)->Args({1632, 5})->Args({4000, 0})->Args({4000, 5})->Unit(benchmark::kMillisecond);

// The pupil of a fitted 12-megapixel photo outlined and measured.
void measurePupil(benchmark::State &state)
{
    const synth::Photo photo = synth::makeHard(QSize(4000, 3000), 77, synth::IrisColour::DarkBrown);
    const photos::iris::Fit fit = photos::iris::find(photo.image).fit;
    for (auto _ : state)
        benchmark::DoNotOptimize(photos::iris::measurePupil(fit, photos::iris::pupilOutline(photo.image, fit)));
}
BENCHMARK(measurePupil)->Unit(benchmark::kMillisecond);

void chartOverlay(benchmark::State &state)
{
    const photos::iris::Fit fit{{1030, 930, 150}, {1012, 926, 666}, 5};
    const QRectF area(fit.limbus.x - fit.limbus.r, fit.limbus.y - fit.limbus.r, 2 * fit.limbus.r, 2 * fit.limbus.r);
    for (auto _ : state)
        benchmark::DoNotOptimize(photos::chartOverlay(fit, state::chartgeom::Chart::Jensen, true, area, QSize(640, 640)));
}
BENCHMARK(chartOverlay)->Unit(benchmark::kMillisecond);

void photoToChart(benchmark::State &state)
{
    const photos::iris::Fit fit{{1030, 930, 150}, {1012, 926, 666}, 5};
    double x = 700;
    for (auto _ : state) {
        benchmark::DoNotOptimize(photos::iris::chartPixelOf(fit, state::chartgeom::Chart::Deck, QPointF(x, 900)));
        x = x > 1300 ? 700 : x + 0.37;
    }
}
BENCHMARK(photoToChart);

// The photo window refreshed (after any change of the list or the photos)
// with 3,000 cards and 6,000 photos: two on each of 2,000 cards, and 2,000
// orphans (taken off, or of cards no longer in the list) in its list of
// photos without a card.
void photoWindowRefresh(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("k.lst"));
    QList<CardEntry> entries;
    for (int i = 0; i < 3000; ++i) {
        THuman h(QStringLiteral("Фамилия%1").arg(i));
        h.LName = QStringLiteral("Имя");
        h.MName = QStringLiteral("Отчество");
        h.Date = QStringLiteral("01.02.2024");
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    photos::PhotoIndex index;
    for (int i = 0; i < 6000; ++i) {
        THuman h = *entries.at(i % 2000).record;
        if (i >= 4000)
            h.FName = QStringLiteral("Ушедший%1").arg(i);
        const int n = index.add(QStringLiteral("R%1.jpg").arg(i), (i / 2000) % 2 ? photos::Eye::Left : photos::Eye::Right,
                                photos::keyOf(h), h.Date);
        if (i >= 5000)
            index.takeOff(n);
    }
    photos::save(photos::folderFor(list), index);
    state::openWindow(state::windows().fmCard)->model()->setEntries(entries);
    photos::store().opened(list);
    photos::photo::openForCard(*entries.at(2500).record);
    TfmPhoto *window = state::windows().fmPhoto.data();
    for (auto _ : state)
        window->refresh();
    state.counters["orphans"] = window->findChild<QComboBox *>(QStringLiteral("cbOrphans"))->count();
    TestEnv::resetProgram();
}
BENCHMARK(photoWindowRefresh)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
