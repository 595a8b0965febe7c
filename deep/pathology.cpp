#include "deep/pathology.h"

#include "deep/tfmdeep.h"
#include "platform/cp1251.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "state/windows.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace pathology {

namespace {

// Same reading rule as codeOf, on the raw bytes of a line: digits and blanks
// are the same bytes in Windows-1251 as in ASCII, so only the matching lines
// need to be decoded.
int codeOfBytes(const char *p, qsizetype len)
{
    const qsizetype n = qMin<qsizetype>(len, 4);
    qsizetype i = 0;
    while (i < n && p[i] == ' ')
        ++i;
    int code = 0;
    while (i < n && p[i] >= '0' && p[i] <= '9') {
        code = code * 10 + (p[i] - '0');
        ++i;
    }
    return code;
}

bool readWhole(const QString &path, QByteArray *bytes)
{
    if (QFileInfo(path).isDir())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Appends the lines of bytes whose code is code. Lines end in LF or CR LF;
// a last line without a line end is a line too.
void collect(const QByteArray &bytes, int code, QStringList *out)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    while (start < size) {
        const char *nl = static_cast<const char *>(memchr(data + start, '\n', size_t(size - start)));
        const qsizetype end = nl ? nl - data : size;
        qsizetype lineEnd = end;
        if (nl && lineEnd > start && data[lineEnd - 1] == '\r')
            --lineEnd;
        if (codeOfBytes(data + start, lineEnd - start) == code)
            out->append(cp1251::decode(QByteArray(data + start, lineEnd - start)));
        start = end + 1;
    }
}

} // namespace

int codeOf(const QString &line)
{
    const qsizetype n = qMin<qsizetype>(line.size(), 4);
    qsizetype i = 0;
    while (i < n && line.at(i) == QLatin1Char(' '))
        ++i;
    int code = 0;
    while (i < n && line.at(i) >= QLatin1Char('0') && line.at(i) <= QLatin1Char('9')) {
        code = code * 10 + (line.at(i).unicode() - '0');
        ++i;
    }
    return code;
}

bool lookup(const QString &path, const QList<int> &codes, int count, QStringList *out)
{
    if (count <= 0)
        return true;
    const int n = int(qMin<qsizetype>(count, codes.size()));
    for (int i = 0; i < n; ++i) {
        QByteArray bytes;
        if (!readWhole(path, &bytes))
            return false;
        collect(bytes, codes.at(i), out);
    }
    return true;
}

} // namespace pathology

void FillPathologyBox(const QList<int> &codes, int count)
{
    if (count <= 0)
        return;
    QStringList found;
    const bool ok = pathology::lookup(paths::local(paths::kPathology), codes, count, &found);
    TfmDeep *deep = state::fmDeep.data();
    if (deep)
        deep->mmPathology->appendLines(found);
    if (!ok)
        ui::showMessage(deep, paths::absentMessage(paths::kPathology));
}
