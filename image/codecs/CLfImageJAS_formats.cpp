// The JPEG-2000 family's small companions: PGX, PNM (PBM, PGM, PPM) and Sun
// raster, read into components and written from 8-bit samples. Every size read
// from a file passes the size gate and is checked against the bytes left before
// anything is allocated.

#include "image/codecs/CLfImageJAS_priv.h"

#include "image/CLfImage.h"
#include "image/CLfStream.h"
#include "image/codecs/LfCodecIo.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace lfjas {

void Picture::AddPlanes(uint32_t count, uint32_t w, uint32_t h, uint32_t maxValue)
{
    for (uint32_t i = 0; i < count; ++i) {
        storage.emplace_back(size_t(w) * size_t(h));
        Component c;
        c.w = w;
        c.h = h;
        c.maxValue = maxValue;
        components.push_back(c);
    }
    for (size_t i = 0; i < components.size(); ++i)
        components[i].data = storage[i].data();
}

Format Sniff(const uint8_t* head, size_t length)
{
    static const uint8_t jp2[12] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    if (length >= 12 && std::memcmp(head, jp2, 12) == 0)
        return Format::JP2;
    if (length >= 4 && head[0] == 0xFF && head[1] == 0x4F && head[2] == 0xFF && head[3] == 0x51)
        return Format::J2K;
    if (length >= 3 && head[0] == 'P' && head[1] == 'G' && std::isspace(head[2]))
        return Format::PGX;
    if (length >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6' && std::isspace(head[2]))
        return Format::PNM;
    if (length >= 4 && head[0] == 0x59 && head[1] == 0xA6 && head[2] == 0x6A && head[3] == 0x95)
        return Format::RAS;
    return Format::Unknown;
}

namespace {

// Width and height as every reader checks them: positive, and the int32 planes of
// all components within the size gate.
void CheckPlanes(CLfImage& image, uint64_t w, uint64_t h, uint32_t planes, const char* what)
{
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        lfcodec::Fail("%s size %llu x %llu", what, (unsigned long long)w, (unsigned long long)h);
    if (!image.CheckSize(int64_t(w), int64_t(h), 32 * planes))
        lfcodec::Fail("%s", image.GetLastError());
}

// Header tokens of the text formats.
class TextHeader {
public:
    TextHeader(CLfStream* stream, const char* what, bool comments)
        : m_stream(stream), m_what(what), m_comments(comments)
    {
    }
    int Next()
    {
        const int c = m_stream->GetC();
        if (c < 0)
            lfcodec::Fail("%s header ends early", m_what);
        return c;
    }
    // Skips white space (and comments) and returns the first other character.
    int SkipSpace()
    {
        for (;;) {
            int c = Next();
            if (m_comments && c == '#') {
                while (c != '\n' && c != '\r')
                    c = Next();
                continue;
            }
            if (!std::isspace(c))
                return c;
        }
    }
    // A decimal number up to limit.
    uint32_t Number(uint32_t limit, const char* field)
    {
        int c = SkipSpace();
        return NumberFrom(c, limit, field);
    }
    uint32_t NumberFrom(int c, uint32_t limit, const char* field)
    {
        if (!std::isdigit(c))
            lfcodec::Fail("%s %s is not a number", m_what, field);
        uint64_t v = 0;
        while (std::isdigit(c)) {
            v = v * 10 + uint32_t(c - '0');
            if (v > limit)
                lfcodec::Fail("%s %s above %u", m_what, field, limit);
            c = m_stream->GetC();
        }
        m_last = c;
        return uint32_t(v);
    }
    // The character that ended the last number (-1 at the end of the stream).
    int Last() const { return m_last; }

private:
    CLfStream* m_stream;
    const char* m_what;
    bool m_comments;
    int m_last = -1;
};

}  // namespace

// ---- PNM ---------------------------------------------------------------------------

void ReadPnm(CLfStream* stream, CLfImage& image, Picture& picture)
{
    TextHeader header(stream, "PNM", true);
    if (header.Next() != 'P')
        lfcodec::Fail("Not a PNM");
    const int kind = header.Next() - '0';
    if (kind < 1 || kind > 6)
        lfcodec::Fail("PNM kind P%d not read", kind);
    const uint32_t w = header.Number(0x7FFFFFFF, "width");
    const uint32_t h = header.Number(0x7FFFFFFF, "height");
    const bool bits = kind == 1 || kind == 4;
    const uint32_t maxValue = bits ? 1 : header.Number(65535, "maximum value");
    if (maxValue == 0)
        lfcodec::Fail("PNM maximum value 0");
    if (!std::isspace(header.Last()))
        lfcodec::Fail("PNM header not ended by white space");
    const uint32_t channels = (kind == 3 || kind == 6) ? 3 : 1;
    CheckPlanes(image, w, h, channels, "PNM");
    const bool binary = kind >= 4;
    const uint64_t samples = uint64_t(w) * h * channels;
    const uint32_t sampleBytes = maxValue < 256 ? 1 : 2;
    const uint64_t rowBytes = kind == 4 ? (uint64_t(w) + 7) / 8 : uint64_t(w) * channels * sampleBytes;
    // Text samples take at least one byte each.
    lfcodec::NeedBytes(stream, binary ? rowBytes * h : samples, "PNM data ends before the last row");

    picture.AddPlanes(channels, w, h, maxValue);
    std::vector<int32_t>* planes[3] = {};
    for (uint32_t c = 0; c < channels; ++c)
        planes[c] = &picture.storage[c];

    std::vector<uint8_t> row(binary ? size_t(rowBytes) : 0);
    for (uint32_t y = 0; y < h; ++y) {
        if (binary)
            lfcodec::ReadExact(stream, row.data(), row.size(), "PNM data ends before the last row");
        for (uint32_t x = 0; x < w; ++x) {
            for (uint32_t c = 0; c < channels; ++c) {
                uint32_t v = 0;
                if (kind == 4) {
                    v = (row[x >> 3] >> (7 - (x & 7))) & 1;
                } else if (binary) {
                    const size_t at = (size_t(x) * channels + c) * sampleBytes;
                    v = sampleBytes == 1 ? row[at] : (uint32_t(row[at]) << 8) | row[at + 1];
                } else if (kind == 1) {
                    const int ch = header.SkipSpace();
                    if (ch != '0' && ch != '1')
                        lfcodec::Fail("PBM sample '%c'", ch);
                    v = uint32_t(ch - '0');
                } else {
                    v = header.Number(65535, "sample");
                }
                if (bits)
                    v = 1 - v;  // 1 is black
                (*planes[c])[size_t(y) * w + x] = int32_t(v > maxValue ? maxValue : v);
            }
        }
    }
}

bool WritePnm(CLfStream* stream, const uint8_t* samples, uint32_t w, uint32_t h, uint32_t channels)
{
    char head[64];
    const int n = std::snprintf(head, sizeof head, "P%c\n%u %u\n255\n", channels == 3 ? '6' : '5', w, h);
    lfcodec::Writer out(stream);
    out.Bytes(head, size_t(n));
    out.Bytes(samples, size_t(w) * h * channels);
    return out.Finish();
}

// ---- PGX ---------------------------------------------------------------------------

void ReadPgx(CLfStream* stream, CLfImage& image, Picture& picture)
{
    TextHeader header(stream, "PGX", false);
    if (header.Next() != 'P' || header.Next() != 'G')
        lfcodec::Fail("Not a PGX");
    const int e1 = header.SkipSpace(), e2 = header.Next();
    bool bigEndian = false;
    if (e1 == 'M' && e2 == 'L')
        bigEndian = true;
    else if (!(e1 == 'L' && e2 == 'M'))
        lfcodec::Fail("PGX byte order '%c%c'", e1, e2);
    int c = header.SkipSpace();
    bool sgnd = false;
    if (c == '+' || c == '-') {
        sgnd = c == '-';
        c = header.SkipSpace();
    }
    const uint32_t depth = header.NumberFrom(c, 16, "depth");
    if (depth == 0)
        lfcodec::Fail("PGX depth 0");
    const uint32_t w = header.Number(0x7FFFFFFF, "width");
    const uint32_t h = header.Number(0x7FFFFFFF, "height");
    if (!std::isspace(header.Last()))
        lfcodec::Fail("PGX header not ended by white space");
    CheckPlanes(image, w, h, 1, "PGX");
    const uint32_t sampleBytes = depth <= 8 ? 1 : 2;
    const uint64_t rowBytes = uint64_t(w) * sampleBytes;
    lfcodec::NeedBytes(stream, rowBytes * h, "PGX data ends before the last row");

    const uint32_t maxValue = (1u << depth) - 1;
    picture.AddPlanes(1, w, h, maxValue);
    std::vector<int32_t>& plane = picture.storage[0];
    if (sgnd)
        picture.components[0].offset = int32_t(1u << (depth - 1));
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    for (uint32_t y = 0; y < h; ++y) {
        lfcodec::ReadExact(stream, row.data(), row.size(), "PGX data ends before the last row");
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t v = row[size_t(x) * sampleBytes];
            if (sampleBytes == 2) {
                const uint32_t other = row[size_t(x) * 2 + 1];
                v = bigEndian ? (v << 8) | other : v | (other << 8);
            }
            v &= maxValue;
            int32_t s = int32_t(v);
            if (sgnd && (v >> (depth - 1)))
                s -= int32_t(1u << depth);
            plane[size_t(y) * w + x] = s;
        }
    }
}

bool WritePgx(CLfStream* stream, const uint8_t* samples, uint32_t w, uint32_t h)
{
    char head[64];
    const int n = std::snprintf(head, sizeof head, "PG ML +8 %u %u\n", w, h);
    lfcodec::Writer out(stream);
    out.Bytes(head, size_t(n));
    out.Bytes(samples, size_t(w) * h);
    return out.Finish();
}

// ---- Sun raster --------------------------------------------------------------------

namespace {

constexpr uint32_t kRasMagic = 0x59A66A95;
constexpr uint32_t kRasOld = 0, kRasStandard = 1, kRasEncoded = 2, kRasRgb = 3;

uint32_t Be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void PutBe32(lfcodec::Writer& out, uint32_t v)
{
    const uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    out.Bytes(b, 4);
}

// Run-length data: 0x80 n v repeats v n + 1 times, 0x80 0 is one 0x80.
void ReadRasRuns(CLfStream* stream, std::vector<uint8_t>& out)
{
    size_t filled = 0;
    while (filled < out.size()) {
        const int b = stream->GetC();
        if (b < 0)
            lfcodec::Fail("Sun raster data ends before the last row");
        if (b != 0x80) {
            out[filled++] = uint8_t(b);
            continue;
        }
        const int count = stream->GetC();
        if (count < 0)
            lfcodec::Fail("Sun raster data ends before the last row");
        if (count == 0) {
            out[filled++] = 0x80;
            continue;
        }
        const int value = stream->GetC();
        if (value < 0)
            lfcodec::Fail("Sun raster data ends before the last row");
        for (int i = 0; i <= count && filled < out.size(); ++i)
            out[filled++] = uint8_t(value);
    }
}

}  // namespace

void ReadRas(CLfStream* stream, CLfImage& image, Picture& picture)
{
    uint8_t head[32];
    lfcodec::ReadExact(stream, head, sizeof head, "Not a Sun raster");
    if (Be32(head) != kRasMagic)
        lfcodec::Fail("Not a Sun raster");
    const uint32_t w = Be32(head + 4), h = Be32(head + 8), depth = Be32(head + 12);
    const uint32_t type = Be32(head + 20), mapType = Be32(head + 24), mapLength = Be32(head + 28);
    if (depth != 1 && depth != 8 && depth != 24 && depth != 32)
        lfcodec::Fail("Sun raster depth %u", depth);
    if (type != kRasOld && type != kRasStandard && type != kRasEncoded && type != kRasRgb)
        lfcodec::Fail("Sun raster type %u not read", type);
    if (mapType > 2 || (mapType == 1 && mapLength % 3 != 0))
        lfcodec::Fail("Sun raster colour map type %u of %u bytes", mapType, mapLength);
    lfcodec::NeedBytes(stream, mapLength, "Sun raster colour map ends early");
    std::vector<uint8_t> map(mapLength);
    lfcodec::ReadExact(stream, map.data(), map.size(), "Sun raster colour map ends early");
    const uint32_t colours = mapType == 1 ? mapLength / 3 : 0;

    const bool mapped = depth <= 8 && colours > 0;
    const uint32_t channels = (depth >= 24 || mapped) ? 3 : 1;
    CheckPlanes(image, w, h, channels, "Sun raster");
    const uint64_t rowBytes = ((uint64_t(w) * depth + 15) / 16) * 2;
    if (type != kRasEncoded)
        lfcodec::NeedBytes(stream, rowBytes * h, "Sun raster data ends before the last row");
    std::vector<uint8_t> data(size_t(rowBytes * h));
    if (type == kRasEncoded)
        ReadRasRuns(stream, data);
    else
        lfcodec::ReadExact(stream, data.data(), data.size(), "Sun raster data ends before the last row");

    const uint32_t maxValue = (depth == 1 && !mapped) ? 1 : 255;
    picture.AddPlanes(channels, w, h, maxValue);
    std::vector<int32_t>* planes[3] = {};
    for (uint32_t c = 0; c < channels; ++c)
        planes[c] = &picture.storage[c];
    const bool rgbOrder = type == kRasRgb;
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* row = data.data() + size_t(y) * rowBytes;
        for (uint32_t x = 0; x < w; ++x) {
            const size_t at = size_t(y) * w + x;
            if (depth >= 24) {
                const uint8_t* p = row + size_t(x) * (depth / 8) + (depth == 32 ? 1 : 0);
                (*planes[0])[at] = rgbOrder ? p[0] : p[2];
                (*planes[1])[at] = p[1];
                (*planes[2])[at] = rgbOrder ? p[2] : p[0];
                continue;
            }
            const uint32_t v = depth == 8 ? row[x] : (row[x >> 3] >> (7 - (x & 7))) & 1;
            if (mapped) {
                const bool inMap = v < colours;
                (*planes[0])[at] = inMap ? map[v] : 0;
                (*planes[1])[at] = inMap ? map[colours + v] : 0;
                (*planes[2])[at] = inMap ? map[2 * colours + v] : 0;
            } else {
                (*planes[0])[at] = int32_t(depth == 1 ? 1 - v : v);  // 1-bit: 1 is black
            }
        }
    }
}

bool WriteRas(CLfStream* stream, const uint8_t* samples, uint32_t w, uint32_t h, uint32_t channels)
{
    const uint32_t depth = channels == 3 ? 24 : 8;
    const uint64_t rowBytes = ((uint64_t(w) * depth + 15) / 16) * 2;
    lfcodec::Writer out(stream);
    for (uint32_t v : {kRasMagic, w, h, depth, uint32_t(rowBytes * h), kRasStandard, 0u, 0u})
        PutBe32(out, v);
    std::vector<uint8_t> row(size_t(rowBytes), 0);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* s = samples + size_t(y) * w * channels;
        for (uint32_t x = 0; x < w; ++x) {
            if (channels == 3) {  // blue, green, red
                row[3 * size_t(x)] = s[3 * size_t(x) + 2];
                row[3 * size_t(x) + 1] = s[3 * size_t(x) + 1];
                row[3 * size_t(x) + 2] = s[3 * size_t(x)];
            } else {
                row[x] = s[x];
            }
        }
        out.Bytes(row.data(), row.size());
    }
    return out.Finish();
}

}  // namespace lfjas
