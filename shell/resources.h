#pragma once

namespace shell {

// Registers the program's pictures (icons, splash, and the help picture of
// help/); safe to call repeatedly.
void initResources();

} // namespace shell
