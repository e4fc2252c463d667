// Loading and saving by format: a format id picks the codec class, format 0 tries
// every codec in turn on the same stream, and file names become stdio streams.
// Codec objects live on the stack for one call; a decoded image moves into place
// with one Transfer, so a failure never touches the caller's pixels.

#include "image/CLfImage.h"

#include "image/CLfFileStream.h"
#include "image/CLfImageBMP.h"
#include "image/CLfImageGIF.h"
#include "image/CLfImageICO.h"
#include "image/CLfImageJPG.h"
#include "image/CLfImagePCX.h"
#include "image/CLfImagePNG.h"
#include "image/CLfImageTIF.h"
#include "image/CLfImageTGA.h"
#include "image/CLfImageWBMP.h"
#include "image/CLfMemoryStream.h"
#include "platform/AtomicFile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kUnknownDecode[] = "Decode: Unknown or wrong format";
constexpr char kUnknownEncode[] = "Encode: Unknown format";
constexpr char kNoMultipage[] = "Multipage Encode, Unsupported operation for this format";

// The multi-frame formats take the frame to decode and report the frames found.
bool HasFrames(uint32_t type)
{
    return type == lfimg::kTypeGIF || type == lfimg::kTypeICO || type == lfimg::kTypeTIF;
}

// Decodes with one codec class into target; the codec's message on failure.
template <class Codec>
bool DecodeAs(CLfImage& target, CLfStream* stream, uint32_t type)
{
    Codec codec;
    if (HasFrames(type))
        codec.info.frame = target.info.frame;
    if (codec.Decode(stream)) {
        target.Transfer(codec);
        return true;
    }
    target.SetLastError(codec.GetLastError());
    if (HasFrames(type))
        target.info.frameCount = codec.info.frameCount;
    return false;
}

// One try of the every-format trial: the codec sees the caller's settings (frame,
// escape, codec options); its message is dropped when it fails.
template <class Codec>
bool TryDecode(CLfImage& target, CLfStream* stream)
{
    Codec codec;
    const uint32_t type = codec.GetType();
    codec.CopyInfo(target);
    codec.info.type = type;
    if (!codec.Decode(stream))
        return false;
    target.Transfer(codec);
    return true;
}

template <class Codec>
bool EncodeAs(CLfImage& source, CLfStream* stream)
{
    Codec codec;
    codec.Ghost(&source);
    if (codec.Encode(stream))
        return true;
    source.SetLastError(codec.GetLastError());
    return false;
}

using TrialFn = bool (*)(CLfImage&, CLfStream*);

// The order in which a stream of unstated format meets the codecs.
constexpr TrialFn kTrialOrder[] = {
    &TryDecode<CLfImageBMP>,
    &TryDecode<CLfImageJPG>,
    &TryDecode<CLfImageICO>,
    &TryDecode<CLfImageGIF>,
    &TryDecode<CLfImagePNG>,
    &TryDecode<CLfImageTIF>,
    &TryDecode<CLfImageTGA>,
    &TryDecode<CLfImagePCX>,
    &TryDecode<CLfImageWBMP>,
};

bool DecodeByTrial(CLfImage& target, CLfStream* stream)
{
    const int64_t start = stream->Tell();
    for (TrialFn attempt : kTrialOrder) {
        if (attempt(target, stream))
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
    switch (type) {
    case lfimg::kTypeUnknown: return DecodeByTrial(*this, stream);
    case lfimg::kTypeBMP: return DecodeAs<CLfImageBMP>(*this, stream, type);
    case lfimg::kTypeGIF: return DecodeAs<CLfImageGIF>(*this, stream, type);
    case lfimg::kTypeJPG: return DecodeAs<CLfImageJPG>(*this, stream, type);
    case lfimg::kTypeICO: return DecodeAs<CLfImageICO>(*this, stream, type);
    case lfimg::kTypePNG: return DecodeAs<CLfImagePNG>(*this, stream, type);
    case lfimg::kTypeTIF: return DecodeAs<CLfImageTIF>(*this, stream, type);
    case lfimg::kTypeTGA: return DecodeAs<CLfImageTGA>(*this, stream, type);
    case lfimg::kTypePCX: return DecodeAs<CLfImagePCX>(*this, stream, type);
    case lfimg::kTypeWBMP: return DecodeAs<CLfImageWBMP>(*this, stream, type);
    default: SetLastError(kUnknownDecode); return false;
    }
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
    switch (type) {
    case lfimg::kTypeBMP: return EncodeAs<CLfImageBMP>(*this, stream);
    case lfimg::kTypeGIF: return EncodeAs<CLfImageGIF>(*this, stream);
    case lfimg::kTypeJPG: return EncodeAs<CLfImageJPG>(*this, stream);
    case lfimg::kTypeICO: return EncodeAs<CLfImageICO>(*this, stream);
    case lfimg::kTypePNG: return EncodeAs<CLfImagePNG>(*this, stream);
    case lfimg::kTypeTIF: return EncodeAs<CLfImageTIF>(*this, stream);
    case lfimg::kTypeTGA: return EncodeAs<CLfImageTGA>(*this, stream);
    case lfimg::kTypePCX: return EncodeAs<CLfImagePCX>(*this, stream);
    case lfimg::kTypeWBMP: return EncodeAs<CLfImageWBMP>(*this, stream);
    default: SetLastError(kUnknownEncode); return false;
    }
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
    switch (type) {
    case lfimg::kTypeTIF: {
        CLfImageTIF codec;
        if (codec.Encode(stream, images, count))
            return true;
        SetLastError(codec.GetLastError());
        return false;
    }
    case lfimg::kTypeGIF: {
        CLfImageGIF codec;
        codec.Ghost(this);
        if (codec.Encode(stream, images, count))
            return true;
        SetLastError(codec.GetLastError());
        return false;
    }
    default: SetLastError(kNoMultipage); return false;
    }
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
        FILE* file = std::fopen(fileName, "rb");
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
    FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    const bool ok = Decode(file, lfimg::kTypeUnknown);
    std::fclose(file);
    if (!ok && type != lfimg::kTypeUnknown)
        std::memcpy(info.lastError, saved, sizeof saved);
    return ok;
}

bool CLfImage::Save(const char* fileName, uint32_t type)
{
    if (!fileName)
        return false;
    // Encode into a temporary file beside the target and rename it over the target
    // only when everything was written: a failure leaves the old file intact.
    lfplat::AtomicFile file(fileName);
    if (!file.Open())
        return false;
    if (!Encode(file.Stream(), type)) {
        file.Discard();
        return false;
    }
    if (!file.Commit()) {
        SetLastError(file.Error().c_str());
        return false;
    }
    return true;
}
