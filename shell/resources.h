#pragma once

namespace shell {

// Registers the program's pictures (icons, splash); safe to call repeatedly.
void initResources();

} // namespace shell
