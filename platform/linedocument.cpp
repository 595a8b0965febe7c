#include "platform/linedocument.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

LineDocument::LineDocument(QObject *parent)
    : QTextDocument(parent)
{
    // Laid out as a plain text box lays out its text, so that any box can
    // show it and its displayed lines are the box's.
    setDocumentLayout(new QPlainTextDocumentLayout(this));
    connect(this, &QTextDocument::contentsChanged, this, [this] {
        if (!m_ownChange)
            m_oneEmptyLine = false;
    });
}

namespace {

// Where the first piece of a long line ends: after the last blank of its
// second half, else at the full length (never between the halves of a
// surrogate pair).
qsizetype pieceEnd(QStringView line)
{
    const qsizetype limit = LineDocument::kLongLine;
    for (qsizetype i = limit; i > limit / 2; --i) {
        if (line.at(i - 1) == QLatin1Char(' '))
            return i;
    }
    return line.at(limit - 1).isHighSurrogate() && line.at(limit).isLowSurrogate() ? limit - 1 : limit;
}

void appendBroken(QStringList &out, const QString &line)
{
    QStringView rest(line);
    while (rest.size() > LineDocument::kLongLine) {
        const qsizetype end = pieceEnd(rest);
        out.append(rest.left(end).toString());
        rest = rest.mid(end);
    }
    out.append(rest.toString());
}

bool anyLong(const QStringList &lines)
{
    for (const QString &l : lines)
        if (l.size() > LineDocument::kLongLine)
            return true;
    return false;
}

} // namespace

QStringList LineDocument::brokenForDisplay(const QStringList &lines)
{
    if (!anyLong(lines))
        return lines;
    QStringList out;
    out.reserve(lines.size());
    for (const QString &l : lines)
        appendBroken(out, l);
    return out;
}

QStringList LineDocument::shown(const QStringList &lines) const
{
    return m_breakLongLines ? brokenForDisplay(lines) : lines;
}

QStringList LineDocument::lines() const
{
    if (isEmpty())
        return m_oneEmptyLine ? QStringList{QString()} : QStringList{};
    QStringList out;
    out.reserve(blockCount());
    for (QTextBlock b = begin(); b.isValid(); b = b.next())
        out.append(b.text());
    return out;
}

int LineDocument::lineCount() const
{
    if (isEmpty())
        return m_oneEmptyLine ? 1 : 0;
    return blockCount();
}

QString LineDocument::line(int index) const
{
    if (index < 0 || index >= lineCount())
        return {};
    return findBlockByNumber(index).text();
}

void LineDocument::setLines(const QStringList &lines)
{
    m_ownChange = true;
    // Undo is off while the text is replaced, so nothing of it is kept.
    setPlainText(shown(lines).join(QLatin1Char('\n')));
    setModified(false);
    m_oneEmptyLine = lines.size() == 1 && lines.constFirst().isEmpty();
    m_ownChange = false;
    emit rewritten();
}

void LineDocument::clearLines()
{
    m_ownChange = true;
    clear();
    setModified(false);
    m_oneEmptyLine = false;
    m_ownChange = false;
    emit rewritten();
}

void LineDocument::appendLine(const QString &line)
{
    appendLines(QStringList{line});
}

void LineDocument::appendLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    const bool wasModified = isModified();
    m_ownChange = true;
    QTextCursor cursor(this);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    bool needBreak = lineCount() > 0;
    for (const QString &l : shown(lines)) {
        if (needBreak)
            cursor.insertBlock();
        cursor.insertText(l);
        needBreak = true;
    }
    cursor.endEditBlock();
    m_oneEmptyLine = isEmpty();
    m_ownChange = false;
    setModified(wasModified);
}

namespace {

// Blocks out of view are laid out lazily; lay one out before asking it.
const QTextLayout *laidOut(const QTextDocument *doc, const QTextBlock &block)
{
    if (auto *layout = qobject_cast<QPlainTextDocumentLayout *>(doc->documentLayout()))
        layout->ensureBlockLayout(block);
    return block.layout();
}

// Displayed line i of a wrapped block whose text is given: a line the box
// broke at a blank does not keep it.
QString shownPiece(const QString &text, const QTextLayout *tl, int i)
{
    const QTextLine tline = tl->lineAt(i);
    QString piece = text.mid(tline.textStart(), tline.textLength());
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

QStringList LineDocument::displayedLines() const
{
    QStringList out;
    if (lineCount() == 0)
        return out;
    for (QTextBlock b = begin(); b.isValid(); b = b.next()) {
        const QTextLayout *tl = laidOut(this, b);
        if (!tl || tl->lineCount() <= 1) {
            out.append(b.text());
            continue;
        }
        const QString text = b.text();
        for (int i = 0; i < tl->lineCount(); ++i)
            out.append(shownPiece(text, tl, i));
    }
    return out;
}

QString LineDocument::displayedLine(int index) const
{
    if (index < 0 || lineCount() == 0)
        return {};
    int first = 0;
    for (QTextBlock b = begin(); b.isValid(); b = b.next()) {
        const QTextLayout *tl = laidOut(this, b);
        const int count = displayedLineCount(tl);
        if (index >= first + count) {
            first += count;
            continue;
        }
        if (!tl || tl->lineCount() <= 1)
            return b.text();
        return shownPiece(b.text(), tl, index - first);
    }
    return {};
}

LineDocument::Place LineDocument::displayedPlace(const QTextCursor &cursor) const
{
    const QTextBlock caretBlock = cursor.block();
    int line = 0;
    for (QTextBlock b = begin(); b.isValid() && b != caretBlock; b = b.next())
        line += displayedLineCount(laidOut(this, b));

    const int inBlock = cursor.positionInBlock();
    const QTextLayout *tl = laidOut(this, caretBlock);
    if (!tl || tl->lineCount() <= 1)
        return {line, inBlock};
    const QTextLine textLine = tl->lineForTextPosition(inBlock);
    if (!textLine.isValid())
        return {line, inBlock};
    // The column never passes the end of the line as displayedLines() gives it.
    const int column = qMin(inBlock - textLine.textStart(),
                            int(shownPiece(caretBlock.text(), tl, textLine.lineNumber()).size()));
    return {line + textLine.lineNumber(), column};
}

bool LineDocument::insertAtDisplayed(int line, int column, const QString &text)
{
    if (line < 0 || lineCount() == 0)
        return false;
    int first = 0;
    for (QTextBlock b = begin(); b.isValid(); b = b.next()) {
        const QTextLayout *tl = laidOut(this, b);
        const int count = displayedLineCount(tl);
        if (line >= first + count) {
            first += count;
            continue;
        }
        const QString blockText = b.text();
        int start = 0;
        qsizetype shownSize = blockText.size();
        if (tl && tl->lineCount() > 1) {
            start = tl->lineAt(line - first).textStart();
            shownSize = shownPiece(blockText, tl, line - first).size();
        }
        const int at = start + int(qBound(qsizetype(0), qsizetype(column), shownSize));
        QTextCursor cursor(b);
        if (!m_breakLongLines || blockText.size() + text.size() <= kLongLine) {
            cursor.setPosition(b.position() + at);
            cursor.insertText(text);
            return true;
        }
        // The line would grow too long to lay out: it is replaced, in one
        // edit, by its pieces.
        const QString joined = blockText.left(at) + text + blockText.mid(at);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        const QStringList pieces = brokenForDisplay({joined});
        cursor.insertText(pieces.join(QLatin1Char('\n')));
        return true;
    }
    return false;
}
