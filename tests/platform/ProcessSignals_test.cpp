#include "platform/ProcessSignals.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// In a child of its own, starting from the default disposition a program gets from a
// shell: a write past the file size limit fails with EFBIG instead of ending the process.
TEST(ProcessSignals, AWritePastTheFileSizeLimitFailsInsteadOfEndingTheProgram)
{
    lftest::TempDir dir;
    const std::string path = (dir / "big").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_DFL);
        lfplat::IgnoreFileSizeSignal();
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            _exit(2);
        const ssize_t first = ::write(fd, "abcd", 4);
        const ssize_t beyond = ::write(fd, "efgh", 4);
        _exit(first == 4 && beyond < 0 && errno == EFBIG ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
