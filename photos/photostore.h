#pragma once
// The photos of the card index now open: its photo folder and index, kept
// in step with the card index (state/cardindex.h) by following its signals.
// The index is read when a card index is opened and written when it is
// saved, like the pair itself; the photos are copied into the folder as they
// are added, and a photo added, put on or taken off is a change of the card
// index.
#include "photos/photoindex.h"

#include <QImage>
#include <QObject>

namespace photos {

// A photo is decoded for the screen at most this many pixels along its
// longer side: a larger one is halved until it fits (a JPEG is decoded
// straight at that size), so that a camera's largest photos are shown
// without holding all their pixels. Fitted circles stay in the photo's own
// pixels.
constexpr int kShownSide = 4096;
// The most pixels a photo may have. Real cameras fit under it; a file that
// claims more (a decompression bomb) is refused before it is decoded, and
// the decoder's own allocation limit is set just above it.
constexpr qint64 kMaxPixels = 110'000'000;

struct Decoded {
    QImage image;     // null when the photo could not be decoded
    QSize fullSize;   // the photo's own size
    double scale = 1; // pixels of image per pixel of the photo
    bool cut = false; // decoded, but the file ends before the photo does
    QString problem;  // why it was not decoded, for the user
};
// Decodes a photo (JPEG, PNG or BMP) from its bytes; shownName names it in
// the problem.
Decoded decode(const QByteArray &bytes, const QString &shownName);
// A photo of a photo folder, by its plain name there; no link is followed.
Decoded readPhoto(const QString &folder, const QString &file);
// The circles of a fit (its turn aside) multiplied by factor.
iris::Fit scaled(const iris::Fit &fit, double factor);

class Store : public QObject {
    Q_OBJECT
public:
    // Follows the program's card index.
    Store();

    // "" while the card index has no file.
    QString folder() const { return m_folder; }
    const PhotoIndex &index() const { return m_index; }
    QString pathOf(int photo) const;

    // The card index was opened; returns a warning for the user, or "".
    QString opened(const QString &listFile);
    // The card index was saved to listFile: the index is written there, the
    // photos copied along when the folder changes (a folder that held
    // photos before keeps them, taken off their cards). A photo the index
    // names that is no file of the folder (missing, a link) is left out,
    // and warning says so.
    bool saved(const QString &listFile, QString *error, QString *warning = nullptr);
    void cleared();
    // A card was written back from before to after (entries: the list now).
    void rewritten(const THuman &before, const THuman &after, const QList<CardEntry> &entries);
    // A card was deleted from the list (entries: the list now).
    void deleted(const THuman &card, const QList<CardEntry> &entries);

    struct Added {
        int photo = -1;
        QString error;
    };
    // Copies a JPEG, PNG or BMP file into the folder as a card's photo of
    // an eye at a visit, once it is seen to decode whole; error says why not.
    Added add(const QString &source, Eye eye, const CardKey &card, const QString &visit = today());
    // Puts a photo on a card at the visit it was taken at, or at `visit`
    // when its date is not known.
    void putOn(int photo, const CardKey &card, const QString &visit);
    void takeOff(int photo);
    void setFit(int photo, const iris::Fit &fit);

    // Forgets everything (a new program run, a test).
    void reset();

signals:
    void changed();
    // A card was written back under another key (its photos may have moved).
    void cardRewritten(const photos::CardKey &from, const photos::CardKey &to);

private:
    QString m_folder;
    PhotoIndex m_index;
};

Store &store();
// The photos follow the card index from now on (at start-up).
void followCardIndex();

} // namespace photos
