#include "photos/photoindex.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

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

int PhotoIndex::photoOf(const QList<CardKey> &cards, const CardKey &card, Eye eye) const
{
    if (cardsWith(cards, card) != 1)
        return -1;
    for (qsizetype i = photos.size() - 1; i >= 0; --i) {
        const Photo &p = photos.at(i);
        if (p.onCard && p.eye == eye && sameCard(p.key, card))
            return int(i);
    }
    return -1;
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
    QList<int> out;
    for (int i = 0; i < photos.size(); ++i) {
        const Photo &p = photos.at(i);
        const int owners = cardsWith(cards, p.key);
        if (!p.onCard || owners == 0 || (owners == 1 && photoOf(cards, p.key, p.eye) != i))
            out.append(i);
    }
    return out;
}

bool PhotoIndex::rekey(const QList<CardKey> &cards, const CardKey &from, const CardKey &to)
{
    if (sameCard(from, to) || cardsWith(cards, from) > 0 || cardsWith(cards, to) > 1)
        return false;
    for (Photo &p : photos)
        if (p.onCard && sameCard(p.key, to))
            p.onCard = false;
    bool moved = false;
    for (Photo &p : photos) {
        if (p.onCard && sameCard(p.key, from)) {
            p.key = to;
            moved = true;
        }
    }
    return moved;
}

void PhotoIndex::putOn(int i, const CardKey &card)
{
    for (int j = 0; j < photos.size(); ++j) {
        Photo &p = photos[j];
        if (j != i && p.onCard && p.eye == photos.at(i).eye && sameCard(p.key, card))
            p.onCard = false;
    }
    photos[i].key = card;
    photos[i].onCard = true;
}

void PhotoIndex::takeOff(int i)
{
    photos[i].onCard = false;
}

int PhotoIndex::add(const QString &file, Eye eye, const CardKey &card)
{
    photos.append(Photo{eye, file, true, card, std::nullopt});
    putOn(int(photos.size() - 1), card);
    return int(photos.size() - 1);
}

QString folderFor(const QString &listFile)
{
    QString data = cardindex::dataFileName(listFile);
    data.chop(4); // ".lso"
    return data + QStringLiteral(".foto");
}

QString indexFileIn(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("index.txt"));
}

QStringList indexLines(const PhotoIndex &index)
{
    QStringList lines{kHeading};
    for (const Photo &p : index.photos) {
        lines << (p.eye == Eye::Right ? kRight : kLeft) << p.file << (p.onCard ? kOnCard : kTakenOff)
              << human::singleLine(p.key.date) << human::singleLine(p.key.surname)
              << human::singleLine(p.key.firstName) << human::singleLine(p.key.patronymic) << fitLine(p.fit);
    }
    return lines;
}

Loaded load(const QString &folder)
{
    Loaded out;
    const QString indexFile = indexFileIn(folder);
    QSet<QString> named;
    if (QFileInfo::exists(indexFile)) {
        const textfile::ReadResult read = textfile::readLines(indexFile);
        if (!read.ok || read.lines.value(0) != kHeading) {
            out.warning = QStringLiteral("Список фотографий %1 не прочитан; фотографии из папки предложены "
                                         "без карточек.").arg(QDir::toNativeSeparators(indexFile));
        } else {
            const QStringList &l = read.lines;
            qsizetype i = 1;
            for (; i + kLinesPerPhoto <= l.size(); i += kLinesPerPhoto) {
                Photo p;
                const QString eye = l.at(i).trimmed().toLower();
                std::optional<iris::Fit> fit;
                if ((eye != kRight && eye != kLeft) || l.at(i + 1).trimmed().isEmpty() ||
                    !parseFit(l.at(i + 7), &fit)) {
                    out.warning = QStringLiteral("Список фотографий %1: запись со строки %2 не прочитана.")
                                      .arg(QDir::toNativeSeparators(indexFile)).arg(i + 1);
                    continue;
                }
                p.eye = eye == kRight ? Eye::Right : Eye::Left;
                p.file = l.at(i + 1).trimmed();
                p.onCard = l.at(i + 2).trimmed() != kTakenOff;
                p.key = CardKey{l.at(i + 3), l.at(i + 4), l.at(i + 5), l.at(i + 6)};
                p.fit = fit;
                named.insert(p.file.toCaseFolded());
                out.index.photos.append(p);
            }
            const bool trailingBlank = i < l.size() && l.mid(i).join(QString()).trimmed().isEmpty();
            if (i < l.size() && !trailingBlank)
                out.warning = QStringLiteral("Список фотографий %1 обрывается после строки %2.")
                                  .arg(QDir::toNativeSeparators(indexFile)).arg(i);
        }
    }
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    for (const QString &f : files) {
        const QRegularExpressionMatch m = ourName().match(f);
        if (m.hasMatch() && !named.contains(f.toCaseFolded()))
            out.index.photos.append(Photo{m.captured(1).toUpper() == QLatin1String("R") ? Eye::Right : Eye::Left, f,
                                          false, CardKey{}, std::nullopt});
    }
    return out;
}

bool save(const QString &folder, const PhotoIndex &index, QString *error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return textfile::writeLines(indexFileIn(folder), indexLines(index), error);
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
        if (!QFileInfo::exists(dir.filePath(name)))
            return name;
    }
}

} // namespace photos
