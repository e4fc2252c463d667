#pragma once
// The view operations the document's edit commands drive: the document decides the order
// in which they run, the view how each one lays itself out. Scales are 1.0 at full size.

class EditZoomHost {
public:
    virtual ~EditZoomHost() = default;

    // The zoom factor (above full size) and the fit scale (the reduction below it).
    virtual double ZoomFactor() const = 0;
    virtual double FitScale() const = 0;
    virtual void SetZoomFactor(double zoom) = 0;
    virtual void SetFitScale(double scale) = 0;
    // The image size the zoom is computed for.
    virtual void SetZoomSizes(int width, int height) = 0;
    virtual void ResetZoom() = 0;
    virtual void BestFit() = 0;
    // Back to full size and repainted, before stepping the zoom to a remembered value.
    virtual void ZoomInAndRepaint() = 0;
    // The Zoom in and Zoom out commands.
    virtual void ZoomIn() = 0;
    virtual void ZoomOut() = 0;
};
