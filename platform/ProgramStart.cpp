#include "platform/ProgramStart.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lfplat {

namespace {

int ResultOfErrno(int err)
{
    switch (err) {
    case 0: return kStartOk;
    case ENOENT: return kStartFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG: return kStartPathNotFound;
    case EACCES:
    case EPERM: return kStartAccessDenied;
    case ENOMEM:
    case E2BIG: return kStartOutOfMemory;
    case ENOEXEC: return kStartBadFormat;
    case ETXTBSY: return kStartSharingViolation;
    case ELIBBAD:
    case ELIBACC: return kStartLibraryNotFound;
    default: return kStartNoResources;
    }
}

// Owns the spawn attributes and file actions for one start.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attr);
    }
    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

namespace {

int Start(const std::string& program, const std::vector<std::string>& args, const std::string& workingFolder,
          bool discardOutput)
{
    if (!workingFolder.empty()) {
        struct stat st {};
        if (stat(workingFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return kStartPathNotFound;
    }

    // Everything is prepared before fork: the intermediate child only spawns and reports.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    SpawnSetup setup;
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str());
    if (discardOutput) {
        posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&setup.actions, STDOUT_FILENO, STDERR_FILENO);
    }
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    // The toolkit may block or ignore signals; the new program starts clean.
    posix_spawnattr_setsigmask(&setup.attr, &none);
    posix_spawnattr_setsigdefault(&setup.attr, &all);
    posix_spawnattr_setflags(&setup.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return ResultOfErrno(errno);

    // Spawning from an intermediate child that ends at once hands the program to init,
    // so it never lingers as our zombie and outlives us like any started application.
    const pid_t middle = fork();
    if (middle < 0) {
        const int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        return ResultOfErrno(err);
    }
    if (middle == 0) {
        pid_t program_pid;
        int err = posix_spawn(&program_pid, program.c_str(), &setup.actions, &setup.attr, argv.data(), environ);
        ssize_t ignored = write(report[1], &err, sizeof err);
        (void)ignored;
        _exit(0);
    }
    ::close(report[1]);
    int err = 0;
    ssize_t got;
    while ((got = read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (got != static_cast<ssize_t>(sizeof err))
        return kStartNoResources;
    return ResultOfErrno(err);
}

}  // namespace

int StartProgram(const std::string& program, const std::vector<std::string>& args, const std::string& workingFolder)
{
    return Start(program, args, workingFolder, false);
}

int StartProgramSilently(const std::string& program, const std::vector<std::string>& args)
{
    return Start(program, args, {}, true);
}

const char* StartFailureText(int code, StartedFor startedFor)
{
    switch (code) {
    case 0: return "System Error: The operating system is out of memory or resources.";
    case 2:
        return startedFor == StartedFor::Viewer ? "System Error: Application viewer not found."
                                                : "System Error: Application file not found.";
    case 3: return "System Error: The specified path was not found.";
    case 5: return "System Error: The operating system denied access to the specified file.";
    case 8: return "System Error: There was not enough memory to complete the operation.";
    case 11: return "System Error: The .exe file is invalid (non-Win32\u00ae .exe or error in .exe image).";
    case 26: return "System Error: A sharing violation occurred.";
    case 27: return "System Error: The file name association is incomplete or invalid.";
    case 28: return "System Error: The DDE transaction could not be completed because the request timed out.";
    case 29: return "System Error: The DDE transaction failed.";
    case 30:
        return "System Error: The DDE transaction could not be completed because other DDE transactions were "
               "being processed.";
    case 31: return "System Error: There is no application associated with the given file name extension.";
    case 32: return "System Error: The specified dynamic-link library was not found.";
    default: return nullptr;
    }
}

std::string ExecutableFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "./";
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace lfplat
