// Client procedures of libtiff over CLfStream.

#include "image/codecs/LfTiffStream.h"

#include "image/CLfStream.h"
#include "image/LfImageSize.h"

#include <cstdarg>

namespace {

CLfStream* AsStream(thandle_t handle) { return static_cast<CLfStream*>(handle); }

int TiffStreamMap(thandle_t, void** base, toff_t* size)
{
    *base = nullptr;
    *size = 0;
    return 0;  // no memory mapping: libtiff reads through the procedures
}

void TiffStreamUnmap(thandle_t, void*, toff_t) {}

// Returning 1 stops libtiff from passing the text on to its global handlers.
int TiffQuietMessage(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

tmsize_t TiffStreamRead(thandle_t stream, void* buffer, tmsize_t size)
{
    if (size <= 0) return 0;
    return static_cast<tmsize_t>(AsStream(stream)->Read(buffer, 1, static_cast<size_t>(size)));
}

tmsize_t TiffStreamWrite(thandle_t stream, void* buffer, tmsize_t size)
{
    if (size <= 0) return 0;
    return static_cast<tmsize_t>(AsStream(stream)->Write(buffer, 1, static_cast<size_t>(size)));
}

toff_t TiffStreamSeek(thandle_t stream, toff_t offset, int origin)
{
    // libtiff passes relative offsets as wrapped unsigned values; a failed seek must
    // come back as -1, which libtiff recognises, never as a position it would trust.
    const auto signedOffset = static_cast<int64_t>(offset);
    if (origin == SEEK_SET && (signedOffset < 0 || signedOffset > CLfStream::kMaxSize))
        return static_cast<toff_t>(-1);
    CLfStream* s = AsStream(stream);
    if (!s->Seek(signedOffset, origin)) return static_cast<toff_t>(-1);
    const int64_t position = s->Tell();
    return position < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(position);
}

int TiffStreamClose(thandle_t) { return 0; }

toff_t TiffStreamSize(thandle_t stream)
{
    const int64_t size = AsStream(stream)->Size();
    return size < 0 ? 0 : static_cast<toff_t>(size);
}

TIFF* TiffClientOpenOnStream(CLfStream* stream, const char* name, const char* mode)
{
    if (!stream) return nullptr;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, TiffQuietMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, TiffQuietMessage, nullptr);
    // No single buffer libtiff allocates for a hostile file may pass the image
    // ceiling (plus room for a strip's worth of compressed bytes).
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(lfimg::kMaxImageMemory * 2));
    TIFF* tif = TIFFClientOpenExt(name, mode, static_cast<thandle_t>(stream), TiffStreamRead, TiffStreamWrite,
                                  TiffStreamSeek, TiffStreamClose, TiffStreamSize, TiffStreamMap,
                                  TiffStreamUnmap, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

TIFF* TiffOpenStream(CLfStream* stream, const char* mode)
{
    return TiffClientOpenOnStream(stream, "TIFF IMAGE", mode);
}
