#pragma once
// Helpers of the codec tests: test pictures, pixel comparison, encoding into
// and decoding from memory, and ImageMagick as an outside reader and writer.

#include "image/CLfFileStream.h"
#include "image/CLfImage.h"
#include "image/CLfMemoryStream.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lfcodectest {

using Bytes = std::vector<uint8_t>;

inline std::filesystem::path Corpus(const std::string& relative)
{
    return lftest::CorporaDir() / relative;
}

inline std::filesystem::path OwnData(const std::string& relative)
{
    return std::filesystem::path(LF_TEST_DATA_DIR) / "image" / relative;
}

// A file header followed by data.
inline Bytes With(Bytes head, const Bytes& data)
{
    head.insert(head.end(), data.begin(), data.end());
    return head;
}

// A picture whose every pixel differs from its neighbours; palette images get
// a palette of distinct colours (entry i of a 2-colour image is black/white).
inline std::unique_ptr<CLfImage> MakePicture(int width, int height, uint32_t bpp, bool withAlpha = false)
{
    auto img = std::make_unique<CLfImage>(width, height, bpp, 0);
    const uint32_t colours = img->GetNumColors();
    for (uint32_t i = 0; i < colours; ++i) {
        if (colours == 2)
            img->SetPaletteColor(uint8_t(i), uint8_t(i * 255), uint8_t(i * 255), uint8_t(i * 255));
        else
            img->SetPaletteColor(uint8_t(i), uint8_t(i * 37 + 5), uint8_t(255 - i * 11), uint8_t(i * 73 + 1));
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (colours != 0) {
                img->SetPixelIndex(x, y, uint8_t((x * 7 + y * 3 + x * y) % colours));
            } else {
                RGBQUAD c{};
                c.rgbRed = uint8_t(x * 29 + y);
                c.rgbGreen = uint8_t(y * 41 + x * 3);
                c.rgbBlue = uint8_t((x ^ y) * 13);
                img->SetPixelColor(x, y, c);
            }
        }
    }
    if (withAlpha) {
        img->AlphaCreate();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                img->AlphaSet(x, y, uint8_t((x * 53 + y * 17) % 256));
    }
    return img;
}

// Red, green, blue and opacity of a decoded pixel (x from the left, y from the
// bottom row): the alpha plane, else the transparent index or colour.
inline uint32_t Rgba(const CLfImage& img, int x, int y)
{
    const RGBQUAD c = img.GetPixelColor(x, y);
    uint32_t a = 255;
    if (img.alpha != nullptr) {
        a = img.AlphaGet(x, y);
    } else if (img.info.transIndex >= 0) {
        const RGBQUAD t = img.info.transColor;
        if (img.GetNumColors() != 0 ? img.GetPixelIndex(x, y) == img.info.transIndex
                                    : (c.rgbRed == t.rgbRed && c.rgbGreen == t.rgbGreen && c.rgbBlue == t.rgbBlue))
            a = 0;
    }
    return (uint32_t(c.rgbRed) << 24) | (uint32_t(c.rgbGreen) << 16) | (uint32_t(c.rgbBlue) << 8) | a;
}

// Same size and same colour and opacity at every pixel (the colour of fully
// transparent pixels does not count).
inline ::testing::AssertionResult SamePicture(const CLfImage& a, const CLfImage& b)
{
    if (!a.IsValid() || !b.IsValid())
        return ::testing::AssertionFailure() << "an image is empty";
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return ::testing::AssertionFailure() << "sizes " << a.GetWidth() << "x" << a.GetHeight() << " and "
                                             << b.GetWidth() << "x" << b.GetHeight();
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (Rgba(a, x, y) != Rgba(b, x, y) && ((Rgba(a, x, y) & 0xFF) != 0 || (Rgba(b, x, y) & 0xFF) != 0))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") from the bottom: " << std::hex
                                                     << Rgba(a, x, y) << " and " << Rgba(b, x, y);
    return ::testing::AssertionSuccess();
}

// Encodes with the codec class into memory.
template <class Codec>
inline bool EncodeTo(const CLfImage& img, Bytes& out, std::string* error = nullptr)
{
    Codec codec;
    codec.Ghost(&img);
    CLfMemoryStream stream;
    const bool ok = codec.Encode(&stream);
    if (error)
        *error = codec.GetLastError();
    out.assign(stream.GetBuffer(), stream.GetBuffer() + stream.Size());
    return ok;
}

// Decodes bytes with the codec class; the decoded codec object is returned.
template <class Codec>
inline std::unique_ptr<Codec> DecodeFrom(const Bytes& data, int frame = 0)
{
    auto codec = std::make_unique<Codec>();
    codec->info.frame = frame;
    CLfMemoryStream stream(data.data(), int64_t(data.size()));
    if (!codec->Decode(&stream)) {
        EXPECT_FALSE(codec->IsValid()) << "a failed decode leaves no image";
    }
    return codec;
}

template <class Codec>
inline std::unique_ptr<Codec> DecodeFile(const std::filesystem::path& file, int frame = 0)
{
    return DecodeFrom<Codec>(lftest::ReadBytes(file), frame);
}

// A stream that accepts the first `limit` bytes and refuses the rest.
class ShortWriteStream : public CLfMemoryStream {
public:
    explicit ShortWriteStream(size_t limit) : m_limit(limit) {}
    size_t Write(const void* buffer, size_t itemSize, size_t count) override
    {
        const size_t n = itemSize * count;
        if (m_written + n > m_limit)
            return 0;
        m_written += n;
        return CLfMemoryStream::Write(buffer, itemSize, count);
    }
    bool PutC(uint8_t byte) override { return Write(&byte, 1, 1) == 1; }

private:
    size_t m_limit;
    size_t m_written = 0;
};

inline bool HaveImageMagick()
{
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

inline std::string RunCapture(const std::string& command, int* status = nullptr)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status)
        *status = rc;
    return out;
}

// ImageMagick's RGBA pixels of a file (rows from the top), turned upright by the
// origin the file declares (ImageMagick leaves a TGA in file row order otherwise).
inline Bytes MagickRgba(const std::filesystem::path& file)
{
    const std::string s = RunCapture("convert '" + file.string() + "' -auto-orient -depth 8 rgba:- 2>/dev/null");
    return Bytes(s.begin(), s.end());
}

// Whether ImageMagick reads the file, and the format and size it reports.
inline std::string MagickIdentify(const std::filesystem::path& file)
{
    int status = -1;
    const std::string s = RunCapture("identify -format '%m %wx%h\\n' '" + file.string() + "' 2>&1", &status);
    return status == 0 ? s : "ERROR " + s;
}

// Compares a decoded picture with ImageMagick's dump of the same file.
inline ::testing::AssertionResult MatchesMagick(const CLfImage& img, const Bytes& rgba, bool compareAlpha = true)
{
    const int w = img.GetWidth(), h = img.GetHeight();
    if (rgba.size() != size_t(w) * size_t(h) * 4)
        return ::testing::AssertionFailure() << "ImageMagick gave " << rgba.size() << " bytes for " << w << "x" << h;
    for (int r = 0; r < h; ++r) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgba[(size_t(r) * size_t(w) + size_t(x)) * 4];
            const uint32_t ours = Rgba(img, x, h - 1 - r);
            uint32_t theirs = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
            uint32_t mine = ours;
            if (!compareAlpha) {
                mine |= 0xFF;
                theirs |= 0xFF;
            } else if ((theirs & 0xFF) == 0 && (mine & 0xFF) == 0) {
                continue;  // colour under full transparency does not count
            }
            if (mine != theirs)
                return ::testing::AssertionFailure() << "row " << r << " from the top, column " << x << ": ours " << std::hex
                                                     << mine << ", ImageMagick " << theirs;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace lfcodectest
