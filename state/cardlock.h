#pragma once
// Who has a card index open. Two workstations may open one pair on a shared
// folder; the first leaves a small file beside it, "<list file>.nirel3-lock"
// (Windows-1251 text like everything else), naming the workstation, the user
// and the time, as office programs do. Whoever comes second is told who has
// the pair and may open it to read only. A lock whose program is gone (on
// the same workstation) or that is older than a day is stale and may be
// taken over; so is a lock that cannot be read (empty, damaged, a symbolic
// link, not a file), at once. The pair's own files are never touched.
//
// A lock is written whole and on disk under a name of its own, then given
// the lock's name by a hard link, which fails when the name is taken: two
// workstations opening at once cannot both have it. Taking over a stale
// lock moves that very lock aside first, so two takers cannot both win.
// The lock's name is never followed as a link.
#include "platform/safefile.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace state::cardlock {

struct Holder {
    QString user;
    QString host;
    QDateTime since; // when the pair was opened or last saved
    qint64 pid = 0;
    qint64 started = 0; // the process's start (clock ticks since boot), where known
    QString mark;       // tells apart two windows of one process
    // Read from a lock: what is wrong with it when it could not be read
    // ("файл блокировки … пуст"), and the file it was read from.
    QString problem;
    platform::safefile::Id file;

    friend bool operator==(const Holder &, const Holder &) = default;
};

// The lock file of a pair: beside the files the list file name leads to.
QString lockName(const QString &listFile);

// This process as a holder; mark tells one window from another.
Holder me(const QString &mark);

// The holder named by the pair's lock, if there is one. A lock that cannot
// be read as ours names an unknown holder since the file's time, and says
// why in problem.
std::optional<Holder> holderOf(const QString &listFile);

enum class State {
    Ours,  // this very window holds it
    Held,  // somebody else, alive as far as can be told
    Stale, // its process is gone, it is older than a day, or it cannot be read
};
State stateOf(const Holder &holder, const Holder &self, const QDateTime &now = QDateTime::currentDateTime());
// Why a stale lock is stale, for the question.
QString staleReason(const Holder &holder, const Holder &self, const QDateTime &now = QDateTime::currentDateTime());

// "Иванова (компьютер РЕГИСТРАТУРА) с 12.03.2024 14:05".
QString describe(const Holder &holder);

enum class Take { Taken, Held, Failed };
// Leaves the lock if there is none. Held: somebody was quicker.
Take take(const QString &listFile, const Holder &self, QString *error);
// Replaces a stale lock, if it is still the one seen; of several takers at
// once, one wins and the others are told Held.
Take takeOver(const QString &listFile, const Holder &seen, const Holder &self, QString *error);
// Writes the time anew (after a save), if the lock is ours.
void refresh(const QString &listFile, const Holder &self);
// Removes the lock, if it is ours.
void release(const QString &listFile, const Holder &self);

} // namespace state::cardlock
