#include "photos/photoindex.h"

#include "platform/cp1251.h"
#include "platform/dates.h"
#include "platform/safefile.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cerrno>

namespace photos {

namespace {

const QString kRight = QStringLiteral("правый");
const QString kLeft = QStringLiteral("левый");
const QString kOnCard = QStringLiteral("на карточке");
const QString kTakenOff = QStringLiteral("без карточки");

QString norm(const QString &s)
{
    return s.simplified().toCaseFolded();
}

// A key as one string, for finding equal keys in a hash.
QString keyText(const CardKey &k)
{
    return norm(k.date) + QChar(0x1f) + norm(k.surname) + QChar(0x1f) + norm(k.firstName) + QChar(0x1f) +
           norm(k.patronymic);
}

QString fitLine(const std::optional<iris::Fit> &fit)
{
    if (!fit)
        return {};
    QStringList n;
    for (double v : {fit->pupil.x, fit->pupil.y, fit->pupil.r, fit->limbus.x, fit->limbus.y, fit->limbus.r, fit->turn})
        n << QString::number(v, 'f', 2);
    return n.join(QLatin1Char(' '));
}

// Seven numbers, or nothing; anything else is not a fit.
bool parseFit(const QString &line, std::optional<iris::Fit> *fit)
{
    fit->reset();
    const QStringList parts = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return true;
    if (parts.size() != 7)
        return false;
    double v[7];
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        v[i] = parts.at(i).toDouble(&ok);
        if (!ok)
            return false;
    }
    const iris::Fit f{{v[0], v[1], v[2]}, {v[3], v[4], v[5]}, v[6]};
    if (iris::usable(f))
        *fit = f;
    return true;
}

const QRegularExpression &ourName()
{
    static const QRegularExpression re(QStringLiteral("^([RL])\\d+\\.(jpe?g|png|bmp)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

} // namespace

QString eyeCaption(Eye eye)
{
    return eye == Eye::Right ? QStringLiteral("Правый глаз") : QStringLiteral("Левый глаз");
}

bool sameVisit(const QString &a, const QString &b)
{
    return norm(a) == norm(b);
}

bool holdsVisit(const QStringList &visits, const QString &visit)
{
    return std::any_of(visits.cbegin(), visits.cend(), [&](const QString &v) { return sameVisit(v, visit); });
}

bool visitBefore(const QString &a, const QString &b)
{
    const QDate da = platform::dates::fromShortDate(a);
    const QDate db = platform::dates::fromShortDate(b);
    if (da.isValid() != db.isValid())
        return db.isValid();
    if (da.isValid() && da != db)
        return da < db;
    return !da.isValid() && norm(a) < norm(b);
}

QString today()
{
    return platform::dates::shortDate(QDate::currentDate());
}

QString visitCaption(const QString &visit)
{
    return visit.simplified().isEmpty() ? QStringLiteral("без даты") : visit.simplified();
}

CardKey keyOf(const THuman &card)
{
    return CardKey{card.Date, card.FName, card.LName, card.MName};
}

bool sameCard(const CardKey &a, const CardKey &b)
{
    return norm(a.surname) == norm(b.surname) && norm(a.firstName) == norm(b.firstName) &&
           norm(a.patronymic) == norm(b.patronymic) && norm(a.date) == norm(b.date);
}

bool canHoldPhotos(const CardKey &key)
{
    return !norm(key.surname).isEmpty() && !norm(key.firstName).isEmpty();
}

QString describe(const CardKey &key)
{
    QStringList name;
    for (const QString &part : {key.surname, key.firstName, key.patronymic})
        if (!part.simplified().isEmpty())
            name << part.simplified();
    QString text = name.join(QLatin1Char(' '));
    if (!key.date.simplified().isEmpty())
        text += QStringLiteral(", ") + key.date.simplified();
    return text;
}

QList<CardKey> keysOf(const QList<CardEntry> &entries)
{
    QList<CardKey> keys;
    for (const CardEntry &e : entries)
        if (e.record)
            keys.append(keyOf(*e.record));
    return keys;
}

int PhotoIndex::cardsWith(const QList<CardKey> &cards, const CardKey &key)
{
    int n = 0;
    for (const CardKey &c : cards)
        n += sameCard(c, key);
    return n;
}

int PhotoIndex::photoOf(const QList<CardKey> &cards, const CardKey &card, Eye eye, const QString &visit) const
{
    if (cardsWith(cards, card) != 1)
        return -1;
    for (qsizetype i = photos.size() - 1; i >= 0; --i) {
        const Photo &p = photos.at(i);
        if (p.onCard && p.eye == eye && sameCard(p.key, card) && sameVisit(p.visit, visit))
            return int(i);
    }
    return -1;
}

int PhotoIndex::photoOf(const QList<CardKey> &cards, const CardKey &card, Eye eye) const
{
    const QStringList visits = visitsOf(cards, card);
    return visits.isEmpty() ? -1 : photoOf(cards, card, eye, visits.last());
}

QStringList PhotoIndex::visitsOf(const QList<CardKey> &cards, const CardKey &card) const
{
    QStringList out;
    if (cardsWith(cards, card) != 1)
        return out;
    for (const Photo &p : photos)
        if (p.onCard && sameCard(p.key, card) && !holdsVisit(out, p.visit))
            out.append(p.visit.simplified());
    std::stable_sort(out.begin(), out.end(), visitBefore);
    return out;
}

bool PhotoIndex::heldBack(const QList<CardKey> &cards, const CardKey &card) const
{
    if (cardsWith(cards, card) < 2)
        return false;
    for (const Photo &p : photos)
        if (p.onCard && sameCard(p.key, card))
            return true;
    return false;
}

QList<int> PhotoIndex::orphans(const QList<CardKey> &cards) const
{
    // Once through the cards and twice through the photos: a window with
    // thousands of each is refreshed at once.
    QHash<QString, int> owners;
    owners.reserve(cards.size());
    for (const CardKey &c : cards)
        ++owners[keyText(c)];
    QList<QString> keys(photos.size());
    QList<QString> visitKeys(photos.size());
    QHash<QString, int> shown[2]; // per eye: the last photo on each key and visit
    for (int i = 0; i < photos.size(); ++i) {
        const Photo &p = photos.at(i);
        keys[i] = keyText(p.key);
        visitKeys[i] = keys.at(i) + QChar(0x1e) + norm(p.visit);
        if (p.onCard)
            shown[p.eye == Eye::Right ? 0 : 1].insert(visitKeys.at(i), i);
    }
    QList<int> out;
    for (int i = 0; i < photos.size(); ++i) {
        const Photo &p = photos.at(i);
        const int n = owners.value(keys.at(i));
        if (!p.onCard || n == 0 || (n == 1 && shown[p.eye == Eye::Right ? 0 : 1].value(visitKeys.at(i)) != i))
            out.append(i);
    }
    return out;
}

namespace {

// How many newcomers (see rekey) on a key are still cards of the list.
int newcomersOn(const QList<PhotoIndex::Newcomer> &newcomers, const QList<CardEntry> &entries, const CardKey &key)
{
    int n = 0;
    for (const PhotoIndex::Newcomer &c : newcomers) {
        if (!sameCard(c.came, key))
            continue;
        for (const CardEntry &e : entries)
            if (e.record && *e.record == c.card) {
                ++n;
                break;
            }
    }
    return n;
}

} // namespace

bool PhotoIndex::rekey(const QList<CardEntry> &entries, const THuman &before, const THuman &after)
{
    const CardKey from = keyOf(before);
    const CardKey to = keyOf(after);
    qsizetype newcomer = -1;
    for (qsizetype i = 0; i < newcomers.size() && newcomer < 0; ++i)
        if (newcomers.at(i).card == before && sameCard(newcomers.at(i).came, from))
            newcomer = i;
    if (sameCard(from, to)) {
        if (newcomer >= 0)
            newcomers[newcomer].card = after;
        return false;
    }
    const QList<CardKey> cards = keysOf(entries);
    bool changed = false;
    auto takeOffKey = [&](const CardKey &key) {
        for (Photo &p : photos)
            if (p.onCard && sameCard(p.key, key)) {
                p.onCard = false;
                changed = true;
            }
    };

    // Whose the photos of the key left are.
    enum class Whose { ThisCard, Others, Unknown };
    const int othersOnFrom = cardsWith(cards, from);
    Whose whose = Whose::ThisCard;
    if (othersOnFrom > 0) {
        if (newcomer >= 0)
            whose = Whose::Others;
        else if (newcomersOn(newcomers, entries, from) == othersOnFrom)
            whose = Whose::ThisCard; // the others all came later
        else
            whose = Whose::Unknown;
    }
    if (whose == Whose::Unknown)
        takeOffKey(from);
    // The photos this card takes along, and those of its own that wait
    // under the key it had before it became a newcomer.
    const std::optional<CardKey> carried = whose == Whose::ThisCard ? std::optional(from) : std::nullopt;
    std::optional<CardKey> home;
    if (newcomer >= 0) {
        home = newcomers.at(newcomer).own;
        newcomers.removeAt(newcomer);
    }

    if (cardsWith(cards, to) > 1) {
        // A clash: nothing moves onto the key; the card is a newcomer on it.
        newcomers.append(Newcomer{after, to, carried ? carried : home});
        return changed;
    }
    // Photos of the key that were orphans belong to a card that had it
    // before, unless this card is coming back to its own.
    if (!(home && sameCard(*home, to)))
        takeOffKey(to);
    if (carried) {
        for (Photo &p : photos)
            if (p.onCard && sameCard(p.key, *carried)) {
                p.key = to;
                changed = true;
            }
    }
    return changed;
}

bool PhotoIndex::deleted(const QList<CardEntry> &entries, const THuman &card)
{
    const CardKey key = keyOf(card);
    for (qsizetype i = 0; i < newcomers.size(); ++i)
        if (newcomers.at(i).card == card && sameCard(newcomers.at(i).came, key)) {
            newcomers.removeAt(i); // the photos stay with the card that had the key
            return false;
        }
    // The cards are looked through only when a photo is on the key: a card
    // deleted from a large list without photos costs nothing here.
    const auto onKey = [&](const Photo &p) { return p.onCard && sameCard(p.key, key); };
    if (std::none_of(photos.cbegin(), photos.cend(), onKey))
        return false;
    if (cardsWith(keysOf(entries), key) == 0)
        return false; // orphans: no card has the key
    for (Photo &p : photos)
        if (onKey(p))
            p.onCard = false;
    return true;
}

void PhotoIndex::putOn(int i, const CardKey &card, const QString &visit)
{
    if (photos.at(i).visit.simplified().isEmpty())
        photos[i].visit = visit.simplified();
    for (int j = 0; j < photos.size(); ++j) {
        Photo &p = photos[j];
        if (j != i && p.onCard && p.eye == photos.at(i).eye && sameCard(p.key, card) &&
            sameVisit(p.visit, photos.at(i).visit))
            p.onCard = false;
    }
    photos[i].key = card;
    photos[i].onCard = true;
}

void PhotoIndex::takeOff(int i)
{
    photos[i].onCard = false;
}

int PhotoIndex::add(const QString &file, Eye eye, const CardKey &card, const QString &visit)
{
    photos.append(Photo{eye, file, true, card, std::nullopt, visit.simplified()});
    putOn(int(photos.size() - 1), card, visit);
    return int(photos.size() - 1);
}

QString folderFor(const QString &listFile)
{
    QString data = state::cardindex::dataFileName(listFile);
    data.chop(4); // ".lso"
    return data + QStringLiteral(".foto");
}

QString indexFileIn(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("index.txt"));
}

namespace {

// The order photos are written in: each card's photos in the order of their
// visits, oldest first, in the places its photos held; other photos stay
// where they are, and so do photos of one visit among themselves.
QList<int> writeOrder(const PhotoIndex &index)
{
    QHash<QString, QList<int>> byKey;
    for (int i = 0; i < index.photos.size(); ++i)
        byKey[keyText(index.photos.at(i).key)].append(i);
    QList<int> order(index.photos.size());
    for (const QList<int> &places : std::as_const(byKey)) {
        QList<int> sorted = places;
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            return visitBefore(index.photos.at(a).visit, index.photos.at(b).visit);
        });
        for (qsizetype k = 0; k < places.size(); ++k)
            order[places.at(k)] = sorted.at(k);
    }
    return order;
}

} // namespace

QStringList visitLines(const PhotoIndex &index)
{
    QStringList lines{kVisitsHeading};
    for (int i : writeOrder(index))
        lines << index.photos.at(i).file << state::human::singleLine(index.photos.at(i).visit);
    return lines;
}

QStringList indexLines(const PhotoIndex &index)
{
    QStringList lines{kHeading};
    for (int i : writeOrder(index)) {
        const Photo &p = index.photos.at(i);
        lines << (p.eye == Eye::Right ? kRight : kLeft) << p.file << (p.onCard ? kOnCard : kTakenOff)
              << state::human::singleLine(p.key.date) << state::human::singleLine(p.key.surname)
              << state::human::singleLine(p.key.firstName) << state::human::singleLine(p.key.patronymic) << fitLine(p.fit);
    }
    return lines;
}

Loaded load(const QString &folder)
{
    Loaded out;
    const QString indexFile = indexFileIn(folder);
    const QString shownIndex = QDir::toNativeSeparators(indexFile);
    const int state = platform::safefile::folderState(folder);
    if (state == ENOENT)
        return out;
    if (state != 0) {
        out.warning = QStringLiteral("Папка фотографий %1 не открыта: %2.")
                          .arg(QDir::toNativeSeparators(folder), platform::safefile::reason(state));
        return out;
    }
    QStringList warnings;
    QSet<QString> named;
    QByteArray bytes;
    const int err = platform::safefile::readFileInFolder(folder, QStringLiteral("index.txt"), &bytes);
    if (err != 0 && err != ENOENT) {
        warnings << QStringLiteral("Список фотографий %1 не прочитан (%2); фотографии из папки предложены без "
                                   "карточек.").arg(shownIndex, platform::safefile::reason(err));
    } else if (err == 0) {
        const QStringList l = platform::textfile::splitLines(platform::cp1251::decode(bytes));
        if (l.value(0) != kHeading) {
            warnings << QStringLiteral("Список фотографий %1 не прочитан; фотографии из папки предложены "
                                       "без карточек.").arg(shownIndex);
        } else {
            qsizetype i = 1;
            for (; i + kLinesPerPhoto <= l.size(); i += kLinesPerPhoto) {
                Photo p;
                const QString eye = l.at(i).trimmed().toLower();
                const QString file = l.at(i + 1).trimmed();
                std::optional<iris::Fit> fit;
                if ((eye != kRight && eye != kLeft) || file.isEmpty() || !parseFit(l.at(i + 7), &fit)) {
                    warnings << QStringLiteral("Список фотографий %1: запись со строки %2 не прочитана.")
                                    .arg(shownIndex).arg(i + 1);
                    continue;
                }
                if (!platform::safefile::isPlainName(file)) {
                    warnings << QStringLiteral("Список фотографий %1: запись со строки %2 называет файл «%3» не "
                                               "из папки фотографий; она не прочитана.")
                                    .arg(shownIndex).arg(i + 1).arg(file);
                    continue;
                }
                p.eye = eye == kRight ? Eye::Right : Eye::Left;
                p.file = file;
                p.onCard = l.at(i + 2).trimmed() != kTakenOff;
                p.key = CardKey{l.at(i + 3), l.at(i + 4), l.at(i + 5), l.at(i + 6)};
                p.fit = fit;
                named.insert(p.file.toCaseFolded());
                out.index.photos.append(p);
            }
            const bool trailingBlank = i < l.size() && l.mid(i).join(QString()).trimmed().isEmpty();
            if (i < l.size() && !trailingBlank)
                warnings << QStringLiteral("Список фотографий %1 обрывается после строки %2.").arg(shownIndex).arg(i);
        }
    }
    // The visits: a photo the visits file does not name was taken at the
    // visit of its card's date.
    QHash<QString, QString> visits;
    bytes.clear();
    const int visitsErr = platform::safefile::readFileInFolder(folder, kVisitsFile, &bytes);
    const QString shownVisits = QDir::toNativeSeparators(QDir(folder).filePath(kVisitsFile));
    if (visitsErr != 0 && visitsErr != ENOENT) {
        warnings << QStringLiteral("Даты осмотров %1 не прочитаны (%2); снимки показаны под датой карточки.")
                        .arg(shownVisits, platform::safefile::reason(visitsErr));
    } else if (visitsErr == 0) {
        const QStringList l = platform::textfile::splitLines(platform::cp1251::decode(bytes));
        if (l.value(0) != kVisitsHeading)
            warnings << QStringLiteral("Даты осмотров %1 не прочитаны; снимки показаны под датой карточки.")
                            .arg(shownVisits);
        for (qsizetype i = 1; l.value(0) == kVisitsHeading && i + 1 < l.size(); i += 2)
            visits.insert(l.at(i).trimmed().toCaseFolded(), l.at(i + 1).simplified());
    }
    for (Photo &p : out.index.photos)
        p.visit = visits.value(p.file.toCaseFolded(), p.key.date.simplified());

    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QString &f : files) {
        const QRegularExpressionMatch m = ourName().match(f);
        if (m.hasMatch() && !named.contains(f.toCaseFolded()))
            out.index.photos.append(Photo{m.captured(1).toUpper() == QLatin1String("R") ? Eye::Right : Eye::Left, f,
                                          false, CardKey{}, std::nullopt, visits.value(f.toCaseFolded())});
    }
    // A damaged index may have many bad records; the first few tell enough.
    constexpr qsizetype kShown = 5;
    if (warnings.size() > kShown) {
        const qsizetype more = warnings.size() - kShown;
        warnings.resize(kShown);
        warnings << QStringLiteral("… и ещё %1.").arg(more);
    }
    out.warning = warnings.join(QLatin1Char('\n'));
    return out;
}

bool save(const QString &folder, const PhotoIndex &index, QString *error)
{
    if (const int err = platform::safefile::makeFolder(folder)) {
        if (error)
            *error = QStringLiteral("Не удалось создать папку %1: %2").arg(QDir::toNativeSeparators(folder),
                                                                          platform::safefile::reason(err));
        return false;
    }
    removeLeftovers(folder);
    // The dates first: an index is never written whose photos have no date.
    const std::pair<QString, QStringList> files[] = {{QDir(folder).filePath(kVisitsFile), visitLines(index)},
                                                     {indexFileIn(folder), indexLines(index)}};
    for (const auto &[file, lines] : files)
        if (const int err = platform::safefile::replace(file, platform::textfile::encodeLines(lines))) {
            if (error)
                *error = QStringLiteral("Не удалось записать файл %1: %2").arg(QDir::toNativeSeparators(file),
                                                                              platform::safefile::reason(err));
            return false;
        }
    return true;
}

void removeLeftovers(const QString &folder)
{
    if (platform::safefile::folderState(folder) != 0)
        return;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QLatin1Char('*') + platform::safefile::kPartSuffix}, QDir::Files | QDir::System))
        platform::safefile::remove(dir.filePath(name));
}

QString freeName(const QString &folder, Eye eye, const QString &suffix)
{
    QString ext = suffix.toLower();
    if (ext == QLatin1String("jpeg"))
        ext = QStringLiteral("jpg");
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("%1%2.%3")
                                 .arg(eye == Eye::Right ? QLatin1Char('R') : QLatin1Char('L'))
                                 .arg(n, 4, 10, QLatin1Char('0'))
                                 .arg(ext);
        if (platform::safefile::idOf(dir.filePath(name), false).size < 0)
            return name;
    }
}

} // namespace photos
