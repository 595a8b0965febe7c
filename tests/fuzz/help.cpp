// The help file: its lines joined back into the page, and the anchors the
// help viewer finds in it (the contents, the index, the context numbers).
// Input: the help file's bytes.
#include "fuzz.h"

#include "help/helpviewer.h"
#include "platform/cp1251.h"
#include "platform/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = platform::textfile::splitLines(platform::cp1251::decode(fuzz::bytes(data, size))).join(QLatin1Char('\n'));
    const QStringList anchors = HelpViewer::anchorsOf(html);
    // Each anchor is a quoted name that the page holds.
    for (const QString &a : anchors) {
        FUZZ_CHECK(!a.isEmpty() && !a.contains(QLatin1Char('"')));
        FUZZ_CHECK(html.contains(QLatin1Char('"') + a + QLatin1Char('"')));
    }
    FUZZ_CHECK(anchors.size() <= html.count(QStringLiteral("=")));
    return 0;
}
