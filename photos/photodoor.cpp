#include "photos/photodoor.h"

#include "photos/irisfind.h"
#include "photos/photostore.h"
#include "photos/tfmphoto.h"
#include "state/carddoor.h"
#include "state/openwindow.h"

#include <QPainter>
#include <QPixmap>

namespace photo {

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
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(50, 50, 60));
    p.setBrush(QColor(90, 100, 120));
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
    p.drawRect(QRectF(5.5, 2.5, 5, 2));
    p.setBrush(QColor(170, 210, 240));
    p.drawEllipse(QPointF(8, 9), 3, 3);
    return QIcon(pm);
}

QList<photos::Picture> conclusionPictures(bool withChart, int width)
{
    photos::CardKey key;
    chartgeom::Chart chart = chartgeom::Chart::Deck;
    if (const TfmPhoto *w = state::windows().fmPhoto.data()) {
        key = w->cardKey();
        chart = w->chart();
    } else {
        const card::Patient p = card::patient();
        key = photos::CardKey{p.date, p.surname, p.firstName, p.patronymic};
    }
    const QList<photos::CardKey> cards = photos::keysOf(card::entries());
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
            caption += QStringLiteral(", схема ") + chartgeom::caption(chart);
        out.append({photos::irisPicture(image, *fit, withChart ? std::optional(chart) : std::nullopt, right, width),
                    caption});
    }
    return out;
}

} // namespace photo
