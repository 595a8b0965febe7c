// Fuzz target: any bytes given to the RTF reader. It must not crash, hang
// or overflow; what it reads our writer writes, and reading that gives the
// same text again.
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    if (!rtf::read(bytes, &doc).ok)
        return 0;
    const QByteArray written = rtf::write(doc);
    QTextDocument again;
    if (!rtf::read(written, &again).ok)
        abort(); // our own output must always read
    if (again.toRawText() != doc.toRawText()) {
        // and give the same text back
        fprintf(stderr, "read:    %s\nwritten: %s\nreread:  %s\n", doc.toRawText().toUtf8().toHex(' ').constData(),
                written.constData(), again.toRawText().toUtf8().toHex(' ').constData());
        abort();
    }
    return 0;
}
