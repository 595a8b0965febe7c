#include "cards/cardbackup.h"

#include "cards/cardindexfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cardbackup {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// A list file name as the part before the time and the four characters
// after it; a name of four characters or fewer gets ".lst" after the time.
struct NameParts {
    QString stem;
    QString suffix;
};

NameParts partsOf(const QString &listFile)
{
    const QString name = QFileInfo(listFile).fileName();
    if (name.size() <= 4)
        return {name, QStringLiteral(".lst")};
    return {name.left(name.size() - 4), name.right(4)};
}

QString nameFor(const NameParts &parts, const QDateTime &time, int number)
{
    QString name = parts.stem + QLatin1Char('_') + time.toString(kTimeFormat);
    if (number > 1)
        name += QLatin1Char('_') + QString::number(number);
    return name + parts.suffix;
}

// A hard link, or else a copy that is on disk before it counts.
bool keep(const QString &from, const QString &to, QString *error)
{
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (::link(src.constData(), dst.constData()) == 0)
        return true;
    if (errno == EEXIST) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!QFile::copy(from, to)) {
        *error = QStringLiteral("не удаётся скопировать ") + from;
        return false;
    }
    const int fd = ::open(dst.constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced) {
        QFile::remove(to);
        *error = QStringLiteral("не удаётся записать ") + to;
    }
    return synced;
}

} // namespace

QString folderOf(const QString &listFile)
{
    return cardindex::realName(listFile) + QStringLiteral(".nirel3-backups");
}

QList<Backup> list(const QString &listFile)
{
    const NameParts parts = partsOf(cardindex::realName(listFile));
    const QDir folder(folderOf(listFile));
    static const QRegularExpression stamp(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:_(\\d+))?$"));
    QList<Backup> found;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (name.size() <= parts.stem.size() + parts.suffix.size() + 1 || !name.startsWith(parts.stem + QLatin1Char('_')) ||
            !name.endsWith(parts.suffix))
            continue;
        const QString middle = name.mid(parts.stem.size() + 1, name.size() - parts.stem.size() - 1 - parts.suffix.size());
        const QRegularExpressionMatch m = stamp.match(middle);
        if (!m.hasMatch())
            continue;
        Backup b;
        b.listFile = folder.filePath(name);
        b.time = QDateTime::fromString(m.captured(1), kTimeFormat);
        b.number = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
        if (b.time.isValid())
            found.append(b);
    }
    std::sort(found.begin(), found.end(), [](const Backup &a, const Backup &b) {
        return a.time != b.time ? a.time > b.time : a.number > b.number;
    });
    return found;
}

QString make(const QString &listFile, const QDateTime &time, QString *error)
{
    error->clear();
    const QString list = cardindex::realName(listFile);
    const QString data = cardindex::realName(cardindex::dataFileName(listFile));
    // Without a list file there is no pair to restore.
    if (!QFileInfo(list).isFile())
        return {};
    const bool haveData = QFileInfo(data).isFile();
    const QString folder = folderOf(listFile);
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("не удаётся создать папку ") + folder;
        return {};
    }
    const NameParts parts = partsOf(list);
    // More saves in one second number themselves after the last one kept.
    const QDateTime second = time.addMSecs(-time.time().msec());
    int number = 1;
    for (const Backup &b : cardbackup::list(listFile)) {
        if (b.time == second)
            number = std::max(number, b.number + 1);
    }
    QString backupList;
    for (;; ++number) {
        backupList = QDir(folder).filePath(nameFor(parts, second, number));
        if (!QFileInfo::exists(backupList) && !QFileInfo::exists(cardindex::dataFileName(backupList)))
            break;
    }
    const QString backupData = cardindex::dataFileName(backupList);
    if (haveData && !keep(data, backupData, error))
        return {};
    if (!keep(list, backupList, error)) {
        QFile::remove(backupData);
        return {};
    }
    return backupList;
}

void remove(const QString &backupListFile)
{
    QFile::remove(cardindex::dataFileName(backupListFile));
    QFile::remove(backupListFile);
}

void rotate(const QString &listFile, int keep)
{
    const QList<Backup> backups = list(listFile);
    for (qsizetype i = std::max(keep, 0); i < backups.size(); ++i)
        remove(backups.at(i).listFile);
}

QString caption(const Backup &backup)
{
    QString text = backup.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (backup.number > 1)
        text += QStringLiteral(" (%1)").arg(backup.number);
    return text;
}

} // namespace cardbackup
