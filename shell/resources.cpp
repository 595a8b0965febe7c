#include "shell/resources.h"

#include "help/help.h"

#include <QtGlobal>

// The pictures live in a static library; nothing references them by symbol,
// so they are registered explicitly before the first window needs them.
static void registerShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace shell {

void initResources()
{
    static const bool done = (registerShellResources(), true);
    (void)done;
    // The main window's "Описание Nirel-3" shows the help picture too.
    help::initResources();
}

} // namespace shell
