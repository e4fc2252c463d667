#include "editor/model/CDibImage.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

// Far beyond any bitmap the chooser makes, and within what a 32-bit size field holds.
constexpr size_t kLargestBlock = size_t{1} << 30;

uint32_t Read32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Write32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Write16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

int PaletteEntriesFor(int bpp) { return bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0; }

int Score(COLORREF a, COLORREF b)
{
    const int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b), db = GetBValue(a) - GetBValue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

bool CDibImage::Layout(int width, int height, int bitsPerPixel)
{
    if (width < 1 || height < 1 || (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24))
        return false;
    const size_t rowBits = static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel);
    const size_t rowSize = (rowBits + 31) / 32 * 4;
    const int entries = PaletteEntriesFor(bitsPerPixel);
    const size_t rowsOffset = kHeaderSize + 4 * static_cast<size_t>(entries);
    if (rowSize > kLargestBlock / static_cast<size_t>(height) || rowsOffset + rowSize * height > kLargestBlock)
        return false;
    m_width = width;
    m_height = height;
    m_bpp = bitsPerPixel;
    m_paletteSize = entries;
    m_rowSize = rowSize;
    m_rowsOffset = rowsOffset;
    m_matched.clear();
    return true;
}

bool CDibImage::Create(int width, int height, int bitsPerPixel)
{
    if (!Layout(width, height, bitsPerPixel))
        return false;
    m_block.assign(m_rowsOffset + m_rowSize * static_cast<size_t>(height), 0);
    uint8_t* h = m_block.data();
    Write32(h, kHeaderSize);
    Write32(h + 4, static_cast<uint32_t>(width));
    Write32(h + 8, static_cast<uint32_t>(height));
    Write16(h + 12, 1);
    Write16(h + 14, static_cast<uint16_t>(bitsPerPixel));
    Write32(h + 20, static_cast<uint32_t>(m_rowSize * static_cast<size_t>(height)));
    Write32(h + 32, static_cast<uint32_t>(m_paletteSize));
    return true;
}

bool CDibImage::CreateFromPacked(const uint8_t* data, size_t size)
{
    if (!data || size < kHeaderSize)
        return false;
    const uint32_t headerSize = Read32(data);
    const auto width = static_cast<int32_t>(Read32(data + 4));
    const auto height = static_cast<int32_t>(Read32(data + 8));
    const int bpp = Read16(data + 14);
    const uint32_t compression = Read32(data + 16);
    const uint32_t used = Read32(data + 32);
    // Bottom-up, uncompressed, and under 15 bits per pixel or 24.
    if (headerSize != kHeaderSize || compression != 0 || height <= 0 || !(bpp < 15 || bpp == 24))
        return false;
    CDibImage image;
    if (!image.Layout(width, height, bpp))
        return false;
    const int entries = image.m_paletteSize;
    if (used > static_cast<uint32_t>(entries))
        return false;
    // A palette shorter than the depth's is given whole-sized here, the rest black.
    const size_t given = kHeaderSize + 4 * static_cast<size_t>(used ? used : entries);
    const size_t rows = image.m_rowSize * static_cast<size_t>(height);
    if (size < given || size - given < rows)
        return false;
    image.Create(width, height, bpp);
    std::copy(data + kHeaderSize, data + given, image.m_block.begin() + kHeaderSize);
    std::copy(data + given, data + given + rows, image.m_block.begin() + static_cast<long>(image.m_rowsOffset));
    *this = std::move(image);
    return true;
}

bool CDibImage::Save(const std::string& path) const
{
    if (!IsValid())
        return false;
    uint8_t file[kFileHeaderSize] = {'B', 'M'};
    Write32(file + 2, static_cast<uint32_t>(kFileHeaderSize + m_block.size()));
    Write32(file + 10, static_cast<uint32_t>(kFileHeaderSize + m_rowsOffset));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file), sizeof file);
    out.write(reinterpret_cast<const char*>(m_block.data()), static_cast<std::streamsize>(m_block.size()));
    return static_cast<bool>(out.flush());
}

bool CDibImage::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < kFileHeaderSize + kHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    // The rows start at the stored offset; the palette lies between the header and them.
    const uint32_t rowsAt = Read32(bytes.data() + 10);
    CDibImage probe;
    const uint8_t* info = bytes.data() + kFileHeaderSize;
    if (Read32(info) != kHeaderSize || rowsAt < kFileHeaderSize + kHeaderSize || rowsAt > bytes.size())
        return false;
    if (!probe.Layout(static_cast<int32_t>(Read32(info + 4)), static_cast<int32_t>(Read32(info + 8)), Read16(info + 14)))
        return false;
    std::vector<uint8_t> packed(info, bytes.data() + std::min<size_t>(rowsAt, kFileHeaderSize + probe.m_rowsOffset));
    packed.resize(probe.m_rowsOffset, 0);
    Write32(packed.data() + 32, 0);  // the palette is whole now
    packed.insert(packed.end(), bytes.begin() + rowsAt, bytes.end());
    return CreateFromPacked(packed.data(), packed.size());
}

bool CDibImage::CopyFrom(const CDibImage& other)
{
    if (!other.IsValid())
        return false;
    *this = other;
    m_matched.clear();
    return true;
}

void CDibImage::SetPalette(const std::vector<std::array<uint8_t, 3>>& colours, bool throughLookup)
{
    const size_t count = std::min(colours.size(), static_cast<size_t>(m_paletteSize));
    for (size_t i = 0; i < count; ++i) {
        uint8_t* entry = m_block.data() + kHeaderSize + 4 * i;
        const auto& c = colours[i];
        auto map = [&](uint8_t v) { return throughLookup && m_lookupInUse ? m_lookup[v] : v; };
        entry[0] = map(c[2]);
        entry[1] = map(c[1]);
        entry[2] = map(c[0]);
        entry[3] = 0;
    }
    m_matched.clear();
}

COLORREF CDibImage::PaletteColour(int index) const
{
    if (index < 0 || index >= m_paletteSize)
        return 0;
    const uint8_t* entry = m_block.data() + kHeaderSize + 4 * static_cast<size_t>(index);
    return RGB(entry[2], entry[1], entry[0]);
}

void CDibImage::SetGammaTable(double gamma)
{
    for (int i = 0; i < 256; ++i)
        m_lookup[static_cast<size_t>(i)] =
            static_cast<uint8_t>(std::clamp(std::trunc(std::pow(i / 255.0, gamma) * 255.0 + 0.5), 0.0, 255.0));
    m_lookupInUse = true;
}

void CDibImage::Fill(uint32_t value)
{
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            if (m_bpp == 24)
                SetColour(x, y, value);
            else
                SetIndex(x, y, static_cast<uint8_t>(value));
        }
}

void CDibImage::SetIndex(int x, int y, uint8_t index)
{
    if (!Inside(x, y) || m_bpp == 24)
        return;
    uint8_t* row = Row(y);
    if (m_bpp == 8) {
        row[x] = index;
        return;
    }
    const int perByte = 8 / m_bpp;
    const int shift = (perByte - 1 - x % perByte) * m_bpp;
    const auto mask = static_cast<uint8_t>(((1 << m_bpp) - 1) << shift);
    uint8_t& byte = row[x / perByte];
    byte = static_cast<uint8_t>((byte & ~mask) | ((index << shift) & mask));
}

std::optional<uint8_t> CDibImage::GetIndex(int x, int y) const
{
    if (!Inside(x, y) || m_bpp == 24)
        return std::nullopt;
    const uint8_t* row = Row(y);
    if (m_bpp == 8)
        return row[x];
    const int perByte = 8 / m_bpp;
    const int shift = (perByte - 1 - x % perByte) * m_bpp;
    return static_cast<uint8_t>((row[x / perByte] >> shift) & ((1 << m_bpp) - 1));
}

void CDibImage::SetColour(int x, int y, COLORREF colour)
{
    if (!Inside(x, y))
        return;
    if (m_bpp != 24) {
        SetIndex(x, y, NearestIndex(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
        return;
    }
    uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

std::optional<COLORREF> CDibImage::GetColour(int x, int y) const
{
    if (!Inside(x, y))
        return std::nullopt;
    if (m_bpp != 24)
        return PaletteColour(*GetIndex(x, y));
    const uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
    return RGB(p[2], p[1], p[0]);
}

void CDibImage::ReplaceIndex(uint8_t from, uint8_t to)
{
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (GetIndex(x, y) == from)
                SetIndex(x, y, to);
}

int CDibImage::CountColours() const
{
    if (m_bpp == 24)
        return 0;
    std::array<bool, 256> used{};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            used[*GetIndex(x, y)] = true;
    return static_cast<int>(std::count(used.begin(), used.end(), true));
}

bool CDibImage::CopyRect(const CDibImage& source, int sx, int sy, int width, int height, int dx, int dy,
                         const uint8_t* mask)
{
    if (!IsValid() || !source.IsValid() || source.m_bpp != m_bpp)
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!source.Inside(sx + x, sy + y) || !Inside(dx + x, dy + y))
                continue;
            if (m_bpp == 24) {
                SetColour(dx + x, dy + y, *source.GetColour(sx + x, sy + y));
                continue;
            }
            const uint8_t index = *source.GetIndex(sx + x, sy + y);
            if (!mask || mask[index])
                SetIndex(dx + x, dy + y, index);
        }
    return true;
}

bool CDibImage::StretchCopy(const CDibImage& source, int sx, int sy, int sw, int sh, int dx, int dy, int width,
                            int height)
{
    if (!IsValid() || !source.IsValid() || source.m_bpp != m_bpp || sw < 1 || sh < 1 || width < sw || height < sh)
        return false;
    // Source column i covers target columns [i * width / sw, (i + 1) * width / sw): each
    // is the whole factor wide, and the remainder falls evenly among them.
    for (int i = 0; i < sh; ++i)
        for (int ty = i * height / sh; ty < (i + 1) * height / sh; ++ty)
            for (int j = 0; j < sw; ++j)
                for (int tx = j * width / sw; tx < (j + 1) * width / sw; ++tx)
                    if (source.Inside(sx + j, sy + i) && Inside(dx + tx, dy + ty)) {
                        if (m_bpp == 24)
                            SetColour(dx + tx, dy + ty, *source.GetColour(sx + j, sy + i));
                        else
                            SetIndex(dx + tx, dy + ty, *source.GetIndex(sx + j, sy + i));
                    }
    return true;
}

uint8_t CDibImage::NearestIndex(uint8_t red, uint8_t green, uint8_t blue)
{
    const COLORREF colour = RGB(red, green, blue);
    for (const auto& [matched, index] : m_matched)
        if (matched == colour)
            return index;
    int best = 10'000'000;
    uint8_t bestIndex = 0;
    for (int i = 0; i < m_paletteSize; ++i) {
        const int score = Score(colour, PaletteColour(i));
        if (score < best) {
            best = score;
            bestIndex = static_cast<uint8_t>(i);
            if (score == 0)
                break;
        }
    }
    if (m_matched.size() >= 256)
        m_matched.clear();
    m_matched.emplace_back(colour, bestIndex);
    return bestIndex;
}

bool CDibImage::ConvertTo8(const CDibImage& source)
{
    if (!IsValid() || m_bpp != 8 || !source.IsValid() || source.m_width != m_width || source.m_height != m_height)
        return false;
    if (source.m_bpp != 24) {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) {
                const COLORREF c = *source.GetColour(x, y);
                SetIndex(x, y, NearestIndex(GetRValue(c), GetGValue(c), GetBValue(c)));
            }
        return true;
    }
    // 24 bits: one match per cell of the top 5 bits of each channel, the cell's colour
    // having the low 3 bits of each channel set.
    std::vector<int16_t> cells(32768, -1);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            const COLORREF c = *source.GetColour(x, y);
            const size_t cell = static_cast<size_t>(((GetRValue(c) >> 3) << 10) | ((GetGValue(c) >> 3) << 5) | (GetBValue(c) >> 3));
            if (cells[cell] < 0)
                cells[cell] = NearestIndex(GetRValue(c) | 7, GetGValue(c) | 7, GetBValue(c) | 7);
            SetIndex(x, y, static_cast<uint8_t>(cells[cell]));
        }
    return true;
}
