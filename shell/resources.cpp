#include "shell/resources.h"

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
}

} // namespace shell
