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
#include <QDateTime>
#include <QList>
#include <QString>

namespace cardbackup {

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

// Keeps the pair now on disk as a new backup made at the given time: hard
// links to its files where the file system has them (the save then puts new
// files in place, so the linked ones are never written again), copies
// otherwise. Returns the backup's list file; empty with error empty when
// there is no pair to keep, empty with error set when it failed.
QString make(const QString &listFile, const QDateTime &time, QString *error);

// Removes one backup (its data file first).
void remove(const QString &backupListFile);

// Removes the oldest backups beyond keep.
void rotate(const QString &listFile, int keep);

// "12.03.2024 14:05:33" (and " (2)" for a second one in that second).
QString caption(const Backup &backup);

} // namespace cardbackup
