#pragma once
// Shared by the fuzz targets: each one is a function over bytes from outside
// that must never crash, hang or break the rule it checks. The same source
// builds a libFuzzer program (clang) and a replay of the kept inputs in the
// normal test suite.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A rule of the code under test; a broken one stops the run as a crash would.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "rule broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A folder of this process for the files a target reads (in memory where
// the system has /dev/shm, so that a save's syncs cost nothing).
inline QString scratch()
{
    static const QTemporaryDir dir((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                             : QDir::tempPath()) +
                                   QStringLiteral("/nirel3-fuzz-XXXXXX"));
    FUZZ_CHECK(dir.isValid());
    return dir.path();
}

inline void put(const QString &path, const QByteArray &content)
{
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(content) == content.size());
}

inline QByteArray get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace fuzz
