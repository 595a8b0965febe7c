// The RTF reader: any bytes. It must not crash, hang or overflow; what it
// reads our writer writes, and reading that gives the same text again.
#include "fuzz.h"

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>

namespace {

// Text layout needs the fonts of a GUI application.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char *argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    QTextDocument doc;
    if (!rtf::read(fuzz::bytes(data, size), &doc).ok)
        return 0;
    const QByteArray written = rtf::write(doc);
    QTextDocument again;
    FUZZ_CHECK(rtf::read(written, &again).ok); // our own output always reads
    FUZZ_CHECK(again.toRawText() == doc.toRawText()); // and gives the same text back
    return 0;
}
