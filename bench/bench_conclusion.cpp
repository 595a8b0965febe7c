// "Итог" on a large examination: 1,000 findings over the eleven body
// systems and 100 sign lines, framed by the shipped header and signature.
// Measured twice: the assembly alone, and the whole button press with the
// draft window on screen (the text box filled and painted).
#include "conclusion/summary.h"
#include "conclusion/tfmconcl.h"
#include "shell/startup.h"
#include "state/examination.h"
#include "state/openwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Recorded as the deep window records: the right eye's 50 signs with the
// 1,000 pathology lines, then the left eye's 50 signs; the express section.
void scriptLargeExamination()
{
    // A window showing the old examination goes with it (the benchmark
    // library calls a benchmark several times).
    delete state::windows().fmConcl.data();
    state::renewExamination();
    state::Examination &exam = state::examination();
    QStringList right, left, pathologies;
    for (int i = 0; i < 50; ++i) {
        right << QStringLiteral("Лакуна: открытая, зона %1 (Печень)").arg(i);
        left << QStringLiteral("Пигментное пятно: токсическое, зона %1").arg(i);
    }
    for (int system = 1; system <= 11; ++system) {
        for (int i = system - 1; i < 1000; i += 11) {
            pathologies << QStringLiteral("%1 %2 Патологическое состояние номер %3 по разделу %4.")
                               .arg(i + 1, 4, 10, QLatin1Char('0'))
                               .arg(system, 2, 10, QLatin1Char('0'))
                               .arg(i + 1)
                               .arg(system);
        }
    }
    exam.record(state::Eye::Right, right, pathologies);
    exam.record(state::Eye::Left, left, {});
    exam.confirmVelkhover({QStringLiteral("             КАРТА ЭКСПРЕСС-ОСМОТРА ПО ВЕЛЬХОВЕРУ:"),
                           QStringLiteral("Деформация зрачка"),
                           QStringLiteral("             ЭКСПРЕСС-ДИАГНОСТИКА ПО ВЕЛЬХОВЕРУ:"),
                           QStringLiteral("Уровень здоровья высокий [9/10]")});
}

void BM_SummaryAssembly(benchmark::State &st)
{
    scriptLargeExamination();
    qsizetype lines = 0;
    for (auto _ : st) {
        // What "Итог" takes from the examination, consultations rebuilt.
        state::Examination &exam = state::examination();
        const conclusion::Examined examined{exam.expressLines(), exam.rightEyeSigns(), exam.leftEyeSigns(),
                                            conclusion::Examined::Deep{exam.findingLines(), exam.rebuildConsultations()}};
        const conclusion::Summary s = conclusion::assembleSummary(examined, std::nullopt);
        lines = s.lines.size();
        benchmark::DoNotOptimize(lines);
    }
    st.counters["lines"] = double(lines);
}
BENCHMARK(BM_SummaryAssembly)->Unit(benchmark::kMillisecond);

void BM_ItogButton(benchmark::State &st)
{
    scriptLargeExamination();
    TfmConcl *w = state::openWindow(state::windows().fmConcl);
    QCoreApplication::processEvents();
    for (auto _ : st) {
        w->findChild<QPushButton *>(QStringLiteral("bbOKCnkl"))->click();
        QCoreApplication::processEvents();
    }
    st.counters["lines"] = double(w->findChild<Memo *>(QStringLiteral("mmConcl"))->lineCount());
}
BENCHMARK(BM_ItogButton)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    NirelApplication app(argc, argv);
    // The header and signature are read from the working directory.
    QTemporaryDir work;
    for (const char *name : {"Caption.txt", "Signature.txt"})
        QFile::copy(QStringLiteral(NIREL3_SOURCE_DIR "/data/") + QLatin1String(name), work.filePath(QLatin1String(name)));
    QDir::setCurrent(work.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete state::windows().fmConcl.data();
    return 0;
}
