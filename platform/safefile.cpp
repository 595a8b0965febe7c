#include "platform/safefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::safefile {

namespace {

Hook &hook()
{
    static Hook h;
    return h;
}

// 0, or the error the test hook asks for (errno set to it).
int before(Call call, const QString &path)
{
    const Hook &h = hook();
    if (!h)
        return 0;
    const int err = h(call, path);
    if (err != 0)
        errno = err;
    return err;
}

QByteArray name(const QString &path)
{
    return QFile::encodeName(path);
}

// The system call's result as 0 or its error number.
int result(int rc)
{
    return rc < 0 ? errno : 0;
}

qint64 nanos(const timespec &t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

Id idFrom(const struct stat &st)
{
    Id id;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.size = st.st_size;
    id.modified = nanos(st.st_mtim);
    id.changed = nanos(st.st_ctim);
    return id;
}

// Opened, then checked on the handle: a pipe put in place of a file between
// a check and an open cannot stall the program.
int checkRegular(int fd, Fd *out)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return kNotRegular;
    }
    *out = Fd(fd);
    return 0;
}

} // namespace

Fd &Fd::operator=(Fd &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

Fd::~Fd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Fd::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

Id idOf(const QString &path, bool follow)
{
    struct stat st {};
    const QByteArray n = name(path);
    if ((follow ? ::stat(n.constData(), &st) : ::lstat(n.constData(), &st)) != 0)
        return {};
    return idFrom(st);
}

Id idOf(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    return idFrom(st);
}

bool sameFile(const Id &a, const Id &b)
{
    return a.size >= 0 && a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified == b.modified;
}

QString reason(int error)
{
    switch (error) {
    case 0:
        return {};
    case kNotRegular:
        return QStringLiteral("это не обычный файл");
    case ENOSPC:
        return QStringLiteral("на диске нет места");
    case EDQUOT:
        return QStringLiteral("исчерпана дисковая квота");
    case EROFS:
        return QStringLiteral("диск доступен только для чтения");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав доступа");
    case EFBIG:
        return QStringLiteral("превышен допустимый размер файла");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода");
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case ELOOP:
        return QStringLiteral("это символическая ссылка");
    case ENOTDIR:
        return QStringLiteral("это не папка");
    case EISDIR:
        return QStringLiteral("это папка");
    case EEXIST:
        return QStringLiteral("такой файл уже есть");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

void setHook(Hook h)
{
    hook() = std::move(h);
}

int openForReading(const QString &path, bool follow, Fd *fd)
{
    if (const int err = before(Call::Open, path))
        return err;
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW);
    const int raw = ::open(name(path).constData(), flags);
    if (raw < 0)
        return errno;
    return checkRegular(raw, fd);
}

int openInFolder(const QString &folder, const QString &file, Fd *fd)
{
    if (!isPlainName(file))
        return ENOENT;
    const QString path = folder + QLatin1Char('/') + file;
    if (const int err = before(Call::Open, path))
        return err;
    const Fd dir(::open(name(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir)
        return errno == ENOTDIR ? ELOOP : errno;
    const int raw = ::openat(dir.get(), name(file).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (raw < 0)
        return errno;
    return checkRegular(raw, fd);
}

int readAll(int fd, QByteArray *bytes, qint64 limit)
{
    bytes->clear();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        if (limit >= 0 && st.st_size > limit)
            return EFBIG;
        bytes->reserve(qsizetype(st.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        if (limit >= 0 && bytes->size() + got > limit)
            return EFBIG;
        bytes->append(buffer, got);
    }
}

int readFile(const QString &path, bool follow, QByteArray *bytes, qint64 limit)
{
    Fd fd;
    const int err = openForReading(path, follow, &fd);
    return err != 0 ? err : readAll(fd.get(), bytes, limit);
}

int readFileInFolder(const QString &folder, const QString &name, QByteArray *bytes, qint64 limit)
{
    Fd fd;
    const int err = openInFolder(folder, name, &fd);
    return err != 0 ? err : readAll(fd.get(), bytes, limit);
}

bool isPlainName(const QString &file)
{
    return !file.isEmpty() && file != QLatin1String(".") && file != QLatin1String("..") &&
           !file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\')) && !file.contains(QChar(0));
}

int create(const QString &path, std::optional<mode_t> mode, Fd *fd)
{
    if (const int err = before(Call::Create, path))
        return err;
    const int raw = ::open(name(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           mode ? *mode : 0666);
    if (raw < 0)
        return errno;
    *fd = Fd(raw);
    if (mode && ::fchmod(raw, *mode) != 0) {
        const int err = errno;
        *fd = Fd();
        ::unlink(name(path).constData());
        return err;
    }
    return 0;
}

int writeAll(int fd, const char *data, qsizetype size, const QString &path)
{
    if (const int err = before(Call::Write, path))
        return err;
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size_t(size));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return errno;
        if (put == 0)
            return ENOSPC;
        data += put;
        size -= put;
    }
    return 0;
}

int sync(int fd, const QString &path)
{
    if (const int err = before(Call::Sync, path))
        return err == kSkip ? 0 : err;
    return result(::fsync(fd));
}

int syncFolderOf(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (const int err = before(Call::Sync, folder))
        return err == kSkip ? 0 : err;
    const Fd dir(::open(name(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir)
        return errno;
    return result(::fsync(dir.get()));
}

int rename(const QString &from, const QString &to)
{
    if (const int err = before(Call::Rename, to))
        return err;
    return result(::rename(name(from).constData(), name(to).constData()));
}

int link(const QString &from, const QString &to)
{
    if (const int err = before(Call::Link, to))
        return err;
    return result(::link(name(from).constData(), name(to).constData()));
}

int remove(const QString &path)
{
    if (const int err = before(Call::Remove, path))
        return err;
    return result(::unlink(name(path).constData()));
}

int folderState(const QString &path)
{
    struct stat st {};
    if (::lstat(name(path).constData(), &st) != 0)
        return errno;
    if (S_ISLNK(st.st_mode))
        return ELOOP;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

int makeFolder(const QString &path)
{
    const int state = folderState(path);
    if (state != ENOENT)
        return state;
    if (const int err = before(Call::MakeFolder, path))
        return err;
    if (::mkdir(name(path).constData(), 0777) != 0 && errno != EEXIST)
        return errno;
    return folderState(path);
}

std::optional<mode_t> modeOf(const QString &path, bool follow)
{
    struct stat st {};
    const QByteArray n = name(path);
    if ((follow ? ::stat(n.constData(), &st) : ::lstat(n.constData(), &st)) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return st.st_mode & 07777;
}

int writeNew(const QString &path, const QByteArray &bytes, std::optional<mode_t> mode)
{
    Fd fd;
    int err = create(path, mode, &fd);
    if (err != 0)
        return err;
    err = writeAll(fd.get(), bytes.constData(), bytes.size(), path);
    if (err == 0)
        err = sync(fd.get(), path);
    if (err == 0 && ::close(fd.release()) != 0)
        err = errno;
    if (err != 0) {
        fd = Fd();
        ::unlink(name(path).constData());
    }
    return err;
}

QString partName(const QString &path)
{
    return path + kPartSuffix;
}

int replace(const QString &path, const QByteArray &bytes)
{
    const QString part = partName(path);
    int err = remove(part);
    if (err != 0 && err != ENOENT)
        return err;
    err = writeNew(part, bytes, modeOf(path, false));
    if (err == 0)
        err = rename(part, path);
    if (err != 0) {
        ::unlink(name(part).constData());
        return err;
    }
    syncFolderOf(path);
    return 0;
}

int copyNew(int fromFd, const QString &to, std::optional<mode_t> mode)
{
    Fd out;
    int err = create(to, mode, &out);
    if (err != 0)
        return err;
    auto fail = [&](int e) {
        out = Fd();
        ::unlink(name(to).constData());
        return e;
    };
    if (const int e = before(Call::Copy, to))
        return fail(e);
    struct stat st {};
    if (::fstat(fromFd, &st) != 0)
        return fail(errno);
    // A clone shares the blocks until one of the two files is written: as
    // quick as a link, yet a file of its own.
    if (::ioctl(out.get(), FICLONE, fromFd) != 0) {
        off_t at = 0;
        while (at < st.st_size) {
            const ssize_t put = ::copy_file_range(fromFd, &at, out.get(), nullptr, size_t(st.st_size - at), 0);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                break;
        }
        if (at < st.st_size) {
            // No copy in the kernel here (another file system, an old kernel):
            // the bytes go through this process.
            char buffer[65536];
            for (;;) {
                const ssize_t got = ::pread(fromFd, buffer, sizeof buffer, at);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0)
                    return fail(errno);
                if (got == 0)
                    break;
                for (ssize_t done = 0; done < got;) {
                    const ssize_t put = ::pwrite(out.get(), buffer + done, size_t(got - done), at + done);
                    if (put < 0 && errno == EINTR)
                        continue;
                    if (put < 0)
                        return fail(errno);
                    if (put == 0)
                        return fail(ENOSPC);
                    done += put;
                }
                at += got;
            }
        }
    }
    if (const int e = sync(out.get(), to))
        return fail(e);
    struct stat written {};
    if (::fstat(out.get(), &written) != 0 || written.st_size != st.st_size)
        return fail(ENOSPC);
    if (::close(out.release()) != 0)
        return fail(errno);
    return 0;
}

} // namespace platform::safefile
