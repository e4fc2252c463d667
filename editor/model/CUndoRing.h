#pragma once
// The document's ten undo steps: full copies of the image as it was before each edit.
// Slots below the count are undo steps (the newest at count - 1); the slots at and above
// it hold the redo steps that undoing left behind, until the next edit drops them.

#include <array>
#include <memory>
#include <string>

class CLfImage;

class CUndoRing {
public:
    static constexpr int kSlots = 10;

    CUndoRing();
    ~CUndoRing();
    CUndoRing(const CUndoRing&) = delete;
    CUndoRing& operator=(const CUndoRing&) = delete;

    // Before an edit: keeps a copy of current (an image without pixels is not kept),
    // dropping the oldest step when all ten are taken and every redo step.
    void Submit(const CLfImage* current);
    // Exchanges current with the newest undo step, which becomes a redo step; false (and
    // nothing changes) when there is none.
    bool Undo(std::unique_ptr<CLfImage>& current);
    // Exchanges current with the next redo step; false when there is none.
    bool Redo(std::unique_ptr<CLfImage>& current);
    // Drops every step.
    void Clear();

    int Count() const { return m_count; }
    bool CanUndo() const { return m_count > 0; }
    bool CanRedo() const { return m_count < kSlots && m_slots[static_cast<size_t>(m_count)] != nullptr; }
    // The snapshot in a slot, or null.
    const CLfImage* Slot(int index) const;

    // The Undo command's menu text for a count: "Undo (3)\tCtrl+Z".
    static std::string UndoMenuText(int count);

private:
    std::array<std::unique_ptr<CLfImage>, kSlots> m_slots;
    int m_count = 0;
};
