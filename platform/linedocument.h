#pragma once
// Plain text addressed by lines: the document a text box (Memo) shows. A
// document always holds at least one (possibly empty) paragraph, so "no
// lines" and "one empty line" look the same on screen; LineDocument
// remembers which of the two it holds, so that lines written in come back
// out unchanged, empty lines included.
//
// Whoever owns the text owns the document, and any number of boxes may show
// it: the examination owns the sign, the pathology lines and the draft
// conclusion, and the windows' boxes show them and take the user's typing
// into them.
#include <QStringList>
#include <QTextDocument>

class QTextCursor;

class LineDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit LineDocument(QObject *parent = nullptr);

    // A line longer than this many characters is shown broken into lines of
    // at most this length, each after the last blank of its second half when
    // there is one. Laying out one line with no blank to wrap at costs time
    // growing with the square of its length (a megabyte froze the box for a
    // minute); pieces this long take a millisecond each. The pieces are lines
    // of the text from then on; joined, they give the line back.
    static constexpr qsizetype kLongLine = 4000;
    static QStringList brokenForDisplay(const QStringList &lines);

    // On by default. Text whose lines are data carried on whole (the deep
    // examination's sign and pathology lines) turns it off.
    void setLongLinesBroken(bool on) { m_breakLongLines = on; }
    bool longLinesBroken() const { return m_breakLongLines; }

    QStringList lines() const;
    int lineCount() const;
    QString line(int index) const;

    // Written in whole, as a text box's setPlainText and clear do: undo is
    // forgotten, the modified flag cleared, and the boxes showing the text
    // put their caret at its start.
    void setLines(const QStringList &lines);
    void clearLines();
    // Appended after the last line; undo and the modified flag are kept.
    void appendLine(const QString &line);
    void appendLines(const QStringList &lines);

    // The lines as a box displays them, broken where it wraps long lines;
    // a line broken at a blank does not keep the blank. The wrapping is that
    // of the box showing the text (none while no box shows it).
    QStringList displayedLines() const;
    // Displayed line `index` alone (empty when there is no such line).
    QString displayedLine(int index) const;

    // A place counted the same way: the index of its displayed line, from 0,
    // and the characters before it in that line.
    struct Place {
        int line = 0;
        int column = 0;
    };
    Place displayedPlace(const QTextCursor &cursor) const;

    // Inserts text into displayed line `line` after its first `column`
    // characters (at its end when it is shorter). Returns false, changing
    // nothing, when there is no such line.
    bool insertAtDisplayed(int line, int column, const QString &text);

signals:
    // The text was written in whole (setLines, clearLines).
    void rewritten();

private:
    QStringList shown(const QStringList &lines) const;

    bool m_breakLongLines = true;
    bool m_oneEmptyLine = false;
    bool m_ownChange = false;
};
