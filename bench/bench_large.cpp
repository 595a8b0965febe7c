// Large data the program must stay responsive with: a 10 MB dictionary,
// a 10,000-line draft conclusion, a 1 MB guide text, and a 1 MB line
// without blanks in the draft box. (100,000 cards: bench_cards.)
#include "conclusion/concldoor.h"
#include "conclusion/tfmconcl.h"
#include "guides/guidemenu.h"
#include "guides/tfmguid.h"
#include "platform/pressmemo.h"
#include "platform/textfile.h"
#include "shell/startup.h"
#include "state/openwindow.h"
#include "state/pathology.h"
#include "state/windows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray shipped(const char *relative)
{
    QFile f(QStringLiteral(NIREL3_SOURCE_DIR "/data/") + QLatin1String(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray repeatedTo(const QByteArray &unit, qsizetype size)
{
    QByteArray out;
    out.reserve(size + unit.size());
    while (out.size() < size)
        out += unit;
    return out;
}

// A sign's 16 codes in a 10 MB dictionary (the shipped one, 210 times over):
// the file is read afresh for every code, as the program does.
void BM_Lookup16CodesIn10MB(benchmark::State &st)
{
    const QString path = QStringLiteral("SystmTxt/Patology.txt");
    put(path, repeatedTo(shipped("SystmTxt/Patology.txt"), 10 << 20));
    QList<int> codes;
    for (const QString &l : platform::textfile::readLines(path).lines)
        if (const int c = state::pathology::codeOf(l); c > 0 && !codes.contains(c) && codes.size() < 16)
            codes.append(c);
    qsizetype found = 0;
    for (auto _ : st) {
        QStringList out;
        state::pathology::lookup(path, codes, &out);
        found = out.size();
    }
    st.counters["lines"] = double(found);
}
BENCHMARK(BM_Lookup16CodesIn10MB)->Unit(benchmark::kMillisecond);

QStringList conclusionLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("Строка %1: склонность к спазмам гладкой мускулатуры органов пищеварения").arg(i));
    return lines;
}

TfmConcl *draft()
{
    TfmConcl *w = state::openWindow(state::windows().fmConcl);
    QCoreApplication::processEvents();
    return w;
}

// 10,000 lines into the draft box and shown.
void BM_Draft10kLinesSet(benchmark::State &st)
{
    const QStringList lines = conclusionLines(10000);
    Memo *memo = draft()->findChild<Memo *>(QStringLiteral("mmConcl"));
    for (auto _ : st) {
        conclusion::concl::setLines(lines);
        QCoreApplication::processEvents();
    }
    st.counters["displayed"] = double(memo->displayedLines().size());
}
BENCHMARK(BM_Draft10kLinesSet)->Unit(benchmark::kMillisecond);

// What "Сохранить" writes: the 10,000 lines as the box displays them.
void BM_Draft10kLinesSave(benchmark::State &st)
{
    Memo *memo = draft()->findChild<Memo *>(QStringLiteral("mmConcl"));
    conclusion::concl::setLines(conclusionLines(10000));
    for (auto _ : st)
        platform::textfile::writeLines(QStringLiteral("draft.txt"), memo->displayedLines());
}
BENCHMARK(BM_Draft10kLinesSave)->Unit(benchmark::kMillisecond);

// A press at the last line (its displayed place), then a guide phrase put
// there: what one click in the guide window costs at the end of 10,000 lines.
void BM_Draft10kLinesPhraseAtEnd(benchmark::State &st)
{
    Memo *memo = draft()->findChild<Memo *>(QStringLiteral("mmConcl"));
    conclusion::concl::setLines(conclusionLines(10000));
    memo->moveCursor(QTextCursor::End);
    const Memo::Place caret = memo->displayedCaret();
    for (auto _ : st) {
        const QString line = memo->displayedLine(caret.line);
        memo->insertAtDisplayed(caret.line, int(line.size()), QStringLiteral(" фраза"));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_Draft10kLinesPhraseAtEnd)->Unit(benchmark::kMillisecond);

// A 1 MB line without blanks (a broken header or conclusion file) into the
// draft box, shown, and every displayed line counted as a save does.
void BM_Draft1MBLine(benchmark::State &st)
{
    Memo *memo = draft()->findChild<Memo *>(QStringLiteral("mmConcl"));
    const QString line(1 << 20, QChar(0x436));
    for (auto _ : st) {
        conclusion::concl::setLines({QStringLiteral("начало"), line, QStringLiteral("конец")});
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(memo->displayedLines());
    }
}
BENCHMARK(BM_Draft1MBLine)->Unit(benchmark::kMillisecond);

// A 1 MB guide text (the shipped phrases many times over) chosen in the
// guide window.
void BM_Guide1MBText(benchmark::State &st)
{
    put(QStringLiteral("guidText/Big.txt"), repeatedTo(shipped("guidText/DietAcid.txt"), 1 << 20));
    TfmGuid *w = state::openWindow(state::windows().fmGuid);
    QCoreApplication::processEvents();
    for (auto _ : st) {
        w->LoadGuideText(guides::guideFileName(QStringLiteral("Big")));
        QCoreApplication::processEvents();
    }
    st.counters["lines"] = double(w->findChild<PressMemo *>(QStringLiteral("MemoGuidIri"))->lineCount());
}
BENCHMARK(BM_Guide1MBText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    NirelApplication app(argc, argv);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete state::windows().fmGuid.data();
    delete state::windows().fmConcl.data();
    return 0;
}
