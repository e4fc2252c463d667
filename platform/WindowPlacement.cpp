#include "platform/WindowPlacement.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

template <class T> bool ParseField(std::string_view field, T& out)
{
    if (field.empty())
        return false;
    const char* end = field.data() + field.size();
    auto [ptr, ec] = std::from_chars(field.data(), end, out);
    return ec == std::errc() && ptr == end;
}

// One side of the rectangle against the screen's length on that axis.
void ClampSide(int& start, int& end, int screen)
{
    const long long length = static_cast<long long>(end) - start;
    if (length < screen)
        return;
    const long long cut = static_cast<long long>(screen) - start - 10;
    if (start >= 0 && cut > start && cut - start < screen) {
        end = static_cast<int>(cut);
        return;
    }
    start = 0;
    end = screen - 10;
}

bool Intersects(const PlacementRect& a, const PlacementRect& b)
{
    const long long aRight = static_cast<long long>(a.x) + a.width, bRight = static_cast<long long>(b.x) + b.width;
    const long long aBottom = static_cast<long long>(a.y) + a.height, bBottom = static_cast<long long>(b.y) + b.height;
    return a.x < bRight && b.x < aRight && a.y < bBottom && b.y < aBottom;
}

}  // namespace

void WindowPlacement::SetNormal(const PlacementRect& r)
{
    left = r.x;
    top = r.y;
    right = r.x + r.width;
    bottom = r.y + r.height;
}

std::optional<WindowPlacement> WindowPlacement::Parse(std::string_view text)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (fields.size() != 10)
        return std::nullopt;
    WindowPlacement p;
    int* ints[] = {&p.minX, &p.minY, &p.maxX, &p.maxY, &p.left, &p.top, &p.right, &p.bottom};
    if (!ParseField(fields[0], p.flags) || !ParseField(fields[1], p.showCmd))
        return std::nullopt;
    for (size_t i = 0; i < 8; ++i)
        if (!ParseField(fields[i + 2], *ints[i]))
            return std::nullopt;
    // No desktop is a million pixels wide; beyond that the arithmetic below could overflow.
    constexpr int kFar = 1 << 20;
    for (int v : {p.left, p.top, p.right, p.bottom})
        if (v < -kFar || v > kFar)
            return std::nullopt;
    // A window of no size (or a negative one) cannot be restored sensibly.
    if (p.right <= p.left || p.bottom <= p.top)
        return std::nullopt;
    return p;
}

std::string WindowPlacement::Format() const
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", flags, showCmd, minX, minY, maxX, maxY,
                  left, top, right, bottom);
    return buffer;
}

void WindowPlacement::ClampToScreen(int screenWidth, int screenHeight)
{
    if (screenWidth > 10)
        ClampSide(left, right, screenWidth);
    if (screenHeight > 10)
        ClampSide(top, bottom, screenHeight);
}

void WindowPlacement::MoveOntoDisplays(const std::vector<PlacementRect>& displays)
{
    if (displays.empty())
        return;
    const PlacementRect normal = Normal();
    for (const PlacementRect& d : displays)
        if (Intersects(normal, d))
            return;
    SetNormal({displays.front().x, displays.front().y, normal.width, normal.height});
}

PlacementRect FitOnto(PlacementRect rect, const PlacementRect& area)
{
    auto fit = [](int& start, int& length, int areaStart, int areaLength) {
        length = std::min(length, areaLength);
        start = std::clamp(start, areaStart, areaStart + areaLength - length);
    };
    fit(rect.x, rect.width, area.x, area.width);
    fit(rect.y, rect.height, area.y, area.height);
    return rect;
}

PlacementRect CentreOn(int width, int height, const PlacementRect& area)
{
    const int w = std::min(width, area.width), h = std::min(height, area.height);
    return {area.x + (area.width - w) / 2, area.y + (area.height - h) / 2, w, h};
}
