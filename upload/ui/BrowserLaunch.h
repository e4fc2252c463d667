#pragma once
// Opening an address in the user's browser without the address being written anywhere:
// an inbox address carries the account's password. The browser is started directly (no
// shell, no toolkit helper that logs the address when it fails), its own output goes
// nowhere, and a failure is told by its start result alone.

#include <string>
#include <vector>

namespace upload {

// The program (a full path) and its arguments that open url: the first command of
// browserList that is found, else xdg-open. browserList is the BROWSER variable's form:
// commands separated by ':', words by blanks, "%s" standing for the address (which
// otherwise follows the command's words). Programs without a '/' are looked up in the
// folders of searchPath (PATH's form). Empty when no program is found.
std::vector<std::string> BrowserCommand(const std::string& url, const char* browserList, const char* searchPath);

// Starts the browser on url with the BROWSER and PATH of the environment; the result
// in lfplat's start numbering (above 32 is success, 2 when no browser is found).
int OpenInBrowser(const std::string& url);

}  // namespace upload
