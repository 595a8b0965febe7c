#pragma once
// A card index on disk is a pair of Windows-1251 text files side by side: the
// list file with one display text per entry, and the data file (".lso") with
// eleven lines per record. Both are read and checked completely before
// anything is shown, and written completely before either old file is
// replaced, so the pair on disk and the list on screen never go half-way.
#include "cards/human.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One entry of the card index list: a display text, and maybe a record.
struct CardEntry {
    QString text;
    std::optional<THuman> record;

    friend bool operator==(const CardEntry &, const CardEntry &) = default;
};

namespace cardindex {

inline const QString kLabelCaption = QStringLiteral("Картотека:");
inline const QString kFilter = QStringLiteral("Списки|*.LST");
inline const QString kDefaultSuffix = QStringLiteral("lst");
inline const QString kOpenError = QStringLiteral("Ошибка открытия файла");
inline const QString kWriteError = QStringLiteral("Ошибка записи в файл");
constexpr int kLinesPerRecord = 11;

// The list file's full name with its last 4 characters replaced by ".lso".
QString dataFileName(const QString &listFile);

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
};

// Reads the list file and its data file. The n-th record belongs to the n-th
// list line; with fewer records than lines the last entries have none.
ReadResult readPair(const QString &listFile);

struct WriteResult {
    bool ok = false;
    QString message;
};

// Writes the list file and its data file (entries without a record leave no
// trace in the data file). On failure both old files are left as they were.
WriteResult writePair(const QString &listFile, const QList<CardEntry> &entries);

// The two files' lines for a list, as written by writePair.
QStringList listLines(const QList<CardEntry> &entries);
QStringList dataLines(const QList<CardEntry> &entries);

} // namespace cardindex
