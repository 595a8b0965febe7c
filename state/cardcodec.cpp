#include "state/cardcodec.h"

#include "platform/cp1251.h"
#include "platform/safefile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace state::cardcodec {

namespace {

// The first CR or LF in [p, end), or nullptr. Lines are short, so this is
// done here, sixteen bytes at a time, rather than by a call per line.
inline const char *findLineBreak(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; p + 16 <= end; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, lf), _mm_cmpeq_epi8(chunk, cr)));
        if (mask)
            return p + __builtin_ctz(unsigned(mask));
    }
#endif
    for (; p < end; ++p) {
        if (*p == '\n' || *p == '\r')
            return p;
    }
    return nullptr;
}

// Where the next line of bytes ends, as every text file of the program is
// read: at CR LF, LF or a CR alone. Gives the line's span and where the next
// line starts; nullptr when the line has no line end.
const char *lineEnd(const char *p, const char *end, Span *line)
{
    const char *brk = findLineBreak(p, end);
    line->p = p;
    line->n = (brk ? brk : end) - p;
    if (!brk)
        return nullptr;
    return (*brk == '\r' && brk + 1 < end && brk[1] == '\n') ? brk + 2 : brk + 1;
}

} // namespace

std::vector<Span> linesOf(const QByteArray &bytes)
{
    std::vector<Span> lines;
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    lines.reserve(size_t(std::count(p, end, '\n') + 1));
    while (p < end) {
        Span line;
        const char *next = lineEnd(p, end, &line);
        lines.push_back(line);
        p = next ? next : end;
    }
    return lines;
}

QString decoded(Span s)
{
    if (s.n == 0)
        return QString();
    QString text(s.n, Qt::Uninitialized);
    platform::cp1251::decodeInto(s.p, s.n, reinterpret_cast<char16_t *>(text.data()));
    return text;
}

// Decoded fields go into blocks of half a megabyte that their strings share,
// instead of one allocation per field: a hundred thousand cards are over a
// million fields, and allocating, touching and freeing each of them cost
// more than reading the file. Each string holds a reference to its block
// and ends in the terminating zero a QString has; on its first change it is
// copied out like any shared string, and a block goes when its last string
// does. (A field kept elsewhere, say in an edit field, keeps its block.)
//
// A new block takes at once a reference for every string it could hold (one
// per two characters), so that making a string costs no atomic operation;
// the references left over are given back when the arena moves on.
//
// Blocks are large and written whole, so the kernel is asked for them at
// once, in huge pages where it has them: a hundred thousand cards take some
// 80 MB, and taking that a page fault at a time cost as much as decoding.
constexpr qsizetype kArenaBlockChars = 2 * 1024 * 1024;

void prepare(void *p, qsizetype bytes)
{
    constexpr quintptr kHuge = 2 * 1024 * 1024, kPage = 4096;
    quintptr from = (quintptr(p) + kHuge - 1) & ~(kHuge - 1);
    quintptr to = (quintptr(p) + quintptr(bytes)) & ~(kHuge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
    from = (quintptr(p) + kPage - 1) & ~(kPage - 1);
    to = (quintptr(p) + quintptr(bytes)) & ~(kPage - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void *>(from), to - from, MADV_POPULATE_WRITE);
}

void TextArena::release()
{
    if (m_block.d_ptr() && m_unused > 0)
        m_block.d_ptr()->ref_.fetchAndSubRelaxed(m_unused);
    m_unused = 0;
    m_block = QString::DataPointer(); // the arena's own reference
}

char16_t *TextArena::room(qsizetype chars)
{
    if (m_end - m_next < chars) {
        release();
        m_next = m_end = nullptr;
        // No bigger than what is left to read: a small file, a small block.
        const qsizetype size = std::max(chars, std::min(kArenaBlockChars, std::max<qsizetype>(m_left, 4096)));
        m_left -= size;
        auto [header, data] = QTypedArrayData<char16_t>::allocate(size);
        if (!header)
            return nullptr; // out of memory: each field tries on its own
        m_block = QString::DataPointer(header, data, 0);
        m_unused = int(size / 2 + 1);
        header->ref_.fetchAndAddRelaxed(m_unused);
        m_next = data;
        m_end = data + size;
        // The whole block is about to be written: its pages are taken in one
        // call rather than one fault each.
        prepare(data, size * 2);
    }
    return m_next;
}

QString TextArena::string(char16_t *begin, qsizetype n)
{
    begin[n] = 0;
    if (m_unused > 0)
        --m_unused; // one of the references taken ahead
    else
        m_block.d_ptr()->ref();
    return QString(QString::DataPointer(m_block.d_ptr(), begin, n));
}

QString TextArena::line(Span s)
{
    if (s.n == 0)
        return QString();
    char16_t *begin = room(s.n + 1);
    if (!begin)
        return decoded(s);
    platform::cp1251::decodeInto(s.p, s.n, begin);
    m_next += s.n + 1;
    return string(begin, s.n);
}

void TextArena::decode(const Span *lines, qsizetype count, QString *const *into)
{
    if (count == 0)
        return;
    // The lines' bytes, line ends and all, decoded in one run; each
    // string ends where its line end was.
    const char *first = lines[0].p;
    const qsizetype n = lines[count - 1].p + lines[count - 1].n - first;
    char16_t *base = room(n + 1);
    if (base)
        platform::cp1251::decodeInto(first, n, base);
    for (qsizetype i = 0; i < count; ++i) {
        if (!into[i] || lines[i].n == 0)
            continue;
        *into[i] = base ? string(base + (lines[i].p - first), lines[i].n) : decoded(lines[i]);
    }
    if (base)
        m_next += n + 1;
}

void TextArena::record(const Span *lines, int count, THuman *h)
{
    QString *const fields[cardindex::kLinesPerRecord] = {&h->Date,      &h->FName,     &h->LName, &h->MName,
                                                         nullptr,       &h->Doc,       &h->Addr,  &h->Phone,
                                                         &h->Complaint, &h->Anamnesis, &h->Concl};
    decode(lines, count, fields);
}

QList<CardEntry> listEntries(const QByteArray &bytes, TextArena &arena)
{
    const std::vector<Span> lines = linesOf(bytes);
    QList<CardEntry> entries;
    entries.reserve(qsizetype(lines.size()));
    prepare(entries.data(), entries.capacity() * qsizetype(sizeof(CardEntry)));
    for (const Span &line : lines)
        entries.emplaceBack(CardEntry{arena.line(line), std::nullopt});
    return entries;
}

bool ageOf(Span s, int *age)
{
    // The usual "42" or "-7" straight from the bytes; anything else (blanks,
    // a plus sign, ten digits) by the one rule for ages.
    const auto *p = reinterpret_cast<const unsigned char *>(s.p);
    const qsizetype sign = s.n > 0 && p[0] == '-' ? 1 : 0;
    if (s.n > sign && s.n - sign <= 9) {
        int value = 0;
        qsizetype i = sign;
        for (; i < s.n && p[i] >= '0' && p[i] <= '9'; ++i)
            value = value * 10 + (p[i] - '0');
        if (i == s.n) {
            *age = sign ? -value : value;
            return true;
        }
    }
    return human::parseAge(decoded(s), age);
}

// --- reading ---------------------------------------------------------------

constexpr qsizetype kBufferSize = 512 * 1024;

RecordReader::~RecordReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RecordReader::open(const QString &path)
{
    platform::safefile::Fd fd;
    const int err = platform::safefile::openForReading(path, true, &fd);
    if (err != 0) {
        m_notRegular = err == platform::safefile::kNotRegular;
        return false;
    }
    adopt(fd.release());
    return true;
}

void RecordReader::adopt(int fd)
{
    m_fd = fd;
    struct stat st {};
    m_size = ::fstat(m_fd, &st) == 0 ? st.st_size : 0;
    m_buffer.resize(kBufferSize);
}

bool RecordReader::fill()
{
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, size_t(m_end - m_begin));
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size()) // one record longer than the buffer
        m_buffer.resize(m_buffer.size() * 2);
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.data() + m_end, size_t(m_buffer.size() - m_end));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            m_failed = true;
            return false;
        }
        if (got == 0)
            m_eof = true;
        m_end += got;
        return true;
    }
}

bool RecordReader::next(Span *lines, int *count)
{
    for (;;) {
        const char *p = m_buffer.constData() + m_begin;
        const char *end = m_buffer.constData() + m_end;
        int n = 0;
        while (n < cardindex::kLinesPerRecord && p < end) {
            const char *next = lineEnd(p, end, &lines[n]);
            // The line goes on in bytes not read yet, or its CR may be
            // followed by an LF not read yet.
            if ((!next || (next == end && end[-1] == '\r')) && !m_eof)
                break;
            ++n;
            p = next ? next : end;
        }
        if (n == cardindex::kLinesPerRecord || (m_eof && n > 0)) {
            m_begin = p - m_buffer.constData();
            *count = n;
            return true;
        }
        if (m_eof || m_failed)
            return false;
        if (!fill())
            return false;
    }
}

// --- writing ---------------------------------------------------------------

// Every so many bytes the disk is told to start writing, so that the sync at
// the end has little left to wait for.
constexpr qint64 kStartWritingEvery = 4 * 1024 * 1024;

FileWriter::~FileWriter()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        platform::safefile::remove(m_path);
    }
}

bool FileWriter::create(const QString &path, std::optional<mode_t> mode)
{
    m_path = path;
    m_buffer.resize(kBufferSize);
    // A file (or a link) left under this name is no part of this save.
    int err = platform::safefile::remove(path);
    if (err == 0 || err == ENOENT) {
        platform::safefile::Fd fd;
        err = platform::safefile::create(path, mode, &fd);
        m_fd = fd.release();
    }
    if (err != 0)
        fail(err);
    return err == 0;
}

void FileWriter::fail(int error)
{
    if (m_ok) {
        m_ok = false;
        m_error = error;
    }
}

bool FileWriter::flush()
{
    if (m_ok && m_used > 0) {
        if (const int err = platform::safefile::writeAll(m_fd, m_buffer.constData(), m_used, m_path))
            fail(err);
        else
            m_total += m_used;
    }
    m_used = 0;
    if (m_ok && m_total - m_synced >= kStartWritingEvery) {
        ::sync_file_range(m_fd, m_synced, m_total - m_synced, SYNC_FILE_RANGE_WRITE);
        m_synced = m_total;
    }
    return m_ok;
}

char *FileWriter::room(qsizetype n)
{
    if (m_used + n > m_buffer.size()) {
        flush();
        if (n > m_buffer.size())
            m_buffer.resize(n);
    }
    return m_buffer.data() + m_used;
}

void FileWriter::line(QStringView text, bool *lossy)
{
    const char16_t *in = text.utf16();
    const qsizetype n = text.size();
    char *const start = room(n + 2);
    char *out = start;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype plain = platform::cp1251::encodePlain(in + i, n - i, out);
        out += plain;
        i += plain;
        if (i == n)
            break;
        const char16_t c = in[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
                ++i;
            *out++ = ' ';
        } else {
            // The rest, surrogates and all, by the code page's own rule.
            const qsizetype len =
                QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1]) ? 2 : 1;
            out += platform::cp1251::encodeInto(QStringView(in + i, len), out, lossy);
            i += len - 1;
        }
    }
    *out++ = '\r';
    *out++ = '\n';
    m_used += out - start;
}

void FileWriter::age(int value)
{
    char *const start = room(16);
    char *out = std::to_chars(start, start + 14, value).ptr;
    *out++ = '\r';
    *out++ = '\n';
    m_used += out - start;
}

void FileWriter::bytes(const char *data, qsizetype n)
{
    while (n > 0) {
        const qsizetype part = std::min(n, m_buffer.size());
        std::memcpy(room(part), data, size_t(part));
        m_used += part;
        data += part;
        n -= part;
    }
}

bool FileWriter::finish()
{
    if (m_fd < 0) {
        fail(EBADF);
        return false;
    }
    if (flush()) {
        if (const int err = platform::safefile::sync(m_fd, m_path))
            fail(err);
    }
    struct stat st {};
    if (m_ok && (::fstat(m_fd, &st) != 0 || st.st_size != m_total))
        fail(ENOSPC); // a short write the writes did not report
    if (::close(m_fd) != 0)
        fail(errno);
    m_fd = -1;
    if (!m_ok)
        platform::safefile::remove(m_path);
    return m_ok;
}

} // namespace state::cardcodec
