#include "manager/ui/CToolPanelArt.h"

#include "controls/CHoverButton.h"
#include "resources/manager/ToolPanelPictures.h"

CToolPanelArt::CToolPanelArt()
{
    for (int id : mpic::kButtonPictures)
        m_pictures[id] = mpic::MakeToolPanelPicture(id);
    m_pictures[mpic::kStripPicture] = mpic::MakeToolPanelPicture(mpic::kStripPicture);
    m_pictures[mpic::kNoPictureThumb] = mpic::MakeToolPanelPicture(mpic::kNoPictureThumb);
}

const wxBitmap& CToolPanelArt::Picture(int resourceId) const
{
    const auto found = m_pictures.find(resourceId);
    return found != m_pictures.end() ? found->second : wxNullBitmap;
}

wxBitmap CToolPanelArt::CreateBitmap(const wxArtID& id, const wxArtClient&, const wxSize&)
{
    for (const auto& [number, bitmap] : m_pictures)
        if (id == ResourceArtId(number))
            return bitmap;
    return wxNullBitmap;
}
