#include "conclusion/reachfile.h"

#include "platform/cp1251.h"
#include "platform/textfile.h"
#include "rtf/rtfcommon.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace conclusion::reachfile {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Plain text, one paragraph a line, held to the same bounds as RTF.
rtf::ReadNotes readPlainText(const QStringList &lines, QTextDocument *doc)
{
    rtf::ReadNotes notes;
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();
    bool first = true;
    int emptyRun = 0;
    int paragraphs = 0;
    // The height of the text, estimated high as the RTF reader does.
    const qreal letter = doc->defaultFont().pointSizeF() > 0 ? doc->defaultFont().pointSizeF() * 96 / 72.0 : 16;
    qreal height = 0;
    for (const QString &line : lines) {
        if (line.isEmpty() && ++emptyRun > rtf::kMaxEmptyRun) {
            ++notes.droppedEmpty;
            continue;
        }
        if (!line.isEmpty())
            emptyRun = 0;
        if (paragraphs >= rtf::kMaxParagraphs || height >= rtf::kMaxLayoutHeight) {
            notes.truncated = paragraphs; // as long as the layout can take
            break;
        }
        const QList<qsizetype> cuts = rtf::paragraphCuts(line);
        if (!cuts.isEmpty())
            ++notes.cutParagraphs;
        qsizetype from = 0;
        for (qsizetype i = 0; i <= cuts.size(); ++i) {
            const qsizetype to = i < cuts.size() ? cuts.at(i) : line.size();
            if (!first)
                c.insertBlock();
            first = false;
            ++paragraphs;
            c.insertText(line.mid(from, to - from));
            height += (1 + (to - from) * 0.6 * letter / 400.0) * letter * 1.3;
            from = to;
        }
    }
    c.endEditBlock();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    return notes;
}

QString noticeOf(const QString &path, const rtf::ReadNotes &notes)
{
    if (!notes.any())
        return {};
    return QStringLiteral("Файл %1 открыт не совсем так, как записан:\n").arg(shown(path)) +
           notes.sentences().join(QLatin1Char('\n'));
}

// Why a save file could not be written, in Russian where the system gives
// no reason of its own.
QString reasonOf(const QSaveFile &file, const QString &path, const QString &fallback)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("под этим именем папка");
    if (!info.absoluteDir().exists())
        return QStringLiteral("папки %1 нет").arg(shown(info.absolutePath()));
    QString why = file.errorString();
    if (why.isEmpty() || why == QLatin1String("Unknown error"))
        why = fallback;
    return why;
}

} // namespace

Result load(const QString &path, QTextDocument *doc, double unitsPerInch)
{
    Result r;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        r.error = platform::textfile::notRegularMessage(shown(path));
        return r;
    }
    if (!info.exists()) {
        r.error = QStringLiteral("Не удалось открыть файл %1: такого файла нет").arg(shown(path));
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("Не удалось открыть файл %1: %2").arg(shown(path), file.errorString());
        return r;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        r.error = QStringLiteral("Ошибка чтения файла %1: %2").arg(shown(path), file.errorString());
        return r;
    }
    file.close();
    rtf::ReadNotes notes;
    if (rtf::isRtf(bytes)) {
        const rtf::ReadResult read = rtf::read(bytes, doc, unitsPerInch);
        if (!read.ok) {
            r.error = QStringLiteral("Не удалось прочитать файл %1: %2").arg(shown(path), read.error);
            return r;
        }
        notes = read.notes;
    } else {
        notes = readPlainText(platform::textfile::splitLines(platform::cp1251::decode(bytes)), doc);
    }
    r.notice = noticeOf(path, notes);
    r.whole = notes.truncated == 0;
    r.ok = true;
    return r;
}

Result save(const QString &path, const QTextDocument &doc, double unitsPerInch)
{
    Result r;
    const QByteArray bytes = rtf::write(doc, unitsPerInch);
    QSaveFile file(path);
    QString why;
    if (!file.open(QIODevice::WriteOnly)) {
        why = reasonOf(file, path, QStringLiteral("файл не удалось создать"));
    } else if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        // A short write (disk full, size limit) is not always reported by
        // the write itself, so the size on disk is checked too.
        why = reasonOf(file, path,
                       QStringLiteral("записано не всё: нет места на диске или файл больше допустимого размера"));
        file.cancelWriting();
        file.commit(); // only removes the temporary file after cancelWriting()
    } else if (!file.commit()) {
        why = reasonOf(file, path, QStringLiteral("прежний файл не удалось заменить новым"));
    }
    if (!why.isEmpty()) {
        r.error = QStringLiteral("Не удалось записать файл %1: %2").arg(shown(path), why);
        return r;
    }
    r.ok = true;
    return r;
}

QString commandLineDocument(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return {};
    const QString first = arguments.at(1);
    return !first.isEmpty() && QFileInfo(first).isFile() ? first : QString();
}

} // namespace conclusion::reachfile
