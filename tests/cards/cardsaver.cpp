// A separate process that saves a card index pair, for the tests that kill a
// save part-way, run it under a file-size limit, or race it:
//   cardsaver LIST COUNT [KILL-STEP]
// saves COUNT numbered cards to LIST; with KILL-STEP (0 = after the list is
// staged, ... 6 = finished) the process kills itself with SIGKILL right after
// that step. It saves as the card window does, keeping backups. Exit code 0:
// saved; 3: the save failed and said so.
//   cardsaver LIST COUNT pause STEP
// the same, but after STEP it says "paused" on standard output and waits
// for a line on standard input before it goes on (a slow disk or share).
//   cardsaver LIST hold
// opens LIST as a second workstation would: takes its lock, says "locked" on
// standard output, and holds it until standard input is closed.
//   cardsaver LIST takeover
// reads LIST's (stale) lock, says "ready", and at a line on standard input
// takes it over; says "taken" or "held", and holds what it took until
// standard input is closed.
//   cardsaver LIST scenario KILL-AT
// works on LIST as a workstation does in a day (see scenario() below), and
// kills itself just before its KILL-AT-th file call; exit code 0 when it
// got through without reaching that call.
#include "photos/photoindex.h"
#include "shell/startup.h"
#include "state/cardbackup.h"
#include "state/cardindexfile.h"
#include "state/cardlock.h"

#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

QList<CardEntry> numbered(int count)
{
    QList<CardEntry> entries;
    for (int i = 0; i < count; ++i) {
        THuman h(QStringLiteral("Пациент%1").arg(i));
        h.Age = i;
        h.Complaint = QStringLiteral("жалобы пациента номер %1").arg(i);
        entries.append(CardEntry{state::human::displayText(h), h});
    }
    return entries;
}

void say(const char *word)
{
    std::puts(word);
    std::fflush(stdout);
}

// Waits for a line (or the end) on standard input.
void waitForLine()
{
    char c;
    while (::read(0, &c, 1) > 0 && c != '\n') {
    }
}

void waitForEnd()
{
    char c;
    while (::read(0, &c, 1) > 0) {
    }
}

// Takes over the stale lock left by a workstation that died, saves the
// list of 5 cards keeping 3 backups (one is pruned), writes the photo index
// with 3 photos, restores the oldest backup, and lets the lock go.
int scenario(const QString &list)
{
    const state::cardlock::Holder self = state::cardlock::me(QStringLiteral("cardsaver"));
    const std::optional<state::cardlock::Holder> seen = state::cardlock::holderOf(list);
    QString error;
    if (!seen || state::cardlock::takeOver(list, *seen, self, &error) != state::cardlock::Take::Taken)
        return 4;
    state::cardindex::SaveOptions options;
    options.keepBackups = 3;
    if (!state::cardindex::writePair(list, numbered(5), options).ok)
        return 3;
    state::cardlock::refresh(list, self);
    photos::PhotoIndex index;
    for (int i = 0; i < 3; ++i)
        index.add(QStringLiteral("R%1.jpg").arg(i), photos::Eye::Right, photos::keyOf(*numbered(5).at(i).record), QString());
    if (!photos::save(photos::folderFor(list), index))
        return 3;
    const QList<state::cardbackup::Backup> backups = state::cardbackup::list(list);
    if (backups.isEmpty() || !state::cardindex::restorePair(list, backups.constLast().listFile, options).ok)
        return 3;
    state::cardlock::release(list, self);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    NirelApplication app(argc, argv); // start-up as the program makes it
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    const QString list = args.at(1);
    if (args.at(2) == QLatin1String("hold")) {
        const state::cardlock::Holder self = state::cardlock::me(QStringLiteral("cardsaver"));
        QString error;
        if (state::cardlock::take(list, self, &error) != state::cardlock::Take::Taken)
            return 4;
        say("locked");
        waitForEnd();
        state::cardlock::release(list, self);
        return 0;
    }
    if (args.at(2) == QLatin1String("takeover")) {
        const state::cardlock::Holder self = state::cardlock::me(QStringLiteral("cardsaver"));
        const std::optional<state::cardlock::Holder> seen = state::cardlock::holderOf(list);
        if (!seen)
            return 4;
        say("ready");
        waitForLine();
        QString error;
        const state::cardlock::Take t = state::cardlock::takeOver(list, *seen, self, &error);
        say(t == state::cardlock::Take::Taken ? "taken" : t == state::cardlock::Take::Held ? "held" : "failed");
        waitForEnd();
        state::cardlock::release(list, self);
        return 0;
    }
    if (args.at(2) == QLatin1String("scenario") && args.size() > 3) {
        const int killAt = args.at(3).toInt();
        int calls = 0;
        platform::safefile::setHook([&](platform::safefile::Call call, const QString &) {
            if (++calls == killAt)
                std::raise(SIGKILL);
            return call == platform::safefile::Call::Sync ? platform::safefile::kSkip : 0; // what counts is the order
        });
        return scenario(list);
    }
    if (args.size() > 4 && args.at(3) == QLatin1String("pause")) {
        const int pauseAt = args.at(4).toInt();
        state::cardindex::setSaveHook([pauseAt](state::cardindex::SaveStep s) {
            if (int(s) == pauseAt) {
                say("paused");
                waitForLine();
            }
            return true;
        });
    } else if (args.size() > 3) {
        const int killAt = args.at(3).toInt();
        state::cardindex::setSaveHook([killAt](state::cardindex::SaveStep s) {
            if (int(s) == killAt)
                std::raise(SIGKILL);
            return true;
        });
    }
    state::cardindex::SaveOptions options;
    options.keepBackups = state::cardbackup::kKeep;
    const state::cardindex::WriteResult written = state::cardindex::writePair(list, numbered(args.at(2).toInt()), options);
    if (!written.ok) {
        QTextStream(stderr) << written.message << '\n';
        return 3;
    }
    return 0;
}
