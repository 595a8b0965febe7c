// A child process that saves large data as the program does, for the tests
// that kill a save part-way:
//   saver cards LIST COUNT [KILL-STEP]   a card index pair of COUNT cards
//   saver text FILE COUNT                a draft conclusion of COUNT lines
//   saver rtf FILE COUNT                 a final conclusion of COUNT paragraphs
// It writes "go" on its output the moment the save begins, so that the
// test can kill it at a chosen moment of the save itself; with KILL-STEP
// (0 = list staged ... 5 = finished) it kills itself right after that step.
// Exit code 0: saved; 3: the save failed and said so.
#include "bigdata.h"

#include "platform/textfile.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv); // the final conclusion is laid out in fonts
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4)
        return 2;
    const QString kind = args.at(1);
    const QString file = args.at(2);
    const int count = args.at(3).toInt();
    if (args.size() > 4) {
        const int killAt = args.at(4).toInt();
        state::cardindex::setSaveHook([killAt](state::cardindex::SaveStep s) {
            if (int(s) == killAt)
                std::raise(SIGKILL);
            return true;
        });
    }
    QString error;
    bool saved = false;
    if (kind == QLatin1String("cards")) {
        const QList<CardEntry> entries = bigdata::cards(count, 2);
        std::puts("go");
        std::fflush(stdout);
        const state::cardindex::WriteResult written = state::cardindex::writePair(file, entries);
        saved = written.ok;
        error = written.message;
    } else if (kind == QLatin1String("text")) {
        // The draft window writes its lines so.
        const QStringList lines = bigdata::conclusion(count, 2);
        std::puts("go");
        std::fflush(stdout);
        saved = platform::textfile::writeLines(file, lines, &error);
    } else if (kind == QLatin1String("rtf")) {
        // The final editor writes its RTF through a save file so.
        const QByteArray bytes = bigdata::finalConclusionRtf(count, 2);
        std::puts("go");
        std::fflush(stdout);
        QSaveFile out(file);
        saved = platform::textfile::stage(out, bytes, &error) && out.commit();
    } else {
        return 2;
    }
    if (!saved) {
        QTextStream(stderr) << error << '\n';
        return 3;
    }
    return 0;
}
