// The pathology dictionary: its lines, their pathology and body-system
// codes, and what the examination builds from them (findings grouped by
// body system, the consultations sentence). Input: the dictionary's bytes.
#include "fuzz.h"

#include "platform/cp1251.h"
#include "platform/textfile.h"
#include "state/bodysystem.h"
#include "state/consultations.h"
#include "state/findings.h"
#include "state/pathology.h"

#include <QSet>

namespace {

// The pathology code as the dictionary's description gives it: blanks, then
// digits, within the first four characters.
int referenceCode(const QString &line)
{
    const QString head = line.left(4);
    qsizetype i = 0;
    while (i < head.size() && head.at(i) == QLatin1Char(' '))
        ++i;
    qsizetype j = i;
    while (j < head.size() && head.at(j).isDigit() && head.at(j).unicode() < 128)
        ++j;
    return j > i ? head.mid(i, j - i).toInt() : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytes(data, size);
    const QStringList lines = platform::textfile::splitLines(platform::cp1251::decode(bytes));

    // Only the first lines take part in the findings, as an examination's
    // unique pathology lines would.
    const int count = int(qMin<qsizetype>(lines.size(), 200));
    QList<int> codes;
    bool allCoded = true;
    QSet<int> systems;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines.at(n);
        const int code = state::pathology::codeOf(line);
        FUZZ_CHECK(code >= 0 && code <= 9999);
        FUZZ_CHECK(code == referenceCode(line));
        if (code > 0 && codes.size() < 4)
            codes.append(code);
        bool ok = false;
        const int system = state::bodysystem::codeOf(line, &ok);
        FUZZ_CHECK(ok || system == 0);
        FUZZ_CHECK(!ok || (system >= -9 && system <= 99));
        if (n < count) {
            allCoded = allCoded && ok;
            if (ok && system >= state::bodysystem::kFirst && system <= state::bodysystem::kLast)
                systems.insert(system);
        }
    }

    // The lookup finds, per code, exactly the lines of that code in file order.
    const QString path = fuzz::scratch() + QStringLiteral("/Patology.txt");
    fuzz::put(path, bytes);
    QStringList found;
    FUZZ_CHECK(state::pathology::lookup(path, codes, &found));
    QStringList expected;
    for (int code : codes)
        for (const QString &line : lines)
            if (state::pathology::codeOf(line) == code)
                expected.append(line);
    FUZZ_CHECK(found == expected);

    // Findings: every line once, one heading per body system that occurs.
    const std::optional<QStringList> findings = GroupFindings(lines.mid(0, count));
    FUZZ_CHECK(findings.has_value() == allCoded);
    FUZZ_CHECK(!allCoded || findings->size() == count + systems.size());
    const Consultations built = BuildConsultations(lines.mid(0, count));
    FUZZ_CHECK(built.ok == allCoded);
    FUZZ_CHECK(built.ok == built.error.isEmpty());
    FUZZ_CHECK(built.lines.size() >= 1 && built.lines.size() <= 11);
    FUZZ_CHECK(built.lines.constFirst().startsWith(kConsultLead));
    return 0;
}
