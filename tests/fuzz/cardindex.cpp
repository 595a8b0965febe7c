// The card index pair reader. Input: the parts of one pair's folder, split
// at each "\0\0\0": the list file, the data file, and (when present) the
// record of an unfinished save and the two new files it names.
#include "fuzz.h"

#include "state/cardindexfile.h"

#include <QFileInfo>

namespace {

QList<QByteArray> parts(const QByteArray &all)
{
    QList<QByteArray> out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = all.indexOf(QByteArrayView("\0\0\0", 3), from);
        out.append(all.mid(from, at < 0 ? -1 : at - from));
        if (at < 0)
            return out;
        from = at + 3;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = ::parts(fuzz::bytes(data, size));
    const QString dir = fuzz::scratch();
    const QString list = dir + QStringLiteral("/k.LST");
    const QString files[] = {list, state::cardindex::dataFileName(list), state::cardindex::intentName(list),
                             state::cardindex::stagedName(list), state::cardindex::stagedName(state::cardindex::dataFileName(list))};
    for (int i = 0; i < 5; ++i) {
        QFile::remove(files[i]);
        if (i < parts.size())
            fuzz::put(files[i], parts.at(i));
    }
    const bool unfinished = parts.size() > 2;

    const state::cardindex::ReadResult read = state::cardindex::readPair(list);
    if (!unfinished) {
        // Reading never writes.
        FUZZ_CHECK(fuzz::get(files[0]) == parts.value(0));
        FUZZ_CHECK(fuzz::get(files[1]) == parts.value(1));
    }
    if (!read.ok) {
        FUZZ_CHECK(!read.message.isEmpty());
        return 0;
    }
    // Whatever was read is saved and read back unchanged: records belong to
    // the first entries, one each, and no field holds a line break.
    bool recordsEnded = false;
    for (const CardEntry &e : read.entries) {
        FUZZ_CHECK(!(recordsEnded && e.record));
        recordsEnded = !e.record;
        FUZZ_CHECK(!e.text.contains(QLatin1Char('\n')) && !e.text.contains(QLatin1Char('\r')));
    }
    const state::cardindex::WriteResult written = state::cardindex::writePair(list, read.entries);
    FUZZ_CHECK(written.ok);
    FUZZ_CHECK(written.replaced.isEmpty());
    const state::cardindex::ReadResult again = state::cardindex::readPair(list);
    FUZZ_CHECK(again.ok);
    FUZZ_CHECK(again.warning.isEmpty());
    FUZZ_CHECK(again.entries == read.entries);
    FUZZ_CHECK(!QFileInfo::exists(files[2]) && !QFileInfo::exists(files[3]) && !QFileInfo::exists(files[4]));
    return 0;
}
