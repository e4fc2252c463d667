#include "manager/model/MainFrameLayout.h"

#include <algorithm>
#include <cstdio>

namespace mainframe {

int ThumbColumnsForWidth(int clientWidth) { return clientWidth > 800 ? 7 : 5; }

int LeftColumnWidth(int storedWidth) { return storedWidth > 0 ? storedWidth : 260; }

int TreePaneHeight(int windowHeight) { return std::max((windowHeight - 65) * 3 / 5, 0); }

int LeftSashPosition(int windowHeight, int storedRecentHeight)
{
    return storedRecentHeight > 0 ? -storedRecentHeight : TreePaneHeight(windowHeight);
}

int StoredRecentHeight(int columnHeight, int sashPosition) { return std::max(columnHeight - sashPosition, 0); }

std::string ImageFilesText(int imageFiles)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d  Image Files", imageFiles);
    return buffer;
}

std::string TotalKBText(double totalKB)
{
    // %.2f of a huge double is long: size the buffer by asking first.
    const int n = std::snprintf(nullptr, 0, "%.2f KB total", totalKB);
    std::string text(static_cast<size_t>(std::max(n, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.2f KB total", totalKB);
    return text;
}

}  // namespace mainframe
