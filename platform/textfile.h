#pragma once
// Line-oriented Windows-1251 text files with CR LF line ends.
#include <QByteArray>
#include <QString>
#include <QStringList>

class QSaveFile;

namespace platform::textfile {

struct ReadResult {
    bool ok = false;
    QStringList lines;
    QString error; // the system's own words, for logs and detailed messages
    // The name is a folder, a pipe, a device or a socket: nothing was read.
    bool notRegular = false;
};

// Reads every line of a regular file. A line ends at CR LF, at LF, or at a
// CR alone: a line read never holds a CR or LF, so it stays one line in a
// text box and one line when written back. A last line without a line end is
// still a line; an empty file has no lines. A
// pipe or a device is refused without reading from it (it could block the
// program or never end).
ReadResult readLines(const QString &path);

struct BytesResult {
    bool ok = false;
    QByteArray bytes;
    QString error;
    bool notRegular = false;
};

// Reads a regular file whole, refusing pipes and devices as readLines does.
BytesResult readBytes(const QString &path);

// "Файл ... не является обычным файлом": why a pipe or a device was refused.
QString notRegularMessage(const QString &shownPath);

// Splits already decoded text into lines by the same rules.
QStringList splitLines(const QString &text);

// Joins lines with CR LF after each line and encodes them; lossy, if given,
// tells whether a character had to be written as "?".
QByteArray encodeLines(const QStringList &lines, bool *lossy = nullptr);

// Writes the lines (CR LF after each) through a temporary file that replaces
// the target only when everything was written; an earlier file of the same
// name stays intact on failure. Returns false on failure, with error set.
bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// Writes bytes into a save file's temporary file and checks that all of
// them reached the disk; the target itself is replaced only by the caller's
// commit(). On failure the temporary file is discarded and false returned.
bool stage(QSaveFile &file, const QByteArray &bytes, QString *error = nullptr);

// Appends lines, CR LF after each, to the end of a file (created if absent).
bool appendLines(const QString &path, const QStringList &lines, QString *error = nullptr);

} // namespace platform::textfile
