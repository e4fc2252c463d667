#pragma once
// What the editor's image view decides, free of any window: best fit and the zoom
// commands with their snapping and limits, full size and the fit commands, where the
// image stands in the client area, drag scrolling, the crop tool with its box, the
// crop itself and the zoom it restores afterwards, and stepping through the folder.
// The window (CPixoroView) feeds it sizes, mouse events and commands and carries out
// what it asks through Host; its paint shows the visible area at ActiveScale().

#include "editor/model/CSelectionTracker.h"
#include "editor/model/ZoomMapping.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <string>

class CLfImage;

// The application's and the document's fields that the view reads and writes.
struct ViewLinks {
    int& viewMode;           // 1 best fit
    int& fitMode;            // 50 full size, 51 fitted (width or best fit), 52 fitted to the height
    bool& steppedImage;      // the image came through Next or Previous
    bool& bestFitSuspended;  // best fit left for a zoom or an edit, to return on a step
    bool& imageLoaded;       // a new image still to be fitted
    bool& refitOnLoad;       // the scroll bars follow the next size change in best fit
    bool& newLayout;         // the document asks for the view's layout to be made
    bool& sizeChanged;       // the image's size changed: sizes and picture anew
};

enum class ViewCursor { Arrow, Hand, Crop, SizeNS, SizeWE, SizeNESW, SizeNWSE, SizeAll, Cross };

class ImageViewController : private ZoomMapping::Host {
public:
    static constexpr int kViewBestFit = 1;
    static constexpr int kFitNone = 50;
    static constexpr int kFitWidth = 51;
    static constexpr int kFitHeight = 52;

    // Mouse tools.
    enum Tool { kToolScroll = 0, kToolCropArmed = 1, kToolCropDrawing = 4, kToolCropReady = 6 };

    static constexpr float kZoomStep = 0.2f;
    static constexpr float kMinScale = 0.2f;
    static constexpr float kMaxZoom = 3.0f;

    class Host {
    public:
        virtual ~Host() = default;
        // Window.
        virtual void ApplyScrollBars(SIZE range, SIZE page, SIZE line, POINT position) = 0;
        virtual void ScrollTo(POINT position) = 0;
        virtual void InvalidateView(bool erase) = 0;
        virtual void Beep() = 0;
        virtual void SetViewCursor(ViewCursor cursor) = 0;
        virtual void SetStatusText(const std::string& text) = 0;
        virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
        // Document.
        virtual const CLfImage* Image() const = 0;
        virtual void UpdateStatus() = 0;
        // Crops the current image to the rectangle (image pixels, right and bottom
        // exclusive); only a crop that worked is put on the undo ring. Then the views
        // are updated with the layout hint.
        virtual bool CropImage(RECT rect) = 0;
        virtual int CurrentFile() const = 0;
        virtual int FileCount() const = 0;
        // Loads the folder entry; false leaves the document as it was.
        virtual bool StepToFile(int index) = 0;
    };

    // zoom: the scrolling view's arithmetic, which this controller drives (and whose
    // host it becomes).
    ImageViewController(Host& host, ViewLinks links, ZoomMapping& zoom);

    ZoomMapping& Zoom() { return m_zoom; }
    const ZoomMapping& Zoom() const { return m_zoom; }
    const CSelectionTracker& Tracker() const { return m_tracker; }
    int ToolMode() const { return m_nTool; }
    bool UserZoomed() const { return m_bUserZoomed; }
    bool HideCropBox() const { return m_bHideCropBox; }
    bool WiderThanView() const { return m_bWiderThanView; }
    bool TallerThanView() const { return m_bTallerThanView; }
    // Changes whenever the shown picture must be made again (image, size or scale).
    uint64_t PictureGeneration() const { return m_nPictureGeneration; }

    // ---- Layout ------------------------------------------------------------------------
    // The scale the image is shown at: the zoom factor above 100 per cent, else the
    // reduction scale.
    float ActiveScale() const;
    SIZE DisplaySize() const { return m_szDisplay; }
    // Where the displayed image starts in the client area (the centring offset on an
    // axis where it is smaller than the client area, else 0).
    POINT ImageOrigin() const { return m_imageOrigin; }
    void ComputeImageOrigin();
    // The display pixels the client area shows (display coordinates, may reach
    // outside the displayed image where the background shows).
    RECT VisibleDisplayArea() const;
    // Canvas minus client: the scroll position on the axes that scroll.
    POINT CanvasOffset() const { return Canvas({0, 0}); }
    // Brings sizes, scales and the picture generation up to date before a paint; true
    // when there is an image to show.
    bool PreparePaint();

    // ---- Window events -----------------------------------------------------------------
    void SetClientSize(SIZE client);
    void OnSize(SIZE client);
    // The user moved a scroll bar.
    void OnScrolled(POINT position);
    // Hints: 1001 a new image, anything else a layout change.
    void OnUpdate(int hint);

    // ---- Commands ----------------------------------------------------------------------
    void OnZoomIn();
    void OnZoomOut();
    void OnFullSize();
    void OnBestFit();
    void OnFitWidth();
    void OnFitHeight();
    void OnCrop();
    void OnScrollTool();
    void OnNext();
    void OnPrevious();
    // The Crop command's tick: in the crop tools; outside them the status text is
    // emptied.
    bool UpdateCropTick();
    // Where a printed image goes on a page of the given size (device pixels): as large
    // as fits with its aspect ratio, centred. Empty for an empty image or page.
    static RECT PrintPlacement(SIZE image, SIZE page);
    // Operations the document uses.
    void FitToWindow() { BestFit(); }
    void ResetZoom();
    void ZoomInAndRepaint();
    void BestFit();
    // Leaving best fit: the reduction onto the 0.2 grid (down to zoom in, up to zoom out).
    float SnapToZoomGrid(bool zoomIn);

    // ---- Mouse (client coordinates) --------------------------------------------------
    void OnLButtonDown(POINT client);
    void OnMouseMove(POINT client, bool leftDown);
    void OnLButtonUp(POINT client);
    void OnLButtonDblClk(POINT client);

private:
    // ZoomMapping::Host
    bool BestFitViewMode() const override { return m_links.viewMode == kViewBestFit; }
    bool TakeRefitRequest() override;
    void ApplyScrollBars(SIZE range, SIZE page, SIZE line, POINT position) override;
    void ScrollTo(POINT position) override { m_host.ScrollTo(position); }
    void InvalidateView(bool erase) override { m_host.InvalidateView(erase); }

    void SetTool(int tool);
    bool Zooming(bool in);
    void FitAxis(bool width);
    void Step(int direction, const char* caption);
    void ApplyCrop();
    // The canvas point of a client point (plus the scroll position).
    POINT Canvas(POINT client) const;
    bool OnImage(POINT client) const;
    CSelectionTracker::Display TrackerDisplay() const;
    void TrackCropBox(POINT canvas);
    void DragScroll(POINT client);
    // The reduction becomes the zoom factor, never below the smallest scale.
    void SettleReduction();
    void RepaintBox();

    Host& m_host;
    ViewLinks m_links;
    ZoomMapping& m_zoom;
    CSelectionTracker m_tracker;

    POINT m_pressPoint{};
    POINT m_releasePoint{};
    int m_nTool = kToolScroll;
    bool m_bUserZoomed = false;
    bool m_bZoomLocked = false;
    SIZE m_szDisplay{};
    POINT m_imageOrigin{};
    POINT m_dragApplied{};
    POINT m_dragScrollStart{};
    POINT m_dragMouseStart{};
    bool m_bDragging = false;
    int m_nLastHit = 0;
    int m_nDragHit = 0;
    POINT m_moveAnchor{};
    bool m_bWiderThanView = false;
    bool m_bTallerThanView = false;
    bool m_bHideCropBox = false;
    bool m_bHasPicture = false;
    bool m_bCropTicked = false;
    uint64_t m_nPictureGeneration = 0;
};
