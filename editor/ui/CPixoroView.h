#pragma once
// The image window's view: the document's image on a dark grey (70, 70, 70) ground,
// fitted into the window (best fit) or zoomed, scrolled by dragging, cropped with a
// box and its handles, copied to the clipboard, stepped to the folder's previous or
// next image, printed and previewed on one page. The decisions are the
// ImageViewController's; this class turns window events and commands into calls to
// it and paints.
//
// Painting costs the visible area only: the picture is made at display size for what
// the window shows (DisplayBitmapMaker) and made again only when the image, the scale
// or the scroll position changed; the crop box is drawn over it in the same paint.

#include "editor/ui/CZoomView.h"
#include "editor/model/DisplayBitmapMaker.h"
#include "editor/model/ImageViewController.h"

#include <wx/bitmap.h>
#include <wx/timer.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CPixoroDoc;
class wxCommandEvent;
class wxTimerEvent;
class wxUpdateUIEvent;

class CPixoroView : public CZoomView, private ImageViewController::Host {
    wxDECLARE_DYNAMIC_CLASS(CPixoroView);

public:
    // The overlay timer's id and period.
    static constexpr int kOverlayTimerId = 9475;
    static constexpr int kOverlayPeriodMs = 100;

    CPixoroView();
    ~CPixoroView() override;

    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC* dc) override;
    void OnUpdate(wxView* sender, wxObject* hint) override;
    bool OnClose(bool deleteWindow) override;
    wxPrintout* OnCreatePrintout() override;

    CPixoroDoc* GetDocument() const;
    ImageViewController& Controller() { return *m_controller; }
    // The scale the image is shown at (1.0 at full size).
    double GetZoom() const;

    // Operations the document's edit commands use.
    void FitToWindow() { m_controller->FitToWindow(); }
    void ResetZoom() { m_controller->ResetZoom(); }
    void ZoomInStep() { m_controller->OnZoomIn(); }
    void ZoomOutStep() { m_controller->OnZoomOut(); }
    void ZoomInAndRepaint() { m_controller->ZoomInAndRepaint(); }

    // The image on a printed page of page pixels: centred at the largest size that
    // keeps its proportions, transparency flattened onto white. Nothing without an
    // image.
    void DrawForPrint(wxDC& dc, SIZE page) const;

    // Message boxes go here when set (tests answer them); otherwise on screen.
    using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;
    void SetMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    int BeepCount() const { return m_nBeeps; }
    // How often the visible picture was made (it should be once per change, not per paint).
    int PictureBuilds() const { return m_nPictureBuilds; }

private:
    // ImageViewController::Host
    void ApplyScrollBars(SIZE range, SIZE page, SIZE line, POINT position) override;
    void ScrollTo(POINT position) override { ScrollCanvasTo(position); }
    void InvalidateView(bool erase) override { InvalidateCanvas(erase); }
    void Beep() override;
    void SetViewCursor(ViewCursor cursor) override;
    void SetStatusText(const std::string& text) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    const CLfImage* Image() const override;
    void UpdateStatus() override;
    bool CropImage(RECT rect) override;
    int CurrentFile() const override;
    int FileCount() const override;
    bool StepToFile(int index) override;

    // CZoomView
    void OnCanvasLeftDown(POINT client) override { m_controller->OnLButtonDown(client); }
    void OnCanvasMotion(POINT client, bool leftDown) override { m_controller->OnMouseMove(client, leftDown); }
    void OnCanvasLeftUp(POINT client) override { m_controller->OnLButtonUp(client); }
    void OnCanvasLeftDClick(POINT client) override { m_controller->OnLButtonDblClk(client); }
    void OnCanvasSize(SIZE client) override;
    void OnCanvasScrolled(POINT position) override { m_controller->OnScrolled(position); }

    // The visible picture for the present generation, area and size.
    void MakePicture();
    void DrawOverlay(wxDC& dc) const;
    // What the overlay shows, to know whether a paint has shown it.
    std::vector<int32_t> OverlayKey() const;

    void OnOverlayTimer(wxTimerEvent& event);
    void OnZoomIn(wxCommandEvent&) { m_controller->OnZoomIn(); }
    void OnZoomOut(wxCommandEvent&) { m_controller->OnZoomOut(); }
    void OnFullSize(wxCommandEvent&) { m_controller->OnFullSize(); }
    void OnBestFit(wxCommandEvent&) { m_controller->OnBestFit(); }
    void OnFitWidth(wxCommandEvent&) { m_controller->OnFitWidth(); }
    void OnFitHeight(wxCommandEvent&) { m_controller->OnFitHeight(); }
    void OnCrop(wxCommandEvent&) { m_controller->OnCrop(); }
    void OnScrollTool(wxCommandEvent&) { m_controller->OnScrollTool(); }
    void OnNext(wxCommandEvent&) { m_controller->OnNext(); }
    void OnPrevious(wxCommandEvent&) { m_controller->OnPrevious(); }
    void OnEditCopy(wxCommandEvent& event);
    void OnPasteNothing(wxCommandEvent&) {}
    void OnUpdateBestFit(wxUpdateUIEvent& event);
    void OnUpdateFitWidth(wxUpdateUIEvent& event);
    void OnUpdateFitHeight(wxUpdateUIEvent& event);
    void OnUpdateCrop(wxUpdateUIEvent& event);

    // The flags the controller shares with the application and the document; they
    // are the document's own, so the view is made in OnCreate.
    std::unique_ptr<ImageViewController> m_controller;
    DisplayBitmapMaker m_maker;
    std::vector<uint8_t> m_rgb;
    wxBitmap m_picture;
    uint64_t m_pictureGeneration = UINT64_MAX;
    RECT m_pictureArea{};
    wxTimer m_overlayTimer;
    bool m_bPainted = false;
    // Set while the picture is laid out for a paint: status texts wait until it is over.
    bool m_bInPaint = false;
    bool m_bStatusQueued = false;
    std::vector<int32_t> m_paintedOverlay;
    wxCursor m_handCursor;
    wxCursor m_cropCursor;
    MessageSink m_messageSink;
    int m_nBeeps = 0;
    int m_nPictureBuilds = 0;

    wxDECLARE_EVENT_TABLE();
};
