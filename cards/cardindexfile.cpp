#include "cards/cardindexfile.h"

#include "cards/cardbackup.h"
#include "cards/cardcodec.h"
#include "platform/cp1251.h"
#include "platform/textfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardindex {

namespace {

SaveHook &saveHook()
{
    static SaveHook hook;
    return hook;
}

bool step(SaveStep s)
{
    const SaveHook &hook = saveHook();
    return !hook || hook(s);
}

// Where a name really leads: a symbolic link is followed, so that a pair kept
// as links into a shared folder is replaced there and the links stay.
QString target(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.isSymLink()) {
        const QString canonical = fi.canonicalFilePath();
        return canonical.isEmpty() ? QFileInfo(fi.symLinkTarget()).absoluteFilePath() : canonical;
    }
    return fi.absoluteFilePath();
}

// Two names of one file, through links and "..": the canonical names, where
// the files exist.
bool sameFile(const QString &a, const QString &b)
{
    auto identity = [](const QString &path) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        return canonical.isEmpty() ? target(path) : canonical;
    };
    return identity(a) == identity(b);
}

QString changedMessage(const QString &listFile)
{
    return QStringLiteral("Файлы картотеки ") + listFile +
           QStringLiteral(" изменены другой программой после того, как картотека была открыта.");
}

QString samePairMessage(const QString &listFile)
{
    return QStringLiteral("Файл списка картотеки не может служить и её файлом данных: ") + listFile;
}

QString readError(const QString &dataFile)
{
    return QStringLiteral("Ошибка чтения файла данных картотеки ") + dataFile;
}

QString dataErrorPrefix(const QString &dataFile)
{
    return QStringLiteral("Ошибка в файле данных картотеки ") + dataFile;
}

bool syncFolder(const QString &file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool replaceFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

qint64 sizeOf(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() ? fi.size() : -1;
}

struct Intent {
    qint64 listSize = -1;
    qint64 dataSize = -1;
};

const QString kIntentHeader = QStringLiteral("Замена картотеки");

QByteArray intentBytes(const Intent &intent)
{
    return textfile::encodeLines({kIntentHeader, QString::number(intent.listSize),
                                  QString::number(intent.dataSize)});
}

std::optional<Intent> readIntent(const QString &path)
{
    const textfile::ReadResult r = textfile::readLines(path);
    if (!r.ok || r.lines.size() != 3 || r.lines.at(0) != kIntentHeader)
        return std::nullopt;
    Intent intent;
    bool ok1 = false, ok2 = false;
    intent.listSize = r.lines.at(1).toLongLong(&ok1);
    intent.dataSize = r.lines.at(2).toLongLong(&ok2);
    if (!ok1 || !ok2)
        return std::nullopt;
    return intent;
}

const QString kFieldNames[kLinesPerRecord] = {
    QStringLiteral("Дата"),     QStringLiteral("Фамилия"),   QStringLiteral("Имя"),
    QStringLiteral("Отчество"), QStringLiteral("Возраст"),   QStringLiteral("Профессия"),
    QStringLiteral("Адрес"),    QStringLiteral("Телефон"),   QStringLiteral("Жалобы"),
    QStringLiteral("Семейн. анамнез"), QStringLiteral("Заключение")};

// Which cards and fields hold characters the code page cannot store.
QStringList unstorable(const QList<CardEntry> &entries)
{
    QStringList found;
    for (qsizetype n = 0; n < entries.size(); ++n) {
        const CardEntry &e = entries.at(n);
        const QString card = QStringLiteral("карточка %1 (%2)").arg(n + 1).arg(human::singleLine(e.text));
        if (!cp1251::canEncode(e.text))
            found.append(card + QStringLiteral(", строка списка"));
        if (!e.record)
            continue;
        const QStringList lines = recordLines(*e.record);
        for (int f = 0; f < kLinesPerRecord; ++f) {
            if (!cp1251::canEncode(lines.at(f)))
                found.append(card + QStringLiteral(", поле «") + kFieldNames[f] + QStringLiteral("»"));
        }
    }
    return found;
}

} // namespace

QString dataFileName(const QString &listFile)
{
    if (QFileInfo(listFile).fileName().size() <= 4)
        return listFile + QStringLiteral(".lso");
    return listFile.left(listFile.size() - 4) + QStringLiteral(".lso");
}

QString stagedName(const QString &file)
{
    return file + QStringLiteral(".nirel3-new");
}

QString intentName(const QString &listFile)
{
    return listFile + QStringLiteral(".nirel3-replace");
}

QString realName(const QString &path)
{
    return target(path);
}

PairStamp stampOf(const QString &listFile)
{
    PairStamp stamp;
    const auto look = [](const QString &file, qint64 *size, qint64 *time) {
        struct stat st {};
        if (::stat(QFile::encodeName(file).constData(), &st) != 0)
            return;
        *size = st.st_size;
        *time = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    };
    look(listFile, &stamp.listSize, &stamp.listTime);
    look(dataFileName(listFile), &stamp.dataSize, &stamp.dataTime);
    return stamp;
}

void setSaveHook(SaveHook hook)
{
    saveHook() = std::move(hook);
}

QString labelText(const QString &fullFileName)
{
    if (fullFileName.size() <= 47)
        return kLabelCaption + QStringLiteral("  ") + fullFileName;
    return kLabelCaption + QStringLiteral(" ...") + fullFileName.right(48);
}

QStringList recordLines(const THuman &h)
{
    using human::singleLine;
    return {singleLine(h.Date),  singleLine(h.FName),     singleLine(h.LName),
            singleLine(h.MName), QString::number(h.Age),  singleLine(h.Doc),
            singleLine(h.Addr),  singleLine(h.Phone),     singleLine(h.Complaint),
            singleLine(h.Anamnesis), singleLine(h.Concl)};
}

QStringList listLines(const QList<CardEntry> &entries)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (const CardEntry &e : entries)
        lines.append(human::singleLine(e.text));
    return lines;
}

QStringList dataLines(const QList<CardEntry> &entries)
{
    QStringList lines;
    lines.reserve(entries.size() * kLinesPerRecord);
    for (const CardEntry &e : entries) {
        if (e.record)
            lines.append(recordLines(*e.record));
    }
    return lines;
}

RecoverResult recoverPair(const QString &listFile)
{
    RecoverResult result;
    const QString list = target(listFile);
    const QString data = target(dataFileName(listFile));
    const QString intentFile = intentName(listFile);
    if (!QFileInfo::exists(intentFile)) {
        // A save that died before its record of intent: the old pair stands.
        for (const QString &staged : {stagedName(list), stagedName(data)}) {
            if (QFileInfo(staged).isFile())
                QFile::remove(staged);
        }
        return result;
    }
    const std::optional<Intent> intent = readIntent(intentFile);
    auto refuse = [&](const QString &why) {
        result.ok = false;
        result.message = QStringLiteral("Не удалось завершить прерванное сохранение картотеки ") +
                         listFile + QStringLiteral(": ") + why;
        return result;
    };
    if (!intent)
        return refuse(QStringLiteral("файл ") + intentFile + QStringLiteral(" повреждён"));
    // Both new files were complete before the record was made; each is
    // either still staged or already in place.
    const struct {
        QString file;
        qint64 size;
    } parts[] = {{list, intent->listSize}, {data, intent->dataSize}};
    for (const auto &part : parts) {
        const qint64 staged = sizeOf(stagedName(part.file));
        if (staged != part.size && !(staged < 0 && sizeOf(part.file) == part.size))
            return refuse(QStringLiteral("файл ") + part.file + QStringLiteral(" изменён после сохранения"));
    }
    const SaveStep stepAfter[] = {SaveStep::ListReplaced, SaveStep::DataReplaced};
    for (int i = 0; i < 2; ++i) {
        const QString staged = stagedName(parts[i].file);
        if (QFileInfo::exists(staged) && !replaceFile(staged, parts[i].file))
            return refuse(QString::fromLocal8Bit(std::strerror(errno)));
        if (!step(stepAfter[i]))
            return refuse(QStringLiteral("ошибка записи"));
    }
    syncFolder(list);
    if (QFileInfo(data).absolutePath() != QFileInfo(list).absolutePath())
        syncFolder(data);
    if (!QFile::remove(intentFile))
        return refuse(QStringLiteral("не удаётся удалить ") + intentFile);
    syncFolder(intentFile);
    return result;
}

ReadResult readPair(const QString &listFile)
{
    ReadResult result;
    const QString dataFile = dataFileName(listFile);
    if (sameFile(listFile, dataFile)) {
        result.message = samePairMessage(listFile);
        return result;
    }
    if (const RecoverResult recovered = recoverPair(listFile); !recovered.ok) {
        result.message = recovered.message;
        return result;
    }
    result.stamp = stampOf(listFile);
    const textfile::BytesResult list = textfile::readBytes(listFile);
    if (!list.ok) {
        result.message = list.notRegular ? kOpenError + QStringLiteral("\n") + textfile::notRegularMessage(listFile)
                                         : kOpenError;
        return result;
    }
    if (!QFileInfo::exists(dataFile)) {
        result.message = QStringLiteral("Нет файла данных картотеки ") + dataFile;
        return result;
    }
    cardcodec::RecordReader data;
    if (!data.open(dataFile)) {
        result.message = data.notRegular() ? textfile::notRegularMessage(dataFile) : readError(dataFile);
        return result;
    }

    // Straight from the bytes into the entries: no text of a whole file, no
    // list of its lines.
    cardcodec::TextArena arena(list.bytes.size() + data.size() + 2);
    QList<CardEntry> entries = cardcodec::listEntries(list.bytes, arena);
    cardcodec::Span lines[kLinesPerRecord];
    int count = 0;
    for (qsizetype n = 0; data.next(lines, &count); ++n) {
        // Empty lines after the last whole record are what an editor
        // leaves; they are no record.
        if (count < kLinesPerRecord &&
            std::all_of(lines, lines + count, [](const cardcodec::Span &l) { return l.n == 0; }))
            break;
        const qsizetype first = n * kLinesPerRecord;
        if (n >= entries.size()) {
            // The first record that has no list line is named by its line.
            result.message = dataErrorPrefix(dataFile) +
                             QStringLiteral(", строка %1: карточек в нём больше, чем строк (%2) в файле списка ")
                                 .arg(first + 1)
                                 .arg(entries.size()) +
                             listFile;
            return result;
        }
        int age = 0;
        if (count > 4 && !cardcodec::ageOf(lines[4], &age)) {
            result.message = dataErrorPrefix(dataFile) +
                             QStringLiteral(", строка %1: возраст «%2» не является целым числом")
                                 .arg(first + 5)
                                 .arg(cardcodec::decoded(lines[4]));
            return result;
        }
        THuman &h = entries[n].record.emplace();
        h.Age = age;
        arena.record(lines, count, &h);
        if (count < kLinesPerRecord) {
            // A last record cut short: its missing lines read as empty.
            result.warning = dataErrorPrefix(dataFile) +
                             QStringLiteral(": последняя карточка (%1, «%2») неполная — в ней %3 строк из 11; "
                                            "недостающие строки прочитаны пустыми")
                                 .arg(n + 1)
                                 .arg(entries.at(n).text)
                                 .arg(count);
        }
    }
    if (data.failed()) {
        result.message = readError(dataFile);
        return result;
    }
    result.entries = std::move(entries);
    result.ok = true;
    return result;
}

namespace {

// Writes one staged file; false when it could not be written whole.
using Producer = std::function<bool(cardcodec::FileWriter &)>;

// The one way a pair is replaced, for a save and for a restore alike.
WriteResult replacePair(const QString &listFile, const Producer &listBytes, const Producer &dataBytes,
                        const SaveOptions &options)
{
    WriteResult result;
    const QString dataFile = dataFileName(listFile);
    if (sameFile(listFile, dataFile)) {
        result.message = samePairMessage(listFile);
        return result;
    }
    const QString dataError = QStringLiteral("Ошибка записи в файл данных картотеки ") + dataFile;
    const QString list = target(listFile);
    const QString data = target(dataFile);
    for (const QString &file : {list, data}) {
        const QFileInfo fi(file);
        if (fi.exists() && !fi.isFile()) {
            result.message = kWriteError + QStringLiteral("\n") + textfile::notRegularMessage(file);
            return result;
        }
    }
    // What an earlier save left unfinished is settled before this one starts.
    if (const RecoverResult recovered = recoverPair(listFile); !recovered.ok) {
        result.message = recovered.message;
        return result;
    }
    // Another program has written the pair since it was opened: ask first
    // (checked now, and again just before anything is replaced).
    auto changed = [&] { return options.expected && stampOf(listFile) != *options.expected; };
    auto refuseChanged = [&] {
        result.changedOnDisk = true;
        result.message = changedMessage(listFile);
        return result;
    };
    if (changed())
        return refuseChanged();

    const QString stagedList = stagedName(list);
    const QString stagedData = stagedName(data);
    const QString intentFile = intentName(listFile);
    QString backup;
    auto fail = [&](const QString &message) {
        QFile::remove(stagedList);
        QFile::remove(stagedData);
        if (!backup.isEmpty())
            cardbackup::remove(backup);
        result.message = message;
        return result;
    };

    // 1. Both new files, complete and on disk, beside the old pair.
    Intent sizes;
    {
        cardcodec::FileWriter file;
        const bool written = file.create(stagedList) && listBytes(file);
        if (!file.finish() || !written || !step(SaveStep::ListStaged))
            return fail(kWriteError);
        sizes.listSize = file.size();
    }
    {
        cardcodec::FileWriter file;
        const bool written = file.create(stagedData) && dataBytes(file);
        if (!file.finish() || !written || !step(SaveStep::DataStaged))
            return fail(dataError);
        sizes.dataSize = file.size();
    }
    if (changed()) {
        fail({});
        return refuseChanged();
    }

    // 2. The pair about to be replaced is kept; a save does not fail for
    // want of a backup, but says so.
    if (options.keepBackups > 0) {
        QString why;
        backup = cardbackup::make(listFile, QDateTime::currentDateTime(), &why);
        if (!why.isEmpty())
            result.warning = QStringLiteral("Картотека сохранена, но прежняя картотека не сохранена в копиях (") +
                             cardbackup::folderOf(listFile) + QStringLiteral("): ") + why;
    }
    if (!step(SaveStep::BackupMade))
        return fail(kWriteError);

    // 3. The record of intent: from here on the new pair wins.
    {
        QSaveFile intent(intentFile);
        if (!textfile::stage(intent, intentBytes(sizes)) || !intent.commit())
            return fail(kWriteError);
    }
    syncFolder(intentFile);
    if (!step(SaveStep::IntentRecorded)) {
        QFile::remove(intentFile);
        return fail(kWriteError);
    }

    // 4. Both replacements, then the record goes: the same work an open
    // does when it finds the record, so there is one way to finish a save.
    if (const RecoverResult done = recoverPair(listFile); !done.ok) {
        result.message = kWriteError +
                         QStringLiteral("\nНовые файлы картотеки записаны полностью, но замена старых не "
                                        "завершена; она завершится при следующем открытии картотеки.");
        return result;
    }
    result.stamp = stampOf(listFile);
    if (options.keepBackups > 0)
        cardbackup::rotate(listFile, options.keepBackups);
    step(SaveStep::Finished);
    result.ok = true;
    return result;
}

// A file's bytes copied into a staged file.
Producer copyOf(const QString &file)
{
    return [file](cardcodec::FileWriter &out) {
        const textfile::BytesResult in = textfile::readBytes(file);
        if (in.ok)
            out.bytes(in.bytes.constData(), in.bytes.size());
        return in.ok;
    };
}

} // namespace

WriteResult writePair(const QString &listFile, const QList<CardEntry> &entries, const SaveOptions &options)
{
    // Each field is encoded straight into its file.
    bool lossy = false;
    const Producer list = [&](cardcodec::FileWriter &file) {
        for (const CardEntry &e : entries)
            file.line(e.text, &lossy);
        return true;
    };
    const Producer data = [&](cardcodec::FileWriter &file) {
        for (const CardEntry &e : entries) {
            if (!e.record)
                continue;
            const THuman &h = *e.record;
            for (const QString *field : {&h.Date, &h.FName, &h.LName, &h.MName})
                file.line(*field, &lossy);
            file.age(h.Age);
            for (const QString *field : {&h.Doc, &h.Addr, &h.Phone, &h.Complaint, &h.Anamnesis, &h.Concl})
                file.line(*field, &lossy);
        }
        return true;
    };
    WriteResult result = replacePair(listFile, list, data, options);
    // Characters the code page cannot hold are rare; only then is each card
    // looked at, to tell the user where they were.
    if (result.ok && lossy)
        result.replaced = unstorable(entries);
    return result;
}

WriteResult restorePair(const QString &listFile, const QString &fromListFile, const SaveOptions &options)
{
    return replacePair(listFile, copyOf(fromListFile), copyOf(dataFileName(fromListFile)), options);
}

} // namespace cardindex
