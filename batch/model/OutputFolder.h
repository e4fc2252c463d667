#pragma once
// The checks every batch job makes of the folder it writes into before it starts.

#include <string>

namespace batch {

// True when both texts name one folder (through links and "..", or byte for byte).
bool SameFolder(const std::string& a, const std::string& b);

// The message that refuses an output folder ("" when it may be used): a relative path
// would put the files wherever the program happens to run.
std::string OutputFolderError(const std::string& folder);

}  // namespace batch
