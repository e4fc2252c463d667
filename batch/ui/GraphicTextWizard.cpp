#include "batch/ui/GraphicTextWizard.h"

#include "batch/ui/CWatermarkDlg.h"
#include "batch/ui/CWatermarkResultDlg.h"
#include "batch/ui/CWatermarkTemplateDlg.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CImageItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"

#include <algorithm>
#include <cctype>

void RunGraphicTextWizard(CQuorixDoc& doc, wxWindow* parent)
{
    {
        CWatermarkTemplateDlg step1(parent);
        step1.SetDocument(doc);
        if (step1.DoModal() != wxID_OK)
            return;
    }
    const CFolderItem* folder = doc.GetCurrentFolder();
    if (!folder || folder->ImageCount() == 0)
        return;
    // The sample's format follows the folder's first image, as the command always did;
    // a wrong guess costs nothing, since every format is tried after it.
    const CImageItem* first = folder->Image(0);
    const size_t dot = first->m_strName.rfind('.');
    if (dot == std::string::npos || dot + 1 == first->m_strName.size())
        return;
    std::string ext = first->m_strName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const int type = CQuorixDoc::ImageTypeFromExtension(ext);
    const std::string sample = doc.m_strTextSamplePath.empty() ? first->m_strPath : doc.m_strTextSamplePath;
    if (CQuorixState* state = doc.GetAppState())
        state->m_strTextImagePath = sample;
    CLfImage image(sample.c_str(), static_cast<uint32_t>(type));
    if (!image.IsValid())
        return;
    {
        CWatermarkDlg dialog(parent, doc, image, sample);
        dialog.ShowModal();
    }
    if (!doc.m_arrTextSavedFiles.empty()) {
        CWatermarkResultDlg result(parent);
        result.SetDocument(doc);
        result.DoModal();
    }
}
