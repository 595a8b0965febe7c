#include "photos/photodoor.h"

#include "photos/irisfind.h"
#include "photos/photostore.h"
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

QList<photos::Picture> conclusionPictures(bool withChart, int width)
{
    photos::CardKey key;
    state::chartgeom::Chart chart = state::chartgeom::Chart::Deck;
    if (const TfmPhoto *w = state::windows().fmPhoto.data()) {
        key = w->cardKey();
        chart = w->chart();
    } else {
        const state::card::Patient p = state::card::patient();
        key = photos::CardKey{p.date, p.surname, p.firstName, p.patronymic};
    }
    const QList<photos::CardKey> cards = photos::keysOf(state::card::entries());
    photos::Store &store = photos::store();
    QList<photos::Picture> out;
    for (photos::Eye eye : {photos::Eye::Right, photos::Eye::Left}) {
        const int i = store.index().photoOf(cards, key, eye);
        if (i < 0)
            continue;
        const photos::Decoded decoded = photos::readPhoto(store.folder(), store.index().photos.at(i).file);
        const QImage &image = decoded.image;
        if (image.isNull())
            continue;
        std::optional<iris::Fit> fit = store.index().photos.at(i).fit;
        if (fit) {
            fit = photos::scaled(*fit, decoded.scale);
        } else {
            fit = iris::find(image).fit;
            store.setFit(i, photos::scaled(*fit, 1 / decoded.scale));
        }
        const bool right = eye == photos::Eye::Right;
        QString caption = photos::eyeCaption(eye);
        if (withChart)
            caption += QStringLiteral(", схема ") + state::chartgeom::caption(chart);
        out.append({photos::irisPicture(image, *fit, withChart ? std::optional(chart) : std::nullopt, right, width),
                    caption});
    }
    return out;
}

} // namespace photos::photo
