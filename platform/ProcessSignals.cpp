#include "platform/ProcessSignals.h"

#include <csignal>

namespace lfplat {

void IgnoreFileSizeSignal()
{
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGXFSZ, &action, nullptr);
}

}  // namespace lfplat
