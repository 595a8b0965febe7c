#include "platform/textfile.h"

#include "platform/cp1251.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::textfile {

QStringList splitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    const QChar *chars = text.constData();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = chars[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && chars[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString notRegularMessage(const QString &shownPath)
{
    return QStringLiteral("Файл ") + shownPath + QStringLiteral(" не является обычным файлом");
}

BytesResult readBytes(const QString &path)
{
    BytesResult result;
    // Opened without blocking and checked on the open handle, so that a pipe
    // put in place of a file cannot stall the program between check and read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.notRegular = true;
        result.error = QStringLiteral("не является обычным файлом");
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

ReadResult readLines(const QString &path)
{
    ReadResult result;
    BytesResult read = readBytes(path);
    if (!read.ok) {
        result.error = read.error;
        result.notRegular = read.notRegular;
        return result;
    }
    result.lines = splitLines(cp1251::decode(read.bytes));
    result.ok = true;
    return result;
}

QByteArray encodeLines(const QStringList &lines, bool *lossy)
{
    QString joined;
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 2;
    joined.reserve(total);
    for (const QString &line : lines) {
        joined += line;
        joined += QLatin1String("\r\n");
    }
    return cp1251::encode(joined, lossy);
}

bool stage(QSaveFile &file, const QByteArray &bytes, QString *error)
{
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A short write (disk full, size limit) is not always reported by the
    // write itself, so the size on disk is checked too.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        if (error)
            *error = file.error() != QFileDevice::NoError ? file.errorString()
                                                          : QStringLiteral("short write");
        file.cancelWriting();
        file.commit(); // only removes the temporary file after cancelWriting()
        return false;
    }
    return true;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QSaveFile file(path);
    if (!stage(file, encodeLines(lines), error))
        return false;
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool appendLines(const QString &path, const QStringList &lines, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = encodeLines(lines);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform::textfile
