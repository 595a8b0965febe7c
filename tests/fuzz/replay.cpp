// Runs every kept input of a fuzz target once, as the normal test suite
// does without a fuzzing compiler: replay DIR|FILE... (folders are read
// through; one that does not exist is skipped). Fails when nothing ran.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char *argv[])
{
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QFile::decodeName(argv[i]);
        if (!QFileInfo::exists(arg))
            continue; // a target with no crash found has no folder of crashes
        if (!QFileInfo(arg).isDir()) {
            inputs.append(arg);
            continue;
        }
        QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            inputs.append(it.next());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const QString &input : inputs) {
        QFile f(input);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
            return 1;
        }
        const QByteArray bytes = f.readAll();
        std::fprintf(stderr, "%s\n", qPrintable(QFileInfo(input).fileName()));
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }
    std::printf("replayed %lld inputs\n", static_cast<long long>(inputs.size()));
    return inputs.isEmpty() ? 1 : 0;
}
