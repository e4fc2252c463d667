#pragma once
// Serves the tool panel's pictures to its buttons through the art provider stack, under
// the resource art ids. Every picture is made once, when the provider is made.

#include <wx/artprov.h>

#include <map>

class CToolPanelArt : public wxArtProvider {
public:
    CToolPanelArt();

    // The picture of a resource number, or an invalid bitmap.
    const wxBitmap& Picture(int resourceId) const;
    // How many pictures were made (each one once).
    size_t PictureCount() const { return m_pictures.size(); }

protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient& client, const wxSize& size) override;

private:
    std::map<int, wxBitmap> m_pictures;
};
