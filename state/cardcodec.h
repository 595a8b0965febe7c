#pragma once
// The bytes of a card index pair, read and written at the speed of the disk:
// lines are found in the file's bytes and each field is decoded from
// Windows-1251 straight into its string; on saving, each field is encoded
// straight into the file through a small buffer. Nothing holds the text of a
// whole file or a list of its lines. Used by cardindexfile.cpp only.
#include "state/cardindexfile.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <sys/types.h>
#include <vector>

namespace state::cardcodec {

// One line of a file's bytes, without its line end.
struct Span {
    const char *p = nullptr;
    qsizetype n = 0;
};

// The lines of bytes by the text file rules: a line ends in LF or CR LF, a
// last line without a line end is a line too, an empty file has none.
std::vector<Span> linesOf(const QByteArray &bytes);

// A field decoded into a string of its own.
QString decoded(Span s);

// Decoded fields live in large blocks of memory that their strings share
// (see cardcodec.cpp).
class TextArena {
public:
    // expected: how many characters will be decoded, at most (the bytes to
    // read, and one more per file).
    explicit TextArena(qint64 expected) : m_left(expected) {}

    // A line decoded into a string of its own in the arena.
    QString line(Span s);
    // The text fields of a record from its lines (count of them,
    // consecutive in one buffer; 11, or fewer for a last record cut short,
    // whose missing fields stay empty), decoded in one go; the age line is
    // left to the caller.
    void record(const Span *lines, int count, THuman *h);

    TextArena(const TextArena &) = delete;
    TextArena &operator=(const TextArena &) = delete;
    ~TextArena() { release(); }

private:
    char16_t *room(qsizetype chars);
    QString string(char16_t *begin, qsizetype n);
    // Decodes consecutive lines in one run into the strings given (a null
    // pointer skips a line).
    void decode(const Span *lines, qsizetype count, QString *const *into);
    void release();
    QString::DataPointer m_block;
    char16_t *m_next = nullptr;
    char16_t *m_end = nullptr;
    int m_unused = 0; // references taken ahead for strings not made yet
    qint64 m_left;
};

// The display texts of a list file's bytes, one entry per line.
QList<CardEntry> listEntries(const QByteArray &bytes, TextArena &arena);

// An age line as a decimal integer (state::human::parseAge's rule).
bool ageOf(Span s, int *age);

// Reads a data file a record at a time through a buffer of its own.
class RecordReader {
public:
    RecordReader() = default;
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;
    ~RecordReader();

    // Opens a regular file (a pipe or a device is refused, notRegular set).
    bool open(const QString &path);
    // Reads from a file already open (and found regular); closes it at the end.
    void adopt(int fd);
    bool notRegular() const { return m_notRegular; }
    qint64 size() const { return m_size; }
    // The next record's lines: count is 11, or fewer at the end of the
    // file; false when nothing is left or reading failed (see failed()).
    // The spans stay valid until the next call.
    bool next(Span *lines, int *count);
    bool failed() const { return m_failed; }

private:
    bool fill();
    int m_fd = -1;
    QByteArray m_buffer;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    bool m_eof = false;
    bool m_failed = false;
    bool m_notRegular = false;
    qint64 m_size = 0;
};

// Writes a new file through a small buffer, starting the disk early, and
// makes it durable at the end.
class FileWriter {
public:
    FileWriter() = default;
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;
    ~FileWriter();

    // A new file in place of whatever had the name (a link is removed, not
    // followed); mode, if given, is the new file's.
    bool create(const QString &path, std::optional<mode_t> mode = std::nullopt);
    // One line of a card file: the text with each line break (CR LF, CR or
    // LF) made one space, encoded, CR LF after it; lossy is set when a
    // character had to be written as "?".
    void line(QStringView text, bool *lossy);
    void age(int value);
    void bytes(const char *data, qsizetype n);
    // Writes what is left, syncs the file to disk and checks its size;
    // on failure the file is removed.
    bool finish();
    qint64 size() const { return m_total; }
    // Why it failed: the system's error number.
    int error() const { return m_error; }

private:
    char *room(qsizetype n);
    bool flush();
    void fail(int error);
    QString m_path;
    int m_fd = -1;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    qint64 m_total = 0;
    qint64 m_synced = 0;
    bool m_ok = true;
    int m_error = 0;
};

} // namespace state::cardcodec
