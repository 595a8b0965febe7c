#pragma once
// The photos of the card index now open: its photo folder and index, kept
// in step with the card window's operations. The index is read when a card
// index is opened and written when it is saved, like the pair itself; the
// photos are copied into the folder as they are added.
#include "photos/photoindex.h"

#include <QObject>

class QWidget;

namespace photos {

class Store : public QObject {
    Q_OBJECT
public:
    // "" while the card index has no file.
    QString folder() const { return m_folder; }
    const PhotoIndex &index() const { return m_index; }
    QString pathOf(int photo) const;

    // The card index was opened; returns a warning for the user, or "".
    QString opened(const QString &listFile);
    // The card index was saved to listFile: the index is written there, the
    // photos copied along when the folder changes (a folder that held
    // photos before keeps them, taken off their cards).
    bool saved(const QString &listFile, QString *error);
    void cleared();
    // A card was written back from before to after (entries: the list now).
    void rewritten(const THuman &before, const THuman &after, const QList<CardEntry> &entries);

    struct Added {
        int photo = -1;
        QString error;
    };
    // Copies a JPEG, PNG or BMP file into the folder as a card's photo of an eye.
    Added add(const QString &source, Eye eye, const CardKey &card);
    void putOn(int photo, const CardKey &card);
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

// What the card window tells the photos, with its own messages.
void cardIndexOpened(QWidget *parent, const QString &listFile);
void cardIndexSaved(QWidget *parent, const QString &listFile);
void cardIndexCleared();
void cardWrittenBack(const THuman &before, const THuman &after, const QList<CardEntry> &entries);

} // namespace photos
