#pragma once
// The JPEG codec's plumbing into libjpeg: a stream manager that is both libjpeg's
// source and its destination over a CLfStream, and an error manager that jumps back
// to the codec. Plain data only: these live in the frame that holds the setjmp.

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE

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
