#include "print/model/PickerCards.h"

#include "manager/model/CFolderItem.h"
#include "manager/model/ThumbGrid.h"

#include <algorithm>
#include <climits>

using thumbgrid::kPitchX;
using thumbgrid::kPitchY;
using thumbgrid::kTop;

RECT PickerCards::CardRect(int index)
{
    return thumbgrid::CellRect(index, kColumns);
}

RECT PickerCards::CardRepaintRect(int index)
{
    const RECT card = CardRect(index);
    const int band = (index / 2) * kPitchY;
    return {card.left, band + kTop, card.left + thumbgrid::kCellWidth, band + kPitchY};
}

int PickerCards::ScrollHeight(size_t images)
{
    const long long rows = static_cast<long long>((images + 1) / 2);
    return static_cast<int>(std::min<long long>(rows * kPitchY + kTop, INT_MAX));
}

int PickerCards::ScrollWidth(int clientWidth)
{
    return std::max(clientWidth, kMinScrollWidth);
}

int PickerCards::HitIndex(int x, int y, int scrollX, int scrollY)
{
    const long long across = (static_cast<long long>(x) + scrollX) / kPitchX;
    const long long down = (static_cast<long long>(y) + scrollY - kTop) / kPitchY;
    return static_cast<int>(std::clamp<long long>(across + down * 2, INT_MIN, INT_MAX));
}

PickerCards::Repaint PickerCards::Click(CFolderItem& folder, int index, bool shift, bool ctrl)
{
    auto& images = folder.m_arrImages;
    const int count = static_cast<int>(images.size());
    if (index < 0 || index >= count)
        return Repaint::Card;
    if (shift) {
        int last = -1;
        for (int i = 0; i < count; ++i) {
            if (images[static_cast<size_t>(i)]->m_bMarkedForPrint)
                last = i;
        }
        const int from = last < index ? last + 1 : index;
        const int to = last < index ? index : last - 1;
        for (int i = from; i <= to; ++i)
            images[static_cast<size_t>(i)]->m_bMarkedForPrint = true;
        return Repaint::All;
    }
    if (ctrl) {
        images[static_cast<size_t>(index)]->m_bMarkedForPrint = !images[static_cast<size_t>(index)]->m_bMarkedForPrint;
        return Repaint::Card;
    }
    bool othersLost = false;
    for (int i = 0; i < count; ++i) {
        bool& mark = images[static_cast<size_t>(i)]->m_bMarkedForPrint;
        if (i != index && mark)
            othersLost = true;
        mark = i == index;
    }
    return othersLost ? Repaint::All : Repaint::Card;
}
