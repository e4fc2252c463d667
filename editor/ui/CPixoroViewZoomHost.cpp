#include "editor/ui/CPixoroViewZoomHost.h"

#include "editor/ui/CPixoroView.h"

double CPixoroViewZoomHost::ZoomFactor() const { return m_view.Controller().Zoom().Zoom(); }

double CPixoroViewZoomHost::FitScale() const { return m_view.Controller().Zoom().Reduce(); }

void CPixoroViewZoomHost::SetZoomFactor(double zoom) { m_view.Controller().Zoom().SetZoom(static_cast<float>(zoom)); }

void CPixoroViewZoomHost::SetFitScale(double scale)
{
    m_view.Controller().Zoom().SetReduce(static_cast<float>(scale));
}

void CPixoroViewZoomHost::SetZoomSizes(int width, int height)
{
    m_view.Controller().Zoom().SetZoomSizes(SIZE{width, height});
}

void CPixoroViewZoomHost::ResetZoom() { m_view.ResetZoom(); }

void CPixoroViewZoomHost::BestFit() { m_view.FitToWindow(); }

void CPixoroViewZoomHost::ZoomInAndRepaint() { m_view.ZoomInAndRepaint(); }

void CPixoroViewZoomHost::ZoomIn() { m_view.ZoomInStep(); }

void CPixoroViewZoomHost::ZoomOut() { m_view.ZoomOutStep(); }
