#pragma once
// A multi-line text box addressed by lines: the view of a LineDocument. A
// box shows a document of its own unless it is given one to show; what it
// shows and what the user types go to that document.
#include "platform/linedocument.h"

#include <QPlainTextEdit>
#include <QStringList>

class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget *parent = nullptr);
    // A box showing doc (not owned).
    Memo(LineDocument *doc, QWidget *parent);

    // The box shows doc (not owned) instead of the text it showed so far.
    void showDocument(LineDocument *doc);
    LineDocument *lineDocument() const { return m_doc; }

    static constexpr qsizetype kLongLine = LineDocument::kLongLine;
    static QStringList brokenForDisplay(const QStringList &lines) { return LineDocument::brokenForDisplay(lines); }
    void setLongLinesBroken(bool on) { m_doc->setLongLinesBroken(on); }

    QStringList lines() const { return m_doc->lines(); }
    int lineCount() const { return m_doc->lineCount(); }
    QString line(int index) const { return m_doc->line(index); }

    void setLines(const QStringList &lines) { m_doc->setLines(lines); }
    void appendLine(const QString &line) { m_doc->appendLine(line); }
    void appendLines(const QStringList &lines) { m_doc->appendLines(lines); }
    void clearLines() { m_doc->clearLines(); }

    // The lines as the box displays them, broken where it wraps long lines;
    // a line broken at a blank does not keep the blank.
    QStringList displayedLines() const { return m_doc->displayedLines(); }
    // Displayed line `index` alone (empty when there is no such line).
    QString displayedLine(int index) const { return m_doc->displayedLine(index); }

    // The caret's place counted the same way: the index of its displayed
    // line, from 0, and the characters before it in that line.
    using Place = LineDocument::Place;
    Place displayedCaret() const;

    // Inserts text into displayed line `line` after its first `column`
    // characters (at its end when it is shorter). Returns false, changing
    // nothing, when the box shows no such line.
    bool insertAtDisplayed(int line, int column, const QString &text)
    {
        return m_doc->insertAtDisplayed(line, column, text);
    }

    // The modified flag of the text (set by typing, kept by appending).
    bool modified() const;
    void setModified(bool on);

protected:
    void insertFromMimeData(const QMimeData *source) override;

private:
    LineDocument *m_doc = nullptr;
    QMetaObject::Connection m_rewritten;
};
