#pragma once
// Help requests. Every request first names the application's help file, then
// asks the help viewer for the contents view or for one numbered topic.
#include <QString>

class QPushButton;
class QWidget;

namespace help {

constexpr int kFinder = 11; // help command: contents and index

// Contexts of the windows' "Помощь" buttons.
constexpr int kExpressContext = 0;
constexpr int kDeepContext = 1;
constexpr int kDraftContext = 2;
constexpr int kCardContext = 5;
constexpr int kEditorContext = 11;

void setHelpFile(const QString &shownPath);
QString helpFile();

// The two requests as the viewer receives them.
void helpCommand(int command, int data);
void helpContext(int context);

// Registers the program's help picture (":/icons/help.png"); safe to call
// repeatedly.
void initResources();

// The "Помощь" button of a window, with the program's help picture.
QPushButton *makeButton(QWidget *parent, const char *name, const QString &hint = {});

// What the windows call: the help file is set anew, then the request made.
void showContents();
void showContext(int context);

} // namespace help
