#include "platform/memo.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

Memo::Memo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_ownChange)
            m_oneEmptyLine = false;
    });
}

QStringList Memo::lines() const
{
    const QTextDocument *doc = document();
    if (doc->isEmpty())
        return m_oneEmptyLine ? QStringList{QString()} : QStringList{};
    QStringList out;
    out.reserve(doc->blockCount());
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        out.append(b.text());
    return out;
}

int Memo::lineCount() const
{
    const QTextDocument *doc = document();
    if (doc->isEmpty())
        return m_oneEmptyLine ? 1 : 0;
    return doc->blockCount();
}

QString Memo::line(int index) const
{
    if (index < 0 || index >= lineCount())
        return {};
    return document()->findBlockByNumber(index).text();
}

void Memo::setLines(const QStringList &lines)
{
    m_ownChange = true;
    setPlainText(lines.join(QLatin1Char('\n')));
    m_oneEmptyLine = lines.size() == 1 && lines.constFirst().isEmpty();
    m_ownChange = false;
}

void Memo::appendLine(const QString &line)
{
    appendLines(QStringList{line});
}

void Memo::appendLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    const bool wasModified = document()->isModified();
    m_ownChange = true;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    bool needBreak = lineCount() > 0;
    for (const QString &l : lines) {
        if (needBreak)
            cursor.insertBlock();
        cursor.insertText(l);
        needBreak = true;
    }
    cursor.endEditBlock();
    m_oneEmptyLine = document()->isEmpty();
    m_ownChange = false;
    document()->setModified(wasModified);
}

void Memo::clearLines()
{
    m_ownChange = true;
    clear();
    m_oneEmptyLine = false;
    m_ownChange = false;
}

QStringList Memo::displayedLines() const
{
    QStringList out;
    if (lineCount() == 0)
        return out;
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(document()->documentLayout());
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (layout)
            layout->ensureBlockLayout(b);
        const QTextLayout *tl = b.layout();
        const QString text = b.text();
        if (!tl || tl->lineCount() <= 1) {
            out.append(text);
            continue;
        }
        for (int i = 0; i < tl->lineCount(); ++i) {
            const QTextLine tline = tl->lineAt(i);
            QString piece = text.mid(tline.textStart(), tline.textLength());
            // A wrapped line keeps the blank it was broken at; a saved line
            // does not end in it.
            if (i + 1 < tl->lineCount())
                while (piece.endsWith(QLatin1Char(' ')))
                    piece.chop(1);
            out.append(piece);
        }
    }
    return out;
}

bool Memo::modified() const
{
    return document()->isModified();
}

void Memo::setModified(bool on)
{
    document()->setModified(on);
}
