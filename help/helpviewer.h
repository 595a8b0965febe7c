#pragma once
// The help viewer: a window of its own that shows the program's help file.
// The file is one HTML document in Windows-1251; every topic starts at a
// named anchor "ctx" + context number, the contents at "contents" and the
// index at "index". The viewer, not the caller, reports a missing file or topic.
#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QPushButton;

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // The one viewer window, created on first use and shown.
    static HelpViewer *open();
    static HelpViewer *existing();

    void showFinder(const QString &shownFile);
    void showTopic(const QString &shownFile, int context);

    // What is on view: the help file, the anchor shown, and the problem
    // reported in the window (empty when the topic is shown).
    QString currentFile() const { return m_file; }
    QString currentAnchor() const { return m_anchor; }
    QString problem() const { return m_problem; }
    QString shownText() const;

    static QString topicAnchor(int context);
    // The anchors a help document defines, in document order.
    static QStringList anchorsOf(const QString &html);

private:
    explicit HelpViewer(QWidget *parent = nullptr);
    bool load(const QString &shownFile);
    void go(const QString &anchor);
    void report(const QString &text);

    QTextBrowser *m_browser = nullptr;
    QPushButton *m_contents = nullptr;
    QPushButton *m_index = nullptr;
    QPushButton *m_back = nullptr;
    QString m_file;
    QString m_html;
    QStringList m_anchors;
    QString m_anchor;
    QString m_problem;
};
