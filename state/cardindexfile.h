#pragma once
// A card index on disk is a pair of Windows-1251 text files side by side: the
// list file with one display text per entry, and the data file (".lso") with
// eleven lines per record. Both are read and checked completely before
// anything is shown, and written completely before either old file is
// replaced, so the pair on disk and the list on screen never go half-way.
//
// Replacing a pair takes two renames, and the program may die between them.
// So a save first writes both new files beside the old ones ("<name>.nirel3-new")
// and makes them durable, then records its intent in "<list>.nirel3-replace"
// (the sizes of both new files), renames both, and removes the record. Any
// later open or save of the pair that finds the record finishes the renames
// first; one that finds new files without a record throws them away. A save
// killed at any instant thus leaves exactly the old or exactly the new pair.
#include "platform/safefile.h"
#include "state/human.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One entry of the card index list: a display text, and maybe a record.
struct CardEntry {
    QString text;
    std::optional<THuman> record;

    friend bool operator==(const CardEntry &, const CardEntry &) = default;
};

namespace state::cardindex {

inline const QString kLabelCaption = QStringLiteral("Картотека:");
inline const QString kFilter = QStringLiteral("Списки|*.LST");
inline const QString kDefaultSuffix = QStringLiteral("lst");
inline const QString kOpenError = QStringLiteral("Ошибка открытия файла");
inline const QString kWriteError = QStringLiteral("Ошибка записи в файл");
constexpr int kLinesPerRecord = 11;

// The list file's full name with its last 4 characters replaced by ".lso".
// The data file always lies beside the list file: a list file whose own name
// has 4 characters or fewer ("a.b") gets ".lso" appended instead.
QString dataFileName(const QString &listFile);

// The names a save uses beside the pair (see above).
QString stagedName(const QString &file);
QString intentName(const QString &listFile);

// Where a name really leads: a symbolic link is followed, so that a pair
// kept as links into a shared folder is replaced (and locked and backed up)
// there, and the links stay.
QString realName(const QString &path);

// The files of a pair as they are on disk. A save compares the stamp taken
// when the pair was opened (or last saved) with the files' stamp now, and
// does not replace files that another program has changed meanwhile; a file
// put in place of another with the same size and time still differs in its
// number on the disk and its status time.
struct PairStamp {
    platform::safefile::Id list; // size -1: no such file
    platform::safefile::Id data;

    friend bool operator==(const PairStamp &, const PairStamp &) = default;
};
PairStamp stampOf(const QString &listFile);

// The card index label naming a file: the full name after two spaces if it
// has at most 47 characters, otherwise " ..." and its last 48 characters.
QString labelText(const QString &fullFileName);

// The eleven lines of a record in field order, line breaks inside a field
// turned into spaces.
QStringList recordLines(const THuman &h);

struct ReadResult {
    bool ok = false;
    QList<CardEntry> entries;
    QString message; // what to tell the user when ok is false
    QString warning; // read, but something the user should know (a cut record)
    PairStamp stamp; // the files as they were read
};

// Who reads a pair. Only the holder of its lock (cardlock.h) finishes or
// throws away what an interrupted save left beside it; anybody else reads
// the pair as it stands and writes nothing.
enum class Role { Reader, Holder };

// Reads the list file and its data file. The n-th record belongs to the n-th
// list line; with fewer records than lines the last entries have none. A
// last record cut short (a hand-edited file) is read with its missing lines
// empty, and empty lines after the last record are ignored; both are told
// in warning.
// The two files are read as one pair: if either was replaced while it was
// read (another workstation saving), they are read again. While a save's
// record of intent stands, the pair read is the one it records. The holder
// finishes an interrupted replacement first.
ReadResult readPair(const QString &listFile, Role role = Role::Reader);

struct SaveOptions {
    // The pair as it was opened or last saved: when the files on disk are no
    // longer these, nothing is replaced and the result says changedOnDisk.
    std::optional<PairStamp> expected;
    // How many backups to keep (cardbackup.h); 0 makes none.
    int keepBackups = 0;
};

struct WriteResult {
    bool ok = false;
    QString message;
    // Fields that held characters Windows-1251 cannot store, written as "?":
    // "карточка 3 (Müller A.B.), поле «Фамилия»".
    QStringList replaced;
    // Another program changed the pair since it was opened (options.expected).
    bool changedOnDisk = false;
    // Saved, but the pair replaced could not be kept as a backup.
    QString warning;
    // The pair as this save left it.
    PairStamp stamp;
};

// Writes the list file and its data file (entries without a record leave no
// trace in the data file), for the holder of the pair's lock. On failure
// both old files are left as they were. The new files keep the old files'
// permissions; a pair protected against writing is not replaced.
WriteResult writePair(const QString &listFile, const QList<CardEntry> &entries, const SaveOptions &options = {});

// Puts a backup (or any pair) in place of the pair, byte for byte, the way
// a save does: with the same checks, and with the pair it replaces kept as
// a backup, so that a restore can itself be undone.
WriteResult restorePair(const QString &listFile, const QString &fromListFile, const SaveOptions &options = {});

struct RecoverResult {
    bool ok = true;
    QString message;
};

// Finishes or throws away what an interrupted save left beside the pair;
// for the holder of its lock only. Fails only when the files on disk
// contradict the record of intent; then nothing is touched.
RecoverResult recoverPair(const QString &listFile);

// The steps of a save, in order; a test hook is called after each one.
enum class SaveStep { ListStaged, DataStaged, BackupMade, IntentRecorded, ListReplaced, DataReplaced, Finished };
// Returns false to make the save fail at that step as an I/O error would.
using SaveHook = std::function<bool(SaveStep)>;
void setSaveHook(SaveHook hook);

// The two files' lines for a list, as written by writePair.
QStringList listLines(const QList<CardEntry> &entries);
QStringList dataLines(const QList<CardEntry> &entries);

} // namespace state::cardindex
