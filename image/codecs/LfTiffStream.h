#pragma once
// libtiff on a CLfStream: the client procedures that let libtiff read and write the
// library's byte stream instead of a file. The stream stays the caller's: closing
// the handle leaves it open. libtiff's messages never reach the user; they are
// dropped per handle, so decoders on several threads need no global state.

#include <tiffio.h>

class CLfStream;

// A libtiff handle on stream for mode ("r" to read, "w" to write a new file), named
// "TIFF IMAGE"; null when libtiff cannot start (no header, unwritable stream).
TIFF* TiffOpenStream(CLfStream* stream, const char* mode);
TIFF* TiffClientOpenOnStream(CLfStream* stream, const char* name, const char* mode);

// The client procedures, exposed for their tests.
tmsize_t TiffStreamRead(thandle_t stream, void* buffer, tmsize_t size);
tmsize_t TiffStreamWrite(thandle_t stream, void* buffer, tmsize_t size);
toff_t TiffStreamSeek(thandle_t stream, toff_t offset, int origin);
int TiffStreamClose(thandle_t stream);
toff_t TiffStreamSize(thandle_t stream);
