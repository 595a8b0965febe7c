#pragma once
// The photos of a card index's patients. The card index pair keeps its
// format, so the photos live beside it: for the list file "Пациенты.lst"
// the folder "Пациенты.foto" holds the copied photos and their index,
// "index.txt" (Windows-1251, CR LF): a heading line, then eight lines per
// photo: the eye ("правый"/"левый"), the file's name in the folder, whether
// the photo is on its card ("на карточке") or was taken off it ("без
// карточки"), the card's date, surname, first name and patronymic, and the
// fitted circles (pupil x y r, limbus x y r, turn; empty until fitted).
//
// A card keeps photos of several visits. The date of the visit each photo
// was taken at is kept beside the index, in "visits.txt" (Windows-1251,
// CR LF): a heading line, then two lines per photo, its file's name and the
// visit's date. The index itself keeps the form it always had, so that a
// program that knows nothing of visits reads it as before: the photos of a
// card are written in the order of their visits, oldest first, and such a
// program, which shows the last photo of each eye, shows the latest visit
// and offers the earlier ones among the photos without a card. A photo the
// visits file does not name (an index written by such a program) was taken
// at the visit of its card's date.
//
// A photo is keyed by its card's date and full name, the fields that tell
// one patient from another and that stay put while a card is written back,
// deleted or moved about, and while a list is edited by hand: photos follow
// their card wherever it goes in the list. Keys are compared without regard
// to case and to blanks around and between words.
//  - A card shows, for each visit and eye, the last photo of its key, and
//    only while no other card of the list has the same key; otherwise they
//    are shown for none of those cards.
//  - A card written back with a new name or date takes its photos along,
//    unless another card already has the new key.
//  - While a key clashes, no write-back moves photos from one of the
//    clashing cards to another (rekey(), below).
//  - A photo whose key no card of the list has, or that was taken off its
//    card, or that another photo of the same card, visit and eye replaced, is an
//    orphan: kept in the folder and the index, and offered in the photo
//    window to be put on a card by hand. Nothing is ever deleted.
//
// A photo's file name in the index is a plain name inside the folder; an
// index naming anything else (another folder, a path) is not followed. No
// link is followed in the folder: not the folder's own name, not the
// index, not a photo.
#include "photos/irismap.h"
#include "state/cardindexfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace photos {

enum class Eye { Right, Left };
QString eyeCaption(Eye eye); // "Правый глаз", "Левый глаз"

struct CardKey {
    QString date;
    QString surname;
    QString firstName;
    QString patronymic;
};
CardKey keyOf(const THuman &card);
bool sameCard(const CardKey &a, const CardKey &b);
// A card may hold photos once it has a surname and a first name.
bool canHoldPhotos(const CardKey &key);
// "Петров Олег Ильич, 01.02.2024".
QString describe(const CardKey &key);
// The keys of the list's cards (entries without a record have none).
QList<CardKey> keysOf(const QList<CardEntry> &entries);

struct Photo {
    Eye eye = Eye::Right;
    QString file;          // the file's name inside the photo folder
    bool onCard = true;    // false once taken off its card
    CardKey key;           // the card it is (or was) on
    std::optional<iris::Fit> fit;
    QString visit;         // the date of the visit it was taken at, "07.12.2026"
};

// Visits are dates written as the program writes them ("07.12.2026");
// compared as keys are, and ordered by date (a text that is no date goes
// before the dates).
bool sameVisit(const QString &a, const QString &b);
// Whether the list holds the visit.
bool holdsVisit(const QStringList &visits, const QString &visit);
bool visitBefore(const QString &a, const QString &b);
// Today's visit.
QString today();
// "07.12.2026", or "без даты" for a visit with no date.
QString visitCaption(const QString &visit);

class PhotoIndex {
public:
    QList<Photo> photos;

    // How many cards of the list have the key.
    static int cardsWith(const QList<CardKey> &cards, const CardKey &key);
    // The photo a card shows for an eye at a visit (an index into photos),
    // or -1: none, or several cards share the key. The last matching photo
    // wins. Without a visit: at the card's latest visit.
    int photoOf(const QList<CardKey> &cards, const CardKey &card, Eye eye, const QString &visit) const;
    int photoOf(const QList<CardKey> &cards, const CardKey &card, Eye eye) const;
    // The visits a card shows photos of, oldest first; none while several
    // cards share the key.
    QStringList visitsOf(const QList<CardKey> &cards, const CardKey &card) const;
    // Whether some photo of the key is held back because several cards share it.
    bool heldBack(const QList<CardKey> &cards, const CardKey &card) const;
    // The photos shown for no card (see above), in index order.
    QList<int> orphans(const QList<CardKey> &cards) const;

    // A card of the list was written back from before to after (entries:
    // the list after the change). Returns whether photos moved or were
    // taken off. How a clash of keys is settled:
    //  - A card written back onto the key of another card is a newcomer
    //    there: the key's photos stay the other card's, and its own stay
    //    under its former key until it goes back to it, when they are its
    //    own again (photos of a key that were orphans are otherwise taken
    //    off before a card arrives at it).
    //  - The clash ends when one of the cards changes: a newcomer leaves
    //    the photos behind; the card that had the key takes them along.
    //  - When it cannot be told which card had the key first (both were in
    //    the list as it was opened), the key's photos are taken off when one
    //    of them changes, to be put on the right card by hand.
    // Newcomers are known for this run of the program; opening a card
    // index forgets them.
    bool rekey(const QList<CardEntry> &entries, const THuman &before, const THuman &after);
    // A card was deleted (entries: the list after). The key's photos are
    // taken off when other cards keep the key and the deleted card was not
    // a newcomer there: they never pass to another card. Returns whether
    // photos were taken off.
    bool deleted(const QList<CardEntry> &entries, const THuman &card);
    struct Newcomer {
        THuman card;  // as it is now
        CardKey came; // the key it came to, which another card had
        std::optional<CardKey> own; // the key its own photos are under
    };
    QList<Newcomer> newcomers;

    // Puts photo i on a card as the card's photo of its eye at the visit it
    // was taken at (at `visit` when its date is not known); the card's
    // previous photo of that eye and visit is taken off.
    void putOn(int i, const CardKey &card, const QString &visit);
    void takeOff(int i);
    // Adds a photo already in the folder, on a card, taken at a visit.
    int add(const QString &file, Eye eye, const CardKey &card, const QString &visit);
};

// "<list without its last 4 characters>.foto", beside the list file.
QString folderFor(const QString &listFile);
QString indexFileIn(const QString &folder);
inline const QString kHeading = QStringLiteral("Фотографии картотеки НИРЕЛ-3");
constexpr int kLinesPerPhoto = 8;
inline const QString kVisitsFile = QStringLiteral("visits.txt");
inline const QString kVisitsHeading = QStringLiteral("Даты осмотров фотографий картотеки НИРЕЛ-3");

// The lines of the index and of the visits file.
QStringList indexLines(const PhotoIndex &index);
QStringList visitLines(const PhotoIndex &index);

struct Loaded {
    PhotoIndex index;
    QString warning; // set when something could not be read as it should
};
// Reads a folder's index; a folder or index that is not there gives an
// empty index. A folder without a visits file (written by a program that
// knows nothing of visits) has each photo at the visit of its card's date.
// Photo files of the folder the index does not name (copied in
// but never saved) are added as taken off, so they are offered, not lost.
// A folder or index that is a link, and records naming files outside the
// folder, are not read, and the warning says so.
Loaded load(const QString &folder);
// Writes the visits file and then the index into the folder (created if
// needed), each replacing the old one only when the new one is complete, and
// never through a link. Cut short between the two, the folder holds the old
// index with the new dates: every photo the old index names keeps a date.
bool save(const QString &folder, const PhotoIndex &index, QString *error = nullptr);
// Removes files a copy or a save cut short left in the folder.
void removeLeftovers(const QString &folder);

// A free name in the folder for a new photo of an eye: "R0001.jpg", ...
// (a name taken by a link or anything else is not free).
QString freeName(const QString &folder, Eye eye, const QString &suffix);

} // namespace photos
