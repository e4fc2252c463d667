#pragma once
// Runs a piece of a test as an ordinary user (nobody), in a child process: root reads
// and writes past file modes, so permission cases only show their faults this way.

#include <functional>
#include <grp.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace lftest {

// The exit status of body run as uid/gid 65534, or nullopt when this process is not
// root and cannot change its user (then the caller skips).
inline std::optional<int> RunAsOrdinaryUser(const std::function<int()>& body)
{
    if (geteuid() != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
            _exit(125);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace lftest
