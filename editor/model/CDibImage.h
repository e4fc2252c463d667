#pragma once
// A device-independent bitmap in one block, as the colour chooser draws its brightness
// bar with: a 40-byte information header, a palette of 2, 16 or 256 entries for 1, 4 or
// 8 bits per pixel (none for 24), and the pixel rows bottom-up, each padded to a multiple
// of 4 bytes. Rows are addressed top row first. Free of windows.

#include "platform/WinTypes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CDibImage {
public:
    static constexpr size_t kHeaderSize = 40;
    static constexpr size_t kFileHeaderSize = 14;

    // 1, 4, 8 or 24 bits per pixel; all pixels 0, the palette black. False for another
    // depth, a side below 1 or a block too large.
    bool Create(int width, int height, int bitsPerPixel);
    // The packed form: header, palette and rows in one block (the clipboard's form).
    // Uncompressed bitmaps of 1, 4, 8 or 24 bits per pixel only; every size is checked
    // against the bytes given.
    bool CreateFromPacked(const uint8_t* data, size_t size);
    std::vector<uint8_t> CopyToPacked() const { return m_block; }
    // BMP files: a 14-byte file header ("BM", file size, 0, offset of the rows) and the block.
    bool Load(const std::string& path);
    bool Save(const std::string& path) const;
    bool CopyFrom(const CDibImage& other);

    bool IsValid() const { return !m_block.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bpp; }
    size_t RowSize() const { return m_rowSize; }
    int PaletteSize() const { return m_paletteSize; }

    // Palette entries from red/green/blue triples; through the lookup table when asked.
    void SetPalette(const std::vector<std::array<uint8_t, 3>>& colours, bool throughLookup = false);
    COLORREF PaletteColour(int index) const;
    // The lookup table: entry i = trunc((i / 255)^gamma x 255 + 0.5); it is then in use.
    void SetGammaTable(double gamma);
    bool LookupInUse() const { return m_lookupInUse; }
    uint8_t Lookup(int i) const { return m_lookup[static_cast<size_t>(i & 0xFF)]; }

    // Every pixel set to value (a palette index, or a colour for 24 bits).
    void Fill(uint32_t value);
    // Pixels by column and row, row 0 on top; outside the image nothing is changed and
    // nothing read.
    void SetIndex(int x, int y, uint8_t index);
    std::optional<uint8_t> GetIndex(int x, int y) const;
    void SetColour(int x, int y, COLORREF colour);
    std::optional<COLORREF> GetColour(int x, int y) const;  // 24 bits, or the palette's colour
    void ReplaceIndex(uint8_t from, uint8_t to);
    int CountColours() const;  // different 8-bit indices used

    // A rectangle of another image of the same depth, clipped to both; with a mask, only
    // pixels whose index is marked in it (256 entries).
    bool CopyRect(const CDibImage& source, int sx, int sy, int width, int height, int dx, int dy,
                  const uint8_t* mask = nullptr);
    // A rectangle of another image of the same depth enlarged by whole factors to
    // width x height at (dx, dy); the remainders are spread evenly over rows and columns.
    bool StretchCopy(const CDibImage& source, int sx, int sy, int sw, int sh, int dx, int dy, int width, int height);
    // This 8-bit image (palette set) takes source's pixels (1, 4, 8 or 24 bits) as the
    // nearest palette entries; 24-bit colours go through a table of 32768 cells.
    bool ConvertTo8(const CDibImage& source);
    // The nearest palette entry to a colour, remembered once found.
    uint8_t NearestIndex(uint8_t red, uint8_t green, uint8_t blue);

private:
    bool Layout(int width, int height, int bitsPerPixel);
    uint8_t* Row(int y) { return m_block.data() + m_rowsOffset + static_cast<size_t>(m_height - 1 - y) * m_rowSize; }
    const uint8_t* Row(int y) const
    {
        return m_block.data() + m_rowsOffset + static_cast<size_t>(m_height - 1 - y) * m_rowSize;
    }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    std::vector<uint8_t> m_block;
    int m_width = 0;
    int m_height = 0;
    int m_bpp = 0;
    int m_paletteSize = 0;
    size_t m_rowSize = 0;
    size_t m_rowsOffset = 0;
    std::array<uint8_t, 256> m_lookup{};
    bool m_lookupInUse = false;
    // Up to 256 colours already matched to palette entries; emptied with a new palette.
    std::vector<std::pair<COLORREF, uint8_t>> m_matched;
};
