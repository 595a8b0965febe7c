#include "photos/photodoor.h"

#include "photos/irisfind.h"
#include "photos/photostore.h"
#include "photos/pupilreport.h"
#include "photos/tfmphoto.h"
#include "state/carddoor.h"
#include "state/openwindow.h"

#include <QIcon>

// The pictures live in a static library; nothing references them by symbol,
// so they are registered explicitly before the first is needed.
static void registerPhotosResources()
{
    Q_INIT_RESOURCE(photos);
}

namespace photos::photo {

void openForCard(const THuman &card)
{
    state::openWindow(state::windows().fmPhoto)->showCard(card);
}

bool exists()
{
    return !state::windows().fmPhoto.isNull();
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmPhoto"), &state::Windows::fmPhoto);
}

QIcon icon()
{
    static const bool registered = (registerPhotosResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/photos/icons/photo.png"));
}

namespace {

struct Shown {
    photos::CardKey key;
    state::chartgeom::Chart chart = state::chartgeom::Chart::Deck;
    const TfmPhoto *window = nullptr;
};

// The card shown in the photo window, or else the card in the card window's
// edit fields.
Shown shownCard()
{
    Shown out;
    if (const TfmPhoto *w = state::windows().fmPhoto.data()) {
        out.key = w->cardKey();
        out.chart = w->chart();
        out.window = w;
    } else {
        const state::card::Patient p = state::card::patient();
        out.key = photos::CardKey{p.date, p.surname, p.firstName, p.patronymic};
    }
    return out;
}

struct Iris {
    photos::Picture picture;
    std::optional<iris::PupilMeasures> measures;
};

// The iris of photo i, cropped; its pupil measured unless its circles are
// only proposed (no fit stored and none found).
std::optional<Iris> irisOf(int i, photos::Eye eye, std::optional<state::chartgeom::Chart> chart, const QString &caption,
                           int width)
{
    photos::Store &store = photos::store();
    const photos::Decoded decoded = photos::readPhoto(store.folder(), store.index().photos.at(i).file);
    const QImage &image = decoded.image;
    if (image.isNull())
        return std::nullopt;
    std::optional<iris::Fit> fit = store.index().photos.at(i).fit;
    bool placed = true;
    if (fit) {
        fit = photos::scaled(*fit, decoded.scale);
    } else {
        const iris::Found found = iris::find(image);
        fit = found.fit;
        placed = found.ok;
        store.setFit(i, photos::scaled(*fit, 1 / decoded.scale));
    }
    Iris out{{photos::irisPicture(image, *fit, chart, eye == photos::Eye::Right, width), caption}, std::nullopt};
    if (placed)
        out.measures = iris::measurePupil(*fit, iris::pupilOutline(image, *fit));
    return out;
}

QString chartCaption(std::optional<state::chartgeom::Chart> chart)
{
    return chart ? QStringLiteral(", схема ") + state::chartgeom::caption(*chart) : QString();
}

} // namespace

QList<photos::Picture> conclusionPictures(bool withChart, int width)
{
    const Shown shown = shownCard();
    const std::optional<state::chartgeom::Chart> chart = withChart ? std::optional(shown.chart) : std::nullopt;
    const QList<photos::CardKey> cards = photos::keysOf(state::card::entries());
    const photos::PhotoIndex &index = photos::store().index();
    QList<photos::Picture> out;
    for (photos::Eye eye : {photos::Eye::Right, photos::Eye::Left}) {
        const int i = shown.window ? index.photoOf(cards, shown.key, eye, shown.window->visit())
                                   : index.photoOf(cards, shown.key, eye);
        if (i < 0)
            continue;
        if (const std::optional<Iris> iris = irisOf(i, eye, chart, photos::eyeCaption(eye) + chartCaption(chart), width))
            out.append(iris->picture);
    }
    return out;
}

Comparison comparisonPictures(bool withChart, int width)
{
    const Shown shown = shownCard();
    const std::optional<state::chartgeom::Chart> chart = withChart ? std::optional(shown.chart) : std::nullopt;
    const QList<photos::CardKey> cards = photos::keysOf(state::card::entries());
    const photos::PhotoIndex &index = photos::store().index();
    struct Pair {
        photos::Eye eye;
        QString earlier, later;
    };
    QList<Pair> pairs;
    if (const auto compared = shown.window ? shown.window->comparison() : std::nullopt) {
        const bool inOrder = photos::visitBefore(compared->other, compared->visit);
        pairs.append({compared->eye, inOrder ? compared->other : compared->visit, inOrder ? compared->visit : compared->other});
    } else {
        const QStringList visits = index.visitsOf(cards, shown.key);
        if (visits.size() >= 2)
            for (photos::Eye eye : {photos::Eye::Right, photos::Eye::Left})
                pairs.append({eye, visits.at(visits.size() - 2), visits.constLast()});
    }
    Comparison out;
    for (const Pair &pair : pairs) {
        const int a = index.photoOf(cards, shown.key, pair.eye, pair.earlier);
        const int b = index.photoOf(cards, shown.key, pair.eye, pair.later);
        if (a < 0 || b < 0)
            continue;
        const auto caption = [&](const QString &visit) -> QString {
            return photos::eyeCaption(pair.eye) + QStringLiteral(", осмотр ") + photos::visitCaption(visit) +
                   chartCaption(chart);
        };
        std::optional<Iris> first = irisOf(a, pair.eye, chart, caption(pair.earlier), width);
        std::optional<Iris> second = irisOf(b, pair.eye, chart, caption(pair.later), width);
        if (!first || !second)
            continue;
        for (Iris *iris : {&*first, &*second})
            if (iris->measures)
                iris->picture.caption += QLatin1Char('\n') + iris::describe(*iris->measures).join(QLatin1Char('\n'));
        out.pictures << first->picture << second->picture;
        if (first->measures && second->measures)
            out.changes << photos::eyeCaption(pair.eye) + QStringLiteral(". ") +
                               iris::describeChange(*first->measures, photos::visitCaption(pair.earlier),
                                                    *second->measures, photos::visitCaption(pair.later));
    }
    return out;
}

} // namespace photos::photo
