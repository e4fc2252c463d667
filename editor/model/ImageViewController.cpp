#include "editor/model/ImageViewController.h"

#include "image/CLfImage.h"

#include <algorithm>
#include <cmath>

namespace {

// Zoom values are sums of float steps (1.0 + 0.2 + ... is not exactly 1.6): limits
// and the crop's zoom restore compare with this much slack.
constexpr float kScaleSlack = 1e-4f;

constexpr const char* kCropHint = "Drag cursor over image and double click box to crop.";
constexpr const char* kNoMoreFiles = "No more files to display.";

int32_t Scaled(int32_t size, float scale)
{
    return std::max(static_cast<int32_t>(float(size) * scale), 1);
}

}  // namespace

ImageViewController::ImageViewController(Host& host, ViewLinks links, ZoomMapping& zoom)
    : m_host(host), m_links(links), m_zoom(zoom)
{
    m_zoom.SetHost(this);
}

RECT ImageViewController::PrintPlacement(SIZE image, SIZE page)
{
    if (image.cx <= 0 || image.cy <= 0 || page.cx <= 0 || page.cy <= 0)
        return {};
    // The page's leftover after fitting the image's proportions is the origin; the
    // image is then drawn back by half the free space, which centres it.
    SIZE box = page;
    SIZE margins;
    ZoomMapping::FitSizeKeepingAspect(image, box, margins);
    const float s = std::min(float(page.cx) / float(image.cx), float(page.cy) / float(image.cy));
    const int32_t w = static_cast<int32_t>(float(image.cx) * s);
    const int32_t h = static_cast<int32_t>(float(image.cy) * s);
    const int32_t left = (page.cx - w) / 2;
    const int32_t top = (page.cy - h) / 2;
    const int32_t x = margins.cx - left;
    const int32_t y = margins.cy - top;
    return {x, y, x + w, y + h};
}

bool ImageViewController::TakeRefitRequest()
{
    const bool requested = m_links.refitOnLoad;
    m_links.refitOnLoad = false;
    return requested;
}

void ImageViewController::ApplyScrollBars(SIZE range, SIZE page, SIZE line, POINT position)
{
    m_host.ApplyScrollBars(range, page, line, position);
}

// ---- Layout ----------------------------------------------------------------------------

float ImageViewController::ActiveScale() const
{
    const float zoom = m_zoom.Zoom();
    const float reduce = m_zoom.Reduce();
    const float scale = (zoom >= 1.0f && reduce >= 1.0f) ? zoom : reduce;
    return scale > 0.0f ? scale : kMinScale;
}

void ImageViewController::ComputeImageOrigin()
{
    const CLfImage* image = m_host.Image();
    if (!image || !image->IsValid())
        return;
    const float scale = ActiveScale();
    m_szDisplay = {Scaled(image->GetWidth(), scale), Scaled(image->GetHeight(), scale)};
    const SIZE client = m_zoom.ClientSize();
    m_bWiderThanView = m_szDisplay.cx >= client.cx;
    m_bTallerThanView = m_szDisplay.cy >= client.cy;
    m_imageOrigin.x = m_bWiderThanView ? 0 : (client.cx - m_szDisplay.cx) / 2;
    m_imageOrigin.y = m_bTallerThanView ? 0 : (client.cy - m_szDisplay.cy) / 2;
}

RECT ImageViewController::VisibleDisplayArea() const
{
    const SIZE client = m_zoom.ClientSize();
    const POINT scroll = m_zoom.ScrollPosition();
    // An axis on which the image is centred does not scroll, whatever the bars say.
    const int32_t x = (m_bWiderThanView ? scroll.x : 0) - m_imageOrigin.x;
    const int32_t y = (m_bTallerThanView ? scroll.y : 0) - m_imageOrigin.y;
    return {x, y, x + client.cx, y + client.cy};
}

POINT ImageViewController::Canvas(POINT client) const
{
    const POINT scroll = m_zoom.ScrollPosition();
    return {client.x + (m_bWiderThanView ? std::max(scroll.x, 0) : 0),
            client.y + (m_bTallerThanView ? std::max(scroll.y, 0) : 0)};
}

bool ImageViewController::OnImage(POINT client) const
{
    const POINT p = Canvas(client);
    const int32_t dx = p.x - m_imageOrigin.x;
    const int32_t dy = p.y - m_imageOrigin.y;
    return dx >= 0 && dy >= 0 && dx < m_szDisplay.cx && dy < m_szDisplay.cy;
}

CSelectionTracker::Display ImageViewController::TrackerDisplay() const
{
    return {m_szDisplay.cx, m_szDisplay.cy, ActiveScale(), m_imageOrigin};
}

void ImageViewController::SettleReduction()
{
    // Best fit may go below the smallest zoom step, so that a very large image still
    // fits; the zoom commands stop at it.
    if (m_links.viewMode != kViewBestFit && m_zoom.Reduce() <= kMinScale + kScaleSlack)
        m_zoom.SetReduce(kMinScale);
    m_zoom.SetZoom(m_zoom.Reduce());
}

bool ImageViewController::PreparePaint()
{
    const CLfImage* image = m_host.Image();
    if (!image || !image->IsValid())
        return false;
    m_host.UpdateStatus();
    ComputeImageOrigin();
    if (m_links.newLayout) {
        if (!m_bHasPicture || m_links.sizeChanged) {
            m_zoom.SetZoomSizes({image->GetWidth(), image->GetHeight()});
            if (m_links.viewMode == kViewBestFit) {
                BestFit();
                m_zoom.SetScaleChanged(false);
            }
            m_bHasPicture = true;
            ++m_nPictureGeneration;
            m_links.sizeChanged = false;
            // A reduced view stays reduced; anything else starts again at 100 per cent.
            if (m_zoom.Reduce() < 1.0f) {
                SettleReduction();
            } else {
                m_zoom.SetZoom(1.0f);
                m_zoom.SetReduce(1.0f);
            }
            if (m_links.imageLoaded) {
                if (m_links.fitMode == kFitHeight)
                    OnFitHeight();
                else if (m_links.fitMode == kFitWidth)
                    OnFitWidth();
                m_links.imageLoaded = false;
            }
        }
        if (m_zoom.ScaleChanged()) {
            m_zoom.SetScaleChanged(false);
            if (m_links.viewMode == kViewBestFit) {
                BestFit();
                m_zoom.SetScaleChanged(false);
            }
            ++m_nPictureGeneration;
            m_links.sizeChanged = false;
            SettleReduction();
            m_host.UpdateStatus();
        }
    }
    ComputeImageOrigin();
    return true;
}

// ---- Window events ---------------------------------------------------------------------

void ImageViewController::SetClientSize(SIZE client)
{
    m_zoom.SetClientSize(client);
    m_zoom.SetScrollPosition(m_zoom.ScrollPosition());
}

void ImageViewController::OnSize(SIZE client)
{
    SetClientSize(client);
    const CLfImage* image = m_host.Image();
    const bool hasImage = image && image->IsValid();
    if (m_links.viewMode == kViewBestFit && hasImage) {
        if (m_zoom.LogicalSize().cx <= 0)
            m_zoom.SetZoomSizes({image->GetWidth(), image->GetHeight()});
        m_links.refitOnLoad = true;
        BestFit();
    } else if (hasImage && m_zoom.LogicalSize().cx > 0 && m_zoom.Zoom() < 1.1f) {
        const float oldScale = ActiveScale();
        const POINT oldOrigin = m_imageOrigin;
        m_links.refitOnLoad = true;
        m_zoom.DecreaseFitScale(nullptr, 0.0f);
        SettleReduction();
        ComputeImageOrigin();
        m_tracker.Rescale(ActiveScale(), m_imageOrigin, oldScale, oldOrigin);
        m_zoom.SetScaleChanged(true);
        m_host.InvalidateView(false);
    }
    ComputeImageOrigin();
    m_host.InvalidateView(true);
}

void ImageViewController::OnScrolled(POINT position)
{
    m_zoom.SetScrollPosition(position);
    m_host.InvalidateView(false);
}

void ImageViewController::OnUpdate(int hint)
{
    const CLfImage* image = m_host.Image();
    const bool hasImage = image && image->IsValid();
    if (hint == 1001) {
        if (hasImage && m_zoom.LogicalSize().cx != 0 && m_zoom.LogicalSize().cy != 0) {
            const SIZE client = m_zoom.ClientSize();
            POINT scroll = m_zoom.ScrollPosition();
            if (Scaled(image->GetWidth(), m_zoom.Reduce()) <= client.cx)
                scroll.x = 0;
            if (Scaled(image->GetHeight(), m_zoom.Reduce()) <= client.cy)
                scroll.y = 0;
            m_zoom.SetScrollPosition(scroll);
            m_host.ScrollTo(m_zoom.ScrollPosition());
        }
    } else if (hasImage) {
        m_zoom.SetReduce(m_zoom.Zoom());
    }
    m_host.InvalidateView(true);
}

// ---- Zoom commands ---------------------------------------------------------------------

float ImageViewController::SnapToZoomGrid(bool zoomIn)
{
    int p = static_cast<int>(m_zoom.Reduce() * 100.0f);
    const int r = p % 20;
    if (zoomIn)
        p -= r;
    else
        p = r > 0 ? p - r + 20 : p - r;
    // Never 0: the smallest step is the smallest scale.
    const float snapped = std::max(float(p) / 100.0f, kMinScale);
    m_zoom.SetReduce(snapped);
    m_zoom.SetZoom(snapped);
    m_zoom.SetScaleChanged(true);
    m_links.imageLoaded = true;
    m_links.newLayout = true;
    return snapped;
}

bool ImageViewController::Zooming(bool in)
{
    if (m_bZoomLocked)
        return false;
    m_bUserZoomed = true;
    // The image pixel at the client centre stays there, through the snap as well.
    ComputeImageOrigin();
    const float oldScale = ActiveScale();
    const POINT oldOrigin = m_imageOrigin;
    const SIZE client = m_zoom.ClientSize();
    const POINT centre = Canvas({client.cx / 2, client.cy / 2});
    const double imageX = (centre.x - oldOrigin.x) / double(oldScale);
    const double imageY = (centre.y - oldOrigin.y) / double(oldScale);
    bool changed = false;

    if (m_links.viewMode == kViewBestFit) {
        SnapToZoomGrid(in);
        m_links.bestFitSuspended = true;
        m_links.viewMode = 0;
        changed = true;
    }
    const float zoom = m_zoom.Zoom();
    // One beep at a limit, and no step.
    const bool refused = in ? zoom >= kMaxZoom - kScaleSlack : zoom <= kMinScale + kScaleSlack;
    if (refused) {
        m_host.Beep();
    } else if (zoom >= (in ? 1.0f : 1.1f)) {
        m_zoom.SetZoomMode(in ? ZoomMapping::kZoomBand : ZoomMapping::kZoomOutClick);
        if (in)
            m_zoom.DoZoomIn(nullptr, kZoomStep);
        else
            m_zoom.ZoomOut(nullptr, kZoomStep);
        m_zoom.SetReduce(m_zoom.Zoom());
        changed = true;
    } else {
        if (in)
            m_zoom.IncreaseFitScale(nullptr, kZoomStep);
        else
            m_zoom.DecreaseFitScale(nullptr, kZoomStep);
        SettleReduction();
        m_zoom.SetScaleChanged(true);
        changed = true;
    }
    if (!changed)
        return false;
    ComputeImageOrigin();
    const float scale = ActiveScale();
    m_zoom.SetScrollPosition({static_cast<int32_t>(std::lround(imageX * scale)) + m_imageOrigin.x - client.cx / 2,
                              static_cast<int32_t>(std::lround(imageY * scale)) + m_imageOrigin.y - client.cy / 2});
    m_host.ScrollTo(m_zoom.ScrollPosition());
    m_tracker.Rescale(scale, m_imageOrigin, oldScale, oldOrigin);
    ++m_nPictureGeneration;
    m_host.InvalidateView(in);
    return !refused;
}

void ImageViewController::OnZoomIn() { Zooming(true); }

void ImageViewController::OnZoomOut() { Zooming(false); }

void ImageViewController::BestFit()
{
    const CLfImage* image = m_host.Image();
    const SIZE client = m_zoom.ClientSize();
    if (!image || !image->IsValid() || client.cx <= 0)
        return;
    const int32_t w = image->GetWidth();
    const int32_t h = image->GetHeight();
    if (client.cx >= w && client.cy >= h) {
        m_zoom.SetReduce(1.0f);
        m_zoom.IncreaseFitScale(nullptr, 0.0f);
    } else {
        const float aspect = float(w) / float(h);
        int32_t target = 0;
        bool final = false;
        if (client.cx < w) {
            target = client.cx;
            const int64_t hc = int64_t(h) * client.cx / w;
            final = hc != 0 && hc <= client.cy;
        }
        if (!final && client.cy < h)
            target = std::max(static_cast<int32_t>(float(client.cy) * aspect), 1);
        m_zoom.SetReduce(float(target) / float(w));
        m_zoom.DecreaseFitScale(nullptr, 0.0f);
    }
    m_zoom.SetScaleChanged(true);
    m_links.imageLoaded = true;
    m_links.newLayout = true;
    m_links.fitMode = kFitWidth;
    m_links.viewMode = kViewBestFit;
    SettleReduction();
    ComputeImageOrigin();
    m_zoom.SetScrollPosition({0, 0});
    ++m_nPictureGeneration;
    m_host.InvalidateView(false);
}

void ImageViewController::OnFullSize()
{
    m_links.sizeChanged = true;
    m_links.fitMode = kFitNone;
    if (m_links.viewMode == kViewBestFit)
        m_links.viewMode = 0;
    // The image in memory is the one shown: a zoom command never reads the file again.
    m_links.steppedImage = false;
    m_zoom.SetZoom(1.0f);
    m_zoom.SetReduce(1.0f);
    ++m_nPictureGeneration;
    m_host.InvalidateView(false);
}

void ImageViewController::OnBestFit()
{
    if (m_links.viewMode == kViewBestFit)
        OnFullSize();
    else
        BestFit();
}

void ImageViewController::ResetZoom()
{
    OnFullSize();
    if (!m_bUserZoomed)
        BestFit();
    m_bZoomLocked = false;
}

void ImageViewController::ZoomInAndRepaint()
{
    OnZoomIn();
    PreparePaint();
}

void ImageViewController::FitAxis(bool width)
{
    const CLfImage* image = m_host.Image();
    if (m_links.viewMode == kViewBestFit || !image || !image->IsValid())
        return;
    const float candidate = width ? float(m_zoom.ClientSize().cx) / float(image->GetWidth())
                                  : float(m_zoom.ClientSize().cy) / float(image->GetHeight());
    if (candidate >= m_zoom.Zoom() || !(candidate > 0.0f))
        return;
    // The candidate goes in through a zoom-out that keeps the present factor.
    m_zoom.SetZoom(candidate);
    m_zoom.SetZoomMode(ZoomMapping::kZoomOutClick);
    m_zoom.SetKeepZoomOnce(true);
    m_zoom.ZoomOut(nullptr, kZoomStep);
    m_links.fitMode = width ? kFitWidth : kFitHeight;
    m_zoom.SetReduce(m_zoom.Zoom());
    ComputeImageOrigin();
    ++m_nPictureGeneration;
    m_host.InvalidateView(!width);
}

void ImageViewController::OnFitWidth() { FitAxis(true); }

void ImageViewController::OnFitHeight() { FitAxis(false); }

// ---- Tools and stepping ----------------------------------------------------------------

void ImageViewController::OnCrop()
{
    m_host.SetStatusText(kCropHint);
    if (m_links.viewMode == kViewBestFit) {
        BestFit();
        m_links.bestFitSuspended = true;
    }
    SetTool(kToolCropArmed);
    m_host.InvalidateView(false);
}

void ImageViewController::SetTool(int tool)
{
    m_nTool = tool;
    // Leaving the crop tools empties the crop hint at once, not at the next menu update.
    UpdateCropTick();
}

void ImageViewController::OnScrollTool()
{
    SetTool(kToolScroll);
    m_tracker.Clear();
    m_host.InvalidateView(false);
}

bool ImageViewController::UpdateCropTick()
{
    const bool ticked = m_nTool == kToolCropArmed || m_nTool == kToolCropDrawing || m_nTool >= kToolCropReady;
    static_assert(kToolCropReady == 6);
    if (!ticked && m_bCropTicked)
        m_host.SetStatusText("");
    m_bCropTicked = ticked;
    return ticked;
}

void ImageViewController::Step(int direction, const char* caption)
{
    m_bZoomLocked = false;
    m_links.steppedImage = true;
    if (m_links.bestFitSuspended) {
        m_links.bestFitSuspended = false;
        m_links.refitOnLoad = m_links.viewMode == 0;
        m_links.viewMode = kViewBestFit;
    }
    const int i = m_host.CurrentFile();
    const int n = m_host.FileCount();
    if (i < 0)
        return;
    if ((direction > 0 && i >= n - 1) || (direction < 0 && i == 0)) {
        m_host.ShowMessage(kNoMoreFiles, caption);
        return;
    }
    SetTool(kToolScroll);
    m_tracker.Clear();
    // A file that cannot be shown is passed with its message: the document's index moves
    // to it while its image and path stay.
    m_host.StepToFile(i + direction);
}

void ImageViewController::OnNext() { Step(1, "Next"); }

void ImageViewController::OnPrevious() { Step(-1, "Previous"); }

// ---- Mouse -----------------------------------------------------------------------------

void ImageViewController::RepaintBox()
{
    // The box is part of the paint; the window repaints (the area of) both boxes.
    m_host.InvalidateView(false);
}

void ImageViewController::OnLButtonDown(POINT client)
{
    m_bHideCropBox = false;
    const POINT p = Canvas(client);
    switch (m_nTool) {
    case kToolScroll:
        m_bDragging = true;
        m_dragScrollStart = m_dragApplied = m_zoom.ScrollPosition();
        m_dragMouseStart = client;
        m_host.SetViewCursor(ViewCursor::Hand);
        break;
    case kToolCropArmed:
        m_pressPoint = client;
        m_tracker.Begin(p.x, p.y);
        SetTool(kToolCropDrawing);
        m_host.SetViewCursor(ViewCursor::Crop);
        break;
    case kToolCropReady:
        m_nDragHit = m_nLastHit;
        m_host.SetViewCursor(ViewCursor::Crop);
        if (m_tracker.HitTest(p.x, p.y) != 0) {
            m_moveAnchor = p;
            RepaintBox();
        } else {
            // A press away from the box drops it; the next press starts another.
            m_nDragHit = 0;
            m_tracker.Clear();
            SetTool(kToolCropArmed);
            m_host.InvalidateView(false);
        }
        break;
    default: break;
    }
}

void ImageViewController::DragScroll(POINT client)
{
    if (!m_bDragging || !OnImage(client))
        return;
    const POINT scroll = m_zoom.ScrollPosition();
    const POINT limit = m_zoom.ScrollLimit();
    const int32_t newX = m_bWiderThanView ? m_dragScrollStart.x + m_dragMouseStart.x - client.x : m_dragApplied.x;
    const int32_t newY = m_bTallerThanView ? m_dragScrollStart.y + m_dragMouseStart.y - client.y : m_dragApplied.y;
    POINT target{std::clamp(scroll.x + (newX - m_dragApplied.x), 0, limit.x),
                 std::clamp(scroll.y + (newY - m_dragApplied.y), 0, limit.y)};
    if (target.x == scroll.x && target.y == scroll.y)
        return;
    if (target.x != scroll.x)
        m_dragApplied.x = newX;
    if (target.y != scroll.y)
        m_dragApplied.y = newY;
    if (!m_bWiderThanView)
        target.x = 0;
    if (!m_bTallerThanView)
        target.y = 0;
    // Scrolling back to 0 on both axes is a scroll like any other.
    if (target.x == scroll.x && target.y == scroll.y)
        return;
    m_zoom.SetScrollPosition(target);
    m_host.ScrollTo(m_zoom.ScrollPosition());
    m_host.InvalidateView(false);
}

void ImageViewController::TrackCropBox(POINT p)
{
    if (m_nDragHit == 0) {
        m_nLastHit = m_tracker.HitTest(p.x, p.y);
        switch (m_nLastHit) {
        case CSelectionTracker::kHitTop:
        case CSelectionTracker::kHitBottom: m_host.SetViewCursor(ViewCursor::SizeNS); break;
        case CSelectionTracker::kHitRight:
        case CSelectionTracker::kHitLeft: m_host.SetViewCursor(ViewCursor::SizeWE); break;
        case CSelectionTracker::kHitTopRight:
        case CSelectionTracker::kHitBottomLeft: m_host.SetViewCursor(ViewCursor::SizeNESW); break;
        case CSelectionTracker::kHitTopLeft:
        case CSelectionTracker::kHitBottomRight: m_host.SetViewCursor(ViewCursor::SizeNWSE); break;
        case CSelectionTracker::kHitInside: m_host.SetViewCursor(ViewCursor::SizeAll); break;
        default: break;
        }
        return;
    }
    const CSelectionTracker::Display display = TrackerDisplay();
    const RECT b = m_tracker.Box();
    switch (m_nDragHit) {
    case CSelectionTracker::kHitTop: m_tracker.SetCornerInBounds(display, b.left, p.y, 1); break;
    case CSelectionTracker::kHitLeft: m_tracker.SetCornerInBounds(display, p.x, b.top, 1); break;
    case CSelectionTracker::kHitRight: m_tracker.SetCornerInBounds(display, p.x, b.bottom, 2); break;
    case CSelectionTracker::kHitBottom: m_tracker.SetCornerInBounds(display, b.right, p.y, 2); break;
    case CSelectionTracker::kHitTopLeft: m_tracker.MoveResize(display, {p.x, p.y, b.right, b.bottom}); break;
    case CSelectionTracker::kHitTopRight: m_tracker.MoveResize(display, {b.left, p.y, p.x, b.bottom}); break;
    case CSelectionTracker::kHitBottomLeft: m_tracker.MoveResize(display, {p.x, b.top, b.right, p.y}); break;
    case CSelectionTracker::kHitBottomRight: m_tracker.MoveResize(display, {b.left, b.top, p.x, p.y}); break;
    case CSelectionTracker::kHitInside: {
        const int32_t dx = p.x - m_moveAnchor.x;
        const int32_t dy = p.y - m_moveAnchor.y;
        m_tracker.SetRect(display, {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy});
        m_moveAnchor = p;
        break;
    }
    default: break;
    }
    m_host.SetViewCursor(ViewCursor::Cross);
    RepaintBox();
}

void ImageViewController::OnMouseMove(POINT client, bool leftDown)
{
    const POINT p = Canvas(client);
    switch (m_nTool) {
    case kToolScroll:
        m_host.SetViewCursor(ViewCursor::Hand);
        if (leftDown)
            DragScroll(client);
        break;
    case kToolCropDrawing:
        m_tracker.SetCorner(p.x, p.y, 2);
        if (OnImage(client))
            m_host.SetViewCursor(ViewCursor::Crop);
        RepaintBox();
        break;
    case kToolCropReady:
        m_host.SetViewCursor(ViewCursor::Crop);
        TrackCropBox(p);
        break;
    default: m_host.SetViewCursor(ViewCursor::Crop); break;
    }
}

void ImageViewController::OnLButtonUp(POINT client)
{
    const POINT p = Canvas(client);
    if (m_nTool == kToolScroll) {
        m_bDragging = false;
        return;
    }
    if (m_nTool == kToolCropDrawing) {
        m_releasePoint = client;
        m_tracker.SetCorner(p.x, p.y, 2);
        SetTool(kToolCropReady);
        m_tracker.ClampTo(TrackerDisplay());
        // A box drawn wholly beside the image is not shown.
        const int32_t right = m_imageOrigin.x + m_szDisplay.cx;
        const int32_t bottom = m_imageOrigin.y + m_szDisplay.cy;
        m_bHideCropBox = m_releasePoint.x < m_imageOrigin.x || m_pressPoint.x > right ||
                         m_releasePoint.y < m_imageOrigin.y || m_pressPoint.y > bottom;
        m_nLastHit = 0;
        m_host.InvalidateView(false);
        return;
    }
    if (m_nTool == kToolCropReady) {
        m_nDragHit = 0;
        m_tracker.ClampTo(TrackerDisplay());
        RepaintBox();
    }
}

void ImageViewController::OnLButtonDblClk(POINT /*client*/)
{
    if (m_nTool >= kToolCropArmed && m_nTool <= kToolCropDrawing) {
        SetTool(kToolScroll);
        m_tracker.Clear();
        m_host.InvalidateView(false);
    } else if (m_nTool == kToolCropReady) {
        ApplyCrop();
    }
}

void ImageViewController::ApplyCrop()
{
    const float saved = ActiveScale();
    if (!m_tracker.HasBox() || m_bHideCropBox) {
        m_host.Beep();
        return;
    }
    const RECT rect = m_tracker.ToImageRect(m_imageOrigin, saved);
    if (!m_host.CropImage(rect)) {
        m_host.Beep();
        return;
    }
    if (m_zoom.Reduce() != 1.0f || m_zoom.Zoom() != 1.0f) {
        m_zoom.SetReduce(1.0f);
        m_zoom.SetZoom(1.0f);
        m_links.sizeChanged = true;
    }
    m_host.UpdateStatus();
    SetTool(kToolScroll);
    m_tracker.Clear();
    // Back to the zoom the crop was made at: first the cropped image's sizes at 100
    // per cent, then the same steps as the commands. Best fit fits the new image.
    PreparePaint();
    if (saved > 1.0f + kScaleSlack) {
        for (float counter = m_zoom.Zoom(); counter < saved - kScaleSlack; counter += kZoomStep)
            OnZoomIn();
    } else if (m_links.viewMode != kViewBestFit) {
        for (float counter = m_zoom.Reduce(); counter > saved + kScaleSlack; counter -= kZoomStep)
            OnZoomOut();
    }
    PreparePaint();
}
