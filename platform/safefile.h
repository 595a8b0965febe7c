#pragma once
// The files the program keeps beside the user's own: a card index's lock,
// its staged files and record of intent, its backups, the photo folder with
// its photos and index. Every call on them goes through here, so that
//  - no symbolic link is followed where the program chose the name itself:
//    a link put in place of one of these files is replaced or refused, and
//    never read or written through (the card index pair is the user's
//    choice, links and all, and is opened as chosen);
//  - nothing but a regular file is read, and without blocking;
//  - every error says why, in words (reason());
//  - a test may make any call fail as the system would, or stop the program
//    just before it (setHook()).
// Calls return 0 or the system's error number.
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

#include <sys/types.h>

namespace platform::safefile {

// What tells one version of a file from another: the same name may lead to
// another file (a replacement) with the same size and modification time.
struct Id {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1; // -1: no such file
    qint64 modified = 0; // nanoseconds since 1970
    qint64 changed = 0;  // status change (ctime), nanoseconds since 1970
    friend bool operator==(const Id &, const Id &) = default;
};
// The file a name leads to (follow) or the name itself (a link as a link);
// an Id of size -1 when there is none.
Id idOf(const QString &path, bool follow);
Id idOf(int fd);
// The same file, as far as a rename cannot tell: renaming a file changes
// its status time, not its number, size or modification time.
bool sameFile(const Id &a, const Id &b);

// Not an error number of the system: the name is a folder, a pipe, a device.
constexpr int kNotRegular = -1;
// The reason for an error, as the user reads it: "на диске нет места".
QString reason(int error);

enum class Call { Open, Create, Read, Write, Sync, Rename, Link, Remove, MakeFolder, Copy };
// Called before every call made here, with the name it is made on; returns
// 0 to let the call go ahead, or an error number to make it fail so; for a
// Sync, kSkip leaves it out (tests of the order of calls, not of the disk).
using Hook = std::function<int(Call, const QString &path)>;
constexpr int kSkip = -2;
void setHook(Hook hook);

// Closes its descriptor when it goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(Fd &&other) noexcept : m_fd(other.release()) {}
    Fd &operator=(Fd &&other) noexcept;
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd();
    int get() const { return m_fd; }
    int release();
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Opens a regular file for reading without blocking; follow: whether a
// link in the last place of the name is followed (ELOOP if not).
int openForReading(const QString &path, bool follow, Fd *fd);
// The same for a file of a folder, by a plain name (isPlainName), with no
// link followed either for the folder's own name or for the file's.
int openInFolder(const QString &folder, const QString &name, Fd *fd);
// Reads what is left of an open file, at most limit bytes (EFBIG beyond).
int readAll(int fd, QByteArray *bytes, qint64 limit = -1);
// A whole file: openForReading then readAll.
int readFile(const QString &path, bool follow, QByteArray *bytes, qint64 limit = -1);
// A whole file of a folder: openInFolder then readAll.
int readFileInFolder(const QString &folder, const QString &name, QByteArray *bytes, qint64 limit = -1);

// A file name with no folder in it: not empty, no "/" or "\", not "." or "..".
bool isPlainName(const QString &name);

// Creates a file that must not exist yet, not through a link; mode, if
// given, is set as it is (the process's umask does not narrow it).
int create(const QString &path, std::optional<mode_t> mode, Fd *fd);
int writeAll(int fd, const char *data, qsizetype size, const QString &path);
int sync(int fd, const QString &path);
// Makes the entries of the folder holding the file durable.
int syncFolderOf(const QString &file);
int rename(const QString &from, const QString &to);
int link(const QString &from, const QString &to);
// Removes a name (a link, not its target); ENOENT when there was none.
int remove(const QString &path);
// A folder: made when missing; one that is there must be a folder itself,
// not a link to one (ELOOP) or a file (ENOTDIR).
int makeFolder(const QString &path);
// 0 when the name is a folder (not a link to one), ENOENT when nothing is
// there, ELOOP for a link, ENOTDIR for anything else.
int folderState(const QString &path);

// The mode of a file's permission bits, if there is such a file.
std::optional<mode_t> modeOf(const QString &path, bool follow);

// A new file with these bytes, on disk before this returns; removed again
// if it could not be written whole.
int writeNew(const QString &path, const QByteArray &bytes, std::optional<mode_t> mode = std::nullopt);
// Puts a file with these bytes in place of path in one step: written whole
// beside it ("<path>.nirel3-part"), then renamed over it. A link in its
// place is replaced, not followed. The old file's mode is kept.
int replace(const QString &path, const QByteArray &bytes);
// A new file (not there yet) with the bytes of an open file: a clone
// sharing the blocks where the file system offers it, a copy otherwise;
// on disk before this returns.
int copyNew(int fromFd, const QString &to, std::optional<mode_t> mode);

// The name of a file being written beside path, before it is renamed.
QString partName(const QString &path);
inline const QString kPartSuffix = QStringLiteral(".nirel3-part");

} // namespace platform::safefile
