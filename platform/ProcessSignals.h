#pragma once
// Signal dispositions every program of the suite sets first thing in main.

namespace lfplat {

// A write past the user's file size limit (ulimit -f) raises SIGXFSZ, whose default ends
// the process at once: an unsaved edit, the session and the settings would be lost
// without a word. Ignored, the write fails with EFBIG instead and the program reports it
// like a full disk. Programs the suite starts get the signal's default back.
void IgnoreFileSizeSignal();

}  // namespace lfplat
