#include "platform/process.h"

#include <csignal>

namespace platform::process {

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace platform::process
