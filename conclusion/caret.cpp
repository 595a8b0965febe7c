#include "conclusion/caret.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

namespace conclusion {

namespace {

// Blocks out of view are laid out lazily; lay one out before asking it.
const QTextLayout *laidOut(QPlainTextDocumentLayout *layout, const QTextBlock &block)
{
    if (layout)
        layout->ensureBlockLayout(block);
    return block.layout();
}

} // namespace

CaretPlace displayedCaret(const QPlainTextEdit *box)
{
    const QTextCursor cursor = box->textCursor();
    const QTextBlock caretBlock = cursor.block();
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(box->document()->documentLayout());

    int line = 0;
    for (QTextBlock b = box->document()->begin(); b.isValid() && b != caretBlock; b = b.next()) {
        const QTextLayout *tl = laidOut(layout, b);
        line += tl ? qMax(1, tl->lineCount()) : 1;
    }

    const int inBlock = cursor.positionInBlock();
    const QTextLayout *tl = laidOut(layout, caretBlock);
    if (!tl || tl->lineCount() <= 1)
        return {line, inBlock};
    const QTextLine textLine = tl->lineForTextPosition(inBlock);
    if (!textLine.isValid())
        return {line, inBlock};
    // A displayed line that the box broke at a blank does not keep the blank
    // (see Memo::displayedLines), so the column never passes the line's end.
    int column = inBlock - textLine.textStart();
    if (textLine.lineNumber() + 1 < tl->lineCount()) {
        const QString piece = caretBlock.text().mid(textLine.textStart(), textLine.textLength());
        qsizetype kept = piece.size();
        while (kept > 0 && piece.at(kept - 1) == QLatin1Char(' '))
            --kept;
        column = qMin(column, int(kept));
    }
    return {line + textLine.lineNumber(), column};
}

} // namespace conclusion
