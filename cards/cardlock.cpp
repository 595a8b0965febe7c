#include "cards/cardlock.h"

#include "cards/cardindexfile.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace cardlock {

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
    return textfile::encodeLines({kHeader, h.user, h.host, h.since.toUTC().toString(Qt::ISODate),
                                  QString::number(h.pid), QString::number(h.started), h.mark});
}

// Creates a file that must not exist yet; 0, or the system's error number.
int writeNew(const QString &path, const QByteArray &bytes, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        *error = QString::fromLocal8Bit(std::strerror(err));
        return err;
    }
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    if (ok)
        return 0;
    QFile::remove(path);
    *error = QStringLiteral("ошибка записи");
    return EIO;
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
    const QFileInfo fi(path);
    if (!fi.exists())
        return std::nullopt;
    Holder h;
    const QStringList lines = textfile::readLines(path).lines;
    if (lines.size() >= 7 && lines.at(0) == kHeader) {
        h.user = lines.at(1);
        h.host = lines.at(2);
        h.since = QDateTime::fromString(lines.at(3), Qt::ISODate).toLocalTime();
        h.pid = lines.at(4).toLongLong();
        h.started = lines.at(5).toLongLong();
        h.mark = lines.at(6);
    }
    if (!h.since.isValid()) // half-written, or not ours: the file's own time
        h.since = fi.lastModified();
    return h;
}

State stateOf(const Holder &holder, const Holder &self, const QDateTime &now)
{
    if (sameHost(holder, self) && holder.pid == self.pid && holder.mark == self.mark)
        return State::Ours;
    return staleReason(holder, self, now).isEmpty() ? State::Held : State::Stale;
}

QString staleReason(const Holder &holder, const Holder &self, const QDateTime &now)
{
    if (sameHost(holder, self) && !alive(holder.pid, holder.started))
        return QStringLiteral("программа, открывшая её, на этом компьютере уже не работает");
    if (holder.since.secsTo(now) > kStaleAfterSecs)
        return QStringLiteral("с тех пор прошло больше суток");
    return {};
}

QString describe(const Holder &holder)
{
    const QString user = holder.user.isEmpty() ? QStringLiteral("неизвестный пользователь") : holder.user;
    const QString host = holder.host.isEmpty() ? QStringLiteral("неизвестен") : holder.host;
    return user + QStringLiteral(" (компьютер ") + host + QStringLiteral(") с ") +
           holder.since.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

Take take(const QString &listFile, const Holder &self, QString *error)
{
    const int err = writeNew(lockName(listFile), bytesOf(self), error);
    return err == 0 ? Take::Taken : err == EEXIST ? Take::Held : Take::Failed;
}

Take takeOver(const QString &listFile, const Holder &seen, const Holder &self, QString *error)
{
    const QString path = lockName(listFile);
    const std::optional<Holder> now = holderOf(listFile);
    if (now && !(*now == seen))
        return Take::Held; // somebody else took it meanwhile
    // The new lock is written aside and put in place in one step.
    const QString aside = path + QStringLiteral(".%1").arg(self.pid);
    QFile::remove(aside);
    if (writeNew(aside, bytesOf(self), error) != 0)
        return Take::Failed;
    if (std::rename(QFile::encodeName(aside).constData(), QFile::encodeName(path).constData()) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(aside);
        return Take::Failed;
    }
    return Take::Taken;
}

void refresh(const QString &listFile, const Holder &self)
{
    const std::optional<Holder> now = holderOf(listFile);
    if (!now || stateOf(*now, self) != State::Ours)
        return;
    Holder fresh = self;
    fresh.since = QDateTime::currentDateTime();
    QString error;
    takeOver(listFile, *now, fresh, &error);
}

void release(const QString &listFile, const Holder &self)
{
    const std::optional<Holder> now = holderOf(listFile);
    if (now && stateOf(*now, self) == State::Ours)
        QFile::remove(lockName(listFile));
}

} // namespace cardlock
