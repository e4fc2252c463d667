#include "image/codecs/CLfImagePCX.h"

#include "image/codecs/CLfImagePCX_priv.h"
#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"
#include "image/LfImageSize.h"

#include <algorithm>
#include <cstring>

using lfcodec::Fail;

namespace {

// Bytes a line plane may carry beyond the pixels it holds: writers round to
// an even count, some to a multiple of 4.
constexpr uint32_t kLinePadding = 4;

// Input buffer of the run-length decoder.
class BufferedReader {
public:
    explicit BufferedReader(CLfStream* stream) : m_stream(stream) {}
    int Next()
    {
        if (m_pos >= m_count) {
            m_count = m_stream->Read(m_buffer, 1, sizeof m_buffer);
            m_pos = 0;
            if (m_count == 0)
                return -1;
        }
        return m_buffer[m_pos++];
    }

private:
    CLfStream* m_stream;
    uint8_t m_buffer[16384];
    size_t m_pos = 0;
    size_t m_count = 0;
};

RGBQUAD Quad(uint8_t r, uint8_t g, uint8_t b)
{
    RGBQUAD q{};
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    q.rgbReserved = 0;
    return q;
}

}  // namespace

void CLfImagePCX::PlanarToIndices(uint8_t* pixels, const uint8_t* planes, int bytesPerLine, int planeCount,
                                  int bitsPerPixel)
{
    if (bitsPerPixel > 1)
        Fail("Can't handle more than 1 bit per pixel");
    std::memset(pixels, 0, size_t(bytesPerLine) * 8);
    for (int p = 0; p < planeCount; ++p) {
        const uint8_t* plane = planes + size_t(p) * size_t(bytesPerLine);
        for (int i = 0; i < bytesPerLine; ++i) {
            const uint8_t byte = plane[i];
            uint8_t* out = pixels + size_t(i) * 8;
            for (int bit = 0; bit < 8; ++bit)
                if (byte & (0x80 >> bit))
                    out[bit] = uint8_t(out[bit] | (1 << p));
        }
    }
}

void CLfImagePCX::PackedToIndices(uint8_t* pixels, const uint8_t* packed, int bytesPerLine, int planeCount,
                                  int bitsPerPixel)
{
    if (planeCount != 1)
        Fail("Can't handle packed pixels with more than 1 plane.");
    const int perByte = 8 / bitsPerPixel;
    const int mask = (1 << bitsPerPixel) - 1;
    for (int i = 0; i < bytesPerLine; ++i) {
        const uint8_t byte = packed[i];
        for (int k = 0; k < perByte; ++k)
            *pixels++ = uint8_t((byte >> (8 - bitsPerPixel * (k + 1))) & mask);
    }
}

void CLfImagePCX::WriteRunByte(int value, RunState& state, std::vector<uint8_t>& out)
{
    if (value != state.last && state.count != 0) {
        if (state.count == 1 && state.last < 0xC0) {
            out.push_back(uint8_t(state.last));
        } else {
            out.push_back(uint8_t(0xC0 | state.count));
            out.push_back(uint8_t(state.last));
        }
        state.count = 0;
    }
    if (state.count == 63) {
        out.push_back(0xFF);
        out.push_back(uint8_t(state.last));
        state.count = 0;
    }
    if (value == -2)
        out.push_back(0);
    state.last = value & 0xFF;
    if (value < 0)
        state.last = -1;  // nothing pending after the end of a line
    state.count = value < 0 ? 0 : state.count + 1;
}

void CLfImagePCX::WriteRunLine(const uint8_t* bytes, int length, std::vector<uint8_t>& out)
{
    int i = 0;
    while (i < length) {
        const uint8_t value = bytes[i];
        int run = 1;
        while (i + run < length && run < 63 && bytes[i + run] == value)
            ++run;
        if (run > 1 || value >= 0xC0)
            out.push_back(uint8_t(0xC0 | run));
        out.push_back(value);
        i += run;
    }
}

void CLfImagePCX::IndicesToPlane(const uint8_t* indices, int count, uint8_t* plane, int planeNumber)
{
    std::memset(plane, 0, size_t(count + 7) / 8);
    for (int i = 0; i < count; ++i)
        if (indices[i] & (1 << planeNumber))
            plane[i / 8] = uint8_t(plane[i / 8] | (0x80 >> (i % 8)));
}

bool CLfImagePCX::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        uint8_t raw[lfpcx::kHeaderSize];
        if (stream->Read(raw, 1, sizeof raw) != sizeof raw)
            Fail("Can't read PCX image");
        const lfpcx::Header h = lfpcx::ParseHeader(raw);
        if (h.manufacturer != lfpcx::kManufacturer)
            Fail("Error: Not a PCX file");
        if (h.encoding != 1)
            Fail("PCX file has unknown encoding scheme");
        if (h.xMin > h.xMax || h.yMin > h.yMax)
            Fail("PCX image spans no pixels: Xmin %u, Xmax %u, Ymin %u, Ymax %u", h.xMin, h.xMax, h.yMin, h.yMax);
        const int width = h.xMax - h.xMin + 1;
        const int height = h.yMax - h.yMin + 1;
        const int planes = h.planes;
        const int bits = h.bitsPerPixel;
        if (planes > 4)
            Fail("Can't handle image with more than 4 planes");
        if (planes == 0)
            Fail("PCX header gives 0 colour planes");
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8)
            Fail("PCX header gives %d bits per pixel", bits);
        const bool trueColor = bits == 8 && planes >= 3;
        if (!trueColor && planes > 1 && bits > 1)
            Fail("Can't handle more than 1 bit per pixel");
        const uint32_t needed = uint32_t((uint64_t(width) * uint64_t(bits) + 7) / 8);
        if (h.bytesPerLine < needed || h.bytesPerLine > needed + kLinePadding)
            Fail("PCX BytesPerLine %u does not fit %d pixels of %d bits", h.bytesPerLine, width, bits);
        const int bytesPerLine = h.bytesPerLine;
        const uint32_t depth = trueColor ? 24 : (planes > 1 ? 4 : uint32_t(bits));

        const uint64_t total = uint64_t(bytesPerLine) * uint64_t(planes) * uint64_t(height);
        if (total > lfimg::kMaxImageMemory)
            Fail("%s", lfimg::kMaxMemoryError);
        // Two bytes of run-length data give at most 63 bytes.
        if (total > uint64_t(lfcodec::BytesLeft(stream)) * 32)
            Fail("corrupted PCX");
        if (Create(width, height, depth, lfimg::kTypePCX) == nullptr)
            Fail("%s", info.lastError[0] ? info.lastError : "Can't allocate memory");
        if (planes == 4 && trueColor) {
            AlphaCreate();
            if (alpha == nullptr)
                Fail("Can't allocate memory");
        }
        SetXDPI(h.hRes);
        SetYDPI(h.vRes);
        if (info.escape)
            Fail("Cancelled");

        std::vector<uint8_t> data(total);
        BufferedReader reader(stream);
        for (uint64_t pos = 0; pos < total;) {
            const int c = reader.Next();
            if (c < 0)
                Fail("corrupted PCX");
            if ((c & 0xC0) == 0xC0) {
                const uint64_t count = uint64_t(c & 0x3F);
                const int value = reader.Next();
                if (value < 0)
                    Fail("corrupted PCX");
                if (count > total - pos)
                    Fail("repeat count spans end of image");
                std::memset(data.data() + pos, value, size_t(count));
                pos += count;
            } else {
                data[pos++] = uint8_t(c);
            }
        }

        RGBQUAD palette[256] = {};
        for (int i = 0; i < 16; ++i)
            palette[i] = Quad(h.colorMap[3 * i], h.colorMap[3 * i + 1], h.colorMap[3 * i + 2]);
        if (bits == 8 && planes == 1) {
            if (reader.Next() != lfpcx::kPaletteSignature)
                Fail("bad color map signature");
            for (auto& entry : palette) {
                int rgb[3];
                for (int& v : rgb)
                    if ((v = reader.Next()) < 0)
                        Fail("corrupted PCX");
                entry = Quad(uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2]));
            }
        } else if (bits == 1 && planes == 1) {
            palette[0] = Quad(0, 0, 0);
            palette[1] = Quad(255, 255, 255);
        }
        if (GetNumColors() != 0)
            SetPalette(palette, GetNumColors());

        std::vector<uint8_t> indices(size_t(bytesPerLine) * 8);
        const size_t lineSize = size_t(bytesPerLine) * size_t(planes);
        for (int y = 0; y < height; ++y) {
            if (info.escape)
                Fail("Cancelled");
            info.progress = int32_t(int64_t(y) * 100 / height);
            const uint8_t* line = data.data() + size_t(y) * lineSize;
            const int row = height - 1 - y;
            if (trueColor) {
                uint8_t* out = GetBits(uint32_t(row));
                for (int x = 0; x < width; ++x) {
                    out[3 * x] = line[2 * bytesPerLine + x];
                    out[3 * x + 1] = line[bytesPerLine + x];
                    out[3 * x + 2] = line[x];
                    if (planes == 4)
                        AlphaSet(x, row, line[3 * bytesPerLine + x]);
                }
                continue;
            }
            if (planes == 1)
                PackedToIndices(indices.data(), line, bytesPerLine, planes, bits);
            else
                PlanarToIndices(indices.data(), line, bytesPerLine, planes, bits);
            for (int x = 0; x < width; ++x)
                SetPixelIndex(x, row, indices[size_t(x)]);
        }
        info.progress = 100;
        return true;
    });
}

bool CLfImagePCX::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] {
        const int width = GetWidth();
        const int height = GetHeight();
        const uint32_t bpp = GetBpp();
        const bool hasPalette = GetNumColors() != 0;
        lfpcx::Header h;
        h.manufacturer = lfpcx::kManufacturer;
        h.version = 5;
        h.encoding = 1;
        h.xMax = uint16_t(width - 1);
        h.yMax = uint16_t(height - 1);
        h.hRes = uint16_t(info.xDpi);
        h.vRes = uint16_t(info.yDpi);
        h.paletteInfo = hasPalette ? 0 : 1;
        uint32_t bytesPerLine;
        if (bpp == 8 || bpp == 24) {
            h.bitsPerPixel = 8;
            h.planes = hasPalette ? 1 : (alpha != nullptr ? 4 : 3);
            bytesPerLine = uint32_t(width);
        } else {
            h.bitsPerPixel = 1;
            h.planes = GetNumColors() == 16 ? 4 : 1;
            bytesPerLine = (uint32_t(width) + 7) / 8;
            if (h.planes == 4) {
                for (uint32_t i = 0; i < 16; ++i) {
                    const RGBQUAD c = GetPaletteColor(i);
                    h.colorMap[3 * i] = c.rgbRed;
                    h.colorMap[3 * i + 1] = c.rgbGreen;
                    h.colorMap[3 * i + 2] = c.rgbBlue;
                }
            } else {
                std::memset(h.colorMap + 3, 0xFF, 3);
            }
        }
        bytesPerLine += bytesPerLine & 1;
        if (width > 0x10000 || height > 0x10000 || bytesPerLine > 0xFFFF)
            Fail("PCX cannot hold an image of %d x %d pixels", width, height);
        h.bytesPerLine = uint16_t(bytesPerLine);

        lfcodec::Writer out(stream);
        uint8_t raw[lfpcx::kHeaderSize];
        lfpcx::WriteHeader(h, raw);
        out.Bytes(raw, sizeof raw);
        if (!out.Ok())
            Fail("cannot write PCX header");

        std::vector<uint8_t> lines;
        const int lineEnd = (width & 1) ? -2 : -1;
        if (bpp == 24) {
            for (int row = height - 1; row >= 0; --row) {
                const uint8_t* px = GetBits(uint32_t(row));
                for (int plane = 0; plane < h.planes; ++plane) {
                    RunState state;
                    for (int x = 0; x < width; ++x) {
                        const int v = plane == 3 ? AlphaGet(x, row) : px[3 * x + 2 - plane];
                        WriteRunByte(v, state, lines);
                    }
                    WriteRunByte(lineEnd, state, lines);
                }
            }
        } else if (bpp == 8) {
            for (int row = height - 1; row >= 0; --row) {
                const uint8_t* px = GetBits(uint32_t(row));
                RunState state;
                for (int x = 0; x < width; ++x)
                    WriteRunByte(px[x], state, lines);
                WriteRunByte(lineEnd, state, lines);
            }
            lines.push_back(lfpcx::kPaletteSignature);
            for (uint32_t i = 0; i < 256; ++i) {
                const RGBQUAD c = GetPaletteColor(i);
                lines.push_back(c.rgbRed);
                lines.push_back(c.rgbGreen);
                lines.push_back(c.rgbBlue);
            }
        } else {
            const bool invert = bpp == 1 && CompareLuminance(GetPaletteColor(0), GetPaletteColor(1)) > 0;
            std::vector<uint8_t> indices(size_t(bytesPerLine) * 8, 0);
            std::vector<uint8_t> plane(bytesPerLine);
            for (int row = height - 1; row >= 0; --row) {
                for (int x = 0; x < width; ++x) {
                    const uint8_t i = GetPixelIndex(x, row);
                    indices[size_t(x)] = invert ? uint8_t(1 - i) : i;
                }
                for (int p = 0; p < h.planes; ++p) {
                    IndicesToPlane(indices.data(), width, plane.data(), p);
                    std::fill(plane.begin() + long((width + 7) / 8), plane.end(), uint8_t(0));
                    WriteRunLine(plane.data(), int(bytesPerLine), lines);
                }
            }
        }
        out.Bytes(lines.data(), lines.size());
        if (!out.Finish())
            Fail("PCX write failed");
        return true;
    });
}
