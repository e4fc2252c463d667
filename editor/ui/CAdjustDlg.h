#pragma once
// The colour dialogs: sliders with edits and spins, a "before" and an "after" picture
// that follows the values at once, Preview on the document's own image, and the result
// in the working image on OK. A preview is always taken back unless the dialog ends
// with OK. The values and the operation are AdjustSettings'.

#include "editor/model/AdjustSettings.h"
#include "editor/ui/DialogControls.h"
#include "image/CLfImage.h"

#include <wx/dialog.h>

#include <functional>

class CDlgImageView;
class wxSpinEvent;

class CAdjustDlg : public wxDialog {
public:
    using MessageFn = DialogMessageFn;
    // work: the caller's full copy of the document's image; it receives the result on OK
    // and is otherwise left alone. current: the document's image, which Preview replaces
    // (null: Preview only recomputes the after picture); showChanged redraws the views
    // after current changed in place.
    CAdjustDlg(wxWindow* parent, AdjustKind kind, CLfImage& work, CLfImage* current,
               std::function<void()> showChanged, MessageFn message = {});
    ~CAdjustDlg() override;

    const AdjustSettings& Settings() const { return m_settings; }
    wxWindow* GetControl(int id) const;
    const CLfImage& Before() const { return m_before; }
    const CLfImage& After() const { return m_after; }
    CDlgImageView* BeforePane() const { return m_beforePane; }
    CDlgImageView* AfterPane() const { return m_afterPane; }
    // How often the after picture was computed (once at the start, then per value change).
    int AfterComputations() const { return m_computations; }
    // Whether the document's image shows a preview now.
    bool ShowsPreview() const { return m_previewShown; }

private:
    struct Controls {
        int slider, edit, spin;
    };
    void WriteControls(size_t i);
    void RecomputeAfter();
    void SetSliders(std::initializer_list<int> positions);
    // The document's image back as it was, when a preview replaced it.
    void TakeBackPreview();
    size_t ChannelOf(int windowId, int Controls::*control) const;

    void OnSlider(wxCommandEvent& event);
    void OnText(wxCommandEvent& event);
    void OnSpin(wxSpinEvent& event);
    void OnPreview(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);

    AdjustSettings m_settings;
    CLfImage& m_work;
    CLfImage* m_current;
    std::function<void()> m_showChanged;
    MessageFn m_message;
    std::vector<Controls> m_controls;
    CLfImage m_before;
    CLfImage m_after;
    CDlgImageView* m_beforePane = nullptr;
    CDlgImageView* m_afterPane = nullptr;
    bool m_previewShown = false;
    int m_computations = 0;
};

// The dialogs by name: one kind each.
template <AdjustKind Kind>
class CAdjustKindDlg : public CAdjustDlg {
public:
    CAdjustKindDlg(wxWindow* parent, CLfImage& work, CLfImage* current, std::function<void()> showChanged,
                   MessageFn message = {})
        : CAdjustDlg(parent, Kind, work, current, std::move(showChanged), std::move(message))
    {
    }
};
using CBrightnessContrastDlg = CAdjustKindDlg<AdjustKind::BrightnessContrast>;
using CRedGreenBlueDlg = CAdjustKindDlg<AdjustKind::RedGreenBlue>;
using CHueSaturationDlg = CAdjustKindDlg<AdjustKind::HueSaturation>;
using CExposureDlg = CAdjustKindDlg<AdjustKind::Exposure>;
using CBlurDlg = CAdjustKindDlg<AdjustKind::Blur>;
using CSharpenDlg = CAdjustKindDlg<AdjustKind::Sharpen>;
