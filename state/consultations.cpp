#include "state/consultations.h"

#include "state/bodysystem.h"

#include <array>

QString SpecialistPhrase(int code)
{
    return state::bodysystem::specialist(code);
}

Consultations BuildConsultations(const QStringList &uniqueLines)
{
    Consultations result;
    QStringList &lines = result.lines;
    lines = QStringList{kConsultLead};
    const int n = int(uniqueLines.size());

    // Each line's code is converted once; the first bad line decides how far
    // the written code-by-code scan gets before it fails.
    std::array<int, 11> firstLineOf{};
    firstLineOf.fill(-1);
    int badLine = -1;
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        const int code = state::bodysystem::codeOf(uniqueLines.at(i), &ok);
        if (!ok) {
            badLine = i;
            break;
        }
        if (code >= state::bodysystem::kFirst && code <= state::bodysystem::kLastSpecialist && firstLineOf[size_t(code)] < 0)
            firstLineOf[size_t(code)] = i;
    }
    for (int c = state::bodysystem::kFirst; c <= state::bodysystem::kLastSpecialist; ++c) {
        if (badLine >= 0) {
            // Scanning for code c meets the bad line; code c counts only if
            // it was found before it.
            if (firstLineOf[size_t(c)] >= 0 && firstLineOf[size_t(c)] < badLine)
                lines.append(SpecialistPhrase(c));
            result.ok = false;
            result.error = QStringLiteral("'%1' is not a valid integer value").arg(uniqueLines.at(badLine).mid(5, 2));
            return result;
        }
        if (firstLineOf[size_t(c)] >= 0)
            lines.append(SpecialistPhrase(c));
    }
    for (qsizetype i = 1; i < lines.size(); ++i)
        lines[0] += lines.at(i);
    return result;
}
