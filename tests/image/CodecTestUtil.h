#pragma once
// Codec tests: where the test files are, encoding into and decoding from memory,
// streams that refuse writes, and ImageMagick as an outside reader and writer.

#include "image/CLfImage.h"
#include "image/CLfMemoryStream.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lftest {

// ---- Test files -----------------------------------------------------------------------

// A file of the picture corpora (tests/corpora/).
inline std::filesystem::path Corpus(const std::string& relative)
{
    return CorporaDir() / relative;
}

// A small fixture of our own.
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

// ---- Encoding and decoding in memory ----------------------------------------------------

// The bytes written to a memory stream.
inline Bytes StreamBytes(CLfMemoryStream& stream)
{
    const uint8_t* p = stream.GetBuffer();
    return p && stream.Size() > 0 ? Bytes(p, p + stream.Size()) : Bytes{};
}

// What a codec's Encode writes into a fresh memory stream; ok tells whether it succeeded.
template <class Codec>
Bytes EncodeToBytes(Codec& codec, bool* ok = nullptr)
{
    CLfMemoryStream stream;
    const bool done = codec.Encode(&stream);
    if (ok) *ok = done;
    return StreamBytes(stream);
}

// Encodes the image with the codec class into memory.
template <class Codec>
bool EncodeTo(const CLfImage& img, Bytes& out, std::string* error = nullptr)
{
    Codec codec;
    codec.Ghost(&img);
    bool ok = false;
    out = EncodeToBytes(codec, &ok);
    if (error)
        *error = codec.GetLastError();
    return ok;
}

// Decodes bytes with the codec class; the decoded codec object is returned.
template <class Codec>
std::unique_ptr<Codec> DecodeFrom(const Bytes& data, int frame = 0)
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
std::unique_ptr<Codec> DecodeFile(const std::filesystem::path& file, int frame = 0)
{
    return DecodeFrom<Codec>(ReadBytes(file), frame);
}

// The decoder refuses the data: no image, and the given message.
template <class Codec>
void ExpectRefused(const Bytes& data, const char* error, const std::string& what, int frame = 0)
{
    auto img = DecodeFrom<Codec>(data, frame);
    EXPECT_FALSE(img->IsValid()) << what;
    EXPECT_STREQ(img->GetLastError(), error) << what;
}

// The first cut bytes of a good file are refused, with a message.
template <class Codec>
void ExpectCutRefused(const Bytes& whole, size_t cut)
{
    auto part = DecodeFrom<Codec>(Bytes(whole.begin(), whole.begin() + long(cut)));
    EXPECT_FALSE(part->IsValid()) << "cut at " << cut;
    EXPECT_NE(std::string(part->GetLastError()), "") << "cut at " << cut;
}

// ---- Streams that run out of room ---------------------------------------------------------

// Takes only the first limit bytes written to it: the write that crosses the limit
// goes in partly and reports the whole items that fit.
class ShortStream : public CLfMemoryStream {
public:
    explicit ShortStream(size_t limit) : m_left(limit) {}
    size_t Write(const void* buffer, size_t itemSize, size_t count) override
    {
        const size_t n = std::min(itemSize * count, m_left);
        m_left -= n;
        CLfMemoryStream::Write(buffer, 1, n);
        return itemSize ? n / itemSize : 0;
    }

private:
    size_t m_left;
};

// Accepts the first limit bytes and refuses the rest: the write that would cross
// the limit is refused whole.
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

// ---- ImageMagick --------------------------------------------------------------------------

// Runs a shell command and returns its standard output; ok is false when it failed.
inline std::string RunCommand(const std::string& command, bool* ok = nullptr)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (ok)
            *ok = false;
        return out;
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = pclose(pipe);
    if (ok)
        *ok = status == 0;
    return out;
}

inline bool HaveImageMagick()
{
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

// ImageMagick's 8-bit pixels of source (a file, perhaps with a [frame] after it),
// after options, in the channel order of map ("rgb" or "rgba"), top row first.
inline Bytes MagickPixels(const std::string& source, const std::string& options, const std::string& map,
                          bool* ok = nullptr)
{
    const std::string s =
        RunCommand("convert '" + source + "' " + options + " -depth 8 " + map + ":- 2>/dev/null", ok);
    return Bytes(s.begin(), s.end());
}

// ImageMagick's RGBA pixels of a file (rows from the top), turned upright by the
// origin the file declares (ImageMagick leaves a TGA in file row order otherwise).
inline Bytes MagickRgba(const std::filesystem::path& file)
{
    return MagickPixels(file.string(), "-auto-orient", "rgba");
}

// ImageMagick's RGBA pixels of one page of a file, rows in the order it stores them.
inline Bytes MagickPageRgba(const std::filesystem::path& file, int page = 0)
{
    return MagickPixels(file.string() + "[" + std::to_string(page) + "]", "", "rgba");
}

// The first picture of a file as ImageMagick sees it: red, green, blue bytes, top
// row first; empty when ImageMagick fails. With width and height, also its size.
inline Bytes MagickRgb(const std::string& file, int* width = nullptr, int* height = nullptr)
{
    bool ok = false;
    if (width && height) {
        const std::string size = RunCommand("identify -format '%w %h' '" + file + "[0]' 2>/dev/null", &ok);
        if (!ok || std::sscanf(size.c_str(), "%d %d", width, height) != 2)
            return {};
    }
    const Bytes raw = MagickPixels(file + "[0]", "", "rgb", &ok);
    return ok ? raw : Bytes{};
}

// Whether ImageMagick reads the file, and the format and size it reports.
inline std::string MagickIdentify(const std::filesystem::path& file)
{
    bool ok = false;
    const std::string s = RunCommand("identify -format '%m %wx%h\\n' '" + file.string() + "' 2>&1", &ok);
    return ok ? s : "ERROR " + s;
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

}  // namespace lftest
