#pragma once
// Files the programs open by bare name ("qkvex.sess", "qkparam.dat", "LayoutConfig.txt",
// "bitmap8.bmp") live in the folder the program was started in. The folder is captured
// once at start-up so that later changes of the current directory do not move them.

#include <string>

namespace lfplat {

// Records the current directory as the working folder; later calls change nothing.
// Returns the captured folder.
const std::string& CaptureWorkingFolder();
// The captured working folder (captured now if nobody did yet).
const std::string& WorkingFolder();
// The absolute path of a file named by bare name in the working folder.
std::string WorkingPath(const std::string& bareName);

}  // namespace lfplat
