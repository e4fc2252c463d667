#pragma once
// The table of a thread's sockets: a socket's slot index finds it again when one of
// its events comes back from the event loop. It starts at 512 entries, grows by 512
// whenever the used count reaches the size less 10 (up to 48126 entries) and never
// shrinks; free entries are found by probing on from the last slot taken.

#include <vector>

class CLayeredSocket;

class CLayeredSocketSlotTable {
public:
    static constexpr int kStep = 512;
    static constexpr int kMaxSize = 48126;

    // The socket's slot index, or -1 when every entry is in use.
    int Take(CLayeredSocket* socket);
    void Free(int index);
    // The socket at index, or null (also for an index out of range).
    CLayeredSocket* At(int index) const;

    int Size() const { return static_cast<int>(m_entries.size()); }
    int Count() const { return m_count; }

private:
    std::vector<CLayeredSocket*> m_entries;
    int m_next = 0;
    int m_count = 0;
};
