#include "net/CLayeredSocketSlotTable.h"

#include <algorithm>

int CLayeredSocketSlotTable::Take(CLayeredSocket* socket)
{
    if (m_entries.empty())
        m_entries.assign(kStep, nullptr);
    if (m_count >= Size() - 10 && Size() < kMaxSize)
        m_entries.resize(std::min(Size() + kStep, kMaxSize), nullptr);
    const int size = Size();
    for (int i = 0; i < size; ++i) {
        const int index = (m_next + i) % size;
        if (!m_entries[index]) {
            m_entries[index] = socket;
            ++m_count;
            m_next = (index + 1) % size;
            return index;
        }
    }
    return -1;
}

void CLayeredSocketSlotTable::Free(int index)
{
    if (index < 0 || index >= Size() || !m_entries[index])
        return;
    m_entries[index] = nullptr;
    --m_count;
}

CLayeredSocket* CLayeredSocketSlotTable::At(int index) const
{
    if (index < 0 || index >= Size())
        return nullptr;
    return m_entries[index];
}
