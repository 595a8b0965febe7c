#pragma once
// Process-wide settings made once at start-up, before any window.

namespace platform::process {

// A write past the file-size limit (ulimit -f) would otherwise end the
// program by SIGXFSZ, unsaved work and all; ignored, the write fails and
// the save reports it like any other failed save.
void ignoreFileSizeSignal();

} // namespace platform::process
