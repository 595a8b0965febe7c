// rtf_resave IN OUT: opens IN with the final editor's RTF reader and saves
// it to OUT with its writer, as the editor's "Открыть..." and "Сохранить"
// do. For tools/rtf_corpus.py, which has LibreOffice read what we wrote.
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: rtf_resave IN OUT\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return 1;
    QTextDocument doc;
    if (!rtf::read(in.readAll(), &doc).ok)
        return 1;
    return out.write(rtf::write(doc)) > 0 ? 0 : 1;
}
