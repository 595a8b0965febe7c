#include "state/cardbackup.h"

#include "platform/safefile.h"
#include "state/cardindexfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace state::cardbackup {

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

// The time and number of a backup's name with the list file's suffix
// ("k_2024-03-12_14-05-33_2.LST") or the data file's (".lso"); the whole
// match is empty when the name is no backup's.
QRegularExpressionMatch matchName(const NameParts &parts, const QString &name, const QString &suffix)
{
    static const QRegularExpression stamp(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:_(\\d+))?$"));
    if (name.size() <= parts.stem.size() + suffix.size() + 1 || !name.startsWith(parts.stem + QLatin1Char('_')) ||
        !name.endsWith(suffix))
        return {};
    return stamp.match(name.mid(parts.stem.size() + 1, name.size() - parts.stem.size() - 1 - suffix.size()));
}

// A copy of a file of the pair (or a clone sharing its blocks), on disk,
// with the file's permissions, under the name given.
int keep(const QString &from, const QString &to)
{
    platform::safefile::Fd in;
    int err = platform::safefile::openForReading(from, true, &in);
    if (err != 0)
        return err;
    platform::safefile::remove(to);
    return platform::safefile::copyNew(in.get(), to, platform::safefile::modeOf(from, true));
}

// The names in the folder, links left out: the program makes none there.
QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
}

} // namespace

QString folderOf(const QString &listFile)
{
    return cardindex::realName(listFile) + QStringLiteral(".nirel3-backups");
}

QList<Backup> list(const QString &listFile)
{
    const NameParts parts = partsOf(cardindex::realName(listFile));
    const QString folder = folderOf(listFile);
    QList<Backup> found;
    if (platform::safefile::folderState(folder) != 0)
        return found;
    const QStringList names = namesIn(folder);
    for (const QString &name : names) {
        const QRegularExpressionMatch m = matchName(parts, name, parts.suffix);
        if (!m.hasMatch())
            continue;
        Backup b;
        b.listFile = QDir(folder).filePath(name);
        b.time = QDateTime::fromString(m.captured(1), kTimeFormat);
        b.number = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
        // Whole: its data file is there too (it is made first, and removed last).
        if (b.time.isValid() && names.contains(QFileInfo(cardindex::dataFileName(b.listFile)).fileName()))
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
    const QString folder = folderOf(listFile);
    if (const int err = platform::safefile::makeFolder(folder)) {
        *error = QStringLiteral("не удаётся создать папку ") + folder + QStringLiteral(": ") + platform::safefile::reason(err);
        return {};
    }
    removeLeftovers(listFile);
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
        if (platform::safefile::idOf(backupList, false).size < 0 &&
            platform::safefile::idOf(cardindex::dataFileName(backupList), false).size < 0)
            break;
    }
    const QString backupData = cardindex::dataFileName(backupList);
    // Both files are copied under names of their own, then the data file
    // takes its name and the list file last: a backup is listed only whole.
    const QString partData = platform::safefile::partName(backupData);
    const QString partList = platform::safefile::partName(backupList);
    auto fail = [&](const QString &file, int err) {
        platform::safefile::remove(partData);
        platform::safefile::remove(partList);
        platform::safefile::remove(backupData);
        *error = QStringLiteral("не удаётся записать ") + file + QStringLiteral(": ") + platform::safefile::reason(err);
        return QString();
    };
    // A pair without its data file is kept with an empty one: its list is
    // what can be restored.
    int err = QFileInfo(data).isFile() ? keep(data, partData) : platform::safefile::writeNew(partData, {}, platform::safefile::modeOf(list, true));
    if (err != 0)
        return fail(backupData, err);
    if ((err = keep(list, partList)) != 0)
        return fail(backupList, err);
    if ((err = platform::safefile::rename(partData, backupData)) != 0)
        return fail(backupData, err);
    if ((err = platform::safefile::rename(partList, backupList)) != 0)
        return fail(backupList, err);
    platform::safefile::syncFolderOf(backupList);
    return backupList;
}

void remove(const QString &backupListFile)
{
    // The list file first: from then on the backup is no longer listed.
    platform::safefile::remove(backupListFile);
    platform::safefile::remove(cardindex::dataFileName(backupListFile));
}

void rotate(const QString &listFile, int keep)
{
    const QList<Backup> backups = list(listFile);
    for (qsizetype i = std::max(keep, 0); i < backups.size(); ++i)
        remove(backups.at(i).listFile);
    removeLeftovers(listFile);
}

void removeLeftovers(const QString &listFile)
{
    const NameParts parts = partsOf(cardindex::realName(listFile));
    const QString folder = folderOf(listFile);
    if (platform::safefile::folderState(folder) != 0)
        return;
    const QStringList names = namesIn(folder);
    const QSet<QString> present(names.cbegin(), names.cend());
    const QString dataSuffix = QStringLiteral(".lso");
    for (const QString &name : names) {
        const QString path = QDir(folder).filePath(name);
        QString whole = name;
        if (name.endsWith(platform::safefile::kPartSuffix)) {
            // Copied by a save that did not finish.
            whole.chop(platform::safefile::kPartSuffix.size());
            if (matchName(parts, whole, parts.suffix).hasMatch() || matchName(parts, whole, dataSuffix).hasMatch())
                platform::safefile::remove(path);
        } else if (matchName(parts, name, parts.suffix).hasMatch()) {
            // A list file whose data file went: half-removed.
            if (!present.contains(QFileInfo(cardindex::dataFileName(path)).fileName()))
                platform::safefile::remove(path);
        } else if (matchName(parts, name, dataSuffix).hasMatch()) {
            // A data file whose list file never came, or already went.
            if (!present.contains(name.chopped(dataSuffix.size()) + parts.suffix))
                platform::safefile::remove(path);
        }
    }
}

QString caption(const Backup &backup)
{
    QString text = backup.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (backup.number > 1)
        text += QStringLiteral(" (%1)").arg(backup.number);
    return text;
}

} // namespace state::cardbackup
