#pragma once
// A multi-line text box addressed by lines. A text box always holds at least
// one (possibly empty) paragraph, so "no lines" and "one empty line" look the
// same on screen; Memo remembers which of the two it holds, so that lines
// written in come back out unchanged, empty lines included.
#include <QPlainTextEdit>
#include <QStringList>

class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget *parent = nullptr);

    // A line longer than this many characters is shown broken into lines of
    // at most this length, each after the last blank of its second half when
    // there is one. Laying out one line with no blank to wrap at costs time
    // growing with the square of its length (a megabyte froze the box for a
    // minute); pieces this long take a millisecond each. The pieces are lines
    // of the box from then on; joined, they give the line back.
    static constexpr qsizetype kLongLine = 4000;
    static QStringList brokenForDisplay(const QStringList &lines);

    // On by default. A box whose lines are data carried on whole (the deep
    // examination's sign and pathology lines) turns it off.
    void setLongLinesBroken(bool on) { m_breakLongLines = on; }

    QStringList lines() const;
    int lineCount() const;
    QString line(int index) const;

    void setLines(const QStringList &lines);
    void appendLine(const QString &line);
    void appendLines(const QStringList &lines);
    void clearLines();

    // The lines as the box displays them, broken where it wraps long lines;
    // a line broken at a blank does not keep the blank.
    QStringList displayedLines() const;
    // Displayed line `index` alone (empty when there is no such line).
    QString displayedLine(int index) const;

    // The caret's place counted the same way: the index of its displayed
    // line, from 0, and the characters before it in that line.
    struct Place {
        int line = 0;
        int column = 0;
    };
    Place displayedCaret() const;

    // Inserts text into displayed line `line` after its first `column`
    // characters (at its end when it is shorter). Returns false, changing
    // nothing, when the box shows no such line.
    bool insertAtDisplayed(int line, int column, const QString &text);

    // The modified flag of the text (set by typing, kept by appending).
    bool modified() const;
    void setModified(bool on);

protected:
    void insertFromMimeData(const QMimeData *source) override;

private:
    QStringList shown(const QStringList &lines) const;

    bool m_breakLongLines = true;
    bool m_oneEmptyLine = false;
    bool m_ownChange = false;
};
