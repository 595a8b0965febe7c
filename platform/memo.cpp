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

namespace {

// Blocks out of view are laid out lazily; lay one out before asking it.
const QTextLayout *laidOut(const QTextDocument *doc, const QTextBlock &block)
{
    if (auto *layout = qobject_cast<QPlainTextDocumentLayout *>(doc->documentLayout()))
        layout->ensureBlockLayout(block);
    return block.layout();
}

// Displayed line i of a wrapped block: a line the box broke at a blank
// does not keep it.
QString shownPiece(const QTextBlock &block, const QTextLayout *tl, int i)
{
    const QTextLine tline = tl->lineAt(i);
    QString piece = block.text().mid(tline.textStart(), tline.textLength());
    if (i + 1 < tl->lineCount())
        while (piece.endsWith(QLatin1Char(' ')))
            piece.chop(1);
    return piece;
}

int displayedLineCount(const QTextLayout *tl)
{
    return tl ? qMax(1, tl->lineCount()) : 1;
}

} // namespace

QStringList Memo::displayedLines() const
{
    QStringList out;
    if (lineCount() == 0)
        return out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const QTextLayout *tl = laidOut(document(), b);
        if (!tl || tl->lineCount() <= 1) {
            out.append(b.text());
            continue;
        }
        for (int i = 0; i < tl->lineCount(); ++i)
            out.append(shownPiece(b, tl, i));
    }
    return out;
}

Memo::Place Memo::displayedCaret() const
{
    const QTextCursor cursor = textCursor();
    const QTextBlock caretBlock = cursor.block();
    int line = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != caretBlock; b = b.next())
        line += displayedLineCount(laidOut(document(), b));

    const int inBlock = cursor.positionInBlock();
    const QTextLayout *tl = laidOut(document(), caretBlock);
    if (!tl || tl->lineCount() <= 1)
        return {line, inBlock};
    const QTextLine textLine = tl->lineForTextPosition(inBlock);
    if (!textLine.isValid())
        return {line, inBlock};
    // The column never passes the end of the line as displayedLines() gives it.
    const int column = qMin(inBlock - textLine.textStart(),
                            int(shownPiece(caretBlock, tl, textLine.lineNumber()).size()));
    return {line + textLine.lineNumber(), column};
}

bool Memo::insertAtDisplayed(int line, int column, const QString &text)
{
    if (line < 0 || lineCount() == 0)
        return false;
    int first = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const QTextLayout *tl = laidOut(document(), b);
        const int count = displayedLineCount(tl);
        if (line >= first + count) {
            first += count;
            continue;
        }
        int start = 0;
        qsizetype shown = b.text().size();
        if (tl && tl->lineCount() > 1) {
            start = tl->lineAt(line - first).textStart();
            shown = shownPiece(b, tl, line - first).size();
        }
        QTextCursor cursor(b);
        cursor.setPosition(b.position() + start + int(qBound(qsizetype(0), qsizetype(column), shown)));
        cursor.insertText(text);
        return true;
    }
    return false;
}

bool Memo::modified() const
{
    return document()->isModified();
}

void Memo::setModified(bool on)
{
    document()->setModified(on);
}
