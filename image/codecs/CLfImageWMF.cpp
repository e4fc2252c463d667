#include "image/codecs/CLfImageWMF.h"

#include "image/CLfStream.h"
#include "image/codecs/CLfImageWMF_player.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using lfwmf::Params;

constexpr char kCorrupted[] = "corrupted WMF";
constexpr char kEmpty[] = "empty WMF";
constexpr char kCancelled[] = "Cancelled";
constexpr int64_t kDpi = 96;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kMetaHeaderSize = 18;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kEmfHeaderMin = 88;
// The work one picture may take (pixels, see lfwmf::Canvas): about two seconds.
constexpr uint64_t kWorkBudget = 250000000;

PlaceableMetaHeader ReadPlaceable(const uint8_t* raw)
{
    const Params p(raw, kPlaceableSize, false);
    PlaceableMetaHeader h;
    h.key = p.U32(0);
    h.handle = p.U16(4);
    h.left = p.I16(6);
    h.top = p.I16(8);
    h.right = p.I16(10);
    h.bottom = p.I16(12);
    h.inch = p.U16(14);
    h.reserved = p.U32(16);
    h.checksum = p.U16(20);
    return h;
}

}  // namespace

bool CLfImageWMF::IsPlaceableHeader(const PlaceableMetaHeader& header, const uint8_t* raw)
{
    if (header.key != kPlaceableKey || header.inch < 1 || header.inch > 2540)
        return false;
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= uint16_t(raw[2 * i] | (raw[2 * i + 1] << 8));
    return sum == header.checksum;
}

void CLfImageWMF::FitWithinLimit(int64_t& width, int64_t& height)
{
    if (width > kMaxSide) {
        height = height * kMaxSide / width;
        width = kMaxSide;
    }
    if (height > kMaxSide) {
        width = width * kMaxSide / height;
        height = kMaxSide;
    }
}

bool CLfImageWMF::Decode(CLfStream* stream, int32_t width, int32_t height)
{
    return lfcodec::GuardDecode(*this, stream, [&] { return DecodeBody(stream, width, height); });
}

bool CLfImageWMF::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] {
        SetLastError("Save WMF not supported");
        return false;
    });
}

bool CLfImageWMF::DecodeBody(CLfStream* stream, int32_t width, int32_t height)
{
    if (info.escape)
        lfcodec::Fail("%s", kCancelled);
    const int64_t start = stream->Tell();

    // A placeable WMF: its header, the metafile header, then the records.
    std::vector<uint8_t> data;
    PlaceableMetaHeader frame;
    bool wmf = false, emf = false;
    int64_t w = 0, h = 0;
    uint8_t raw[kPlaceableSize + kMetaHeaderSize];
    if (stream->Read(raw, 1, sizeof raw) == sizeof raw) {
        frame = ReadPlaceable(raw);
        const Params meta(raw + kPlaceableSize, kMetaHeaderSize, false);
        const uint16_t kind = meta.U16(0);
        const uint64_t bytes = uint64_t(meta.U32(6)) * 2;
        if (IsPlaceableHeader(frame, raw) && (kind == 1 || kind == 2) && bytes >= kMetaHeaderSize &&
            stream->Seek(start + int64_t(kPlaceableSize), CLfStream::kSeekSet) &&
            bytes <= uint64_t(lfcodec::BytesLeft(stream))) {
            data.resize(size_t(bytes));
            wmf = stream->Read(data.data(), 1, data.size()) == data.size();
            w = (int64_t(frame.right) - frame.left) * kDpi / frame.inch;
            h = (int64_t(frame.bottom) - frame.top) * kDpi / frame.inch;
        }
    }
    // Otherwise an enhanced metafile: a header record of type 1 with the signature.
    if (!wmf) {
        if (!stream->Seek(start, CLfStream::kSeekSet))
            lfcodec::Fail("%s", kCorrupted);
        const int64_t left = lfcodec::BytesLeft(stream);
        uint8_t head[kEmfHeaderMin];
        if (left >= int64_t(kEmfHeaderMin) && stream->Read(head, 1, sizeof head) == sizeof head) {
            const Params p(head, sizeof head, true);
            if (p.U32(0) == 1 && p.U32(4) >= kEmfHeaderMin && p.U32(40) == kEmfSignature && p.U32(4) <= left) {
                // The records end at the header's byte count when it is plausible,
                // else at the end of the stream.
                const uint64_t declared = p.U32(48);
                const uint64_t total = (declared >= p.U32(4) && declared <= uint64_t(left)) ? declared : uint64_t(left);
                data.assign(head, head + sizeof head);
                data.resize(size_t(total));
                emf = stream->Read(data.data() + sizeof head, 1, data.size() - sizeof head) == data.size() - sizeof head;
                w = int64_t(p.I32(16)) - p.I32(8);
                h = int64_t(p.I32(20)) - p.I32(12);
            }
        }
    }
    if (!wmf && !emf)
        lfcodec::Fail("%s", kCorrupted);
    if (info.escape)
        lfcodec::Fail("%s", kCancelled);
    if (width > 0)
        w = width;
    if (height > 0)
        h = height;
    if (w <= 0 || h <= 0)
        lfcodec::Fail("%s", kEmpty);
    const int64_t boundsW = w, boundsH = h;
    FitWithinLimit(w, h);
    if (w <= 0 || h <= 0)
        lfcodec::Fail("%s", kEmpty);
    if (!CheckSize(w, h, 24, 4))
        lfcodec::Fail("%s", info.lastError);

    lfwmf::Canvas canvas(uint32_t(w), uint32_t(h), RGBQUAD{255, 255, 255, 0}, kWorkBudget,
                         [this] { return info.escape != 0; });
    lfwmf::Player player(canvas, *this);
    if (wmf) {
        // The reference device is the placeable frame; the file's window maps onto it
        // (the whole picture) until the file says otherwise.
        const double frameW = frame.right != frame.left ? double(frame.right) - frame.left : 1.0;
        const double frameH = frame.bottom != frame.top ? double(frame.bottom) - frame.top : 1.0;
        cairo_matrix_init(&player.base, double(w) / frameW, 0, 0, double(h) / frameH,
                          -frame.left * double(w) / frameW, -frame.top * double(h) / frameH);
        player.unitsPerMmX = player.unitsPerMmY = frame.inch / 25.4;
        lfwmf::State& s = player.state;
        s.mapMode = 8;
        s.wox = s.vox = frame.left;
        s.woy = s.voy = frame.top;
        s.wex = s.vex = frameW;
        s.wey = s.vey = frameH;
        PlayWmf(data, player);
    } else {
        // Reference-device pixels: the bounds fill the picture.
        const Params p(data.data(), data.size(), true);
        cairo_matrix_init(&player.base, double(w) / double(boundsW), 0, 0, double(h) / double(boundsH),
                          -double(p.I32(8)) * double(w) / double(boundsW), -double(p.I32(12)) * double(h) / double(boundsH));
        // Millimetres of the reference device, for the metric mapping modes.
        if (p.I32(72) > 0 && p.I32(80) > 0 && p.I32(76) > 0 && p.I32(84) > 0) {
            player.unitsPerMmX = double(p.I32(72)) / p.I32(80);
            player.unitsPerMmY = double(p.I32(76)) / p.I32(84);
        }
        PlayEmf(data, player);
    }
    // A picture whose drawing outgrew the work budget keeps what was drawn.
    if (info.escape)
        lfcodec::Fail("%s", kCancelled);

    if (!Create(w, h, 24, lfimg::kTypeWMF))
        lfcodec::Fail("%s", info.lastError);
    for (uint32_t y = 0; y < uint32_t(h); ++y)
        canvas.CopyRow(y, GetBits(uint32_t(h) - 1 - y));
    return true;
}
