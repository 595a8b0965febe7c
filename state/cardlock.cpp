#include "state/cardlock.h"

#include "platform/cp1251.h"
#include "platform/textfile.h"
#include "state/cardindexfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace state::cardlock {

namespace {

const QString kHeader = QStringLiteral("НИРЕЛ-3: картотека открыта");
constexpr qint64 kStaleAfterSecs = 24 * 60 * 60;

QString userName()
{
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

// When a process started, in clock ticks since boot (the 22nd field of
// /proc/<pid>/stat); 0 where that cannot be read.
qint64 startOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold blanks; fields follow it.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields.at(19).toLongLong() : 0; // field 22 is the 20th after the name
}

bool alive(qint64 pid, qint64 started)
{
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
        return false;
    // A process number used again by another program is not the holder.
    const qint64 now = startOf(pid);
    return started == 0 || now == 0 || now == started;
}

bool sameHost(const Holder &a, const Holder &b)
{
    return !a.host.isEmpty() && a.host.compare(b.host, Qt::CaseInsensitive) == 0;
}

QByteArray bytesOf(const Holder &h)
{
    return platform::textfile::encodeLines({kHeader, h.user, h.host, h.since.toUTC().toString(Qt::ISODate),
                                  QString::number(h.pid), QString::number(h.started), h.mark});
}

// A lock is a few lines; anything much longer is not one.
constexpr qint64 kLongestLock = 64 * 1024;

// Files a lock's writer keeps beside it for a moment:
// "<lock>.<host>-<pid>-<start>.nirel3-part" (the new lock being written)
// and "<lock>.<host>-<pid>-<start>.nirel3-old" (a stale lock moved aside).
// Those of a program that died are removed by the next one.
const QString kAsideSuffix = QStringLiteral(".nirel3-old");

QString hostTag(const QString &host)
{
    QString tag = host;
    for (QChar &c : tag)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    return tag;
}

QString besideName(const QString &lock, const Holder &h, const QString &suffix)
{
    return lock + QLatin1Char('.') + hostTag(h.host) + QStringLiteral("-%1-%2").arg(h.pid).arg(h.started) + suffix;
}

void removeLeftovers(const QString &lock, const Holder &self)
{
    const QFileInfo fi(lock);
    const QDir folder = fi.absoluteDir();
    const QString stem = fi.fileName() + QLatin1Char('.');
    const QStringList names =
        folder.entryList({stem + QLatin1Char('*') + platform::safefile::kPartSuffix, stem + QLatin1Char('*') + kAsideSuffix},
                         QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : names) {
        // <host>-<pid>-<start>
        QString tag = name.mid(stem.size());
        tag.chop(name.endsWith(kAsideSuffix) ? kAsideSuffix.size() : platform::safefile::kPartSuffix.size());
        const qsizetype startDash = tag.lastIndexOf(QLatin1Char('-'));
        const qsizetype pidDash = startDash > 0 ? tag.lastIndexOf(QLatin1Char('-'), startDash - 1) : -1;
        if (pidDash < 0)
            continue;
        const QString path = folder.filePath(name);
        const bool gone = tag.left(pidDash) == hostTag(self.host) &&
                          !alive(tag.mid(pidDash + 1, startDash - pidDash - 1).toLongLong(),
                                 tag.mid(startDash + 1).toLongLong());
        const bool old = QFileInfo(path).lastModified().secsTo(QDateTime::currentDateTime()) > kStaleAfterSecs;
        if (gone || old)
            platform::safefile::remove(path);
    }
}

// The lock's file written whole beside it, then linked in under the lock's
// own name: exclusive, like creating it, yet never seen half-written.
Take linkIn(const QString &path, const QByteArray &bytes, const Holder &self, QString *error)
{
    const QString part = besideName(path, self, platform::safefile::kPartSuffix);
    platform::safefile::remove(part);
    int err = platform::safefile::writeNew(part, bytes);
    if (err != 0) {
        *error = platform::safefile::reason(err);
        return Take::Failed;
    }
    const platform::safefile::Id written = platform::safefile::idOf(part, false);
    err = platform::safefile::link(part, path);
    // A share may report a link it did make as failed: the name tells.
    const bool ours = platform::safefile::sameFile(platform::safefile::idOf(path, false), written);
    platform::safefile::remove(part);
    if (err == 0 || ours) {
        platform::safefile::syncFolderOf(path);
        return Take::Taken;
    }
    if (err == EEXIST)
        return Take::Held;
    if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK || err == EXDEV) {
        // No hard links on this file system: the lock is created in place,
        // as exclusively, and a lock found empty is offered for takeover.
        err = platform::safefile::writeNew(path, bytes);
        if (err == 0) {
            platform::safefile::syncFolderOf(path);
            return Take::Taken;
        }
        if (err == EEXIST)
            return Take::Held;
    }
    *error = platform::safefile::reason(err);
    return Take::Failed;
}

} // namespace

QString lockName(const QString &listFile)
{
    return cardindex::realName(listFile) + QStringLiteral(".nirel3-lock");
}

Holder me(const QString &mark)
{
    Holder h;
    h.user = userName();
    h.host = QSysInfo::machineHostName();
    h.since = QDateTime::currentDateTime();
    h.pid = QCoreApplication::applicationPid();
    h.started = startOf(h.pid);
    h.mark = mark;
    return h;
}

std::optional<Holder> holderOf(const QString &listFile)
{
    const QString path = lockName(listFile);
    const platform::safefile::Id name = platform::safefile::idOf(path, false);
    if (name.size < 0)
        return std::nullopt;
    Holder h;
    h.file = name;
    const QString shown = QStringLiteral("файл блокировки ") + path;
    platform::safefile::Fd fd;
    QByteArray bytes;
    const int err = platform::safefile::openForReading(path, false, &fd);
    if (err == ELOOP) {
        const QFileInfo link(path);
        h.problem = shown + QStringLiteral(" — символическая ссылка") +
                    (link.exists() ? QString() : QStringLiteral(" на несуществующий файл ") + link.symLinkTarget());
    } else if (err != 0) {
        h.problem = shown + QStringLiteral(" не читается: ") + platform::safefile::reason(err);
    } else if (const int readErr = platform::safefile::readAll(fd.get(), &bytes, kLongestLock); readErr != 0) {
        h.problem = shown + QStringLiteral(" не читается: ") + platform::safefile::reason(readErr);
    } else {
        h.file = platform::safefile::idOf(fd.get());
        const QStringList lines = platform::textfile::splitLines(platform::cp1251::decode(bytes));
        if (lines.size() >= 7 && lines.at(0) == kHeader) {
            h.user = lines.at(1);
            h.host = lines.at(2);
            h.since = QDateTime::fromString(lines.at(3), Qt::ISODate).toLocalTime();
            h.pid = lines.at(4).toLongLong();
            h.started = lines.at(5).toLongLong();
            h.mark = lines.at(6);
        }
        if (!h.since.isValid())
            h.problem = shown + (bytes.isEmpty() ? QStringLiteral(" пуст") : QStringLiteral(" повреждён"));
    }
    if (!h.problem.isEmpty()) {
        h.user.clear();
        h.host.clear();
        h.pid = 0;
        h.started = 0;
        h.mark.clear();
        h.since = QDateTime::fromMSecsSinceEpoch(h.file.modified / 1000000);
    }
    return h;
}

State stateOf(const Holder &holder, const Holder &self, const QDateTime &now)
{
    if (holder.problem.isEmpty() && sameHost(holder, self) && holder.pid == self.pid && holder.mark == self.mark)
        return State::Ours;
    return staleReason(holder, self, now).isEmpty() ? State::Held : State::Stale;
}

QString staleReason(const Holder &holder, const Holder &self, const QDateTime &now)
{
    if (!holder.problem.isEmpty())
        return holder.problem;
    if (sameHost(holder, self) && !alive(holder.pid, holder.started))
        return QStringLiteral("программа, открывшая её, на этом компьютере уже не работает");
    if (holder.since.secsTo(now) > kStaleAfterSecs)
        return QStringLiteral("с тех пор прошло больше суток");
    // Clocks of two computers differ by minutes, not by a day.
    if (now.secsTo(holder.since) > kStaleAfterSecs)
        return QStringLiteral("это время ещё не наступило");
    return {};
}

QString describe(const Holder &holder)
{
    const QString since = QStringLiteral(" с ") + holder.since.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    if (!holder.problem.isEmpty())
        return QStringLiteral("неизвестно кто") + since;
    const QString user = holder.user.isEmpty() ? QStringLiteral("неизвестный пользователь") : holder.user;
    const QString host = holder.host.isEmpty() ? QStringLiteral("неизвестен") : holder.host;
    return user + QStringLiteral(" (компьютер ") + host + QStringLiteral(")") + since;
}

Take take(const QString &listFile, const Holder &self, QString *error)
{
    const QString path = lockName(listFile);
    removeLeftovers(path, self);
    return linkIn(path, bytesOf(self), self, error);
}

Take takeOver(const QString &listFile, const Holder &seen, const Holder &self, QString *error)
{
    const QString path = lockName(listFile);
    const std::optional<Holder> now = holderOf(listFile);
    if (!now)
        return take(listFile, self, error); // let go meanwhile
    if (!(*now == seen))
        return Take::Held; // somebody else took it meanwhile
    removeLeftovers(path, self);
    // The stale lock is moved aside: of several takers, only one moves it.
    const QString aside = besideName(path, self, kAsideSuffix);
    platform::safefile::remove(aside);
    int err = platform::safefile::rename(path, aside);
    if (err == ENOENT)
        return Take::Held;
    if (err != 0) {
        *error = platform::safefile::reason(err);
        return Take::Failed;
    }
    if (!platform::safefile::sameFile(platform::safefile::idOf(aside, false), seen.file)) {
        // What was moved is a lock somebody took over a moment ago: it goes
        // back, and theirs it stays.
        platform::safefile::link(aside, path);
        platform::safefile::remove(aside);
        return Take::Held;
    }
    const Take taken = linkIn(path, bytesOf(self), self, error);
    platform::safefile::remove(aside);
    return taken;
}

void refresh(const QString &listFile, const Holder &self)
{
    const std::optional<Holder> now = holderOf(listFile);
    if (!now || stateOf(*now, self) != State::Ours)
        return;
    Holder fresh = self;
    fresh.since = QDateTime::currentDateTime();
    // Our own lock is replaced in one step: there is no moment without it.
    const QString path = lockName(listFile);
    const QString part = besideName(path, self, platform::safefile::kPartSuffix);
    platform::safefile::remove(part);
    if (platform::safefile::writeNew(part, bytesOf(fresh)) != 0)
        return;
    if (platform::safefile::rename(part, path) != 0)
        platform::safefile::remove(part);
    else
        platform::safefile::syncFolderOf(path);
}

void release(const QString &listFile, const Holder &self)
{
    const std::optional<Holder> now = holderOf(listFile);
    if (now && stateOf(*now, self) == State::Ours) {
        platform::safefile::remove(lockName(listFile));
        removeLeftovers(lockName(listFile), self);
    }
}

} // namespace state::cardlock
