#include "platform/process.h"

#include <csignal>

namespace process {

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace process
