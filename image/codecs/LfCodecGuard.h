#pragma once
// The one guard around every codec entry point (each codec's Decode and Encode
// members run their body through it). It refuses a null stream, turns a raised
// Failure or an exhausted heap into lastError and a false result, and on a failed
// decode drops whatever pixels the body built, so a caller never sees half a
// picture, an exception or a missing message.

#include "image/CLfImage.h"
#include "image/codecs/LfCodecIo.h"

#include <new>

namespace lfcodec {

inline constexpr char kNullStream[] = "null file handler";
inline constexpr char kNoMemory[] = "Can't allocate memory";

// Frees the pixels and forgets the size of a decode that failed; the information
// block (lastError, frameCount) stays for the caller.
void DropPixels(CLfImage& image);

// body() returns true on success, or false with lastError set (the codecs over C
// libraries report that way; a cancelled JPEG keeps the message it had); it may
// raise Failure or std::bad_alloc.
template <class Body>
bool GuardDecode(CLfImage& image, CLfStream* stream, Body&& body, const char* noMemory = kNoMemory)
{
    if (!stream) {
        image.SetLastError(kNullStream);
        return false;
    }
    bool ok = false;
    try {
        ok = body();
    } catch (const Failure& failure) {
        SetError(image, failure);
    } catch (const std::bad_alloc&) {
        image.SetLastError(noMemory);
    }
    if (!ok)
        DropPixels(image);
    return ok;
}

// As GuardDecode for a writer of the stream alone (several images, no own
// picture); a null stream gets nullStream.
template <class Body>
bool GuardWrite(CLfImage& image, CLfStream* stream, const char* nullStream, Body&& body)
{
    if (!stream) {
        image.SetLastError(nullStream);
        return false;
    }
    try {
        if (body())
            return true;
    } catch (const Failure& failure) {
        SetError(image, failure);
    } catch (const std::bad_alloc&) {
        image.SetLastError(kNoMemory);
    }
    return false;
}

// An encoder of this image: refused without stream or picture (RefuseEncode).
template <class Body>
bool GuardEncode(CLfImage& image, CLfStream* stream, Body&& body)
{
    if (image.RefuseEncode(stream))
        return false;
    return GuardWrite(image, stream, kNullStream, static_cast<Body&&>(body));
}

}  // namespace lfcodec
