// The deep examination's data work: looking up the 16 codes of a sign in the
// shipped dictionary (the file is read once per code), and removing repeats
// from and grouping a long accumulation of pathology lines.
#include "deep/tfmdeep.h"
#include "platform/textfile.h"
#include "shell/startup.h"
#include "state/examination.h"
#include "state/findings.h"
#include "state/openwindow.h"
#include "state/pathology.h"
#include "state/recording.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>

namespace {

const QString kShipped = QStringLiteral(NIREL3_SOURCE_DIR "/data/SystmTxt/Patology.txt");

QStringList shippedLines()
{
    return platform::textfile::readLines(kShipped).lines;
}

// 16 different codes spread over the dictionary, as the largest sign has.
QList<int> sixteenCodes()
{
    QList<int> all;
    for (const QString &l : shippedLines()) {
        const int c = state::pathology::codeOf(l);
        if (c > 0 && !all.contains(c))
            all.append(c);
    }
    QList<int> codes;
    for (int i = 0; i < 16 && !all.isEmpty(); ++i)
        codes.append(all.at(qsizetype(i) * all.size() / 16));
    return codes;
}

void BM_Lookup16Codes(benchmark::State &st)
{
    const QList<int> codes = sixteenCodes();
    qsizetype found = 0;
    for (auto _ : st) {
        QStringList out;
        state::pathology::lookup(kShipped, codes, &out);
        found = out.size();
        benchmark::DoNotOptimize(out);
    }
    st.counters["lines"] = double(found);
}
BENCHMARK(BM_Lookup16Codes)->Unit(benchmark::kMicrosecond);

// The baseline: reading and decoding the whole file 16 times.
void BM_ReadDictionary16Times(benchmark::State &st)
{
    for (auto _ : st) {
        for (int i = 0; i < 16; ++i) {
            platform::textfile::ReadResult r = platform::textfile::readLines(kShipped);
            benchmark::DoNotOptimize(r);
        }
    }
}
BENCHMARK(BM_ReadDictionary16Times)->Unit(benchmark::kMicrosecond);

// What a sign choice costs the user: the lookup into the pathology lines
// the deep window's box shows.
void BM_FillPathologyBox16Codes(benchmark::State &st)
{
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(NIREL3_SOURCE_DIR "/data"));
    TfmDeep *w = state::ensureWindow(state::windows().fmDeep);
    const QList<int> codes = sixteenCodes();
    for (auto _ : st) {
        w->findChild<Memo *>(QStringLiteral("mmPathology"))->clearLines();
        state::examination().FillPathologyBox(codes);
    }
    delete w;
    QDir::setCurrent(oldCwd);
}
BENCHMARK(BM_FillPathologyBox16Codes)->Unit(benchmark::kMicrosecond);

// 100,000 accumulated lines: dictionary lines recorded over and over
// (mostly repeats), or all different (the hash set's worst case).
QStringList accumulation(bool distinct)
{
    const QStringList dict = shippedLines();
    QStringList lines;
    lines.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        const QString &l = dict.at((i * 7919) % dict.size());
        lines.append(distinct ? l + QStringLiteral(" #") + QString::number(i) : l);
    }
    return lines;
}

void dedupAndGroup(benchmark::State &st, bool distinct)
{
    const QStringList lines = accumulation(distinct);
    qsizetype unique = 0;
    // Held across recordings, as the examination holds them: each recording
    // replaces the lists of the one before.
    state::deep::Pathologies p;
    std::optional<QStringList> findings;
    for (auto _ : st) {
        // A second recording: everything so far plus the new lines, repeats
        // removed over the whole list, then regrouped.
        p = state::deep::recordPathologies(false, lines.first(lines.size() - 16), lines.last(16));
        findings = GroupFindings(p.unique);
        benchmark::DoNotOptimize(findings);
        unique = p.unique.size();
    }
    st.counters["unique"] = double(unique);
}

void BM_DedupAndGroup100kRepeats(benchmark::State &st) { dedupAndGroup(st, false); }
void BM_DedupAndGroup100kDistinct(benchmark::State &st) { dedupAndGroup(st, true); }
BENCHMARK(BM_DedupAndGroup100kRepeats)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DedupAndGroup100kDistinct)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    NirelApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
