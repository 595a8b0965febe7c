#pragma once
// The one door through which the program shows message boxes, asks
// questions and runs file dialogs and modal windows. The desktop build uses
// the real widgets; tests install a scripted prompter that answers at once.
#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace platform::ui {

struct FileRequest {
    QString title;
    QString fileName;      // proposed name
    QString filter;        // written "description|*.ext|description|*.ext"
    QString defaultSuffix; // without the dot
    QString folder = {};   // where the dialog starts; empty: where it likes
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Message texts are shown as plain text: no markup, no links.
    // A simple message box with an OK button (no icon).
    virtual void message(QWidget *parent, const QString &text) = 0;
    // A message dialog with an icon and a set of buttons; returns the answer.
    // Enter presses defaultButton; without one, the box picks its own
    // (Yes, OK or Save before the others).
    virtual QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString openFileName(QWidget *parent, const FileRequest &request) = 0;
    virtual QString saveFileName(QWidget *parent, const FileRequest &request) = 0;
    // Runs a modal window and returns its result code.
    virtual int exec(QDialog *dialog) = 0;
};

Prompter &prompter();
// The real boxes and dialogs, whatever prompter is installed.
Prompter &desktopPrompter();
// Installs p (not owned); nullptr restores the desktop prompter.
void setPrompter(Prompter *p);

// Shortcuts used throughout the program.
inline void showMessage(QWidget *parent, const QString &text) { prompter().message(parent, text); }
inline void inform(QWidget *parent, const QString &text)
{
    prompter().ask(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

// "текстовый файл|*.txt" -> "текстовый файл (*.txt)"; a description that
// already ends in its masks keeps them once.
QString qtFilter(const QString &pipeFilter);

// Titles of the message dialogs, by icon.
QString titleFor(QMessageBox::Icon icon);

} // namespace platform::ui
