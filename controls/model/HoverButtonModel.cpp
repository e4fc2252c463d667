#include "controls/model/HoverButtonModel.h"

HoverButtonModel::HoverButtonModel(COLORREF faceColor, COLORREF textColor) : m_face(faceColor), m_text(textColor)
{
    ResetColors();
}

void HoverButtonModel::ResetColors()
{
    for (std::size_t i = 0; i < m_colors.size(); ++i)
        m_colors[i] = (i % 2 == 0) ? m_face : m_text;
}

int HoverButtonModel::SetStateColor(int index, COLORREF color)
{
    if (index < 0 || index > kColorForeFocus)
        return kHoverBadColorIndex;
    m_colors[static_cast<std::size_t>(index)] = color;
    return kHoverOk;
}

int HoverButtonModel::GetStateColor(int index, COLORREF& color) const
{
    if (index < 0 || index > kColorForeFocus)
        return kHoverBadColorIndex;
    color = m_colors[static_cast<std::size_t>(index)];
    return kHoverOk;
}

int HoverButtonModel::SetImageAlign(int align)
{
    if (align < 0 || align > kAlignImageRight)
        return kHoverBadAlignment;
    m_align = align;
    return kHoverOk;
}

COLORREF HoverButtonModel::BackgroundColor(const HoverDrawState& state) const
{
    if (state.hovering || state.pressed)
        return m_colors[kColorBackIn];
    if (state.focused)
        return m_colors[kColorBackFocus];
    return m_colors[kColorBackOut];
}

COLORREF HoverButtonModel::CaptionColor(const HoverDrawState& state) const
{
    return (state.hovering || state.pressed) ? m_colors[kColorForeIn] : m_colors[kColorForeOut];
}

COLORREF HoverButtonModel::CaptionBackground(const HoverDrawState& state) const
{
    return (state.hovering || state.pressed) ? m_colors[kColorBackIn] : m_colors[kColorBackOut];
}

bool ShowsInImage(const HoverDrawState& state)
{
    if (state.checkBoxMode)
        return state.pressed || state.ticked;
    return state.pressed || state.hovering;
}

POINT PlaceHoverImage(const RECT& item, RECT& caption, SIZE image, bool hasCaption, int align, bool pressShift)
{
    const int itemWidth = item.right - item.left;
    const int itemHeight = item.bottom - item.top;
    const int centredX = item.left + (itemWidth - image.cx) / 2;
    const int centredY = item.top + (itemHeight - image.cy) / 2;
    POINT at{item.left, item.top};
    switch (align) {
    case kAlignImageLeft:
    default:
        at.y = centredY;
        if (hasCaption) {
            at.x = item.left + 3;
            caption.left += image.cx + 3;
        } else {
            at.x = centredX;
        }
        break;
    case kAlignImageTop:
        at.x = centredX;
        if (hasCaption) {
            at.y = item.top + 3;
            caption.top += image.cy;
        } else {
            at.y = centredY;
        }
        break;
    case kAlignImageRight:
        if (hasCaption) {
            const int oldLeft = caption.left;
            caption.left = 3;
            caption.right -= oldLeft + image.cx + 3;
            at.x = item.right - 3 - image.cx;
            at.y = centredY;
        } else {
            at.x = centredX;
        }
        break;
    }
    if (pressShift) {
        ++at.x;
        ++at.y;
    }
    return at;
}

RECT CentreCaption(const RECT& caption, SIZE measured)
{
    const int dx = ((caption.right - caption.left) - measured.cx) / 2;
    const int dy = ((caption.bottom - caption.top) - measured.cy) / 2;
    return RECT{caption.left + dx, caption.top + dy, caption.left + dx + measured.cx, caption.top + dy + measured.cy};
}
