#pragma once
// The arithmetic of the zooming scroll view, free of any window: a picture of a
// logical size (image pixels) shown at a total device size (screen pixels) in a client
// area, scrolled by a device scroll position and centred on an axis where it is
// smaller than the client area. Beside the zoom factor it keeps the reduction scale
// that the image view uses below 100 per cent, the zoom steps that keep one logical
// point at the window's centre, zoom to a rectangle and the mouse zoom band.
//
// A window class owns one and implements Host: the mapping decides, the host applies
// (scroll bars, repaints, the zoom notification).

#include "platform/WinTypes.h"

class ZoomMapping {
public:
    class Host {
    public:
        virtual ~Host() = default;
        // Best-fit view mode: the scroll bars follow a size change only on request.
        virtual bool BestFitViewMode() const = 0;
        // Returns the pending scroll-bar refresh request and clears it.
        virtual bool TakeRefitRequest() = 0;
        // Scroll bars: range and page/line steps in device pixels, the clamped position.
        virtual void ApplyScrollBars(SIZE range, SIZE page, SIZE line, POINT position) = 0;
        virtual void ScrollTo(POINT position) = 0;
        virtual void InvalidateView(bool erase) = 0;
        // Called after every zoom change.
        virtual void NotifyZoom() {}
    };

    // Mouse zoom modes.
    enum { kZoomNone = 0, kZoomBand = 1, kZoomOutClick = 2 };

    ZoomMapping() = default;
    explicit ZoomMapping(Host* host) : m_host(host) {}
    void SetHost(Host* host) { m_host = host; }

    // ---- Sizes and scroll state fed by the window -------------------------------------
    void SetClientSize(SIZE client) { m_client = client; }
    SIZE ClientSize() const { return m_client; }
    // The user moved a scroll bar: the position is clamped to the bars' range.
    void SetScrollPosition(POINT position);
    POINT ScrollPosition() const { return m_scroll; }
    // Largest scroll position per axis (0 on an axis without a scroll bar).
    POINT ScrollLimit() const;
    SIZE LogicalSize() const { return m_logical; }
    SIZE DeviceSize() const { return m_device; }
    SIZE BaseSize() const { return m_base; }
    SIZE PageStep() const { return m_page; }
    SIZE LineStep() const { return m_line; }
    SIZE ScrollRange() const { return m_range; }

    // ---- Mapping --------------------------------------------------------------------
    // The picture's size changed: logical size = device size = base = (cx, cy); the
    // zoom factor is kept but the mapping is 1:1 until the next zoom operation.
    void SetZoomSizes(SIZE logical, SIZE pageLog = {}, SIZE lineLog = {});
    // Where logical (0, 0) lands in the client area: minus the scroll position, or the
    // centring offset on an axis where the picture is smaller than the client area.
    POINT ViewportOrigin() const;
    POINT LogicalToClient(POINT p) const;
    POINT ClientToLogical(POINT p) const;
    POINT ClientToDevice(POINT p) const { return {p.x + m_scroll.x, p.y + m_scroll.y}; }
    // The client area's centre in logical units.
    POINT GetLogicalCenter() const;
    // Scrolls so that the logical point is at the client centre (clamped).
    void CenterOnLogicalPoint(POINT p);
    // Scroll ranges, page and line sizes from the device size; repaint.
    void UpdateViewport();

    // ---- Zoom steps (a null point means the logical point at the client centre) ------
    void DoZoomIn(const POINT* centre, float step);
    void ZoomOut(const POINT* centre, float step);
    void IncreaseFitScale(const POINT* centre, float step);
    void DecreaseFitScale(const POINT* centre, float step);
    void DoZoomRect(RECT rect);
    void ZoomToFit();

    float Zoom() const { return m_fZoom; }
    void SetZoom(float zoom) { m_fZoom = zoom; }
    float Reduce() const { return m_fReduce; }
    void SetReduce(float reduce) { m_fReduce = reduce; }
    bool ScaleChanged() const { return m_bScaleChanged; }
    void SetScaleChanged(bool changed) { m_bScaleChanged = changed; }
    bool KeepZoomOnce() const { return m_bKeepZoomOnce; }
    void SetKeepZoomOnce(bool keep) { m_bKeepZoomOnce = keep; }
    // Total device size set directly (the image view's paint and fit commands).
    void SetDeviceSize(SIZE device) { m_device = device; }

    // ---- Mouse zoom --------------------------------------------------------------------
    int ZoomMode() const { return m_nZoomMode; }
    // True when the mode changed (the window then refreshes its cursor).
    bool SetZoomMode(int mode);
    bool Tracking() const { return m_bTracking; }
    RECT Band() const { return m_rcBand; }
    // Left button down/move/up at a client point; true when the band must be redrawn.
    bool BandDown(POINT client);
    bool BandMove(POINT client);
    void BandUp(POINT client);
    // Right button: stops a band (true when one was being dragged) or leaves the mode.
    bool RightDown();

    static RECT NormalizeRect(RECT rect);
    // Shrinks box to the aspect ratio of size; the leftover goes to margins. A size or
    // box with a zero or negative side leaves the box as it is with no margins.
    static void FitSizeKeepingAspect(SIZE size, SIZE& box, SIZE& margins);

private:
    SIZE Scaled(float factor) const;
    void Changed(POINT centre);

    Host* m_host = nullptr;
    float m_fZoom = 1.0f;
    float m_fReduce = 1.0f;
    bool m_bScaleChanged = false;
    bool m_bKeepZoomOnce = false;
    int m_nZoomMode = kZoomNone;
    bool m_bTracking = false;
    RECT m_rcBand{};
    SIZE m_base{};
    SIZE m_pageLog{};
    SIZE m_lineLog{};
    SIZE m_logical{};
    SIZE m_device{};
    SIZE m_client{};
    SIZE m_range{};  // the device size last given to the scroll bars
    SIZE m_page{};
    SIZE m_line{};
    POINT m_scroll{};
};
