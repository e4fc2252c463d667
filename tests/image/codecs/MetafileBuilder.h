#pragma once
// Small metafiles built byte by byte for the tests: placeable WMF files and EMF
// files with the records given. Needs no test framework: the benchmarks build their
// files with it too.

#include "image/CLfImage.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace lftest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, int v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(unsigned(v) >> 8));
}
inline void Put32(Bytes& b, int64_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(uint64_t(v) >> (8 * i)));
}

// A placeable WMF: the 22-byte header, the metafile header and the records given
// as (function, 16-bit parameters).
struct WmfRecord {
    uint16_t function;
    std::vector<int> words;  // 16-bit parameters; a 32-bit value takes two
};
inline Bytes PlaceableWmf(int left, int top, int right, int bottom, int inch, const std::vector<WmfRecord>& records,
                          int checksumFlip = 0)
{
    Bytes out;
    Put32(out, 0x9AC6CDD7);
    Put16(out, 0);
    Put16(out, left);
    Put16(out, top);
    Put16(out, right);
    Put16(out, bottom);
    Put16(out, inch);
    Put32(out, 0);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= uint16_t(out[2 * i] | (out[2 * i + 1] << 8));
    Put16(out, sum ^ checksumFlip);
    Bytes body;
    for (const WmfRecord& r : records) {
        Put32(body, int64_t(3 + r.words.size()));
        Put16(body, r.function);
        for (int w : r.words) Put16(body, w);
    }
    Put32(body, 3);  // end of file
    Put16(body, 0);
    const size_t words = (18 + body.size()) / 2;
    Put16(out, 1);      // in memory
    Put16(out, 9);      // header words
    Put16(out, 0x300);  // version
    Put32(out, int64_t(words));
    Put16(out, 4);  // objects
    Put32(out, 16);
    Put16(out, 0);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// An EMF: the header record with the bounds, then records of 32-bit parameters.
struct EmfRecord {
    uint32_t type;
    Bytes params;
};
inline Bytes Ints(std::initializer_list<int64_t> values)
{
    Bytes b;
    for (int64_t v : values) Put32(b, v);
    return b;
}
inline Bytes Emf(int left, int top, int right, int bottom, const std::vector<EmfRecord>& records)
{
    Bytes body;
    for (const EmfRecord& r : records) {
        Put32(body, r.type);
        Put32(body, int64_t(8 + r.params.size()));
        body.insert(body.end(), r.params.begin(), r.params.end());
    }
    Put32(body, 14);  // end of file
    Put32(body, 20);
    Put32(body, 0);
    Put32(body, 0);
    Put32(body, 0);
    Bytes out;
    Put32(out, 1);
    Put32(out, 88);
    for (int v : {left, top, right, bottom}) Put32(out, v);
    for (int v : {0, 0, 2540, 1270}) Put32(out, v);  // frame, 0.01 mm
    Put32(out, 0x464D4520);
    Put32(out, 0x10000);
    Put32(out, int64_t(88 + body.size()));
    Put32(out, int64_t(records.size() + 2));
    Put16(out, 4);
    Put16(out, 0);
    for (int v : {0, 0, 0, 1280, 1024, 320, 240}) Put32(out, v);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// ---- record parameters ----------------------------------------------------------------

inline Bytes Floats(std::initializer_list<float> values)
{
    Bytes b;
    for (float f : values) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Put32(b, bits);
    }
    return b;
}
inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The header of a packed DIB and its colours (0x00RRGGBB).
inline Bytes DibHeader(int w, int h, int bits, std::initializer_list<int64_t> colours)
{
    Bytes b = Ints({40, w, h});
    Put16(b, 1);
    Put16(b, bits);
    return b + Ints({0, 0, 0, 0, int64_t(colours.size()), 0}) + Ints(colours);
}

// A 24-bit packed DIB, bottom-up, colour(x, top-down y) for each pixel.
template <class F>
Bytes Dib24(int w, int h, F colour)
{
    Bytes b = DibHeader(w, h, 24, {});
    const int row = (w * 3 + 3) & ~3;
    for (int y = h - 1; y >= 0; --y) {
        Bytes line;
        for (int x = 0; x < w; ++x) {
            const RGBQUAD c = colour(x, y);
            line.push_back(c.rgbBlue);
            line.push_back(c.rgbGreen);
            line.push_back(c.rgbRed);
        }
        line.resize(size_t(row), 0);
        b = b + line;
    }
    return b;
}
// A 1-bit packed DIB (black, white), bottom-up; on(x, top-down y) picks white.
template <class F>
Bytes Dib1(int w, int h, F on)
{
    Bytes b = DibHeader(w, h, 1, {0, 0xFFFFFF});
    const int row = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        Bytes line(size_t(row), 0);
        for (int x = 0; x < w; ++x)
            if (on(x, y))
                line[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        b = b + line;
    }
    return b;
}

// EMF records with a packed DIB: the fixed parameters, then header and pixels.
// infoAt: where the four fields offBmi, cbBmi, offBits, cbBits sit in the fixed part.
inline EmfRecord EmfWithDib(uint32_t type, Bytes fixed, size_t infoAt, const Bytes& dib)
{
    const uint32_t header = dib.size() >= 40 ? 40 + (dib[32] | (dib[33] << 8)) * 4 : 0;
    const uint32_t start = uint32_t(8 + fixed.size());
    const Bytes fields = Ints({start, header, start + header, int64_t(dib.size() - header)});
    std::copy(fields.begin(), fields.end(), fixed.begin() + long(infoAt));
    return {type, fixed + dib};
}

// EMR_EXTCREATEFONTINDIRECTW: slot, the logical font, the face name.
inline EmfRecord EmfFont(int slot, int height, int width = 0, int escapement = 0, int weight = 400,
                         bool italic = false, bool underline = false, bool strike = false,
                         const std::string& face = "DejaVu Sans")
{
    Bytes b = Ints({slot, height, width, escapement, escapement, weight});
    b.push_back(italic);
    b.push_back(underline);
    b.push_back(strike);
    b.push_back(0);
    b = b + Ints({0});
    for (size_t i = 0; i < 32; ++i) Put16(b, i < face.size() ? face[i] : 0);
    return {82, b};
}

// EMR_EXTTEXTOUTW (or A, wide false): reference point, options, rectangle, text and
// optional advances.
inline EmfRecord EmfText(int x, int y, const std::string& text, int options = 0,
                         std::initializer_list<int64_t> rect = {0, 0, -1, -1}, const std::vector<int>& dx = {},
                         bool wide = true)
{
    Bytes chars;
    for (char c : text) {
        chars.push_back(uint8_t(c));
        if (wide)
            chars.push_back(0);
    }
    while (chars.size() % 4) chars.push_back(0);
    const int64_t offString = 8 + 28 + 40;
    const int64_t offDx = dx.empty() ? 0 : offString + int64_t(chars.size());
    Bytes b = Ints({0, 0, -1, -1, 1}) + Floats({1, 1}) + Ints({x, y, int64_t(text.size()), offString, options}) +
              Ints(rect) + Ints({offDx}) + chars;
    for (int d : dx) Put32(b, d);
    return {uint32_t(wide ? 84 : 83), b};
}

// WMF parameter words of a byte string (padded to whole words).
inline std::vector<int> Words(const std::string& bytes)
{
    std::vector<int> w;
    for (size_t i = 0; i < bytes.size(); i += 2)
        w.push_back(uint8_t(bytes[i]) | (i + 1 < bytes.size() ? uint8_t(bytes[i + 1]) << 8 : 0));
    return w;
}
inline std::vector<int> operator+(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline std::vector<int> Words(const Bytes& bytes)
{
    return Words(std::string(bytes.begin(), bytes.end()));
}
// META_CREATEFONTINDIRECT parameters.
inline std::vector<int> WmfFont(int height, int width = 0, int escapement = 0, int weight = 400,
                                bool underline = false, const std::string& face = "DejaVu Sans")
{
    std::string name = face;
    name.resize(32, '\0');
    return std::vector<int>{height, width, escapement, escapement, weight, underline << 8, 0, 0, 0} + Words(name);
}

}  // namespace lftest
