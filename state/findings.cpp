#include "state/findings.h"

#include "state/bodysystem.h"

#include <QList>

#include <array>

QString SystemHeading(int code)
{
    const QString title = state::bodysystem::heading(code);
    return title.isEmpty() ? title : QString(17, QLatin1Char(' ')) + title;
}

std::optional<QStringList> GroupFindings(const QStringList &lines)
{
    const int n = int(lines.size());
    // One pass over the lines buckets them by system, keeping their order
    // within a system; the systems are then written out in code order.
    std::array<QList<int>, 12> bySystem;
    int outsideSystems = 0;
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        const int code = state::bodysystem::codeOf(lines.at(i), &ok);
        if (!ok)
            return std::nullopt;
        if (code >= state::bodysystem::kFirst && code <= state::bodysystem::kLast)
            bySystem[size_t(code)].append(i);
        else
            ++outsideSystems;
    }
    QStringList result;
    result.reserve(n + state::bodysystem::kLast);
    for (int c = state::bodysystem::kFirst; c <= state::bodysystem::kLast; ++c) {
        const QList<int> &members = bySystem[size_t(c)];
        if (members.isEmpty())
            continue;
        result.append(SystemHeading(c));
        for (int i : members)
            result.append(lines.at(i));
    }
    // A line of no system 1-11 shows as an empty line at the end.
    for (int i = 0; i < outsideSystems; ++i)
        result.append(QString());
    return result;
}
