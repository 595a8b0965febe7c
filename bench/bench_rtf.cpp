// The final editor's files, whatever their shape: each file of about 50 MB
// opened in the editor window and laid out to its end. Run one shape a
// process to see its own peak memory ("peak_mb", the process's high-water
// mark), e.g.
//   QT_QPA_PLATFORM=offscreen /usr/bin/time -v ./bench/bench_rtf --benchmark_filter=BM_Open/pars
// Shapes: 50 MB of \par; of {\b a}{\i b}; 35 MB of \'e0\b ; paragraphs of
// 64 KB (kept whole), 1, 2 and 5 MB; 50 MB of one-letter paragraphs; 50 MB of short paragraphs
// of words; 50 MB of table cells; 20 photos of 5700 x 5700 shown a page
// wide.
#include "conclusion/reachdoor.h"
#include "conclusion/tfmreach.h"
#include "platform/prompter.h"
#include "state/windows.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <functional>

namespace {

QTemporaryDir *g_dir = nullptr;

// Answers every question with its first button: the notice after opening.
class Answers : public platform::ui::Prompter {
public:
    void message(QWidget *, const QString &) override {}
    QMessageBox::StandardButton ask(QWidget *, QMessageBox::Icon, const QString &text,
                                    QMessageBox::StandardButtons, QMessageBox::StandardButton) override
    {
        lastText = text;
        return QMessageBox::Ok;
    }
    QString openFileName(QWidget *, const platform::ui::FileRequest &) override { return {}; }
    QString saveFileName(QWidget *, const platform::ui::FileRequest &) override { return {}; }
    int exec(QDialog *) override { return 0; }
    QString lastText;
};

QByteArray repeated(const QByteArray &head, const QByteArray &unit, qint64 bytes)
{
    QByteArray out = head;
    out.reserve(bytes + 64);
    while (out.size() < bytes)
        out += unit;
    return out + "}";
}

QByteArray paragraphOf(qint64 bytes)
{
    QByteArray text("{\\rtf1\\ansi\\ansicpg1251 ");
    const QByteArray word = "\\'f1\\'ea\\'eb\\'ee\\'ed\\'ed\\'ee\\'f1\\'f2\\'fc dystonia ";
    while (text.size() < bytes)
        text += word;
    return text + "\\par}";
}

QByteArray photos()
{
    QImage image(5700, 5700, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 5700, 5700);
    g.setColorAt(0, QColor(60, 90, 140));
    g.setColorAt(1, QColor(200, 170, 120));
    p.fillRect(image.rect(), g);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPoint(2850, 2850), 900, 900);
    p.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    QByteArray out("{\\rtf1\\ansi ");
    const QByteArray hex = jpeg.toHex();
    for (int i = 0; i < 20; ++i)
        out += "{\\*\\shppict{\\pict\\picw5700\\pich5700\\picwgoal9360\\pichgoal9360\\jpegblip " + hex + "}}\\par ";
    return out + "}";
}

const std::map<std::string, std::function<QByteArray()>> &shapes()
{
    static const std::map<std::string, std::function<QByteArray()>> map{
        {"pars", [] { return repeated("{\\rtf1\\ansi ", "\\par ", 50 << 20); }},
        {"bold_italic", [] { return repeated("{\\rtf1\\ansi ", "{\\b a}{\\i b}", 50 << 20); }},
        {"hex_bold", [] { return repeated("{\\rtf1\\ansi\\ansicpg1251 ", "\\'e0\\b ", 35 << 20); }},
        {"paragraph_64kb", [] { return paragraphOf(64 << 10); }},
        {"paragraph_1mb", [] { return paragraphOf(1 << 20); }},
        {"paragraph_2mb", [] { return paragraphOf(2 << 20); }},
        {"paragraph_5mb", [] { return paragraphOf(5 << 20); }},
        {"letter_pars", [] { return repeated("{\\rtf1\\ansi ", "a\\par ", 50 << 20); }},
        {"words", [] {
             return repeated("{\\rtf1\\ansi\\ansicpg1251 ",
                             "\\'f1\\'ea\\'eb\\'ee\\'ed\\'ed\\'ee\\'f1\\'f2\\'fc \\'ea \\'e4\\'e8\\'f1\\'f2\\'ee\\'ed\\'e8\\'e8. Text\\par ",
                             50 << 20);
         }},
        {"cells", [] { return repeated("{\\rtf1\\ansi ", "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row ",
                                       50 << 20); }},
        {"photos", photos},
    };
    return map;
}

long peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return 0;
}

void BM_Open(benchmark::State &state, const std::string &shape)
{
    const QString path = g_dir->filePath(QString::fromStdString(shape) + QStringLiteral(".rtf"));
    qint64 size = 0;
    {
        const QByteArray bytes = shapes().at(shape)();
        size = bytes.size();
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    Answers answers;
    platform::ui::setPrompter(&answers);
    // The high-water mark from here on: the making of the file is not the
    // editor's.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    conclusion::reach::open();
    TfmReach *w = state::windows().fmReach.data();
    ReachEditor *editor = w->findChild<ReachEditor *>(QStringLiteral("Editor"));
    for (auto _ : state) {
        editor->document()->setModified(false);
        if (!w->OpenDocument(path))
            state.SkipWithError("open failed");
        QCoreApplication::processEvents();
        // The layout to the end of the text, as scrolling to it needs.
        benchmark::DoNotOptimize(editor->document()->documentLayout()->documentSize());
    }
    state.counters["file_mb"] = double(size) / (1 << 20);
    state.counters["blocks"] = editor->document()->blockCount();
    state.counters["peak_mb"] = double(peakMegabytes());
    delete w;
    platform::ui::setPrompter(nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    for (const auto &[name, make] : shapes())
        benchmark::RegisterBenchmark(("BM_Open/" + name).c_str(), BM_Open, name)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
