#pragma once
// The main window's saved size, position and state: ten numbers in one settings value,
// "flags,show,minX,minY,maxX,maxY,left,top,right,bottom" (the first two unsigned), the
// layout files written by earlier versions use. The normal rectangle is the window's
// outer rectangle when it is neither maximised nor minimised; right and bottom are
// exclusive. Pure logic: the window side is CFramePlacementHook.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct PlacementRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct WindowPlacement {
    static constexpr unsigned kRestoreToMaximized = 2;  // flags: maximised when shown again
    static constexpr unsigned kShowNormal = 1;
    static constexpr unsigned kShowMinimized = 2;
    static constexpr unsigned kShowMaximized = 3;
    static constexpr unsigned kShow = 5;

    unsigned flags = 0;
    unsigned showCmd = kShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    bool IsMaximized() const { return showCmd == kShowMaximized; }
    // Every minimising show command (minimised, minimised without activation, forced).
    bool IsMinimized() const { return showCmd == 2 || showCmd == 6 || showCmd == 7 || showCmd == 11; }
    PlacementRect Normal() const { return {left, top, right - left, bottom - top}; }
    void SetNormal(const PlacementRect& r);

    // Valid only with exactly ten numbers in range and a normal rectangle of positive size.
    static std::optional<WindowPlacement> Parse(std::string_view text);
    std::string Format() const;

    // Keeps the rectangle within the primary screen: a side at least as long as the screen
    // is cut to end 10 pixels short of the screen's size measured from its start; when that
    // cut would not leave a proper rectangle smaller than the screen (a start off the left
    // or top edge, or past the middle), the side starts at 0 and spans the screen less 10.
    void ClampToScreen(int screenWidth, int screenHeight);
    // A rectangle that shows on none of the displays (a monitor since removed) moves, with
    // its size, to the top left corner of the first display (the primary one).
    void MoveOntoDisplays(const std::vector<PlacementRect>& displays);
};

// The rectangle moved (and, where it is larger, cut to the area's size) so that it lies
// wholly within area.
PlacementRect FitOnto(PlacementRect rect, const PlacementRect& area);
// A window of that size fitted onto area and centred there.
PlacementRect CentreOn(int width, int height, const PlacementRect& area);
