#pragma once
// The JPEG codec's plumbing into libjpeg: a stream manager that is both libjpeg's
// source and its destination over a CLfStream, and an error manager that jumps back
// to the codec. Plain data only: these live in the frame that holds the setjmp.

#include "image/CLfImageInfo.h"
#include "platform/LargeBlock.h"

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

class CLfStream;

struct CLfJpgStreamManager {
    static constexpr size_t kBufferSize = 4096;

    jpeg_destination_mgr dest;
    jpeg_source_mgr src;
    CLfStream* stream;
    JOCTET buffer[kBufferSize];
    boolean startOfFile;
};

struct CLfJpgErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char* message;  // the codec's lastError: 256 characters, more than libjpeg writes
};

// libjpeg's error_exit: formats the message into the codec's text and jumps back.
extern "C" void CLfJpgErrorExit(j_common_ptr cinfo);

// Fills manager and returns its standard part for cinfo->err.
jpeg_error_mgr* LfJpgSetErrorManager(CLfJpgErrorManager* manager, char* message);
void LfJpgSetSource(j_decompress_ptr cinfo, CLfJpgStreamManager* manager, CLfStream* stream);
void LfJpgSetDestination(j_compress_ptr cinfo, CLfJpgStreamManager* manager, CLfStream* stream);

// A file's bytes in memory, in a block that asks for large pages (a fresh block of
// small ones costs a fault per 4 KB, more than the copy).
struct LfJpgBytes {
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t[], Free> data;
    size_t size = 0;
    void Allocate(size_t bytes)
    {
        data.reset(static_cast<uint8_t*>(lfplat::AllocateZeroed(bytes)));
        size = data ? bytes : 0;
    }
};

// A large single-scan picture in memory, decoded in horizontal bands on several
// threads, each band by a decompressor of its own.
struct LfJpgBandTarget {
    const uint8_t* data;
    size_t size;
    uint8_t* bits;  // bottom-up rows, as the DIB holds them
    uint32_t rowBytes;
    uint32_t width;
    uint32_t height;
    int components;
    const LfSharedInt* escape;  // non-zero stops every band
};

// The picture's rows into target, cut in bands that start on a row group of the file
// (rowsPerGroup rows). False when any band failed or met a warning: the caller then
// decodes the picture the one-decompressor way.
bool LfJpgDecodeBands(const LfJpgBandTarget& target, unsigned bands, uint32_t rowsPerGroup);
