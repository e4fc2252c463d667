#pragma once
// Step 1 of the graphical-text wizard: among the selected JPEG, BMP and PNG images of the
// current folder the user picks the template on which the text is laid out. "Next Step"
// leaves its path in the document.

#include <wx/dialog.h>

#include <cstdint>
#include <string>
#include <vector>

class CImageItem;
class CQuorixDoc;
class wxListCtrl;
class wxListEvent;

class CWatermarkTemplateDlg : public wxDialog {
public:
    // One row of the list.
    struct Row {
        std::string name;
        double sizeKB = 0;
        int64_t lastWrite = 0;  // nanoseconds since 1970
        std::string path;
        const CImageItem* image = nullptr;
    };

    explicit CWatermarkTemplateDlg(wxWindow* parent = nullptr);
    void SetDocument(CQuorixDoc& doc) { m_doc = &doc; }
    // Builds the window and runs it: wxID_OK when the user went on.
    int DoModal();

    // The selected images whose extension is jpg, jpeg, bmp or png (any case), in folder order.
    static std::vector<CImageItem*> QualifyingImages(const CQuorixDoc& doc);
    // Orders rows by a column (0 name, 1 size, 2 date, 3 path); sizes less than 1 KB apart
    // are equal.
    static void SortRows(std::vector<Row>& rows, int column, bool ascending);
    // The texts of a row's columns.
    static std::string SizeText(double kb);  // "%.2f KB"
    static std::string DateText(int64_t lastWrite);  // month/day/year, two-digit day and month

    // Built by DoModal, for tests that work the list.
    bool Build();
    void ClickRow(long row);
    void ClickColumn(int column);
    void NextStep();
    const std::string& GetTemplatePath() const { return m_templatePath; }
    wxListCtrl* GetList() const { return m_list; }

private:
    void FillList();
    void CheckOnly(long row);
    void OnItemSelected(wxListEvent& event);
    void OnItemChecked(wxListEvent& event);
    void OnActivated(wxListEvent& event);
    void OnColumn(wxListEvent& event);
    void OnOk(wxCommandEvent& event);
    void OnPaint(wxPaintEvent& event);

    wxWindow* m_parent;
    CQuorixDoc* m_doc = nullptr;
    std::vector<Row> m_rows;
    std::string m_templatePath;
    const CImageItem* m_templateImage = nullptr;
    wxListCtrl* m_list = nullptr;
    bool m_ascending = false;  // the direction of the next column sort
    bool m_checking = false;
};
