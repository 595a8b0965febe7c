#include "state/pathology.h"

#include "platform/textfile.h"

#include <QHash>

namespace state::pathology {

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

bool lookup(const QString &path, const QList<int> &codes, QStringList *out)
{
    const int n = int(codes.size());
    if (n <= 0)
        return true;
    // Read afresh for every lookup, so an edit of the dictionary shows at
    // the next sign; once for all its codes, so a large dictionary costs one
    // reading, not sixteen.
    const platform::textfile::ReadResult r = platform::textfile::readLines(path);
    if (!r.ok)
        return false;
    QHash<int, QList<qsizetype>> linesOf;
    for (int i = 0; i < n; ++i)
        linesOf.insert(codes.at(i), {});
    for (qsizetype l = 0; l < r.lines.size(); ++l) {
        const auto it = linesOf.find(codeOf(r.lines.at(l)));
        if (it != linesOf.end())
            it->append(l);
    }
    for (int i = 0; i < n; ++i)
        for (qsizetype l : linesOf.value(codes.at(i)))
            out->append(r.lines.at(l));
    return true;
}

} // namespace state::pathology
