#include "cards/cardindexfile.h"

#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace cardindex {

namespace {

bool sameFile(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

QString samePairMessage(const QString &listFile)
{
    return QStringLiteral("Файл списка картотеки не может служить и её файлом данных: ") + listFile;
}

QString dataErrorPrefix(const QString &dataFile)
{
    return QStringLiteral("Ошибка в файле данных картотеки ") + dataFile;
}

THuman recordAt(const QStringList &lines, qsizetype first, int age)
{
    THuman h;
    h.Date = lines.at(first);
    h.FName = lines.at(first + 1);
    h.LName = lines.at(first + 2);
    h.MName = lines.at(first + 3);
    h.Age = age;
    h.Doc = lines.at(first + 5);
    h.Addr = lines.at(first + 6);
    h.Phone = lines.at(first + 7);
    h.Complaint = lines.at(first + 8);
    h.Anamnesis = lines.at(first + 9);
    h.Concl = lines.at(first + 10);
    return h;
}

// Puts back the content of a file replaced a moment ago.
void restore(const QString &path, const QByteArray &oldBytes)
{
    QSaveFile file(path);
    if (textfile::stage(file, oldBytes))
        file.commit();
}

} // namespace

QString dataFileName(const QString &listFile)
{
    return listFile.left(qMax<qsizetype>(0, listFile.size() - 4)) + QStringLiteral(".lso");
}

QString labelText(const QString &fullFileName)
{
    if (fullFileName.size() <= 47)
        return kLabelCaption + QStringLiteral("  ") + fullFileName;
    return kLabelCaption + QStringLiteral(" ...") + fullFileName.right(48);
}

QStringList recordLines(const THuman &h)
{
    using human::singleLine;
    return {singleLine(h.Date),  singleLine(h.FName),     singleLine(h.LName),
            singleLine(h.MName), QString::number(h.Age),  singleLine(h.Doc),
            singleLine(h.Addr),  singleLine(h.Phone),     singleLine(h.Complaint),
            singleLine(h.Anamnesis), singleLine(h.Concl)};
}

QStringList listLines(const QList<CardEntry> &entries)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (const CardEntry &e : entries)
        lines.append(human::singleLine(e.text));
    return lines;
}

QStringList dataLines(const QList<CardEntry> &entries)
{
    QStringList lines;
    lines.reserve(entries.size() * kLinesPerRecord);
    for (const CardEntry &e : entries) {
        if (e.record)
            lines.append(recordLines(*e.record));
    }
    return lines;
}

ReadResult readPair(const QString &listFile)
{
    ReadResult result;
    const textfile::ReadResult list = textfile::readLines(listFile);
    if (!list.ok) {
        result.message = kOpenError;
        return result;
    }
    const QString dataFile = dataFileName(listFile);
    if (sameFile(listFile, dataFile)) {
        result.message = samePairMessage(listFile);
        return result;
    }
    if (!QFileInfo::exists(dataFile)) {
        result.message = QStringLiteral("Нет файла данных картотеки ") + dataFile;
        return result;
    }
    const textfile::ReadResult data = textfile::readLines(dataFile);
    if (!data.ok) {
        result.message = QStringLiteral("Ошибка чтения файла данных картотеки ") + dataFile;
        return result;
    }

    QList<CardEntry> entries;
    entries.reserve(list.lines.size());
    for (const QString &line : list.lines)
        entries.append(CardEntry{line, std::nullopt});

    const qsizetype total = data.lines.size();
    for (qsizetype first = 0, n = 0; first < total; first += kLinesPerRecord, ++n) {
        if (n >= entries.size()) {
            // The first record that has no list line is named by its line.
            result.message = dataErrorPrefix(dataFile) +
                             QStringLiteral(", строка %1: карточек в нём больше, чем строк (%2) в файле списка ")
                                 .arg(first + 1)
                                 .arg(entries.size()) +
                             listFile;
            return result;
        }
        if (total - first < kLinesPerRecord) {
            result.message = dataErrorPrefix(dataFile) +
                             QStringLiteral(": файл обрывается на строке %1, внутри карточки %2 "
                                            "(в карточке должно быть 11 строк)")
                                 .arg(total)
                                 .arg(n + 1);
            return result;
        }
        int age = 0;
        const QString &ageLine = data.lines.at(first + 4);
        if (!human::parseAge(ageLine, &age)) {
            result.message = dataErrorPrefix(dataFile) +
                             QStringLiteral(", строка %1: возраст «%2» не является целым числом")
                                 .arg(first + 5)
                                 .arg(ageLine);
            return result;
        }
        entries[n].record = recordAt(data.lines, first, age);
    }
    result.entries = std::move(entries);
    result.ok = true;
    return result;
}

WriteResult writePair(const QString &listFile, const QList<CardEntry> &entries)
{
    WriteResult result;
    const QString dataFile = dataFileName(listFile);
    if (sameFile(listFile, dataFile)) {
        result.message = samePairMessage(listFile);
        return result;
    }
    const QString dataError = QStringLiteral("Ошибка записи в файл данных картотеки ") + dataFile;

    // Both new files are written out in full beside the old ones first.
    QSaveFile list(listFile);
    if (!textfile::stage(list, textfile::encodeLines(listLines(entries)))) {
        result.message = kWriteError;
        return result;
    }
    QSaveFile data(dataFile);
    if (!textfile::stage(data, textfile::encodeLines(dataLines(entries)))) {
        result.message = dataError;
        return result;
    }

    // Then they replace the old pair. Should the second replacement fail, the
    // first is undone, so the folder never holds a new list with old data.
    const bool hadList = QFileInfo::exists(listFile);
    std::optional<QByteArray> oldList;
    if (QFile old(listFile); hadList && old.open(QIODevice::ReadOnly))
        oldList = old.readAll();
    if (!list.commit()) {
        result.message = kWriteError;
        return result; // data is discarded with its temporary file
    }
    if (!data.commit()) {
        if (!hadList)
            QFile::remove(listFile);
        else if (oldList)
            restore(listFile, *oldList);
        result.message = dataError;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace cardindex
