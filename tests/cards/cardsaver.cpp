// A separate process that saves a card index pair, for the tests that kill a
// save part-way or run it under a file-size limit:
//   cardsaver LIST COUNT [KILL-STEP]
// saves COUNT numbered cards to LIST; with KILL-STEP (0 = after the list is
// staged, ... 6 = finished) the process kills itself with SIGKILL right after
// that step. It saves as the card window does, keeping backups. Exit code 0:
// saved; 3: the save failed and said so.
//   cardsaver LIST hold
// opens LIST as a second workstation would: takes its lock, says "locked" on
// standard output, and holds it until standard input is closed.
#include "cards/cardbackup.h"
#include "cards/cardindexfile.h"
#include "cards/cardlock.h"
#include "shell/startup.h"

#include <QTextStream>

#include <csignal>
#include <unistd.h>

int main(int argc, char *argv[])
{
    NirelApplication app(argc, argv); // start-up as the program makes it
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    if (args.at(2) == QLatin1String("hold")) {
        const cardlock::Holder self = cardlock::me(QStringLiteral("cardsaver"));
        QString error;
        if (cardlock::take(args.at(1), self, &error) != cardlock::Take::Taken)
            return 4;
        QTextStream(stdout) << "locked" << Qt::endl;
        char c;
        while (::read(0, &c, 1) > 0) {
        }
        cardlock::release(args.at(1), self);
        return 0;
    }
    QList<CardEntry> entries;
    for (int i = 0, n = args.at(2).toInt(); i < n; ++i) {
        THuman h(QStringLiteral("Пациент%1").arg(i));
        h.Age = i;
        h.Complaint = QStringLiteral("жалобы пациента номер %1").arg(i);
        entries.append(CardEntry{human::displayText(h), h});
    }
    if (args.size() > 3) {
        const int killAt = args.at(3).toInt();
        cardindex::setSaveHook([killAt](cardindex::SaveStep s) {
            if (int(s) == killAt)
                std::raise(SIGKILL);
            return true;
        });
    }
    cardindex::SaveOptions options;
    options.keepBackups = cardbackup::kKeep;
    const cardindex::WriteResult written = cardindex::writePair(args.at(1), entries, options);
    if (!written.ok) {
        QTextStream(stderr) << written.message << '\n';
        return 3;
    }
    return 0;
}
