#pragma once
// Backups of a card index pair. Every save keeps the pair it replaces in a
// folder beside it, "<list file>.nirel3-backups", as a pair of its own named
// after the list file with the date and time of the save inserted before
// its last four characters:
//   Картотека.LST  ->  Картотека.LST.nirel3-backups/Картотека_2024-03-12_14-05-33.LST
//                                                   Картотека_2024-03-12_14-05-33.lso
// (a second save in the same second adds "_2", "_3" after the time). Only
// the newest are kept. A backup is an ordinary pair: it can be opened, and
// restoring one is a save of it in place of the pair.
//
// A backup is a copy of the pair (a clone sharing its blocks where the file
// system offers one), so that a program writing into the pair's files in
// place cannot change it. It is listed only when whole: its data file is
// made before its list file and removed after it, and what a save or a
// pruning killed part-way leaves is removed by the next one. The folder is
// never followed as a link.
#include <QDateTime>
#include <QList>
#include <QString>

namespace state::cardbackup {

// How many backups a save keeps.
constexpr int kKeep = 10;

// The backup folder of a pair: beside the files the list file name really
// leads to (through a symbolic link into a shared folder, say).
QString folderOf(const QString &listFile);

struct Backup {
    QString listFile; // full name of the backup's list file
    QDateTime time;   // when the pair it holds was replaced
    int number = 1;   // 2, 3... for more saves in one second
};

// The backups of a pair, newest first.
QList<Backup> list(const QString &listFile);

// Keeps the pair now on disk as a new backup made at the given time, with
// its files' permissions. Returns the backup's list file; empty with error
// empty when there is no pair to keep, empty with error set when it failed.
QString make(const QString &listFile, const QDateTime &time, QString *error);

// Removes one backup (its list file first).
void remove(const QString &backupListFile);

// Removes the oldest backups beyond keep, and the leftovers.
void rotate(const QString &listFile, int keep);

// Removes what a backup or a pruning cut short left in the folder: files
// being copied, a data file without its list file and the reverse.
void removeLeftovers(const QString &listFile);

// "12.03.2024 14:05:33" (and " (2)" for a second one in that second).
QString caption(const Backup &backup);

} // namespace state::cardbackup
