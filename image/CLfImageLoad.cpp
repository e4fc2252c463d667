// Loading and saving by format: the codec table (LfCodecTable) names the codec of
// each format id, format 0 tries every codec in turn on the same stream, and file
// names become stdio streams. Codec objects live on the stack for one call; a
// decoded image moves into place with one Transfer, so a failure never touches the
// caller's pixels.

#include "image/CLfImage.h"

#include "image/CLfFileStream.h"
#include "image/CLfMemoryStream.h"
#include "image/LfCodecTable.h"
#include "image/LfResources.h"
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kUnknownDecode[] = "Decode: Unknown or wrong format";
constexpr char kUnknownEncode[] = "Encode: Unknown format";
constexpr char kNoMultipage[] = "Multipage Encode, Unsupported operation for this format";

bool DecodeByTrial(CLfImage& target, CLfStream* stream)
{
    const int64_t start = stream->Tell();
    for (const lfimg::CodecEntry& entry : lfimg::Codecs()) {
        if (entry.trial == lfimg::Trial::No)
            continue;
        const uint32_t type = entry.trial == lfimg::Trial::AsUnknown ? lfimg::kTypeUnknown : entry.type;
        if (entry.decode(target, stream, {type, true, entry.frames}))
            return true;
        if (!stream->Seek(start, CLfStream::kSeekSet))
            break;
    }
    target.SetLastError(kUnknownDecode);
    return false;
}

}  // namespace

CLfImage::CLfImage(const char* fileName, uint32_t type)
{
    Init(type);
    Load(fileName, type);
}

CLfImage::CLfImage(FILE* file, uint32_t type)
{
    Init(type);
    Decode(file, type);
}

CLfImage::CLfImage(CLfStream* stream, uint32_t type)
{
    Init(type);
    Decode(stream, type);
}

CLfImage::CLfImage(const uint8_t* buffer, int64_t size, uint32_t type)
{
    Init(type);
    Decode(buffer, size, type);
}

bool CLfImage::Decode(CLfStream* stream, uint32_t type)
{
    if (!stream)
        return false;
    if (type == lfimg::kTypeUnknown)
        return DecodeByTrial(*this, stream);
    const lfimg::CodecEntry* codec = lfimg::FindCodec(type);
    if (!codec) {
        SetLastError(kUnknownDecode);
        return false;
    }
    return codec->decode(*this, stream, {type, false, codec->frames});
}

bool CLfImage::Decode(FILE* file, uint32_t type)
{
    if (!file)
        return false;
    CLfFileStream stream(file);
    if (!stream.IsOpen()) {
        SetLastError(kUnknownDecode);
        return false;
    }
    return Decode(&stream, type);
}

bool CLfImage::Decode(const uint8_t* buffer, int64_t size, uint32_t type)
{
    if (!buffer || size <= 0)
        return false;
    CLfMemoryStream stream(buffer, size);
    return Decode(&stream, type);
}

bool CLfImage::Encode(CLfStream* stream, uint32_t type)
{
    const lfimg::CodecEntry* codec = lfimg::FindCodec(type);
    if (!codec || !codec->encode) {
        SetLastError(kUnknownEncode);
        return false;
    }
    return codec->encode(*this, stream, type);
}

bool CLfImage::Encode(FILE* file, uint32_t type)
{
    CLfFileStream stream(file);
    return Encode(file ? &stream : nullptr, type);
}

bool CLfImage::Encode(uint8_t*& buffer, int64_t& size, uint32_t type)
{
    if (buffer)
        return false;
    CLfMemoryStream stream;
    if (!Encode(&stream, type))
        return false;
    size = stream.Size();
    buffer = stream.Detach();
    return true;
}

bool CLfImage::Encode(CLfStream* stream, CLfImage** images, int32_t count, uint32_t type)
{
    // Only the page and frame formats (TIFF, GIF) take several images.
    const lfimg::CodecEntry* codec = lfimg::FindCodec(type);
    if (!codec || !codec->encodeMany) {
        SetLastError(kNoMultipage);
        return false;
    }
    return codec->encodeMany(*this, stream, images, count, type);
}

bool CLfImage::Encode(FILE* file, CLfImage** images, int32_t count, uint32_t type)
{
    CLfFileStream stream(file);
    return Encode(file ? &stream : nullptr, images, count, type);
}

bool CLfImage::RefuseEncode(CLfStream* stream)
{
    if (!stream) {
        SetLastError("null file handler");
        return true;
    }
    if (!dib) {
        SetLastError("null image!!!");
        return true;
    }
    return false;
}

bool CLfImage::Load(const char* fileName, uint32_t type)
{
    if (!fileName)
        return false;
    if (type >= 1 && type < lfimg::kTypeCount) {
        FILE* file = OpenPictureFile(fileName);
        if (!file)
            return false;
        const bool ok = Decode(file, type);
        std::fclose(file);
        if (ok)
            return true;
    }
    // The explicit attempt's message (or the one from before the call) is what the
    // caller sees when the trial fails too: it names the format the caller expected.
    char saved[sizeof info.lastError];
    std::memcpy(saved, info.lastError, sizeof saved);
    FILE* file = OpenPictureFile(fileName);
    if (!file)
        return false;
    const bool ok = Decode(file, lfimg::kTypeUnknown);
    std::fclose(file);
    if (!ok && type != lfimg::kTypeUnknown)
        std::memcpy(info.lastError, saved, sizeof saved);
    return ok;
}

FILE* CLfImage::OpenPictureFile(const char* fileName)
{
    // Opened without waiting and looked at before reading: a FIFO or a device named like
    // a picture would otherwise wait for a writer for ever.
    const int fd = ::open(fileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        SetLastError("not a regular file");
        return nullptr;
    }
    FILE* file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return file;
}

bool CLfImage::LoadResource(const lfimg::Resource* resource, uint32_t type)
{
    if (!resource) {
        SetLastError("Unable to load resource!");
        return false;
    }
    if (!resource->data || resource->size == 0)
        return false;
    CLfMemoryStream stream(resource->data, int64_t(resource->size));
    return Decode(&stream, type);
}

bool CLfImage::Save(const char* fileName, uint32_t type)
{
    // Every failure leaves its message: callers show it as it stands.
    if (!fileName) {
        SetLastError("no file name");
        return false;
    }
    // Encode into a temporary file beside the target and rename it over the target
    // only when everything was written: a failure leaves the old file intact.
    lfplat::AtomicFile file(fileName);
    if (!file.Open()) {
        SetLastError(file.Error().c_str());
        return false;
    }
    SetLastError("");  // an earlier message must not pass for this encoder's
    if (!Encode(file.Stream(), type)) {
        if (!*GetLastError())
            SetLastError(("The image could not be written to " + std::string(fileName) + ".").c_str());
        file.Discard();
        return false;
    }
    if (!file.Commit()) {
        SetLastError(file.Error().c_str());
        return false;
    }
    return true;
}
