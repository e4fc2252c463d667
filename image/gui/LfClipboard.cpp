#include "image/gui/LfClipboard.h"

#include "image/CLfImage.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/image.h>

namespace {

const wxDataFormat& DibFormat()
{
    static const wxDataFormat format("application/x-lanternfolio-packed-dib");
    return format;
}

// wxGTK moves bitmaps through the clipboard as PNG.
void EnsurePngHandler()
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
}

// Opens the clipboard for one operation and closes it again.
class ClipboardSession {
public:
    ClipboardSession() : m_open(wxTheClipboard->Open()) {}
    ~ClipboardSession()
    {
        if (m_open)
            wxTheClipboard->Close();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

}  // namespace

namespace lfclip {

bool CopyImage(const CLfImage& image)
{
    if (!image.IsValid())
        return false;
    EnsurePngHandler();
    const std::vector<uint8_t> block = image.CopyToHandle();
    const wxBitmap bitmap = image.MakeBitmap();
    if (block.empty() || !bitmap.IsOk())
        return false;
    ClipboardSession session;
    if (!session.IsOpen())
        return false;
    auto composite = new wxDataObjectComposite;
    auto dib = new wxCustomDataObject(DibFormat());
    dib->SetData(block.size(), block.data());
    composite->Add(dib, true);
    composite->Add(new wxBitmapDataObject(bitmap));
    return wxTheClipboard->SetData(composite);  // the clipboard owns the object
}

bool HasImage()
{
    ClipboardSession session;
    return session.IsOpen() &&
           (wxTheClipboard->IsSupported(DibFormat()) || wxTheClipboard->IsSupported(wxDF_BITMAP));
}

bool PasteImage(CLfImage& image)
{
    EnsurePngHandler();
    ClipboardSession session;
    if (!session.IsOpen())
        return false;
    if (wxTheClipboard->IsSupported(DibFormat())) {
        wxCustomDataObject dib(DibFormat());
        if (wxTheClipboard->GetData(dib) && dib.GetSize() > 0) {
            CLfImage pasted;
            if (pasted.CreateFromHANDLE(static_cast<const uint8_t*>(dib.GetData()), dib.GetSize())) {
                image.Transfer(pasted);
                return true;
            }
        }
    }
    if (wxTheClipboard->IsSupported(wxDF_BITMAP)) {
        wxBitmapDataObject data;
        if (wxTheClipboard->GetData(data) && data.GetBitmap().IsOk()) {
            CLfImage pasted;
            pasted.CreateFromHBITMAP(data.GetBitmap());
            if (pasted.IsValid()) {
                image.Transfer(pasted);
                return true;
            }
        }
    }
    return false;
}

}  // namespace lfclip
