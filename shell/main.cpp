#include "platform/prompter.h"
#include "shell/startup.h"
#include "shell/workfolder.h"

int main(int argc, char *argv[])
{
    NirelApplication app(argc, argv);
    // From the desktop menu, tools/run.sh or a shell: the program runs in
    // its working folder, filled on the first start.
    if (const QString problem = shell::workfolder::enter(); !problem.isEmpty())
        platform::ui::showMessage(nullptr, problem);
    return shell::run(app);
}
