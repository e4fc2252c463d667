#include "image/codecs/CLfImageGIF.h"

#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <cstring>
#include <new>

using lfcodec::Fail;

namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
// The frame pixels one decode creates at most (their buffers are filled and drawn
// whatever the data holds).
constexpr uint64_t kFrameWork = uint64_t(1) << 31;

int DisposalOf(const uint8_t* controlBlock)
{
    return (controlBlock[0] >> 2) & 7;
}

// Passes over data sub-blocks up to the terminator; false when the stream ends first.
bool SkipSubBlocks(CLfStream* stream)
{
    for (;;) {
        const int n = stream->GetC();
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!stream->Seek(n, CLfStream::kSeekCur))
            return false;
    }
}

}  // namespace

CLfImageGIF::CLfImageGIF()
    : CLfImage(lfimg::kTypeGIF), m_lzw(std::make_unique<CLfGifLzw>())
{
}

CLfImageGIF::~CLfImageGIF() = default;

void CLfImageGIF::SetComment(const char* text)
{
    if (text == nullptr)
        return;
    std::strncpy(m_comment, text, sizeof m_comment - 1);
    m_comment[sizeof m_comment - 1] = 0;
}

void CLfImageGIF::ReadCodes(CLfStream* stream)
{
    // One run of bytes for the decoder: the sub-blocks without their lengths, up
    // to the terminator or the end of the stream.
    m_codes.clear();
    if (m_codes.capacity() == 0)
        m_codes.reserve(size_t(std::min<int64_t>(lfcodec::BytesLeft(stream), int64_t(1) << 26)));
    for (;;) {
        const int n = stream->GetC();
        if (n <= 0)
            return;
        const size_t at = m_codes.size();
        m_codes.resize(at + size_t(n));
        const size_t got = stream->Read(m_codes.data() + at, 1, size_t(n));
        if (got < size_t(n)) {
            m_codes.resize(at + got);
            return;
        }
    }
}

bool CLfImageGIF::ReadExtension(CLfStream* stream)
{
    const int label = stream->GetC();
    if (label < 0)
        return false;
    int first = 0;  // length of the block's first sub-block, already read
    switch (label) {
    case 0xF9: {
        first = stream->GetC();
        if (first != 4 || stream->Read(m_controlBlock, 1, 4) != 4)
            return false;
        first = 0;
        // A clear transparency bit leaves the transparent index as it was.
        if (m_controlBlock[0] & 1)
            info.transIndex = m_controlBlock[3];
        info.frameDelay = uint32_t(m_controlBlock[1] | (m_controlBlock[2] << 8));
        m_disposal = DisposalOf(m_controlBlock);
        break;
    }
    case 0xFE: {
        // Only the first sub-block is kept; an empty one is the terminator.
        first = stream->GetC();
        if (first < 0 || stream->Read(m_comment, 1, size_t(first)) != size_t(first)) {
            m_comment[0] = 0;
            return false;
        }
        m_comment[first] = 0;
        if (first == 0)
            return true;
        first = 0;
        break;
    }
    case 0xFF: {
        uint8_t id[11];
        if (stream->GetC() != 11 || stream->Read(id, 1, 11) != 11)
            return false;
        first = stream->GetC();
        uint8_t data[255];
        if (first < 0 || stream->Read(data, 1, size_t(first)) != size_t(first))
            return false;
        if (first > 2)
            m_loops = data[1] | (data[2] << 8);
        if (first == 0)
            return true;
        first = 0;
        break;
    }
    default:
        break;
    }
    SkipSubBlocks(stream);
    return true;
}

int32_t CLfImageGIF::CountFrames(CLfStream* stream, ColorTable& table)
{
    (void)table;  // local tables are passed over, not kept
    const int64_t start = stream->Tell();
    // The extensions read here stay: the decoding pass starts with what the
    // file's last ones said and overwrites it frame by frame.
    int32_t count = 0;
    for (int c = stream->GetC(); c >= 0 && c != kTrailer; c = stream->GetC()) {
        if (c == kExtension) {
            ReadExtension(stream);
        } else if (c == kImage) {
            ++count;
            uint8_t d[9];
            if (stream->Read(d, 1, 9) != 9)
                break;
            if ((d[8] & 0x80) && !stream->Seek(3 * (2 << (d[8] & 7)), CLfStream::kSeekCur))
                break;
            if (stream->GetC() < 0 || !SkipSubBlocks(stream))  // code size, then the data
                break;
        }
    }
    stream->Seek(start, CLfStream::kSeekSet);
    return count;
}

uint8_t CLfImageGIF::FillIndex(int background) const
{
    const uint32_t colours = GetNumColors();
    if (info.transIndex >= 0 && uint32_t(info.transIndex) < colours)
        return uint8_t(info.transIndex);
    return uint32_t(background) < colours ? uint8_t(background) : 0;
}

void CLfImageGIF::DecodeRows(bool interlaced)
{
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();
    const uint32_t bpp = GetBpp();
    // 8-bit rows take the pixels straight from the decoder; packed ones go through a line.
    std::unique_ptr<uint8_t[]> line(bpp == 8 ? nullptr : new uint8_t[size_t(width)]);
    static const int32_t kStart[4] = {0, 4, 2, 1};
    static const int32_t kStep[4] = {8, 8, 4, 2};
    int32_t pass = 0, passRow = 0;
    for (int32_t done = 0; done < height; ++done) {
        const int32_t fromTop = interlaced ? passRow : done;
        uint8_t* row = GetBits(uint32_t(height - 1 - fromTop));
        uint8_t* pixels = bpp == 8 ? row : line.get();
        const size_t got = m_lzw->Run(pixels, size_t(width));
        if (got == 0)
            break;  // the rows left keep the background
        if (got < size_t(width))
            std::memset(pixels + got, m_fill, size_t(width) - got);
        if (bpp == 4) {
            for (int32_t x = 0; x < width; x += 2) {
                const int lo = x + 1 < width ? (pixels[x + 1] & 0x0F) : 0;
                row[x / 2] = uint8_t(((pixels[x] & 0x0F) << 4) | lo);
            }
        } else if (bpp == 1) {
            std::memset(row, 0, (size_t(width) + 7) / 8);
            for (int32_t x = 0; x < width; ++x)
                if (pixels[x] & 1)
                    row[x / 8] = uint8_t(row[x / 8] | (0x80 >> (x % 8)));
        }
        if (got < size_t(width))
            break;
        info.progress = int32_t(int64_t(done + 1) * 100 / height);
        if (interlaced) {
            passRow += kStep[pass];
            while (passRow >= height && ++pass < 4)
                passRow = kStart[pass];
        }
    }
}

void CLfImageGIF::MixFrame(const CLfImage& source, int32_t dx, int32_t dy)
{
    if (!IsValid() || !source.IsValid())
        return;
    const int64_t x0 = std::max<int64_t>(0, -int64_t(dx));
    const int64_t y0 = std::max<int64_t>(0, -int64_t(dy));
    const int64_t x1 = std::min<int64_t>(GetWidth(), int64_t(source.GetWidth()) - dx);
    const int64_t y1 = std::min<int64_t>(GetHeight(), int64_t(source.GetHeight()) - dy);
    const int32_t trans = source.info.transIndex;
    for (int64_t y = y0; y < y1; ++y) {
        for (int64_t x = x0; x < x1; ++x) {
            const uint8_t i = source.GetPixelIndex(x + dx, y + dy);
            if (trans < 0 || i != trans)
                SetPixelIndex(x, y, i);
        }
    }
}

std::unique_ptr<CLfImageGIF> CLfImageGIF::DrawInColour(const CLfImage& below, int32_t left, int32_t top) const
{
    const int32_t w = below.GetWidth();
    const int32_t h = below.GetHeight();
    auto out = std::make_unique<CLfImageGIF>();
    if (out->Create(w, h, 24, lfimg::kTypeGIF) == nullptr)
        Fail("%s", out->info.lastError[0] ? out->info.lastError : "Can't allocate memory");
    const bool belowIndexed = below.GetNumColors() != 0;
    const bool seeThrough = below.alpha != nullptr || (belowIndexed && below.info.transIndex >= 0);
    if (seeThrough && !out->AlphaCreate())
        Fail("Can't allocate memory");
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            out->SetPixelColor(x, y, below.GetPixelColor(x, y));
            if (!seeThrough)
                continue;
            uint8_t a = 255;
            if (below.alpha != nullptr)
                a = below.AlphaGet(x, y);
            else if (below.GetPixelIndex(x, y) == below.info.transIndex)
                a = 0;
            out->AlphaSet(x, y, a);
        }
    }
    const int32_t trans = info.transIndex;
    for (int32_t fy = 0; fy < GetHeight(); ++fy) {
        for (int32_t fx = 0; fx < GetWidth(); ++fx) {
            const int32_t y = GetHeight() - 1 - fy;
            if (trans >= 0 && GetPixelIndex(fx, y) == trans)
                continue;
            const int64_t cx = int64_t(left) + fx;
            const int64_t cy = int64_t(h) - 1 - top - fy;
            out->SetPixelColor(cx, cy, GetPixelColor(fx, y));
            if (seeThrough)
                out->AlphaSet(cx, cy, 255);
        }
    }
    return out;
}

bool CLfImageGIF::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        DecodeFrames(stream);
        return true;
    });
}

void CLfImageGIF::DecodeFrames(CLfStream* stream)
{
    uint8_t head[13];
    if (stream->Read(head, 1, sizeof head) != sizeof head || std::memcmp(head, "GIF8", 4) != 0)
        Fail("Not a GIF");
    const int32_t screenWidth = head[6] | (head[7] << 8);
    const int32_t screenHeight = head[8] | (head[9] << 8);
    const int background = head[11];
    ColorTable table;
    int trueColorCount = 0;
    if (head[10] & 0x80) {
        table.count = uint16_t(2 << (head[10] & 7));
        lfcodec::ReadExact(stream, table.rgb, size_t(table.count) * 3, "GIF colour table is cut short");
    } else {
        trueColorCount = 1;
    }

    info.frameCount = CountFrames(stream, table);
    if (info.frame < 0 || info.frame >= info.frameCount)
        Fail("GIF frame %d not found: the file has %d", info.frame, info.frameCount);

    std::unique_ptr<CLfImage> canvas;
    int32_t firstTrans = -1;
    int32_t index = 0;
    uint64_t pixelsMade = 0;  // frame pixels created so far, against kFrameWork
    for (bool more = true; more;) {
        const int c = stream->GetC();
        if (c < 0 || c == kTrailer)
            break;
        if (info.escape)
            Fail("Cancelled");
        if (c == kExtension) {
            more = ReadExtension(stream);
            continue;
        }
        if (c != kImage)
            continue;  // stray bytes between blocks

        // A file cut short in a descriptor or a colour table ends the frames.
        uint8_t d[9];
        if (stream->Read(d, 1, 9) != 9)
            break;
        const int32_t left = d[0] | (d[1] << 8);
        const int32_t top = d[2] | (d[3] << 8);
        const int32_t width = d[4] | (d[5] << 8);
        const int32_t height = d[6] | (d[7] << 8);
        if (d[8] & 0x80) {
            table.count = uint16_t(2 << (d[8] & 7));
            if (stream->Read(table.rgb, 3, table.count) != table.count)
                break;
        }

        // Frames are bounded by the logical screen; others are passed over and
        // take no frame number.
        if (width == 0 || height == 0 || left + width > screenWidth || top + height > screenHeight) {
            if (stream->GetC() >= 0)
                SkipSubBlocks(stream);
            continue;
        }
        // Every frame costs work by its size, whatever its data: a small file of
        // many screen-sized frames stops here instead of keeping a thread busy.
        pixelsMade += uint64_t(width) * uint64_t(height);
        if (pixelsMade > kFrameWork) {
            SetLastErrorF("GIF frame %d: the frames before it are too large to compose", index);
            break;
        }
        // Tiles of a true-colour file (no global table) cover the screen only together.
        if (index == 0 && (width != screenWidth || height != screenHeight))
            ++trueColorCount;
        const uint32_t bpp = table.count <= 2 ? 1 : table.count <= 16 ? 4 : 8;

        std::unique_ptr<CLfImageGIF> previous;
        const bool drawOver = index > 0 && DisposalOf(m_controlBlock) == 1 && trueColorCount < 2 && IsValid();
        if (drawOver) {
            previous = std::make_unique<CLfImageGIF>();
            if (!previous->Copy(*this))
                Fail("Can't allocate memory");
        }
        if (index == 0)
            firstTrans = info.transIndex;
        const uint32_t delay = info.frameDelay;

        if (Create(width, height, bpp, lfimg::kTypeGIF) == nullptr)
            Fail("%s", info.lastError[0] ? info.lastError : "Can't allocate memory");
        if (table.count > 0) {
            uint8_t r[256], g[256], b[256];
            std::fill(r, r + 256, uint8_t(255));
            std::fill(g, g + 256, uint8_t(255));
            std::fill(b, b + 256, uint8_t(255));
            for (int i = 0; i < table.count; ++i) {
                r[i] = table.rgb[3 * i];
                g[i] = table.rgb[3 * i + 1];
                b[i] = table.rgb[3 * i + 2];
            }
            SetPalette(info.transIndex != -1 ? 256u : table.count, r, g, b);
        }
        if (info.transIndex >= int32_t(GetNumColors()))
            info.transIndex = -1;  // no pixel of this depth can hold it
        m_fill = FillIndex(background);
        // Rows the data does not reach show the background, not stale bytes.
        if (bpp == 8)
            Clear(m_fill);
        else if (bpp == 4)
            Clear(uint8_t(m_fill * 0x11));
        else
            Clear(m_fill ? 0xFF : 0);

        const int minCodeSize = stream->GetC();
        ReadCodes(stream);
        int status = CLfGifLzw::kOk;
        if (minCodeSize >= 0) {
            m_lzw->Start(m_codes.data(), m_codes.size(), minCodeSize);
            DecodeRows((d[8] & 0x40) != 0);
            status = m_lzw->Status();
        }
        // Damaged data keeps the rows decoded so far, as every viewer shows them;
        // the message tells what was wrong.
        switch (status) {
        case CLfGifLzw::kOk: break;
        case CLfGifLzw::kBadCodeSize: SetLastErrorF("GIF frame %d has a code size outside 2 to 11", index); break;
        case CLfGifLzw::kCodeBeyondTable: SetLastErrorF("GIF frame %d names a code beyond its table", index); break;
        default: throw std::bad_alloc();
        }
        if (info.escape)
            Fail("Cancelled");

        if (drawOver) {
            const int32_t frames = info.frameCount;
            const int32_t asked = info.frame;
            const bool samePalette = GetNumColors() != 0 && previous->GetNumColors() == GetNumColors() &&
                                     std::memcmp(previous->GetPalette(), GetPalette(), GetPaletteSize()) == 0;
            if (samePalette) {
                previous->MixFrame(*this, -left, height - previous->GetHeight() + top);
                previous->info.transIndex = firstTrans;
            } else {
                // Indices of another colour table mean other colours: draw in colour.
                previous = DrawInColour(*previous, left, top);
            }
            Transfer(*previous);
            info.frameCount = frames;
            info.frame = asked;
            info.frameDelay = delay;
        }

        if (trueColorCount >= 2) {
            info.frame = info.frameCount - 1;  // the canvas takes every frame
            if (!canvas) {
                canvas = std::make_unique<CLfImage>(screenWidth, screenHeight, 24, lfimg::kTypeGIF);
                if (!canvas->IsValid())
                    Fail("%s", canvas->info.lastError[0] ? canvas->info.lastError : "Can't allocate memory");
            }
            const RGBQUAD* palette = GetPalette();
            for (int32_t y = 0; y < height; ++y) {
                // The frame lies inside the screen: its rows go straight into the canvas.
                uint8_t* out = canvas->GetBits(uint32_t(screenHeight - top - y - 1)) + size_t(left) * 3;
                const int64_t row = height - 1 - y;
                for (int32_t x = 0; x < width; ++x, out += 3) {
                    const RGBQUAD c = palette != nullptr ? palette[GetPixelIndex(x, row)] : RGBQUAD{};
                    out[0] = c.rgbBlue;
                    out[1] = c.rgbGreen;
                    out[2] = c.rgbRed;
                }
            }
        }
        if (index == info.frame)
            break;
        ++index;
    }

    if (canvas && trueColorCount >= 2) {
        const RGBQUAD trans = GetTransColor();
        const bool transparent = (m_controlBlock[0] & 1) && info.transIndex >= 0;
        const int32_t frames = info.frameCount;
        Transfer(*canvas);
        info.frameCount = frames;
        info.frame = frames - 1;
        if (transparent) {
            info.transColor = trans;
            info.transColor.rgbReserved = 0;
            info.transIndex = 0;
        }
        return;
    }
    // A file that ends before the asked frame gives the last frame decoded.
    if (!IsValid())
        Fail("GIF ends before frame %d", info.frame);
}
