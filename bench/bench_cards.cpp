// The card index at 100,000 cards: opening and saving the file pair (beside
// `cat` reading the same bytes), and the list window filled, selected,
// scrolled, searched and edited at that size.
#include "cards/tfmcard.h"
#include "photos/photostore.h"
#include "platform/prompter.h"
#include "shell/startup.h"
#include "state/cardbackup.h"
#include "state/cardindexfile.h"
#include "state/cardlistmodel.h"
#include "state/windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/resource.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kCards = 100000;

QList<CardEntry> makeEntries(int count)
{
    QList<CardEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        THuman h(QStringLiteral("Иванов-Петровский%1").arg(i));
        h.Date = QStringLiteral("%1.%2.2023").arg(i % 28 + 1).arg(i % 12 + 1);
        h.LName = QStringLiteral("Александр");
        h.MName = QStringLiteral("Владимирович");
        h.Age = i % 90 - 5;
        h.Doc = QStringLiteral("инженер-конструктор");
        h.Addr = QStringLiteral("г. Санкт-Петербург, ул. Садовая, д. %1, кв. %2").arg(i % 200).arg(i % 90);
        h.Phone = QStringLiteral("+7 812 %1").arg(1000000 + i);
        h.Complaint = QStringLiteral("головные боли, бессонница, слабость");
        h.Anamnesis = QStringLiteral("отец — гипертоническая болезнь");
        h.Concl = i % 3 ? QString() : QStringLiteral("/home/iris/Заключения/%1.txt").arg(i);
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

struct Fixture {
    QTemporaryDir dir;
    QList<CardEntry> entries = makeEntries(kCards);
    QString list = dir.filePath(QStringLiteral("Картотека.LST"));
    Fixture() { state::cardindex::writePair(list, entries); }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// Answers the open and save dialogs with one file name.
class FixedPrompter : public platform::ui::Prompter {
public:
    QString name;
    void message(QWidget *, const QString &) override {}
    QMessageBox::StandardButton ask(QWidget *, QMessageBox::Icon, const QString &,
                                    QMessageBox::StandardButtons, QMessageBox::StandardButton) override
    {
        return QMessageBox::Ok;
    }
    QString openFileName(QWidget *, const platform::ui::FileRequest &) override { return name; }
    QString saveFileName(QWidget *, const platform::ui::FileRequest &) override { return name; }
    int exec(QDialog *) override { return 0; }
};

void BM_SavePair(benchmark::State &st)
{
    Fixture &f = fixture();
    const QString list = f.dir.filePath(QStringLiteral("save.LST"));
    for (auto _ : st) {
        if (!state::cardindex::writePair(list, f.entries).ok)
            st.SkipWithError("save failed");
    }
    st.counters["MB"] = double(QFileInfo(list).size() + QFileInfo(state::cardindex::dataFileName(list)).size()) / 1e6;
}
BENCHMARK(BM_SavePair)->Unit(benchmark::kMillisecond);

// A save as the window makes it: the pair it replaces is kept as a backup
// (a copy of 26 MB, or a clone where the file system has them) and the
// oldest backups beyond ten are pruned.
void BM_SavePairKeepingBackups(benchmark::State &st)
{
    Fixture &f = fixture();
    const QString list = f.dir.filePath(QStringLiteral("backed.LST"));
    state::cardindex::SaveOptions options;
    options.keepBackups = state::cardbackup::kKeep;
    state::cardindex::writePair(list, f.entries);
    for (auto _ : st) {
        const state::cardindex::WriteResult written = state::cardindex::writePair(list, f.entries, options);
        if (!written.ok || !written.warning.isEmpty())
            st.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SavePairKeepingBackups)->Unit(benchmark::kMillisecond);

void BM_OpenPair(benchmark::State &st)
{
    Fixture &f = fixture();
    for (auto _ : st) {
        state::cardindex::ReadResult r = state::cardindex::readPair(f.list);
        if (!r.ok || r.entries.size() != kCards)
            st.SkipWithError("open failed");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_OpenPair)->Unit(benchmark::kMillisecond);

// cat of the pair's two files into /dev/null, started without copying this
// process (posix_spawn, not fork): a benchmark holding 100,000 cards would
// otherwise slow cat down by its own size. True when cat succeeded.
bool catPair(const QString &list)
{
    const QByteArray listName = QFile::encodeName(list);
    const QByteArray dataName = QFile::encodeName(state::cardindex::dataFileName(list));
    char *argv[] = {const_cast<char *>("cat"), const_cast<char *>(listName.constData()),
                    const_cast<char *>(dataName.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The floor: the same two files read by cat into /dev/null.
void BM_CatSameBytes(benchmark::State &st)
{
    Fixture &f = fixture();
    for (auto _ : st) {
        if (!catPair(f.list))
            st.SkipWithError("cat failed");
    }
}
BENCHMARK(BM_CatSameBytes)->Unit(benchmark::kMillisecond);

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Processor time of this thread, and of the children that have ended.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double childrenCpuMs()
{
    rusage ru{};
    getrusage(RUSAGE_CHILDREN, &ru);
    auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(ru.ru_utime) + ms(ru.ru_stime);
}

// Open, save and cat taken turn about in one run, so that a busy machine
// slows all three alike: the figures that count are open/cat and save/cat,
// the ratios of the medians of wall time. On a machine shared with other
// work the wall times stretch; the processor times (cpu_*, cat's own as a
// child process, with its start) show the work itself.
void BM_PairBesideCat(benchmark::State &st)
{
    Fixture &f = fixture();
    const QString saved = f.dir.filePath(QStringLiteral("beside.LST"));
    std::vector<double> catMs, openMs, saveMs, catCpu, openCpu, saveCpu;
    QElapsedTimer t;
    for (auto _ : st) {
        double cpu = childrenCpuMs();
        t.start();
        if (!catPair(f.list))
            st.SkipWithError("cat failed");
        catMs.push_back(t.nsecsElapsed() / 1e6);
        catCpu.push_back(childrenCpuMs() - cpu);
        cpu = threadCpuMs();
        t.start();
        state::cardindex::ReadResult r = state::cardindex::readPair(f.list);
        openMs.push_back(t.nsecsElapsed() / 1e6);
        openCpu.push_back(threadCpuMs() - cpu);
        if (!r.ok || r.entries.size() != kCards)
            st.SkipWithError("open failed");
        cpu = threadCpuMs();
        t.start();
        if (!state::cardindex::writePair(saved, r.entries).ok)
            st.SkipWithError("save failed");
        saveMs.push_back(t.nsecsElapsed() / 1e6);
        saveCpu.push_back(threadCpuMs() - cpu);
    }
    st.counters["cpu_cat_ms"] = medianOf(catCpu);
    st.counters["cpu_open_ms"] = medianOf(openCpu);
    st.counters["cpu_save_ms"] = medianOf(saveCpu);
    st.counters["cat_ms"] = medianOf(catMs);
    st.counters["open_ms"] = medianOf(openMs);
    st.counters["save_ms"] = medianOf(saveMs);
    st.counters["open/cat"] = medianOf(openMs) / medianOf(catMs);
    st.counters["save/cat"] = medianOf(saveMs) / medianOf(catMs);
}
BENCHMARK(BM_PairBesideCat)->Iterations(9)->Unit(benchmark::kMillisecond);

TfmCard *shownCard()
{
    if (!state::windows().fmCard) {
        state::windows().fmCard = new TfmCard();
        state::windows().fmCard->show();
    }
    return state::windows().fmCard.data();
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// "Открыть" in the window: the pair read, the list filled and painted.
void BM_WindowOpen(benchmark::State &st)
{
    Fixture &f = fixture();
    FixedPrompter prompter;
    prompter.name = f.list;
    platform::ui::setPrompter(&prompter);
    TfmCard *card = shownCard();
    for (auto _ : st) {
        st.PauseTiming();
        card->model()->clear();
        settle();
        st.ResumeTiming();
        card->findChild<QAction *>(QStringLiteral("FileOpen"))->trigger();
        settle();
    }
    if (card->model()->rowCount() != kCards)
        st.SkipWithError("list not filled");
    platform::ui::setPrompter(nullptr);
}
BENCHMARK(BM_WindowOpen)->Unit(benchmark::kMillisecond);

// "Сохранить" in the window.
void BM_WindowSave(benchmark::State &st)
{
    Fixture &f = fixture();
    FixedPrompter prompter;
    prompter.name = f.dir.filePath(QStringLiteral("window.LST"));
    platform::ui::setPrompter(&prompter);
    TfmCard *card = shownCard();
    card->model()->setEntries(f.entries);
    settle();
    for (auto _ : st) {
        card->findChild<QAction *>(QStringLiteral("FileSave"))->trigger();
        settle();
    }
    platform::ui::setPrompter(nullptr);
}
BENCHMARK(BM_WindowSave)->Unit(benchmark::kMillisecond);

// The list filled with 100,000 entries and laid out on screen.
void BM_ListFill(benchmark::State &st)
{
    Fixture &f = fixture();
    TfmCard *card = shownCard();
    for (auto _ : st) {
        st.PauseTiming();
        card->model()->clear();
        settle();
        QList<CardEntry> copy = f.entries;
        st.ResumeTiming();
        card->model()->setEntries(std::move(copy));
        settle();
    }
}
BENCHMARK(BM_ListFill)->Unit(benchmark::kMillisecond);

// Clicking an entry anywhere in the list (selected, scrolled to, painted).
void BM_ListSelect(benchmark::State &st)
{
    Fixture &f = fixture();
    TfmCard *card = shownCard();
    card->model()->setEntries(f.entries);
    settle();
    QRandomGenerator rng(7);
    for (auto _ : st) {
        card->selectRow(int(rng.bounded(kCards)));
        settle();
    }
}
BENCHMARK(BM_ListSelect)->Unit(benchmark::kMicrosecond);

// Scrolling one page down through the list.
void BM_ListScrollPage(benchmark::State &st)
{
    Fixture &f = fixture();
    TfmCard *card = shownCard();
    card->model()->setEntries(f.entries);
    settle();
    QScrollBar *bar = card->findChild<QListView *>(QStringLiteral("PersonsList"))->verticalScrollBar();
    for (auto _ : st) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        if (bar->value() == bar->maximum())
            bar->setValue(0);
        settle();
    }
}
BENCHMARK(BM_ListScrollPage)->Unit(benchmark::kMicrosecond);

// Take out, edit, write back a card in the middle of the list.
void BM_TakeOutWriteBack(benchmark::State &st)
{
    Fixture &f = fixture();
    TfmCard *card = shownCard();
    card->model()->setEntries(f.entries);
    settle();
    for (auto _ : st) {
        card->selectRow(kCards / 2);
        card->findChild<QAction *>(QStringLiteral("CardEdit"))->trigger();
        card->findChild<QLineEdit *>(QStringLiteral("FNameEdit"))->setText(QStringLiteral("Сидоров"));
        card->findChild<QAction *>(QStringLiteral("CardWrite"))->trigger();
        settle();
    }
}
BENCHMARK(BM_TakeOutWriteBack)->Unit(benchmark::kMicrosecond);

// Deleting the first entry (the worst place) and adding a new one.
void BM_DeleteFirstAndAdd(benchmark::State &st)
{
    Fixture &f = fixture();
    TfmCard *card = shownCard();
    card->model()->setEntries(f.entries);
    settle();
    for (auto _ : st) {
        card->selectRow(0);
        card->findChild<QAction *>(QStringLiteral("CardDelete"))->trigger();
        card->findChild<QAction *>(QStringLiteral("CardNew"))->trigger();
        settle();
    }
}
BENCHMARK(BM_DeleteFirstAndAdd)->Unit(benchmark::kMicrosecond);

// Typing a surname into the search field over 100,000 cards of varied
// surnames, each keystroke until the list is painted: the first letter and
// emptying the field go over the whole list, the others narrow the list
// shown. Reported: the slowest keystroke and the mean.
void BM_SearchKeystroke(benchmark::State &st)
{
    static const char *const kSurnames[] = {"Иванов", "Петров", "Сидоров", "Смирнов", "Кузнецов", "Попов",
                                            "Васильев", "Соколов", "Михайлов", "Новиков", "Фёдоров", "Морозов",
                                            "Волков", "Алексеев", "Лебедев", "Семёнов", "Егоров", "Павлов",
                                            "Козлов", "Степанов", "Николаев", "Орлов", "Андреев", "Макаров",
                                            "Никитин", "Захаров", "Зайцев", "Соловьёв", "Борисов", "Яковлев"};
    QList<CardEntry> entries = fixture().entries;
    for (int i = 0; i < int(entries.size()); ++i) {
        THuman &h = *entries[i].record;
        h.FName = QString::fromUtf8(kSurnames[(i * 7) % 30]) + (i % 2 ? QStringLiteral("а") : QString());
        entries[i].text = state::human::displayText(h);
    }
    TfmCard *card = shownCard();
    card->model()->setEntries(entries);
    settle();
    const QStringList keys{"п", "пе", "пет", "петр", "петро", "петр", "пет", "пе", "п", "", "с", "см", "", "ё", "ег", ""};
    double worst = 0, total = 0;
    int count = 0;
    QElapsedTimer t;
    for (auto _ : st) {
        for (const QString &key : keys) {
            t.start();
            card->findChild<QLineEdit *>(QStringLiteral("edSearch"))->setText(key);
            settle();
            const double ms = t.nsecsElapsed() / 1e6;
            worst = std::max(worst, ms);
            total += ms;
            ++count;
        }
    }
    card->findChild<QLineEdit *>(QStringLiteral("edSearch"))->clear();
    st.counters["worst_ms"] = worst;
    st.counters["mean_ms"] = total / count;
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    NirelApplication app(argc, argv);
    photos::followCardIndex(); // as the program does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete state::windows().fmCard.data();
    return 0;
}
