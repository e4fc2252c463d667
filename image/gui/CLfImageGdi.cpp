// Painting images into wx drawing contexts and exchanging them with wx bitmaps.
// Every paint composes the visible part of the picture in memory (LfDrawCompose)
// and puts it on the DC with one bitmap. The DC's pixels are never read back (GTK
// cannot read every kind of DC reliably): partly transparent pixels travel with
// their opacity and the toolkit blends them over what the target shows.

#include "image/CLfImage.h"
#include "image/ops/LfDrawCompose.h"

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/settings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

LfDrawArea ClipBoxOf(const wxDC& dc)
{
    wxRect box;
    dc.GetClippingBox(box);
    LfDrawArea area;
    area.left = box.x;
    area.top = box.y;
    area.width = box.width;
    area.height = box.height;
    return area;
}

// Composes the visible part of (x, y, cx, cy) and paints it. Pixels the mode
// leaves out keep the target as it is; partly transparent ones go to the toolkit
// with their opacity, which composites them over what the target shows.
void PaintComposed(const CLfImage& image, wxDC& dc, int64_t x, int64_t y, int64_t cx, int64_t cy,
                   const wxRect* clip, LfComposeMode mode)
{
    LfDrawArea box = ClipBoxOf(dc);
    if (clip)
        box = LfVisibleArea(clip->x, clip->y, clip->width, clip->height, box);
    const LfDrawArea area = LfVisibleArea(x, y, cx, cy, box);
    if (area.IsEmpty())
        return;
    wxImage picture(area.width, area.height, false);
    if (!picture.IsOk())
        return;
    if (mode == LfComposeMode::Blend)
        mode = LfComposeMode::Opacity;
    const size_t pixels = size_t(area.width) * size_t(area.height);
    std::vector<uint8_t> alpha(mode == LfComposeMode::Plain ? 0 : pixels);
    const int64_t skipped = LfComposeArea(image, x, y, cx, cy, area, mode, RGBQUAD{}, picture.GetData(),
                                          alpha.empty() ? nullptr : alpha.data());
    if (uint64_t(skipped) == pixels)
        return;
    if (std::any_of(alpha.begin(), alpha.end(), [](uint8_t a) { return a != 255; })) {
        // wxImage frees the plane with free().
        auto* plane = static_cast<uint8_t*>(std::malloc(pixels));
        if (!plane)
            return;
        std::memcpy(plane, alpha.data(), pixels);
        picture.SetAlpha(plane, false);
    }
    dc.DrawBitmap(wxBitmap(picture), area.left, area.top, false);
}

}  // namespace

bool CLfImage::Draw(wxDC* dc, int32_t x, int32_t y, int32_t cx, int32_t cy, const wxRect* clip) const
{
    if (!dib || !dc || cx == 0 || cy == 0 || !info.enabled)
        return false;
    PaintComposed(*this, *dc, x, y, cx < 0 ? GetWidth() : cx, cy < 0 ? GetHeight() : cy, clip,
                  LfDrawMode(*this));
    return true;
}

bool CLfImage::Draw2(wxDC* dc, int32_t x, int32_t y, int32_t cx, int32_t cy) const
{
    if (!dib || !dc || cx == 0 || cy == 0 || !info.enabled)
        return false;
    const LfComposeMode mode = info.transIndex >= 0 ? LfComposeMode::ColourKey : LfComposeMode::Plain;
    PaintComposed(*this, *dc, x, y, cx < 0 ? GetWidth() : cx, cy < 0 ? GetHeight() : cy, nullptr, mode);
    return true;
}

bool CLfImage::Stretch(wxDC* dc, int32_t x, int32_t y, int32_t cx, int32_t cy) const
{
    if (!dib || !dc)
        return false;
    if (cx > 0 && cy > 0)
        PaintComposed(*this, *dc, x, y, cx, cy, nullptr, LfComposeMode::Plain);
    return true;
}

bool CLfImage::Tile(wxDC* dc, const wxRect* rect) const
{
    if (!dib || !dc || !rect)
        return false;
    const int64_t width = GetWidth(), height = GetHeight();
    const int64_t right = int64_t(rect->x) + rect->width, bottom = int64_t(rect->y) + rect->height;
    for (int64_t ty = rect->y; ty < bottom; ty += height) {
        for (int64_t tx = rect->x; tx < right; tx += width) {
            const wxRect part(int(tx), int(ty), int(std::min(width, right - tx)), int(std::min(height, bottom - ty)));
            Draw(dc, int32_t(tx), int32_t(ty), -1, -1, &part);
        }
    }
    return true;
}

wxBitmap CLfImage::MakeBitmap() const
{
    if (!dib)
        return wxBitmap();
    wxImage picture(GetWidth(), GetHeight(), false);
    if (!picture.IsOk())
        return wxBitmap();
    LfDrawArea all;
    all.width = GetWidth();
    all.height = GetHeight();
    LfComposeArea(*this, 0, 0, all.width, all.height, all, LfComposeMode::Plain, RGBQUAD{}, picture.GetData(),
                  nullptr);
    return wxBitmap(picture);
}

void CLfImage::CreateFromHBITMAP(const wxBitmap& bitmap)
{
    Destroy();
    if (!bitmap.IsOk())
        return;
    const wxImage picture = bitmap.ConvertToImage();
    if (!Create(bitmap.GetWidth(), bitmap.GetHeight(), 24, 0))
        return;
    if (!picture.IsOk() || picture.GetWidth() != GetWidth() || picture.GetHeight() != GetHeight()) {
        SetLastError("GetDIBits failed");
        return;
    }
    const uint8_t* src = picture.GetData();
    const int32_t width = GetWidth(), height = GetHeight();
    for (int32_t line = 0; line < height; ++line) {
        uint8_t* row = GetBits(uint32_t(height - 1 - line));
        const uint8_t* s = src + size_t(line) * size_t(width) * 3;
        for (int32_t c = 0; c < width; ++c) {
            row[3 * c] = s[3 * c + 2];
            row[3 * c + 1] = s[3 * c + 1];
            row[3 * c + 2] = s[3 * c];
        }
    }
}

void CLfImage::CreateFromHICON(const wxIcon& icon)
{
    Destroy();
    if (!icon.IsOk())
        return;
    wxBitmap bitmap;
    if (!bitmap.CopyFromIcon(icon))
        return;
    CreateFromHBITMAP(bitmap);
    if (!dib)
        return;
    const wxImage picture = bitmap.ConvertToImage();
    if (!picture.IsOk() || (!picture.HasAlpha() && !picture.HasMask()))
        return;
    if (!AlphaCreate())
        return;
    const int32_t width = GetWidth(), height = GetHeight();
    for (int32_t line = 0; line < height; ++line) {
        for (int32_t c = 0; c < width; ++c) {
            uint8_t level = 255;
            if (picture.HasAlpha())
                level = picture.GetAlpha(c, line);
            if (picture.HasMask() && picture.IsTransparent(c, line))
                level = 0;
            AlphaSet(c, height - 1 - line, level);
        }
    }
}

bool CLfImage::DrawString(wxDC* dc, int32_t x, int32_t y, const char* text, RGBQUAD colour, const char* face,
                          int32_t height, int32_t weight, bool italic, bool underline, bool setAlpha)
{
    if (!dib)
        return true;
    if (!text || !*text)
        return true;
    wxMemoryDC memory(dc);
    const std::string faceName = face ? std::string(face).substr(0, 31) : std::string();
    wxFontInfo fontInfo(wxSize(0, std::abs(height)));
    fontInfo.FaceName(wxString::FromUTF8(faceName.c_str()))
        .Weight(std::clamp(weight == 0 ? 400 : weight, 1, 1000))
        .Italic(italic)
        .Underlined(underline);
    wxFont font(fontInfo);
    if (!font.IsOk())
        font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    memory.SetFont(font);
    const wxString label = wxString::FromUTF8(text);
    wxCoord w = 0, h = 0;
    memory.GetMultiLineTextExtent(label, &w, &h);
    if (w <= 0 || h <= 0)
        return true;

    wxBitmap canvas(w + h, h, 24);
    if (!canvas.IsOk())
        return true;
    memory.SelectObject(canvas);
    memory.SetBackground(*wxBLACK_BRUSH);
    memory.Clear();
    memory.SetTextForeground(*wxWHITE);
    memory.SetTextBackground(*wxBLACK);
    memory.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
    memory.DrawText(label, 0, 0);
    memory.SelectObject(wxNullBitmap);

    // Any lit pixel of the rendering takes the colour; its bottom row lands on
    // top-down row y of this image.
    const wxImage rendered = canvas.ConvertToImage();
    const int32_t rows = rendered.GetHeight(), cols = rendered.GetWidth();
    const int64_t imageHeight = GetHeight();
    for (int32_t line = 0; line < rows; ++line) {
        const int64_t j = rows - 1 - line;  // counted from the rendering's bottom row
        for (int32_t i = 0; i < cols; ++i) {
            if (rendered.GetBlue(i, line) != 0)
                SetPixelColor(int64_t(x) + i, imageHeight - 1 - y + j, colour, setAlpha);
        }
    }
    return true;
}
