#include "print/model/PrintFrameGeometry.h"

RECT PrintFrameGeometry::Placement(int screenWidth, int screenHeight)
{
    if (screenWidth < 850)
        return {1, 1, 1 + screenWidth - 10, 1 + screenHeight - 30};
    return {125, 100, 125 + screenWidth - 250, 100 + screenHeight - 200};
}

SIZE PrintFrameGeometry::LimitDraggedSize(int width, int height)
{
    return {width < kMinWidth ? kMinWidth : width, height < kMinHeight ? kRaisedHeight : height};
}

PrintColumns PrintFrameGeometry::Columns(int clientWidth)
{
    const int width = clientWidth < 600 ? 620 : clientWidth;
    return {230, width - 370, 120};
}
