// The final editor's files with a conclusion of about 1 MB of RTF: five
// hundred paragraphs of Cyrillic text in runs of several fonts, sizes and
// styles, centred titles, indented paragraphs and bullets. Saved (the RTF
// written through a save file) and loaded (read back into a document, and
// opened in the editor window), each aimed at 0.3 s or less.
#include "conclusion/reachdoor.h"
#include "conclusion/reachfile.h"
#include "conclusion/tfmreach.h"
#include "state/windows.h"
#include "rtf/rtfwriter.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir *g_dir = nullptr;

void buildLargeConclusion(QTextDocument &doc)
{
    QTextCursor c(&doc);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Times New Roman")});
    plain.setFontPointSize(12);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat title = bold;
    title.setFontFamilies({QStringLiteral("Arial")});
    title.setFontPointSize(14);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    const QString sentence = QStringLiteral("Склонность к вегетососудистой дистонии, дискинезия желчевыводящих путей, "
                                            "снижение адаптационных резервов организма. ");
    for (int i = 0; i < 480; ++i) {
        QTextBlockFormat para;
        if (i % 50 == 0) {
            para.setAlignment(Qt::AlignHCenter);
            c.insertBlock(para);
            c.insertText(QStringLiteral("РАЗДЕЛ %1").arg(i / 50 + 1), title);
            continue;
        }
        para.setLeftMargin((i % 5) * 10);
        para.setTextIndent(i % 3 ? 0 : 20);
        c.insertBlock(para);
        if (i % 7 == 0)
            c.createList(bullets);
        c.insertText(QStringLiteral("%1. ").arg(i), bold);
        for (int k = 0; k < 5; ++k)
            c.insertText(sentence, plain);
    }
}

void BM_SaveOneMegabyte(benchmark::State &state)
{
    QTextDocument doc;
    buildLargeConclusion(doc);
    const QString path = g_dir->filePath(QStringLiteral("large.rtf"));
    qint64 bytes = 0;
    for (auto _ : state) {
        const conclusion::reachfile::Result r = conclusion::reachfile::save(path, doc, 96);
        if (!r.ok)
            state.SkipWithError("save failed");
        bytes = QFileInfo(path).size();
    }
    state.counters["rtf_bytes"] = double(bytes);
}
BENCHMARK(BM_SaveOneMegabyte)->Unit(benchmark::kMillisecond);

void BM_LoadOneMegabyte(benchmark::State &state)
{
    QTextDocument source;
    buildLargeConclusion(source);
    const QString path = g_dir->filePath(QStringLiteral("large.rtf"));
    conclusion::reachfile::save(path, source, 96);
    for (auto _ : state) {
        QTextDocument doc;
        const conclusion::reachfile::Result r = conclusion::reachfile::load(path, &doc, 96);
        if (!r.ok)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc.characterCount());
    }
}
BENCHMARK(BM_LoadOneMegabyte)->Unit(benchmark::kMillisecond);

// The same file opened in the editor window: read, laid out, tool bar and
// ruler refreshed.
void BM_OpenInEditor(benchmark::State &state)
{
    QTextDocument source;
    buildLargeConclusion(source);
    const QString path = g_dir->filePath(QStringLiteral("large.rtf"));
    conclusion::reachfile::save(path, source, 96);
    conclusion::reach::open();
    TfmReach *w = state::windows().fmReach.data();
    for (auto _ : state) {
        w->findChild<ReachEditor *>(QStringLiteral("Editor"))->document()->setModified(false);
        if (!w->OpenDocument(path))
            state.SkipWithError("open failed");
        QCoreApplication::processEvents();
    }
    delete w;
}
BENCHMARK(BM_OpenInEditor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
