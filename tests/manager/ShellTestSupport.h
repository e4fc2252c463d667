#pragma once
// Pumping for window tests that wait for a window to be destroyed: destruction is
// deferred to idle time, which the plain pump does not always reach.

#include "tests/support/GuiTest.h"

namespace lftest {

inline bool PumpWithIdleUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
{
    return PumpUntil(
        [&] {
            wxTheApp->ProcessIdle();
            return done();
        },
        timeout);
}

}  // namespace lftest
