#pragma once
// The crop tool's rubber-band box. It keeps the box in canvas coordinates (client
// pixels plus the scroll position, at the display scale), remembers the box before
// the last change (so the window can repaint the area it left), converts the box to
// image pixels, tells which handle or edge a point is on, and gives the outline and
// the nine handle squares to draw. It draws nothing itself: the view paints the box
// over its cached picture, so nothing is ever inverted on the screen.
//
// Each corner carries an explicit "set" flag: a corner at (0, 0) is a real corner.

#include "platform/WinTypes.h"

#include <array>

class CSelectionTracker {
public:
    // The displayed image: its size on the screen, the scale from image pixels, and
    // where it starts in canvas coordinates.
    struct Display {
        int32_t width = 0;
        int32_t height = 0;
        float scale = 1.0f;
        POINT origin{};
    };

    // Hit codes of HitTest.
    enum Hit {
        kHitNone = 0,
        kHitTop = 7,
        kHitRight = 8,
        kHitLeft = 9,
        kHitBottom = 10,
        kHitTopLeft = 11,
        kHitTopRight = 12,
        kHitBottomLeft = 13,
        kHitBottomRight = 14,
        kHitInside = 15,
    };

    CSelectionTracker() = default;

    // A box is complete once both corners are set; only a complete box is ordered,
    // hit or drawn.
    bool HasBox() const { return m_bFirstSet && m_bSecondSet; }
    bool FirstSet() const { return m_bFirstSet; }
    bool PrevHasBox() const { return m_bPrevFirstSet && m_bPrevSecondSet; }
    RECT Box() const { return m_rcBox; }
    RECT PrevBox() const { return m_rcPrev; }
    POINT Center() const { return m_center; }
    POINT PrevCenter() const { return m_prevCenter; }
    RECT ImageRect() const { return m_rcImage; }
    POINT Mark() const { return m_mark; }
    int HandleSize() const { return m_nHandle; }

    // Forgets the box (both corners unset).
    void Clear();
    // A new box: the first corner at (x, y), the second not yet set.
    void Begin(int32_t x, int32_t y);
    // Sets the first corner (which = 1) or the second (otherwise), without bounds.
    void SetCorner(int32_t x, int32_t y, int which);
    // As SetCorner, but each coordinate is taken only when it lies on the displayed
    // image (origin .. origin + size, inclusive); otherwise it keeps its value.
    void SetCornerInBounds(const Display& display, int32_t x, int32_t y, int which);
    void SetCornerInBoundsUnordered(const Display& display, int32_t x, int32_t y, int which);
    // Both corners, without bounds; the image rectangle is computed; with mark set
    // the image-space (left, top) is kept as the mark point.
    void SetRect(const Display& display, RECT box, bool mark = false);
    // Both corners, each coordinate under the bound of SetCornerInBounds (the second
    // corner first).
    void MoveResize(const Display& display, RECT box);
    // Keeps the box on the displayed image: each edge outside is moved onto it.
    void ClampTo(const Display& display);

    // The image pixels the box covers, right and bottom exclusive: every pixel whose
    // displayed area meets the box. The exact inverse of the display mapping, in
    // which image pixel x covers canvas origin + x * scale .. origin + (x + 1) * scale.
    RECT ToImageRect(POINT origin, float scale) const;
    // Moves the box to where the same image pixels are shown after a zoom change.
    void Rescale(float newScale, POINT newOrigin, float oldScale, POINT oldOrigin);
    // Hit code of a canvas point: edges, corners, inside, or 0.
    int HitTest(int32_t x, int32_t y) const;

    // ---- Drawing geometry, in client coordinates (canvas minus scroll) -------------
    // The outline's four corners: (left, top), (right - 1, top), (right - 1, bottom - 1),
    // (left, bottom - 1).
    static std::array<POINT, 4> Outline(RECT box, POINT scroll);
    // The nine handle squares (right and bottom exclusive), 2 * handle + 4 on a side.
    static std::array<RECT, 9> Handles(RECT box, POINT centre, int handle, POINT scroll);
    // Everything a drawing of the box with handles touches (for repainting).
    static RECT DrawnArea(RECT box, int handle, POINT scroll);

private:
    void Remember();
    void Finish(bool order);
    void TakeInBounds(const Display& display, int32_t x, int32_t y, int which);

    RECT m_rcImage{};
    RECT m_rcBox{};
    RECT m_rcPrev{};
    POINT m_center{};
    POINT m_prevCenter{};
    int m_nHandle = 2;
    POINT m_mark{};
    bool m_bFirstSet = false;
    bool m_bSecondSet = false;
    bool m_bPrevFirstSet = false;
    bool m_bPrevSecondSet = false;
};
