// "Итог" on a large examination: 1,000 findings over the eleven body
// systems and 100 sign lines, framed by the shipped header and signature.
// Measured twice: the assembly alone, and the whole button press with the
// draft window on screen (the text box filled and painted).
#include "conclusion/summary.h"
#include "conclusion/tfmconcl.h"
#include "shell/startup.h"
#include "state/examstate.h"
#include "state/openwindow.h"
#include "state/windows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void scriptLargeExamination()
{
    using namespace state;
    RightEyeSigns.clear();
    LeftEyeSigns.clear();
    for (int i = 0; i < 50; ++i) {
        RightEyeSigns << QStringLiteral("Лакуна: открытая, зона %1 (Печень)").arg(i);
        LeftEyeSigns << QStringLiteral("Пигментное пятно: токсическое, зона %1").arg(i);
    }
    RightEyeSignCount = 50;
    LeftEyeSignCount = 50;
    UniquePathologyLines.clear();
    FindingLines.clear();
    for (int system = 1; system <= 11; ++system) {
        FindingLines << QString(17, QLatin1Char(' ')) + QStringLiteral("РАЗДЕЛ %1:").arg(system);
        for (int i = system - 1; i < 1000; i += 11) {
            const QString line = QStringLiteral("%1 %2 Патологическое состояние номер %3 по разделу %4.")
                                     .arg(i + 1, 4, 10, QLatin1Char('0'))
                                     .arg(system, 2, 10, QLatin1Char('0'))
                                     .arg(i + 1)
                                     .arg(system);
            UniquePathologyLines << line;
            FindingLines << line;
        }
    }
    UniquePathologyCount = int(UniquePathologyLines.size());
    FindingLineCount = int(FindingLines.size());
    ExpressLines = {QStringLiteral("             КАРТА ЭКСПРЕСС-ОСМОТРА ПО ВЕЛЬХОВЕРУ:"),
                    QStringLiteral("Деформация зрачка"),
                    QStringLiteral("             ЭКСПРЕСС-ДИАГНОСТИКА ПО ВЕЛЬХОВЕРУ:"),
                    QStringLiteral("Уровень здоровья высокий [9/10]")};
    ExpressLineCount = 4;
    DeepPassCount = 3;
}

void BM_SummaryAssembly(benchmark::State &st)
{
    scriptLargeExamination();
    qsizetype lines = 0;
    for (auto _ : st) {
        const conclusion::Summary s = conclusion::assembleSummary(std::nullopt);
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
        w->bbOKCnkl->click();
        QCoreApplication::processEvents();
    }
    st.counters["lines"] = double(w->mmConcl->lineCount());
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
