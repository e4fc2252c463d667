#include "image/codecs/CLfImageJPG_priv.h"

#include "image/CLfStream.h"

#include <cstddef>

#include <jerror.h>

namespace {

CLfJpgStreamManager* FromSource(j_decompress_ptr cinfo)
{
    return reinterpret_cast<CLfJpgStreamManager*>(reinterpret_cast<char*>(cinfo->src) -
                                                  offsetof(CLfJpgStreamManager, src));
}

CLfJpgStreamManager* FromDestination(j_compress_ptr cinfo)
{
    return reinterpret_cast<CLfJpgStreamManager*>(reinterpret_cast<char*>(cinfo->dest) -
                                                  offsetof(CLfJpgStreamManager, dest));
}

void InitSource(j_decompress_ptr cinfo)
{
    FromSource(cinfo)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    CLfJpgStreamManager* m = FromSource(cinfo);
    size_t count = m->stream->Read(m->buffer, 1, CLfJpgStreamManager::kBufferSize);
    if (count == 0) {
        if (m->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A file cut short decodes to its end: libjpeg fills the rows it lacks.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        m->buffer[0] = 0xFF;
        m->buffer[1] = JPEG_EOI;
        count = 2;
    }
    m->src.next_input_byte = m->buffer;
    m->src.bytes_in_buffer = count;
    m->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    size_t rest = static_cast<size_t>(count);
    while (rest > src->bytes_in_buffer) {
        rest -= src->bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += rest;
    src->bytes_in_buffer -= rest;
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr cinfo)
{
    CLfJpgStreamManager* m = FromDestination(cinfo);
    m->dest.next_output_byte = m->buffer;
    m->dest.free_in_buffer = CLfJpgStreamManager::kBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    CLfJpgStreamManager* m = FromDestination(cinfo);
    if (m->stream->Write(m->buffer, 1, CLfJpgStreamManager::kBufferSize) != CLfJpgStreamManager::kBufferSize)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    m->dest.next_output_byte = m->buffer;
    m->dest.free_in_buffer = CLfJpgStreamManager::kBufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    CLfJpgStreamManager* m = FromDestination(cinfo);
    const size_t count = CLfJpgStreamManager::kBufferSize - m->dest.free_in_buffer;
    if (count != 0 && m->stream->Write(m->buffer, 1, count) != count)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    if (!m->stream->Flush() || m->stream->Error() != 0)
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

}  // namespace

extern "C" void CLfJpgErrorExit(j_common_ptr cinfo)
{
    CLfJpgErrorManager* m = reinterpret_cast<CLfJpgErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, m->message);
    std::longjmp(m->jump, 1);
}

jpeg_error_mgr* LfJpgSetErrorManager(CLfJpgErrorManager* manager, char* message)
{
    jpeg_error_mgr* err = jpeg_std_error(&manager->pub);
    err->error_exit = CLfJpgErrorExit;
    manager->message = message;
    return err;
}

void LfJpgSetSource(j_decompress_ptr cinfo, CLfJpgStreamManager* manager, CLfStream* stream)
{
    manager->stream = stream;
    manager->startOfFile = TRUE;
    manager->src.next_input_byte = nullptr;
    manager->src.bytes_in_buffer = 0;
    manager->src.init_source = InitSource;
    manager->src.fill_input_buffer = FillInputBuffer;
    manager->src.skip_input_data = SkipInputData;
    manager->src.resync_to_restart = jpeg_resync_to_restart;
    manager->src.term_source = TermSource;
    cinfo->src = &manager->src;
}

void LfJpgSetDestination(j_compress_ptr cinfo, CLfJpgStreamManager* manager, CLfStream* stream)
{
    manager->stream = stream;
    manager->dest.init_destination = InitDestination;
    manager->dest.empty_output_buffer = EmptyOutputBuffer;
    manager->dest.term_destination = TermDestination;
    cinfo->dest = &manager->dest;
}
