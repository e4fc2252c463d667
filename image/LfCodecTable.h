#pragma once
// The one table of codecs. Decode, Encode, multipage Encode, the every-format
// trial and the extension helper read it; adding a format is one entry in
// LfCodecTable.cpp (and its header's include).

#include "image/CLfImage.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace lfimg {

// How the every-format trial meets an entry.
enum class Trial : uint8_t {
    No,         // never tried (a family whose one member tries for all)
    Yes,        // tried with the entry's own type
    AsUnknown,  // tried with type 0: the codec recognises the variant itself
};

// What the dispatch asks of one decode: the type it names and whether it is a
// try of the trial (which hands the whole information block to the codec).
struct DecodeRequest {
    uint32_t type = 0;
    bool trial = false;
    bool frames = false;
};

// The dispatch's two halves around a codec's own Decode (see LfCodecTable.cpp).
void PrepareDecode(const CLfImage& target, CLfImage& codec, const DecodeRequest& request);
void FinishDecode(CLfImage& target, CLfImage& codec, const DecodeRequest& request, bool decoded);

using DecodeFn = bool (*)(CLfImage& target, CLfStream* stream, const DecodeRequest& request);
using EncodeFn = bool (*)(CLfImage& source, CLfStream* stream, uint32_t type);
using EncodeManyFn = bool (*)(CLfImage& self, CLfStream* stream, CLfImage** images, int32_t count, uint32_t type);

struct CodecEntry {
    uint32_t type;           // ImageType id
    const char* extensions;  // lower case, separated by spaces: "jpg jpeg"
    DecodeFn decode;
    EncodeFn encode;          // null: the format is read only
    EncodeManyFn encodeMany;  // null: one image per file
    bool frames;              // takes info.frame and reports info.frameCount
    Trial trial;
};

// The entries in the order of the every-format trial.
std::span<const CodecEntry> Codecs();
// The entry of an ImageType id, or null.
const CodecEntry* FindCodec(uint32_t type);
// The ImageType id of a file extension (with or without its dot, any case); 0 when
// no codec reads it or its id lies above highest (the manager lists only 1..9).
uint32_t ImageTypeFromExtension(std::string_view extension, uint32_t highest = kTypeCount - 1);

// Adaptors from a codec class to the table's function types. A codec class
// derives from CLfImage and has Decode(stream) and Encode(stream); the Typed
// variants call Decode(stream, type) and Encode(stream, type) for a class that
// serves several ids.
template <class Codec>
bool DecodeWith(CLfImage& target, CLfStream* stream, const DecodeRequest& request)
{
    Codec codec;
    PrepareDecode(target, codec, request);
    const bool decoded = codec.Decode(stream);
    FinishDecode(target, codec, request, decoded);
    return decoded;
}

template <class Codec>
bool DecodeTypedWith(CLfImage& target, CLfStream* stream, const DecodeRequest& request)
{
    Codec codec;
    PrepareDecode(target, codec, request);
    const bool decoded = codec.Decode(stream, request.type);
    FinishDecode(target, codec, request, decoded);
    return decoded;
}

template <class Codec>
bool EncodeWith(CLfImage& source, CLfStream* stream, uint32_t)
{
    Codec codec;
    codec.Ghost(&source);
    if (codec.Encode(stream))
        return true;
    source.SetLastError(codec.GetLastError());
    return false;
}

template <class Codec>
bool EncodeTypedWith(CLfImage& source, CLfStream* stream, uint32_t type)
{
    Codec codec;
    codec.Ghost(&source);
    if (codec.Encode(stream, type))
        return true;
    source.SetLastError(codec.GetLastError());
    return false;
}

template <class Codec>
bool EncodeManyWith(CLfImage& self, CLfStream* stream, CLfImage** images, int32_t count, uint32_t)
{
    Codec codec;
    codec.Ghost(&self);
    if (codec.Encode(stream, images, count))
        return true;
    self.SetLastError(codec.GetLastError());
    return false;
}

}  // namespace lfimg
