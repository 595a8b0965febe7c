#include "help/help.h"

#include "help/helpviewer.h"
#include "platform/controls.h"
#include "platform/paths.h"

// The help picture lives in a static library; nothing references it by
// symbol, so it is registered explicitly before the first button needs it.
static void registerHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace help {

void initResources()
{
    static const bool done = (registerHelpResources(), true);
    (void)done;
}

namespace {
// The help file of the topics, as last shown.
QString &shownHelpFile()
{
    static QString file;
    return file;
}
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &hint)
{
    initResources();
    return platform::ui::makeButton(parent, name, QStringLiteral("Помощь"), hint,
                          QIcon(QStringLiteral(":/icons/help.png")));
}

void setHelpFile(const QString &shownPath)
{
    shownHelpFile() = shownPath;
}

QString helpFile()
{
    return shownHelpFile();
}

void helpCommand(int command, int data)
{
    HelpViewer *viewer = HelpViewer::open();
    if (command == kFinder)
        viewer->showFinder(shownHelpFile());
    else
        viewer->showTopic(shownHelpFile(), data);
}

void helpContext(int context)
{
    HelpViewer::open()->showTopic(shownHelpFile(), context);
}

void showContents()
{
    setHelpFile(platform::paths::kHelpFile);
    helpCommand(kFinder, 0);
}

void showContext(int context)
{
    setHelpFile(platform::paths::kHelpFile);
    helpContext(context);
}

} // namespace help
