#include "photos/photostore.h"

#include "platform/prompter.h"
#include "state/examstate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace photos {

namespace {

bool sameFolder(const QString &a, const QString &b)
{
    return !a.isEmpty() && QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

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

bool Store::saved(const QString &listFile, QString *error)
{
    const QString target = folderFor(listFile);
    if (sameFolder(m_folder, target)) {
        if (m_index.photos.isEmpty() && !QFileInfo::exists(indexFileIn(target)))
            return true;
        return save(target, m_index, error);
    }
    // Another folder: what it held stays, taken off its cards; ours is copied in.
    PhotoIndex merged = load(target).index;
    for (Photo &p : merged.photos)
        p.onCard = false;
    if (m_index.photos.isEmpty() && merged.photos.isEmpty()) {
        m_folder = target;
        m_index = {};
        emit changed();
        return true;
    }
    if (!QDir().mkpath(target)) {
        if (error)
            *error = QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(target));
        return false;
    }
    for (Photo p : m_index.photos) {
        const QString from = QDir(m_folder).filePath(p.file);
        const QString name = freeName(target, p.eye, QFileInfo(p.file).suffix());
        if (!QFile::copy(from, QDir(target).filePath(name))) {
            if (error)
                *error = QStringLiteral("Не удалось скопировать %1 в %2").arg(QDir::toNativeSeparators(from),
                                                                                QDir::toNativeSeparators(target));
            return false;
        }
        p.file = name;
        merged.photos.append(p);
    }
    if (!save(target, merged, error))
        return false;
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
    const bool moved = m_index.rekey(keysOf(entries), keyOf(before), keyOf(after));
    emit cardRewritten(keyOf(before), keyOf(after));
    if (moved)
        emit changed();
}

Store::Added Store::add(const QString &source, Eye eye, const CardKey &card)
{
    Added out;
    if (m_folder.isEmpty()) {
        out.error = QStringLiteral("Картотека ещё не записана на диск. Сохраните её («Сохранить»): "
                                   "фотографии хранятся в папке рядом с её файлом.");
        return out;
    }
    QImageReader reader(source);
    const QByteArray format = reader.format().toLower();
    if (!reader.canRead() || (format != "jpeg" && format != "jpg" && format != "png" && format != "bmp")) {
        out.error = QStringLiteral("Файл %1 — не снимок в формате JPEG, PNG или BMP.").arg(QDir::toNativeSeparators(source));
        return out;
    }
    const QString suffix = format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format);
    const QString name = freeName(m_folder, eye, suffix);
    if (!QDir().mkpath(m_folder) || !QFile::copy(source, QDir(m_folder).filePath(name))) {
        out.error = QStringLiteral("Не удалось скопировать %1 в %2").arg(QDir::toNativeSeparators(source),
                                                                         QDir::toNativeSeparators(m_folder));
        return out;
    }
    out.photo = m_index.add(name, eye, card);
    emit changed();
    return out;
}

void Store::putOn(int photo, const CardKey &card)
{
    m_index.putOn(photo, card);
    emit changed();
}

void Store::takeOff(int photo)
{
    m_index.takeOff(photo);
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

void cardIndexOpened(QWidget *parent, const QString &listFile)
{
    const QString warning = store().opened(listFile);
    if (!warning.isEmpty())
        ui::inform(parent, warning);
}

void cardIndexSaved(QWidget *parent, const QString &listFile)
{
    QString error;
    if (!store().saved(listFile, &error)) {
        // The photos' index still waits to be written: the card index counts as unsaved.
        state::CardIndexDirty = 1;
        ui::showMessage(parent, QStringLiteral("Картотека сохранена, фотографии — нет: ") + error);
    }
}

void cardIndexCleared()
{
    store().cleared();
}

void cardWrittenBack(const THuman &before, const THuman &after, const QList<CardEntry> &entries)
{
    store().rewritten(before, after, entries);
}

} // namespace photos
