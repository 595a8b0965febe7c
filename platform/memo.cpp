#include "platform/memo.h"

#include <QMimeData>
#include <QTextCursor>

Memo::Memo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    showDocument(new LineDocument(this));
}

Memo::Memo(LineDocument *doc, QWidget *parent)
    : QPlainTextEdit(parent)
{
    showDocument(doc);
}

void Memo::showDocument(LineDocument *doc)
{
    m_doc = doc;
    disconnect(m_rewritten);
    setDocument(doc);
    doc->setDefaultFont(font());
    // Text written in whole puts the caret at its start, as setPlainText
    // does in a box.
    m_rewritten = connect(doc, &LineDocument::rewritten, this, [this] {
        setTextCursor(QTextCursor(m_doc));
        ensureCursorVisible();
    });
}

Memo::Place Memo::displayedCaret() const
{
    return m_doc->displayedPlace(textCursor());
}

void Memo::insertFromMimeData(const QMimeData *source)
{
    // Pasted text is shown by the same rule as text set from a file.
    if (m_doc->longLinesBroken() && source->hasText()) {
        QString text = source->text();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n')).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        const QStringList pasted = text.split(QLatin1Char('\n'));
        const QStringList broken = LineDocument::brokenForDisplay(pasted);
        if (broken.size() != pasted.size()) {
            QTextCursor cursor = textCursor();
            cursor.insertText(broken.join(QLatin1Char('\n')));
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

bool Memo::modified() const
{
    return m_doc->isModified();
}

void Memo::setModified(bool on)
{
    m_doc->setModified(on);
}
