// Start-up work: the main window created and shown (the splash wait is not
// counted), and the memory the idle program holds afterwards.
#include "platform/hints.h"
#include "shell/startup.h"
#include "shell/tfmnirel3.h"
#include "state/windows.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// One main window created and shown per iteration; its destruction is not timed.
void createAndShowMainWindow(benchmark::State &st)
{
    for (auto _ : st) {
        auto *w = new TfmNirel3();
        state::fmNirel3 = w;
        w->show();
        QCoreApplication::processEvents();
        st.PauseTiming();
        delete w;
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
}

// The first main window of the process: fonts, styles and pictures are
// loaded here, so this is what a user waits for after the splash.
void BM_FirstMainWindowCold(benchmark::State &st)
{
    createAndShowMainWindow(st);
}
BENCHMARK(BM_FirstMainWindowCold)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_MainWindowCreatedAndShown(benchmark::State &st)
{
    createAndShowMainWindow(st);
}
BENCHMARK(BM_MainWindowCreatedAndShown)->Unit(benchmark::kMillisecond);

void BM_IdleResidentMemory(benchmark::State &st)
{
    auto *w = new TfmNirel3();
    state::fmNirel3 = w;
    w->show();
    QCoreApplication::processEvents();
    for (auto _ : st)
        QCoreApplication::processEvents();
    st.counters["RSS_MiB"] = double(residentKiB()) / 1024.0;
    delete w;
}
BENCHMARK(BM_IdleResidentMemory)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    NirelApplication app(argc, argv);
    shell::installRussian(app);
    HintHub::instance().install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
