#include "state/cardindexfile.h"

#include "platform/cp1251.h"
#include "platform/textfile.h"
#include "state/cardbackup.h"
#include "state/cardcodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace state::cardindex {

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

QString writeError(const QString &file, int error)
{
    return kWriteError + QStringLiteral("\nФайл ") + file + QStringLiteral(": ") + platform::safefile::reason(error);
}

struct Intent {
    qint64 listSize = -1;
    qint64 dataSize = -1;
};

const QString kIntentHeader = QStringLiteral("Замена картотеки");

QByteArray intentBytes(const Intent &intent)
{
    return platform::textfile::encodeLines({kIntentHeader, QString::number(intent.listSize),
                                  QString::number(intent.dataSize)});
}

// The record of intent, never read through a link; nullopt when it cannot
// be read as one.
std::optional<Intent> readIntent(const QString &path)
{
    QByteArray bytes;
    if (platform::safefile::readFile(path, false, &bytes, 4096) != 0)
        return std::nullopt;
    const QStringList lines = platform::textfile::splitLines(platform::cp1251::decode(bytes));
    if (lines.size() != 3 || lines.at(0) != kIntentHeader)
        return std::nullopt;
    Intent intent;
    bool ok1 = false, ok2 = false;
    intent.listSize = lines.at(1).toLongLong(&ok1);
    intent.dataSize = lines.at(2).toLongLong(&ok2);
    if (!ok1 || !ok2)
        return std::nullopt;
    return intent;
}

bool exists(const platform::safefile::Id &id)
{
    return id.size >= 0;
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
        if (!platform::cp1251::canEncode(e.text))
            found.append(card + QStringLiteral(", строка списка"));
        if (!e.record)
            continue;
        const QStringList lines = recordLines(*e.record);
        for (int f = 0; f < kLinesPerRecord; ++f) {
            if (!platform::cp1251::canEncode(lines.at(f)))
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
    return PairStamp{platform::safefile::idOf(listFile, true), platform::safefile::idOf(dataFileName(listFile), true)};
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
    // A record of intent that was being written when its save died.
    if (exists(platform::safefile::idOf(platform::safefile::partName(intentFile), false)))
        platform::safefile::remove(platform::safefile::partName(intentFile));
    if (!exists(platform::safefile::idOf(intentFile, false))) {
        // A save that died before its record of intent: the old pair stands.
        // What is under the staged names (a link too) is removed, not followed.
        for (const QString &staged : {stagedName(list), stagedName(data)}) {
            if (exists(platform::safefile::idOf(staged, false)) && platform::safefile::folderState(staged) != 0)
                platform::safefile::remove(staged);
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
        const platform::safefile::Id staged = platform::safefile::idOf(stagedName(part.file), false);
        if (staged.size != part.size && !(!exists(staged) && platform::safefile::idOf(part.file, true).size == part.size))
            return refuse(QStringLiteral("файл ") + part.file + QStringLiteral(" изменён после сохранения"));
    }
    const SaveStep stepAfter[] = {SaveStep::ListReplaced, SaveStep::DataReplaced};
    for (int i = 0; i < 2; ++i) {
        const QString staged = stagedName(parts[i].file);
        if (exists(platform::safefile::idOf(staged, false))) {
            if (const int err = platform::safefile::rename(staged, parts[i].file))
                return refuse(platform::safefile::reason(err));
        }
        if (!step(stepAfter[i]))
            return refuse(QStringLiteral("ошибка записи"));
    }
    platform::safefile::syncFolderOf(list);
    if (QFileInfo(data).absolutePath() != QFileInfo(list).absolutePath())
        platform::safefile::syncFolderOf(data);
    if (const int err = platform::safefile::remove(intentFile))
        return refuse(QStringLiteral("не удаётся удалить ") + intentFile + QStringLiteral(": ") + platform::safefile::reason(err));
    platform::safefile::syncFolderOf(intentFile);
    return result;
}

namespace {

// How often and how long a reader waits for a save of another workstation
// to finish, when the pair changed under it while it read: about ten
// seconds in all, enough for a slow share.
constexpr int kReadTries = 40;
constexpr int kReadWaitMs = 250;

// One file of the pair as it was read.
struct Part {
    QString file;       // the name it is known by (the real one)
    platform::safefile::Id id;    // the file read
    platform::safefile::Fd fd;
};

enum class Attempt { Done, Moved };

// Reads the pair once. Moved: a save replaced a file of it meanwhile, so
// what was read may mix two saves; the caller reads again.
Attempt readOnce(const QString &listFile, ReadResult &result)
{
    result = ReadResult{};
    const QString dataFile = dataFileName(listFile);
    const QString list = target(listFile);
    const QString data = target(dataFile);
    const QString intentFile = intentName(listFile);

    // While a record of intent stands, the pair is the one it records: each
    // new file still under its staged name or already renamed into place.
    const platform::safefile::Id intentBefore = platform::safefile::idOf(intentFile, false);
    std::optional<Intent> intent;
    if (exists(intentBefore)) {
        intent = readIntent(intentFile);
        if (!intent) {
            if (platform::safefile::idOf(intentFile, false) != intentBefore)
                return Attempt::Moved;
            result.message = QStringLiteral("Не удалось прочитать картотеку ") + listFile +
                             QStringLiteral(": файл ") + intentFile + QStringLiteral(" повреждён");
            return Attempt::Done;
        }
    }
    Part parts[2] = {{list, {}, {}}, {data, {}, {}}};
    auto open = [&](Part &part, qint64 recorded) {
        int err = ENOENT;
        if (intent)
            err = platform::safefile::openForReading(stagedName(part.file), false, &part.fd);
        if (err == ENOENT)
            err = platform::safefile::openForReading(part.file, true, &part.fd);
        if (err == 0) {
            part.id = platform::safefile::idOf(part.fd.get());
            if (intent && part.id.size != recorded)
                return -2; // not the file recorded: the record went meanwhile
        }
        return err;
    };
    // Whether every file read is still the pair's: with no record, under its
    // own name; with one, under its staged or its own name, and the record
    // still the same. Checked in this order, so that a save running through
    // while the files were opened one after the other shows.
    auto unmoved = [&] {
        if (platform::safefile::idOf(intentFile, false) != intentBefore)
            return false;
        for (int i = 1; i >= 0; --i) {
            const Part &part = parts[i];
            if (!part.fd)
                continue;
            const bool here = platform::safefile::idOf(part.file, true) == part.id;
            if (!here && !(intent && platform::safefile::idOf(stagedName(part.file), false) == part.id))
                return false;
        }
        return true;
    };
    auto done = [&] { return unmoved() ? Attempt::Done : Attempt::Moved; };

    // A file of the recorded size is neither staged nor in place: the record
    // went meanwhile, or the files contradict it.
    auto contradicted = [&](const Part &part) {
        if (platform::safefile::idOf(intentFile, false) != intentBefore)
            return Attempt::Moved;
        result.message = QStringLiteral("Не удалось прочитать картотеку ") + listFile + QStringLiteral(": файл ") +
                         part.file + QStringLiteral(" изменён после сохранения");
        return Attempt::Done;
    };
    const int listError = open(parts[0], intent ? intent->listSize : 0);
    if (listError == -2)
        return contradicted(parts[0]);
    if (listError != 0) {
        if (!unmoved())
            return Attempt::Moved;
        result.message = listError == platform::safefile::kNotRegular
                             ? kOpenError + QStringLiteral("\n") + platform::textfile::notRegularMessage(listFile)
                             : kOpenError;
        return Attempt::Done;
    }
    QByteArray listBytes;
    if (platform::safefile::readAll(parts[0].fd.get(), &listBytes) != 0) {
        result.message = kOpenError;
        return done();
    }
    const int dataError = open(parts[1], intent ? intent->dataSize : 0);
    if (dataError == -2)
        return contradicted(parts[1]);
    if (dataError != 0) {
        if (!unmoved())
            return Attempt::Moved;
        result.message = dataError == ENOENT ? QStringLiteral("Нет файла данных картотеки ") + dataFile
                         : dataError == platform::safefile::kNotRegular ? platform::textfile::notRegularMessage(dataFile)
                                                               : readError(dataFile);
        return Attempt::Done;
    }
    result.stamp = PairStamp{parts[0].id, parts[1].id};
    cardcodec::RecordReader reader;
    reader.adopt(platform::safefile::Fd(::dup(parts[1].fd.get())).release());

    // Straight from the bytes into the entries: no text of a whole file, no
    // list of its lines.
    cardcodec::TextArena arena(listBytes.size() + reader.size() + 2);
    QList<CardEntry> entries = cardcodec::listEntries(listBytes, arena);
    cardcodec::Span lines[kLinesPerRecord];
    int count = 0;
    for (qsizetype n = 0; reader.next(lines, &count); ++n) {
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
            return done();
        }
        int age = 0;
        if (count > 4 && !cardcodec::ageOf(lines[4], &age)) {
            result.message = dataErrorPrefix(dataFile) +
                             QStringLiteral(", строка %1: возраст «%2» не является целым числом")
                                 .arg(first + 5)
                                 .arg(cardcodec::decoded(lines[4]));
            return done();
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
    if (reader.failed()) {
        result.message = readError(dataFile);
        return done();
    }
    if (!unmoved())
        return Attempt::Moved;
    result.entries = std::move(entries);
    result.ok = true;
    return Attempt::Done;
}

} // namespace

ReadResult readPair(const QString &listFile, Role role)
{
    ReadResult result;
    if (sameFile(listFile, dataFileName(listFile))) {
        result.message = samePairMessage(listFile);
        return result;
    }
    if (role == Role::Holder) {
        if (const RecoverResult recovered = recoverPair(listFile); !recovered.ok) {
            result.message = recovered.message;
            return result;
        }
    }
    for (int attempt = 1;; ++attempt) {
        if (readOnce(listFile, result) == Attempt::Done)
            return result;
        if (attempt == kReadTries)
            break;
        QThread::msleep(std::min(attempt * 10, kReadWaitMs));
    }
    result = ReadResult{};
    result.message = QStringLiteral("Картотеку ") + listFile +
                     QStringLiteral(" не удалось прочитать целиком: её файлы всё время заменяются (другая программа "
                                    "сохраняет её). Попробуйте открыть её ещё раз.");
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
    const QString list = target(listFile);
    const QString data = target(dataFile);
    // The new files take the old ones' permissions: a register kept private
    // stays private. One the user protected against writing is not replaced.
    std::optional<mode_t> modes[2];
    const QString shown[2] = {listFile, dataFile};
    const QString real[2] = {list, data};
    for (int i = 0; i < 2; ++i) {
        const QFileInfo fi(real[i]);
        if (fi.exists() && !fi.isFile()) {
            result.message = kWriteError + QStringLiteral("\n") + platform::textfile::notRegularMessage(real[i]);
            return result;
        }
        modes[i] = platform::safefile::modeOf(real[i], true);
        if (modes[i] && ((*modes[i] & 0222) == 0 || ::access(QFile::encodeName(real[i]).constData(), W_OK) != 0)) {
            result.message = kWriteError + QStringLiteral("\nФайл ") + shown[i] +
                             QStringLiteral(" защищён от записи: картотека не заменена");
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
        platform::safefile::remove(stagedList);
        platform::safefile::remove(stagedData);
        if (!backup.isEmpty())
            cardbackup::remove(backup);
        result.message = message;
        return result;
    };

    // 1. Both new files, complete and on disk, beside the old pair. A staged
    // file is written whole (its size noted) or gives the error that stopped it.
    auto stage = [&](const QString &staged, std::optional<mode_t> mode, const Producer &bytes, SaveStep done,
                     qint64 *size) {
        cardcodec::FileWriter file;
        const bool written = file.create(staged, mode) && bytes(file);
        if (!file.finish() || !written)
            return file.error() ? file.error() : EIO;
        if (!step(done))
            return EIO;
        *size = file.size();
        return 0;
    };
    Intent sizes;
    if (const int err = stage(stagedList, modes[0], listBytes, SaveStep::ListStaged, &sizes.listSize))
        return fail(writeError(listFile, err));
    const platform::safefile::Id listStaged = platform::safefile::idOf(stagedList, false);
    if (const int err = stage(stagedData, modes[1], dataBytes, SaveStep::DataStaged, &sizes.dataSize))
        return fail(writeError(dataFile, err));
    const platform::safefile::Id dataStaged = platform::safefile::idOf(stagedData, false);
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
        return fail(writeError(listFile, EIO));

    // 3. The record of intent: from here on the new pair wins. It is made
    // only for the very files staged (a workstation that took the lock over
    // meanwhile would have thrown them away).
    if (platform::safefile::idOf(stagedList, false) != listStaged || platform::safefile::idOf(stagedData, false) != dataStaged)
        return fail(kWriteError + QStringLiteral("\nНовые файлы картотеки ") + listFile +
                    QStringLiteral(" удалены другой программой до замены: картотека не заменена"));
    if (const int err = platform::safefile::replace(intentFile, intentBytes(sizes)))
        return fail(writeError(intentFile, err));
    if (!step(SaveStep::IntentRecorded)) {
        platform::safefile::remove(intentFile);
        return fail(writeError(intentFile, EIO));
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
        QByteArray bytes;
        if (platform::safefile::readFile(file, true, &bytes) != 0)
            return false;
        out.bytes(bytes.constData(), bytes.size());
        return true;
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

} // namespace state::cardindex
