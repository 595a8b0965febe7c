#include "conclusion/reachfile.h"

#include "platform/cp1251.h"
#include "platform/memo.h"
#include "platform/textfile.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace reachfile {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A paragraph with no blank to wrap at costs time growing with the square of
// its length to lay out; one too long is broken where the draft box breaks
// its lines, so that any file opens in moments.
void breakLongParagraphs(QTextDocument *doc)
{
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.length() - 1 <= Memo::kLongLine)
            continue;
        const QStringList pieces = Memo::brokenForDisplay({b.text()});
        QTextCursor c(doc);
        int pos = b.position();
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
            pos += int(pieces.at(i).size());
            c.setPosition(pos);
            c.insertBlock();
            ++pos; // past the new paragraph's start
        }
        b = c.block();
    }
}

} // namespace

Result load(const QString &path, QTextDocument *doc, double unitsPerInch)
{
    Result r;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        r.error = textfile::notRegularMessage(shown(path));
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
    if (rtf::isRtf(bytes)) {
        const rtf::ReadResult read = rtf::read(bytes, doc, unitsPerInch);
        if (!read.ok) {
            r.error = QStringLiteral("Не удалось прочитать файл %1: %2").arg(shown(path), read.error);
            return r;
        }
        breakLongParagraphs(doc);
    } else {
        doc->setPlainText(Memo::brokenForDisplay(textfile::splitLines(cp1251::decode(bytes))).join(QLatin1Char('\n')));
    }
    r.ok = true;
    return r;
}

Result save(const QString &path, const QTextDocument &doc, double unitsPerInch)
{
    Result r;
    QSaveFile file(path);
    QString why;
    if (!textfile::stage(file, rtf::write(doc, unitsPerInch), &why) || !file.commit()) {
        r.error = QStringLiteral("Не удалось записать файл %1: %2")
                      .arg(shown(path), why.isEmpty() ? file.errorString() : why);
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

} // namespace reachfile
