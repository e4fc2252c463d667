#include "image/codecs/CLfImageJAS.h"

#include "image/CLfStream.h"
#include "image/codecs/CLfImageJAS_priv.h"
#include "image/codecs/LfCodecGuard.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kMaxComponents = 64;
constexpr char kCannotLoad[] = "error: cannot load image data";
constexpr char kCannotEncode[] = "error: cannot encode image\n";

// ---- OpenJPEG over CLfStream ----------------------------------------------------------
// The callbacks run inside the C library: they report through return values only.

struct StreamContext {
    CLfStream* stream;
    int64_t base;  // where the file starts in the stream
};

OPJ_SIZE_T ReadCallback(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* ctx = static_cast<StreamContext*>(user);
    const size_t got = ctx->stream->Read(buffer, 1, count);
    return got == 0 ? OPJ_SIZE_T(-1) : got;
}

OPJ_SIZE_T WriteCallback(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* ctx = static_cast<StreamContext*>(user);
    return ctx->stream->Write(buffer, 1, count);
}

OPJ_OFF_T SkipCallback(OPJ_OFF_T count, void* user)
{
    auto* ctx = static_cast<StreamContext*>(user);
    return ctx->stream->Seek(count, CLfStream::kSeekCur) ? count : -1;
}

OPJ_BOOL SeekCallback(OPJ_OFF_T position, void* user)
{
    auto* ctx = static_cast<StreamContext*>(user);
    return ctx->stream->Seek(ctx->base + position, CLfStream::kSeekSet) ? OPJ_TRUE : OPJ_FALSE;
}

void KeepFirstError(const char* message, void* user)
{
    auto* text = static_cast<std::string*>(user);
    if (text->empty() && message)
        *text = message;
}

void Ignore(const char*, void*) {}

struct CodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageDeleter {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};
using CodecPtr = std::unique_ptr<opj_codec_t, CodecDeleter>;
using StreamPtr = std::unique_ptr<opj_stream_t, StreamDeleter>;
using ImagePtr = std::unique_ptr<opj_image_t, ImageDeleter>;

StreamPtr MakeStream(StreamContext& ctx, bool input)
{
    StreamPtr s(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE));
    if (!s)
        throw std::bad_alloc();
    opj_stream_set_user_data(s.get(), &ctx, nullptr);
    if (input) {
        opj_stream_set_read_function(s.get(), ReadCallback);
        opj_stream_set_user_data_length(s.get(), OPJ_UINT64(lfcodec::BytesLeft(ctx.stream)));
    } else {
        opj_stream_set_write_function(s.get(), WriteCallback);
    }
    opj_stream_set_skip_function(s.get(), SkipCallback);
    opj_stream_set_seek_function(s.get(), SeekCallback);
    return s;
}

void QuietCodec(opj_codec_t* codec, std::string* errors)
{
    opj_set_error_handler(codec, KeepFirstError, errors);
    opj_set_warning_handler(codec, Ignore, nullptr);
    opj_set_info_handler(codec, Ignore, nullptr);
}

// Decodes a JP2 file or a codestream; the picture's components point into the
// returned image.
ImagePtr DecodeOpenJpeg(CLfStream* stream, CLfImage& gate, OPJ_CODEC_FORMAT format, lfjas::Picture& picture)
{
    StreamContext ctx{stream, stream->Tell()};
    StreamPtr s = MakeStream(ctx, true);
    CodecPtr codec(opj_create_decompress(format));
    if (!codec)
        throw std::bad_alloc();
    std::string errors;
    QuietCodec(codec.get(), &errors);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters))
        lfcodec::Fail("%s", kCannotLoad);
    opj_image_t* raw = nullptr;
    if (!opj_read_header(s.get(), codec.get(), &raw)) {
        opj_image_destroy(raw);
        lfcodec::Fail("%s", kCannotLoad);
    }
    ImagePtr image(raw);
    if (image->numcomps > kMaxComponents)
        lfcodec::Fail("error: too much components");
    if (image->numcomps == 0 || image->x1 <= image->x0 || image->y1 <= image->y0)
        lfcodec::Fail("%s", kCannotLoad);
    // The library allocates a 32-bit plane per component: the size gate first.
    if (!gate.CheckSize(int64_t(image->x1 - image->x0), int64_t(image->y1 - image->y0), 32 * image->numcomps))
        lfcodec::Fail("%s", gate.GetLastError());
    for (uint32_t i = 0; i < image->numcomps; ++i) {
        const opj_image_comp_t& c = image->comps[i];
        if (c.prec == 0 || c.prec > 31 || c.dx == 0 || c.dy == 0)
            lfcodec::Fail("JPEG-2000 component %u of %u bits", i, c.prec);
    }
    if (!opj_decode(codec.get(), s.get(), image.get()) || !opj_end_decompress(codec.get(), s.get()))
        lfcodec::Fail("%s", kCannotLoad);

    for (uint32_t i = 0; i < image->numcomps; ++i) {
        const opj_image_comp_t& c = image->comps[i];
        if (!c.data || c.w == 0 || c.h == 0)
            lfcodec::Fail("%s", kCannotLoad);
        lfjas::Component comp;
        comp.data = c.data;
        comp.w = c.w;
        comp.h = c.h;
        comp.maxValue = uint32_t((uint64_t(1) << c.prec) - 1);
        comp.offset = c.sgnd ? int32_t(uint32_t(1) << (c.prec - 1)) : 0;
        comp.dx = c.dx;
        comp.dy = c.dy;
        picture.components.push_back(comp);
    }
    // Luma with subsampled chroma is sYCC even where the file does not say so.
    const auto& comps = picture.components;
    picture.ycc = image->color_space == OPJ_CLRSPC_SYCC ||
                  (comps.size() == 3 && image->color_space != OPJ_CLRSPC_SRGB &&
                   (comps[1].dx > comps[0].dx || comps[1].dy > comps[0].dy));
    return image;
}

// ---- Components to pixels -------------------------------------------------------------

inline uint8_t Scale8(int64_t sample, const lfjas::Component& c)
{
    int64_t v = sample + c.offset;
    v = std::clamp<int64_t>(v, 0, c.maxValue);
    if (c.maxValue == 255)
        return uint8_t(v);
    return uint8_t((v * 255 + c.maxValue / 2) / c.maxValue);
}

bool SameLayout(const lfjas::Component& a, const lfjas::Component& b)
{
    return a.w == b.w && a.h == b.h && a.maxValue == b.maxValue && a.offset == b.offset;
}

// Chroma no larger than luma: the chroma sample of luma pixel (x, y).
bool ChromaFits(const lfjas::Component& luma, const lfjas::Component& chroma)
{
    return chroma.w <= luma.w && chroma.h <= luma.h && chroma.dx >= luma.dx && chroma.dy >= luma.dy &&
           chroma.maxValue == luma.maxValue && chroma.offset == luma.offset;
}

inline int32_t ChromaAt(const lfjas::Component& luma, const lfjas::Component& c, uint32_t x, uint32_t y)
{
    const uint32_t cx = std::min<uint64_t>(c.w - 1, uint64_t(x) * luma.dx / c.dx);
    const uint32_t cy = std::min<uint64_t>(c.h - 1, uint64_t(y) * luma.dy / c.dy);
    return c.data[size_t(cy) * c.w + cx];
}

void FillRgb(CLfImage& image, const lfjas::Picture& picture)
{
    const auto& c = picture.components;
    const uint32_t w = c[0].w, h = c[0].h;
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = image.GetBits(h - 1 - y);
        for (uint32_t x = 0; x < w; ++x) {
            const size_t at = size_t(y) * w + x;
            uint8_t r, g, b;
            if (picture.ycc) {
                // sYCC with the chroma centred on half the range, in the samples' own scale.
                const int64_t half = (int64_t(c[0].maxValue) + 1) / 2;
                const double luma = double(int64_t(c[0].data[at]) + c[0].offset);
                const double cb = double(int64_t(ChromaAt(c[0], c[1], x, y)) + c[1].offset - half);
                const double cr = double(int64_t(ChromaAt(c[0], c[2], x, y)) + c[2].offset - half);
                const lfjas::Component& scale = c[0];
                r = Scale8(int64_t(luma + 1.402 * cr) - scale.offset, scale);
                g = Scale8(int64_t(luma - (0.344 * cb + 0.714 * cr)) - scale.offset, scale);
                b = Scale8(int64_t(luma + 1.772 * cb) - scale.offset, scale);
            } else {
                r = Scale8(c[0].data[at], c[0]);
                g = Scale8(c[1].data[at], c[1]);
                b = Scale8(c[2].data[at], c[2]);
            }
            row[3 * size_t(x)] = b;
            row[3 * size_t(x) + 1] = g;
            row[3 * size_t(x) + 2] = r;
        }
    }
}

void ToImage(CLfImage& image, const lfjas::Picture& picture, uint32_t type)
{
    const auto& comps = picture.components;
    if (comps.size() > kMaxComponents)
        lfcodec::Fail("error: too much components");
    if (comps.empty())
        lfcodec::Fail("%s", kCannotLoad);
    const bool rgb = comps.size() == 3 && !picture.ycc && SameLayout(comps[0], comps[1]) &&
                     SameLayout(comps[0], comps[2]);
    const bool ycc = comps.size() == 3 && picture.ycc && ChromaFits(comps[0], comps[1]) &&
                     ChromaFits(comps[0], comps[2]);
    if (rgb || ycc) {
        if (!image.Create(comps[0].w, comps[0].h, 24, type))
            lfcodec::Fail("%s", image.GetLastError());
        FillRgb(image, picture);
        return;
    }

    // Any other layout: one component as a grey image, read at its own size.
    image.info.frameCount = int32_t(comps.size());
    const int32_t frame = image.info.frame;
    if (frame < 0 || frame >= int32_t(comps.size()))
        lfcodec::Fail("wrong frame!");
    const lfjas::Component& c = comps[size_t(frame)];
    const uint32_t bpp = c.maxValue == 1 ? 1 : c.maxValue == 15 ? 4 : 8;
    if (!image.Create(c.w, c.h, bpp, type))
        lfcodec::Fail("%s", image.GetLastError());
    image.SetGrayPalette();
    for (uint32_t y = 0; y < c.h; ++y) {
        const int32_t* src = c.data + size_t(y) * c.w;
        const uint32_t row = c.h - 1 - y;
        for (uint32_t x = 0; x < c.w; ++x) {
            const int64_t v = std::clamp<int64_t>(int64_t(src[x]) + c.offset, 0, c.maxValue);
            image.SetPixelIndex(x, row, bpp == 8 ? Scale8(src[x], c) : uint8_t(v));
        }
    }
}

// ---- Encoding -------------------------------------------------------------------------

// At most as many resolution levels as the smaller side allows (the library's
// default of 6 needs 32 pixels).
int Resolutions(uint32_t w, uint32_t h)
{
    int levels = 1;
    for (uint32_t side = std::min(w, h); side >= 2 && levels < 6; side /= 2)
        ++levels;
    return levels;
}

void EncodeOpenJpeg(CLfStream* stream, const std::vector<uint8_t>& samples, uint32_t w, uint32_t h,
                    uint32_t channels, OPJ_CODEC_FORMAT format, uint8_t quality)
{
    opj_image_cmptparm_t parameters[3];
    std::memset(parameters, 0, sizeof parameters);
    for (uint32_t i = 0; i < channels; ++i) {
        parameters[i].dx = parameters[i].dy = 1;
        parameters[i].w = w;
        parameters[i].h = h;
        parameters[i].prec = 8;
        parameters[i].sgnd = 0;
    }
    ImagePtr image(opj_image_create(channels, parameters, channels == 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY));
    if (!image)
        throw std::bad_alloc();
    image->x0 = image->y0 = 0;
    image->x1 = w;
    image->y1 = h;
    for (uint32_t i = 0; i < channels; ++i) {
        OPJ_INT32* data = image->comps[i].data;
        for (size_t p = 0; p < size_t(w) * h; ++p)
            data[p] = samples[p * channels + i];
    }

    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.cp_disto_alloc = 1;
    settings.numresolution = Resolutions(w, h);
    settings.tcp_mct = channels == 3 ? 1 : 0;
    const float rate = float(quality) * 0.01f;
    if (rate > 0.0f && rate < 1.0f) {
        settings.irreversible = 1;
        settings.tcp_rates[0] = 1.0f / rate;  // the library's compression ratio
    } else {
        settings.tcp_rates[0] = 0;  // lossless
    }

    CodecPtr codec(opj_create_compress(format));
    if (!codec)
        throw std::bad_alloc();
    std::string errors;
    QuietCodec(codec.get(), &errors);
    StreamContext ctx{stream, stream->Tell()};
    StreamPtr s = MakeStream(ctx, false);
    if (!opj_setup_encoder(codec.get(), &settings, image.get()) ||
        !opj_start_compress(codec.get(), image.get(), s.get()) || !opj_encode(codec.get(), s.get()) ||
        !opj_end_compress(codec.get(), s.get()))
        lfcodec::Fail("%s", kCannotEncode);
}

}  // namespace

bool CLfImageJAS::Decode(CLfStream* stream, uint32_t type)
{
    return lfcodec::GuardDecode(*this, stream, [&] { return DecodeBody(stream, type); });
}

bool CLfImageJAS::DecodeBody(CLfStream* stream, uint32_t type)
{
    const int64_t start = stream->Tell();
    uint8_t head[12] = {};
    const size_t got = stream->Read(head, 1, sizeof head);
    if (!stream->Seek(start, CLfStream::kSeekSet))
        lfcodec::Fail("%s", kCannotLoad);
    lfjas::Picture picture;
    ImagePtr decoded;
    switch (lfjas::Sniff(head, got)) {
    case lfjas::Format::JP2: decoded = DecodeOpenJpeg(stream, *this, OPJ_CODEC_JP2, picture); break;
    case lfjas::Format::J2K: decoded = DecodeOpenJpeg(stream, *this, OPJ_CODEC_J2K, picture); break;
    case lfjas::Format::PGX: lfjas::ReadPgx(stream, *this, picture); break;
    case lfjas::Format::PNM: lfjas::ReadPnm(stream, *this, picture); break;
    case lfjas::Format::RAS: lfjas::ReadRas(stream, *this, picture); break;
    case lfjas::Format::Unknown: lfcodec::Fail("%s", kCannotLoad);
    }
    ToImage(*this, picture, type);
    return true;
}

bool CLfImageJAS::Encode(CLfStream* stream, uint32_t type)
{
    return lfcodec::GuardEncode(*this, stream, [&] { return EncodeBody(stream, type); });
}

bool CLfImageJAS::EncodeBody(CLfStream* stream, uint32_t type)
{
    const bool palette = GetNumColors() != 0;
    if (palette && !IsGrayScale())
        lfcodec::Fail("JasPer can save only RGB or GrayScale images");
    const uint32_t channels = palette ? 1 : 3;
    const uint32_t w = uint32_t(GetWidth()), h = uint32_t(GetHeight());

    // Top-down interleaved samples: grey indexes, or red, green, blue.
    std::vector<uint8_t> samples(size_t(w) * h * channels);
    for (uint32_t line = 0; line < h; ++line) {
        const uint32_t row = h - 1 - line;
        uint8_t* out = samples.data() + size_t(line) * w * channels;
        for (uint32_t x = 0; x < w; ++x) {
            if (palette) {
                out[x] = GetPixelIndex(x, row);
            } else {
                const RGBQUAD c = GetPixelColor(x, row);
                out[3 * size_t(x)] = c.rgbRed;
                out[3 * size_t(x) + 1] = c.rgbGreen;
                out[3 * size_t(x) + 2] = c.rgbBlue;
            }
        }
    }

    bool written = true;
    switch (type) {
    case lfimg::kTypeJP2: EncodeOpenJpeg(stream, samples, w, h, channels, OPJ_CODEC_JP2, info.quality); break;
    case lfimg::kTypeJPC: EncodeOpenJpeg(stream, samples, w, h, channels, OPJ_CODEC_J2K, info.quality); break;
    case lfimg::kTypePGX:
        if (channels != 1)
            lfcodec::Fail("PGX can save only GrayScale images");
        written = lfjas::WritePgx(stream, samples.data(), w, h);
        break;
    case lfimg::kTypePNM: written = lfjas::WritePnm(stream, samples.data(), w, h, channels); break;
    case lfimg::kTypeRAS: written = lfjas::WriteRas(stream, samples.data(), w, h, channels); break;
    default: lfcodec::Fail("%s", kCannotEncode);
    }
    if (!written || !stream->Flush())
        lfcodec::Fail("%s", kCannotEncode);
    return true;
}
