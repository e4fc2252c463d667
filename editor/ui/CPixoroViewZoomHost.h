#pragma once
// The image view's zoom operations as the document's edit commands drive them.

#include "editor/model/EditZoomHost.h"

class CPixoroView;

class CPixoroViewZoomHost : public EditZoomHost {
public:
    explicit CPixoroViewZoomHost(CPixoroView& view) : m_view(view) {}

    double ZoomFactor() const override;
    double FitScale() const override;
    void SetZoomFactor(double zoom) override;
    void SetFitScale(double scale) override;
    void SetZoomSizes(int width, int height) override;
    void ResetZoom() override;
    void BestFit() override;
    void ZoomInAndRepaint() override;
    void ZoomIn() override;
    void ZoomOut() override;

private:
    CPixoroView& m_view;
};
