#include "deep/recording.h"

#include "deep/findings.h"
#include "state/examstate.h"

#include <QSet>

#include <algorithm>

namespace deep {

QStringList boxLines(const QStringList &lines)
{
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        return lines.first(lines.size() - 1);
    return lines;
}

QStringList uniqueLines(const QStringList &lines)
{
    // Walking from the end, a line is kept the first time it is met, which is
    // its last occurrence: the same result as comparing every pair, in linear
    // time.
    QSet<QString> seen;
    seen.reserve(lines.size());
    QStringList kept;
    kept.reserve(lines.size());
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QString &line = lines.at(i);
        if (seen.contains(line))
            continue;
        seen.insert(line);
        kept.append(line);
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}

namespace {

// Replaces (first recording) or extends an eye's list, keeping the previous
// lines in the scratch copy while they are extended.
void recordInto(QStringList &list, int &count, QStringList &old, int &oldCount,
                const QStringList &signs)
{
    if (state::DeepPassCount == 0) {
        list = signs;
        count = int(signs.size());
        return;
    }
    old = state::valid(list, count);
    oldCount = int(old.size());
    list = old + signs;
    count = oldCount + int(signs.size());
}

} // namespace

void recordSigns(Eye eye, const QStringList &signs)
{
    if (eye == Eye::Right)
        recordInto(state::RightEyeSigns, state::RightEyeSignCount, state::RightEyeSignsOld,
                   state::RightEyeSignCountOld, signs);
    else
        recordInto(state::LeftEyeSigns, state::LeftEyeSignCount, state::LeftEyeSignsOld,
                   state::LeftEyeSignCountOld, signs);
}

void recordPathologies(const QStringList &lines)
{
    if (state::DeepPassCount == 0) {
        // The first recording keeps repeats within the box.
        state::PathologyLines = lines;
        state::PathologyCount = int(lines.size());
        state::UniquePathologyLines = lines;
        state::UniquePathologyCount = int(lines.size());
        return;
    }
    state::PathologyLines = state::valid(state::PathologyLines, state::PathologyCount) + lines;
    state::PathologyCount = int(state::PathologyLines.size());
    state::UniquePathologyLines = uniqueLines(state::PathologyLines);
    state::UniquePathologyCount = int(state::UniquePathologyLines.size());
}

bool recordExamination(Eye eye, const QStringList &signs, const QStringList &pathologies)
{
    recordSigns(eye, signs);
    recordPathologies(pathologies);
    if (!GroupFindings(state::UniquePathologyLines, state::UniquePathologyCount))
        return false;
    ++state::DeepPassCount;
    return true;
}

} // namespace deep
