#pragma once
// What the manager's graphical-text wizard and the editor's text dialog share: the
// settings controls, the font and colour choices, the preview pane with its reduced
// image, the previews, and the worker that renders at full size. Each program's dialog
// derives from it with its own layout, control ids and steps.

#include "graphictext/ui/CDlgWaterImageView.h"
#include "graphictext/ui/CTextWorker.h"
#include "graphictext/model/GraphicTextRender.h"
#include "image/CLfImage.h"

#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <optional>

class CColorButton;
class wxCheckBox;
class wxControlWithItems;
class wxGauge;
class wxSlider;
class wxSpinButton;
class wxStaticText;
class wxTextCtrl;

// The ids of the shared controls in a program's layout.
struct GraphicTextControlIds {
    int text, height, heightSpin, unit, colour, font, faceLabel, charSpacing, lineSpacing;
    int slider, visibility, visibilitySpin, centre, underline, preview, step;
    int previewBox;  // the frame whose corner places the preview pane
    int dragLabel, centredLabel;
};

class CGraphicTextDlg : public wxDialog {
public:
    // The font chooser: true on OK, with the face and height written into the settings.
    using FontChooser = std::function<bool(GraphicTextSettings& settings, wxWindow* parent)>;
    // The colour chooser: the chosen colour, none on Cancel.
    using ColourChooser = std::function<std::optional<COLORREF>(wxWindow* parent)>;

    ~CGraphicTextDlg() override;

    void SetFontChooser(FontChooser chooser) { m_fontChooser = std::move(chooser); }
    void SetColourChooser(ColourChooser chooser) { m_colourChooser = std::move(chooser); }

    GraphicTextSettings m_settings;
    CDlgWaterImageView* GetPane() const { return m_pane; }
    const CLfImage& GetReducedImage() const { return m_reduced; }
    const CLfImage& GetWorkingImage() const { return m_working; }
    bool IsWorking() const { return m_worker.IsRunning(); }
    wxWindow* GetControl(int id) const;

    // The controls into the settings, and back.
    void ReadControls();
    void WriteControls();
    // "Preview Text" and "Center": the centred or the free-position preview.
    void RenderAtPosition();
    void ChooseFont();
    void ChooseColour();
    // "Cancel" and closing the window: ends the dialog with Cancel, once a running
    // worker has stopped and been joined.
    void CancelDialog();

protected:
    CGraphicTextDlg(const GraphicTextControlIds& ids, const TextStyle& style);

    // After the window and its controls exist: binds the shared controls.
    void AttachControls();
    // Reduces image into the pane's box and creates the pane over it.
    void SetupPreview(const CLfImage& image);
    // The full-size pass on the worker; finished runs on the user-interface thread with
    // the job's outcome once the worker has been joined.
    bool StartWorker(CTextWorker::Job job, std::function<void()> finished);
    // Stops the worker's pass at its next test.
    void StopWorker() { m_worker.RequestStop(); }
    // Ends the dialog with code, shown modally or not.
    void EndWith(int code)
    {
        SetReturnCode(code);
        EndDialog(code);
    }
    // Shows the worker's progress in bar while it runs.
    void FollowProgress(wxGauge* bar);

    // Whether "Center" and the underline box preview an empty text (the manager does).
    bool m_previewEmptyText = true;
    // The step button ("Apply Text" or "Next Step") while a preview renders.
    virtual void EnableStep(bool enable);

    GraphicTextControlIds m_ids;
    TextStyle m_style;
    CLfImage m_reduced;  // the image reduced into the pane
    CLfImage m_clean;    // the reduced image without text, shown while dragging
    CLfImage m_working;  // the reduced image with the last preview's text
    CDlgWaterImageView* m_pane = nullptr;
    bool m_previewed = false;
    bool m_cancelled = false;
    COLORREF m_previewColour = 0;

private:
    void OnText(wxCommandEvent& event);
    void OnSlider(wxScrollEvent& event);
    void OnVisibilityText(wxCommandEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnCheck(wxCommandEvent& event);
    void OnUnit(wxCommandEvent& event);
    void OnHeightSpin(wxSpinEvent& event);
    void OnVisibilitySpin(wxSpinEvent& event);
    void OnProgressTimer(wxTimerEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void ApplyUnitLimits();
    void SyncSpins();

    FontChooser m_fontChooser;
    ColourChooser m_colourChooser;
    wxTextCtrl* m_text = nullptr;
    wxTextCtrl* m_height = nullptr;
    wxControlWithItems* m_unit = nullptr;
    wxTextCtrl* m_charSpacing = nullptr;
    wxTextCtrl* m_lineSpacing = nullptr;
    wxSlider* m_slider = nullptr;
    wxTextCtrl* m_visibility = nullptr;
    wxCheckBox* m_centre = nullptr;
    wxCheckBox* m_underline = nullptr;
    wxStaticText* m_faceLabel = nullptr;
    CColorButton* m_colourButton = nullptr;
    wxGauge* m_progressBar = nullptr;
    wxTimer m_progressTimer;
    bool m_writing = false;  // the controls are being written: their notices are ignored

protected:
    // Declared last: stopped and joined before anything its job uses goes.
    CTextWorker m_worker{*this};
};
