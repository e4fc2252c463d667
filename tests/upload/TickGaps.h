#pragma once
// The ticks of a thread's timer: the largest gap between two of them, from Begin (which
// counts as the first) to the end of the measure, is the longest time the thread stood
// still. A gap check, not a measure of speed: the timer's tick is 20 ms.

#include <algorithm>
#include <chrono>
#include <iostream>
#include <vector>

namespace uploadtest {

class TickGaps {
public:
    using Clock = std::chrono::steady_clock;

    void Begin() { m_ticks.assign(1, Clock::now()); }
    void Tick() { m_ticks.push_back(Clock::now()); }
    size_t Count() const { return m_ticks.size(); }
    // Ends the measure now: a thread that stands still at the end counts too.
    Clock::duration Longest()
    {
        Tick();
        Clock::duration longest{};
        for (size_t i = 1; i < m_ticks.size(); ++i)
            longest = std::max(longest, m_ticks[i] - m_ticks[i - 1]);
        using std::chrono::duration_cast, std::chrono::milliseconds;
        std::cout << m_ticks.size() << " timer events over "
                  << duration_cast<milliseconds>(m_ticks.back() - m_ticks.front()).count()
                  << " ms; the longest gap between two: " << duration_cast<milliseconds>(longest).count() << " ms\n";
        return longest;
    }

private:
    std::vector<Clock::time_point> m_ticks;
};

}  // namespace uploadtest
