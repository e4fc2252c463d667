#pragma once
// Steps 2 and 3 of the graphical-text wizard. Step 2 sets the text and its look and
// places it on a reduced copy of the template; step 3 lists the selected images with a
// tick box each, and "Apply Text and Save" writes every ticked image with the text into
// the output folder on the dialog's worker. The document's saved list then holds the
// files that were written, and only those; failures are reported when the job ends.

#include "graphictext/ui/CGraphicTextDlg.h"
#include "batch/model/GraphicTextJob.h"

#include <functional>
#include <string>
#include <vector>

class CImageItem;
class CQuorixDoc;
class wxGauge;
class wxListCtrl;
class wxStaticText;
class wxTextCtrl;

class CWatermarkDlg : public CGraphicTextDlg {
public:
    // What the wizard asks and tells the user (message boxes by default; tests answer).
    struct Prompts {
        std::function<void(const std::string& text)> message;
        std::function<bool(const std::string& text)> confirm;  // Yes
        std::function<std::string()> chooseFolder;             // empty on Cancel
    };

    // templateImage: a full copy of the template; templatePath: its file.
    CWatermarkDlg(wxWindow* parent, CQuorixDoc& doc, const CLfImage& templateImage, std::string templatePath,
                  Prompts prompts = {});
    ~CWatermarkDlg() override;

    // "Next Step": from step 2 to the list of images (step 3).
    void NextStep();
    // "Apply Text and Save": starts the job; false when it does not start.
    bool ApplyTextAndSave();

    int GetStep() const { return m_step; }
    const std::string& GetOutputFolder() const { return m_outputFolder; }
    const CLfImage& GetTemplateImage() const { return m_templateImage; }
    wxListCtrl* GetImageList() const { return m_images; }

    static constexpr const char* kNoFolder = "Please specify the path to save the watermarked images";
    static std::string ReplaceOriginalsQuestion(const std::string& folder);

private:
    void ShowStep(int step);
    void Finished();
    void OnNext(wxCommandEvent& event);
    void OnApply(wxCommandEvent& event);
    void EnableStep(bool enable) override;

    CQuorixDoc& m_doc;
    CLfImage m_templateImage;
    std::string m_templatePath;
    std::string m_templateName;
    Prompts m_prompts;
    int m_step = 0;
    std::vector<std::string> m_paths;  // of the listed images, in row order
    std::string m_outputFolder;
    GraphicTextJobResult m_result;  // the worker's; read once it is joined
    wxListCtrl* m_images = nullptr;
    wxTextCtrl* m_output = nullptr;
    wxGauge* m_progress = nullptr;
    wxStaticText* m_status = nullptr;
};
