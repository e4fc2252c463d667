#include "batch/ui/CWatermarkTemplateDlg.h"

#include "controls/DialogTemplate.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CImageItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "platform/FolderPaths.h"
#include "resources/manager/WatermarkDialogs.h"

#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/listctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace {

std::string LowerText(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// The file's last-write time as the file system has it now.
int64_t FileTime(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

CWatermarkTemplateDlg::CWatermarkTemplateDlg(wxWindow* parent) : m_parent(parent) {}

std::vector<CImageItem*> CWatermarkTemplateDlg::QualifyingImages(const CQuorixDoc& doc)
{
    std::vector<CImageItem*> images;
    const CFolderItem* folder = doc.GetCurrentFolder();
    if (!folder)
        return images;
    for (size_t i = 0; i < folder->ImageCount(); ++i) {
        CImageItem* image = folder->Image(i);
        const std::string ext = LowerExtension(image->m_strName);
        if (image->m_bSelected && (ext == "jpg" || ext == "jpeg" || ext == "bmp" || ext == "png"))
            images.push_back(image);
    }
    return images;
}

void CWatermarkTemplateDlg::SortRows(std::vector<Row>& rows, int column, bool ascending)
{
    auto compare = [column](const Row& a, const Row& b) -> int {
        switch (column) {
        case 0: return LowerText(a.name).compare(LowerText(b.name));
        case 1: return static_cast<int>(a.sizeKB - b.sizeKB);
        case 2: return a.lastWrite < b.lastWrite ? -1 : a.lastWrite > b.lastWrite ? 1 : 0;
        default: return LowerText(a.path).compare(LowerText(b.path));
        }
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const int c = compare(a, b);
        return ascending ? c < 0 : c > 0;
    });
}

std::string CWatermarkTemplateDlg::SizeText(double kb)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f KB", kb);
    return text;
}

std::string CWatermarkTemplateDlg::DateText(int64_t lastWrite)
{
    const std::time_t seconds = static_cast<std::time_t>(lastWrite / 1000000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%d/%.2d/%.2d", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
    return text;
}

bool CWatermarkTemplateDlg::Build()
{
    if (!m_doc || !CreateDialogFromTemplate(*this, m_parent, mdlg::WatermarkTemplate()))
        return false;
    m_doc->m_strTextSamplePath.clear();
    m_list = dynamic_cast<wxListCtrl*>(FindWindow(DialogControlId(IDC_WMT_LIST)));
    m_rows.clear();
    for (CImageItem* image : QualifyingImages(*m_doc)) {
        image->m_bTicked = false;
        m_rows.push_back(Row{image->m_strName, static_cast<double>(image->m_nSize) / 1024, FileTime(image->m_strPath),
                             image->m_strPath, image});
    }
    if (!m_rows.empty()) {
        m_templatePath = m_rows.front().path;
        m_templateImage = m_rows.front().image;
    }
    if (m_list) {
        m_list->SetWindowStyleFlag(m_list->GetWindowStyleFlag() | wxLC_SINGLE_SEL);
        m_list->InsertColumn(0, "Name", wxLIST_FORMAT_LEFT, 175);
        m_list->InsertColumn(1, "Size", wxLIST_FORMAT_LEFT, 75);
        m_list->InsertColumn(2, "Date Modified", wxLIST_FORMAT_LEFT, 100);
        m_list->InsertColumn(3, "Path", wxLIST_FORMAT_LEFT, 450);
        FillList();
        m_list->Bind(wxEVT_LIST_ITEM_SELECTED, &CWatermarkTemplateDlg::OnItemSelected, this);
        m_list->Bind(wxEVT_LIST_ITEM_CHECKED, &CWatermarkTemplateDlg::OnItemChecked, this);
        m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CWatermarkTemplateDlg::OnActivated, this);
        m_list->Bind(wxEVT_LIST_COL_CLICK, &CWatermarkTemplateDlg::OnColumn, this);
    }
    Bind(wxEVT_BUTTON, &CWatermarkTemplateDlg::OnOk, this, wxID_OK);
    Bind(wxEVT_PAINT, &CWatermarkTemplateDlg::OnPaint, this);
    return true;
}

int CWatermarkTemplateDlg::DoModal()
{
    if (!GetHandle() && !Build())
        return wxID_CANCEL;
    return ShowModal();
}

void CWatermarkTemplateDlg::FillList()
{
    m_checking = true;
    m_list->DeleteAllItems();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        const long item = m_list->InsertItem(static_cast<long>(i), wxString::FromUTF8(row.name));
        m_list->SetItem(item, 1, SizeText(row.sizeKB));
        m_list->SetItem(item, 2, DateText(row.lastWrite));
        m_list->SetItem(item, 3, wxString::FromUTF8(row.path));
        m_list->CheckItem(item, row.path == m_templatePath);
    }
    m_checking = false;
}

void CWatermarkTemplateDlg::CheckOnly(long row)
{
    m_checking = true;
    for (long i = 0; i < m_list->GetItemCount(); ++i)
        m_list->CheckItem(i, i == row);
    m_checking = false;
}

void CWatermarkTemplateDlg::ClickRow(long row)
{
    if (row < 0 || row >= static_cast<long>(m_rows.size()))
        return;
    m_templatePath = m_rows[row].path;
    m_templateImage = m_rows[row].image;
    if (m_list)
        CheckOnly(row);
    Refresh();
}

void CWatermarkTemplateDlg::ClickColumn(int column)
{
    SortRows(m_rows, column, m_ascending);
    if (m_doc) {
        m_doc->m_nSortOrder = m_ascending ? kSortReverse : kSortForward;
        if (column >= 0 && column <= 2)
            m_doc->m_nSortKey = column;
    }
    m_ascending = !m_ascending;
    if (m_list)
        FillList();
}

void CWatermarkTemplateDlg::NextStep()
{
    if (m_doc)
        m_doc->m_strTextSamplePath = m_templatePath;
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}

void CWatermarkTemplateDlg::OnItemSelected(wxListEvent& event) { ClickRow(event.GetIndex()); }

void CWatermarkTemplateDlg::OnItemChecked(wxListEvent& event)
{
    if (!m_checking)
        ClickRow(event.GetIndex());
}

void CWatermarkTemplateDlg::OnActivated(wxListEvent& event)
{
    ClickRow(event.GetIndex());
    NextStep();
}

void CWatermarkTemplateDlg::OnColumn(wxListEvent& event) { ClickColumn(event.GetColumn()); }
void CWatermarkTemplateDlg::OnOk(wxCommandEvent&) { NextStep(); }

void CWatermarkTemplateDlg::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (!m_templateImage)
        return;
    const auto thumb = m_templateImage->GetThumbnail();
    if (!thumb || thumb->width <= 0 || thumb->height <= 0)
        return;
    wxImage picture(thumb->width, thumb->height);
    std::copy(thumb->rgb.begin(), thumb->rgb.begin() + std::min<size_t>(thumb->rgb.size(), size_t(thumb->width) * thumb->height * 3),
              picture.GetData());
    dc.DrawBitmap(wxBitmap(picture.Scale(78, 54)), 15, 7);
}
