#include "photos/photostore.h"

#include "platform/prompter.h"
#include "platform/safefile.h"
#include "state/cardindex.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cerrno>

namespace photos {

namespace {

bool sameFolder(const QString &a, const QString &b)
{
    return !a.isEmpty() && QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The decoder's allocation limit, in megabytes: a photo of kMaxPixels fits
// under it even where it is decoded whole (BMP).
constexpr int kAllocationLimitMb = int(kMaxPixels * 4 / (1024 * 1024)) + 1;
// No photo file is larger than this; anything larger is not read.
constexpr qint64 kLargestFile = 512LL * 1024 * 1024;

// Whether the JPEG decoder said, while it decoded, that the data ended
// early: it then fills the rest of the photo with grey and reports success.
struct DecoderWatch {
    bool *cut = nullptr;
    QtMessageHandler previous = nullptr;
};
DecoderWatch &decoderWatch()
{
    static DecoderWatch watch;
    return watch;
}

void watchDecoder(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (decoderWatch().cut && context.category && qstrcmp(context.category, "qt.gui.imageio.jpeg") == 0 &&
        message.contains(QLatin1String("premature end"), Qt::CaseInsensitive))
        *decoderWatch().cut = true;
    if (decoderWatch().previous)
        decoderWatch().previous(type, context, message);
}

QString readerProblem(const QImageReader &reader)
{
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("формат не поддерживается");
    case QImageReader::DeviceError:
        return QStringLiteral("ошибка чтения");
    default:
        return QStringLiteral("файл повреждён");
    }
}

} // namespace

Decoded decode(const QByteArray &bytes, const QString &shownName)
{
    Decoded out;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format().toLower();
    if (format != "jpeg" && format != "jpg" && format != "png" && format != "bmp") {
        out.problem = QStringLiteral("Файл %1 — не снимок в формате JPEG, PNG или BMP.").arg(shownName);
        return out;
    }
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        out.problem = QStringLiteral("Снимок %1 не читается: файл повреждён.").arg(shownName);
        return out;
    }
    out.fullSize = size;
    if (qint64(size.width()) * size.height() > kMaxPixels) {
        out.problem = QStringLiteral("Снимок %1 слишком велик: %2 × %3 точек (больше %4 мегапикселей).")
                          .arg(shownName)
                          .arg(size.width())
                          .arg(size.height())
                          .arg(kMaxPixels / 1000000);
        return out;
    }
    int shrink = 1;
    while (std::max(size.width(), size.height()) / shrink > kShownSide)
        shrink *= 2;
    if (shrink > 1)
        reader.setScaledSize(QSize((size.width() + shrink - 1) / shrink, (size.height() + shrink - 1) / shrink));
    // The limit is the whole program's: it is raised for a photo only.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    bool cut = false;
    decoderWatch().cut = &cut;
    decoderWatch().previous = qInstallMessageHandler(watchDecoder);
    QImage image = reader.read();
    qInstallMessageHandler(decoderWatch().previous);
    decoderWatch().cut = nullptr;
    QImageReader::setAllocationLimit(limit);
    if (image.isNull()) {
        out.problem = QStringLiteral("Снимок %1 не читается: %2.").arg(shownName, readerProblem(reader));
        return out;
    }
    // A photo turned by its orientation tag: its own size turns with it.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        out.fullSize.transpose();
    out.scale = double(image.width()) / out.fullSize.width();
    out.image = std::move(image);
    out.cut = cut;
    return out;
}

Decoded readPhoto(const QString &folder, const QString &file)
{
    const QString path = shown(QDir(folder).filePath(file));
    QByteArray bytes;
    const int err = platform::safefile::readFileInFolder(folder, file, &bytes, kLargestFile);
    if (err != 0) {
        Decoded out;
        out.problem = QStringLiteral("Снимок %1 не прочитан: %2.").arg(path, platform::safefile::reason(err));
        return out;
    }
    return decode(bytes, path);
}

iris::Fit scaled(const iris::Fit &fit, double factor)
{
    iris::Fit f = fit;
    for (iris::Circle *c : {&f.pupil, &f.limbus}) {
        c->x *= factor;
        c->y *= factor;
        c->r *= factor;
    }
    return f;
}

Store::Store()
{
    // What the user is told goes over the window at work (the card window).
    state::cards::CardIndex *cardIndex = &state::cards::cardIndex();
    connect(cardIndex, &state::cards::CardIndex::opened, this, [this](const QString &listFile) {
        const QString warning = opened(listFile);
        if (!warning.isEmpty())
            platform::ui::inform(QApplication::activeWindow(), warning);
    });
    connect(cardIndex, &state::cards::CardIndex::saved, this, [this, cardIndex](const QString &listFile) {
        QString error;
        QString warning;
        const bool written = saved(listFile, &error, &warning);
        if (!warning.isEmpty())
            platform::ui::inform(QApplication::activeWindow(), warning);
        if (!written) {
            // The photos' index still waits to be written: the card index counts as unsaved.
            cardIndex->noteUnsaved();
            platform::ui::showMessage(QApplication::activeWindow(),
                            QStringLiteral("Картотека сохранена, фотографии — нет: ") + error);
        }
    });
    connect(cardIndex, &state::cards::CardIndex::cleared, this, &Store::cleared);
    connect(cardIndex, &state::cards::CardIndex::cardRewritten, this,
            [this, cardIndex](const THuman &before, const THuman &after) {
                rewritten(before, after, cardIndex->entries());
            });
    connect(cardIndex, &state::cards::CardIndex::cardDeleted, this, [this, cardIndex](const THuman &card) {
        deleted(card, cardIndex->entries());
    });
}

QString Store::pathOf(int photo) const
{
    return QDir(m_folder).filePath(m_index.photos.at(photo).file);
}

QString Store::opened(const QString &listFile)
{
    m_folder = folderFor(listFile);
    Loaded loaded = load(m_folder);
    m_index = std::move(loaded.index);
    emit changed();
    return loaded.warning;
}

bool Store::saved(const QString &listFile, QString *error, QString *warning)
{
    const QString target = folderFor(listFile);
    if (sameFolder(m_folder, target)) {
        if (m_index.photos.isEmpty() && platform::safefile::idOf(indexFileIn(target), false).size < 0)
            return true;
        return save(target, m_index, error);
    }
    // Another folder: what it held stays, taken off its cards; ours is copied in.
    if (const int state = platform::safefile::folderState(target); state != 0 && state != ENOENT) {
        if (error)
            *error = QStringLiteral("Папка фотографий %1 не используется: %2").arg(shown(target), platform::safefile::reason(state));
        return false;
    }
    PhotoIndex merged = load(target).index;
    for (Photo &p : merged.photos)
        p.onCard = false;
    merged.newcomers = m_index.newcomers;
    if (m_index.photos.isEmpty() && merged.photos.isEmpty()) {
        m_folder = target;
        m_index = std::move(merged);
        emit changed();
        return true;
    }
    if (const int err = platform::safefile::makeFolder(target)) {
        if (error)
            *error = QStringLiteral("Не удалось создать папку %1: %2").arg(shown(target), platform::safefile::reason(err));
        return false;
    }
    removeLeftovers(target);
    QStringList left;
    for (Photo p : m_index.photos) {
        // Only a file of the old folder itself is copied: never a link, nor
        // a name that leads elsewhere.
        platform::safefile::Fd in;
        if (const int err = platform::safefile::openInFolder(m_folder, p.file, &in)) {
            left << p.file + QStringLiteral(" (") + platform::safefile::reason(err) + QLatin1Char(')');
            continue;
        }
        const QString name = freeName(target, p.eye, QFileInfo(p.file).suffix());
        const QString to = QDir(target).filePath(name);
        const QString part = platform::safefile::partName(to);
        int err = platform::safefile::copyNew(in.get(), part, std::nullopt);
        if (err == 0 && (err = platform::safefile::rename(part, to)) != 0)
            platform::safefile::remove(part);
        if (err != 0) {
            if (error)
                *error = QStringLiteral("Не удалось скопировать %1 в %2: %3")
                             .arg(shown(QDir(m_folder).filePath(p.file)), shown(target), platform::safefile::reason(err));
            return false;
        }
        p.file = name;
        merged.photos.append(p);
    }
    if (!save(target, merged, error))
        return false;
    if (warning && !left.isEmpty())
        *warning = QStringLiteral("Не скопированы в папку %1 фотографии, которых нет в папке %2 как файлов: %3.")
                       .arg(shown(target), shown(m_folder), left.join(QStringLiteral(", ")));
    m_folder = target;
    m_index = std::move(merged);
    emit changed();
    return true;
}

void Store::cleared()
{
    m_folder.clear();
    m_index = {};
    emit changed();
}

void Store::rewritten(const THuman &before, const THuman &after, const QList<CardEntry> &entries)
{
    const bool moved = m_index.rekey(entries, before, after);
    emit cardRewritten(keyOf(before), keyOf(after));
    if (moved)
        emit changed();
}

void Store::deleted(const THuman &card, const QList<CardEntry> &entries)
{
    if (m_index.deleted(entries, card))
        emit changed();
}

Store::Added Store::add(const QString &source, Eye eye, const CardKey &card, const QString &visit)
{
    Added out;
    if (m_folder.isEmpty()) {
        out.error = QStringLiteral("Картотека ещё не записана на диск. Сохраните её («Сохранить»): "
                                   "фотографии хранятся в папке рядом с её файлом.");
        return out;
    }
    // The photo is read once: checked, then copied from these very bytes.
    QByteArray bytes;
    int err = platform::safefile::readFile(source, true, &bytes, kLargestFile);
    if (err != 0) {
        out.error = QStringLiteral("Файл %1 не прочитан: %2.").arg(shown(source), platform::safefile::reason(err));
        return out;
    }
    const Decoded decoded = decode(bytes, shown(source));
    if (decoded.image.isNull()) {
        out.error = decoded.problem;
        return out;
    }
    if (decoded.cut) {
        out.error = QStringLiteral("Снимок %1 обрывается: файл записан не полностью.").arg(shown(source));
        return out;
    }
    QBuffer buffer(&bytes);
    const QByteArray format = QImageReader(&buffer).format().toLower();
    const QString suffix = format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format);
    if ((err = platform::safefile::makeFolder(m_folder)) == 0) {
        const QString to = QDir(m_folder).filePath(freeName(m_folder, eye, suffix));
        const QString part = platform::safefile::partName(to);
        platform::safefile::remove(part);
        err = platform::safefile::writeNew(part, bytes);
        if (err == 0 && (err = platform::safefile::rename(part, to)) != 0)
            platform::safefile::remove(part);
        if (err == 0) {
            out.photo = m_index.add(QFileInfo(to).fileName(), eye, card, visit);
            state::cards::cardIndex().noteChange();
            emit changed();
            return out;
        }
    }
    out.error = QStringLiteral("Не удалось скопировать %1 в %2: %3")
                    .arg(shown(source), shown(m_folder), platform::safefile::reason(err));
    return out;
}

void Store::putOn(int photo, const CardKey &card, const QString &visit)
{
    m_index.putOn(photo, card, visit);
    state::cards::cardIndex().noteChange();
    emit changed();
}

void Store::takeOff(int photo)
{
    m_index.takeOff(photo);
    state::cards::cardIndex().noteChange();
    emit changed();
}

void Store::setFit(int photo, const iris::Fit &fit)
{
    m_index.photos[photo].fit = fit;
}

void Store::reset()
{
    m_folder.clear();
    m_index = {};
}

Store &store()
{
    static Store s;
    return s;
}

void followCardIndex()
{
    store();
}

} // namespace photos
