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

private:
    bool m_oneEmptyLine = false;
    bool m_ownChange = false;
};
