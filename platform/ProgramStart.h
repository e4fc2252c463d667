#pragma once
// Starting another program of the suite (the manager starts the editor), reporting the
// outcome in the numbering the user-visible messages are keyed by: above 32 is success,
// 32 or less is the kind of failure.

#include <string>
#include <vector>

namespace lfplat {

enum StartResult : int {
    kStartNoResources = 0,
    kStartFileNotFound = 2,
    kStartPathNotFound = 3,
    kStartAccessDenied = 5,
    kStartOutOfMemory = 8,
    kStartBadFormat = 11,
    kStartSharingViolation = 26,
    kStartLibraryNotFound = 32,
    kStartOk = 33,
};

// Starts the program with each argument passed as exactly one argument, whatever it holds
// (no shell, no quoting). The program runs in its own session, detached from the caller:
// it is not the caller's child, so nobody has to wait for it. workingFolder, when not
// empty, becomes its current folder.
int StartProgram(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workingFolder = {});
// The same, with /dev/null for the program's output and errors: a program handed a secret
// in its arguments may repeat them there.
int StartProgramSilently(const std::string& program, const std::vector<std::string>& args);

// What was started: the texts for a missing program differ ("Application viewer not
// found." for the editor, "Application file not found." for a page in the browser).
enum class StartedFor { Viewer, File };

// The "System Error: ..." message for a failed start, or null when the code has none.
const char* StartFailureText(int code, StartedFor startedFor = StartedFor::Viewer);

// The folder of the running executable, ending in '/': the programs of the suite lie side
// by side there.
std::string ExecutableFolder();

}  // namespace lfplat
