#include "editor/model/CUndoRing.h"

#include "image/CLfImage.h"

#include <utility>

CUndoRing::CUndoRing() = default;
CUndoRing::~CUndoRing() = default;

void CUndoRing::Submit(const CLfImage* current)
{
    if (m_count == kSlots) {
        for (int i = 1; i < kSlots; ++i)
            m_slots[static_cast<size_t>(i - 1)] = std::move(m_slots[static_cast<size_t>(i)]);
        m_count = kSlots - 1;
    }
    for (int i = m_count; i < kSlots; ++i)
        m_slots[static_cast<size_t>(i)].reset();
    if (current && current->IsValid()) {
        m_slots[static_cast<size_t>(m_count)] = std::make_unique<CLfImage>(*current, true, true, true);
        ++m_count;
    }
}

bool CUndoRing::Undo(std::unique_ptr<CLfImage>& current)
{
    if (m_count == 0 || !m_slots[static_cast<size_t>(m_count - 1)])
        return false;
    --m_count;
    std::swap(current, m_slots[static_cast<size_t>(m_count)]);
    return true;
}

bool CUndoRing::Redo(std::unique_ptr<CLfImage>& current)
{
    if (!CanRedo())
        return false;
    std::swap(current, m_slots[static_cast<size_t>(m_count)]);
    ++m_count;
    return true;
}

void CUndoRing::Clear()
{
    for (auto& slot : m_slots)
        slot.reset();
    m_count = 0;
}

const CLfImage* CUndoRing::Slot(int index) const
{
    if (index < 0 || index >= kSlots)
        return nullptr;
    return m_slots[static_cast<size_t>(index)].get();
}

std::string CUndoRing::UndoMenuText(int count) { return "Undo (" + std::to_string(count) + ")\tCtrl+Z"; }
