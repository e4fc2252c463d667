#include "image/LfCodecTable.h"

#include "image/codecs/CLfImageBMP.h"
#include "image/codecs/CLfImageGIF.h"
#include "image/codecs/CLfImageICO.h"
#include "image/codecs/CLfImageJAS.h"
#include "image/codecs/CLfImageJPG.h"
#include "image/codecs/CLfImagePCX.h"
#include "image/codecs/CLfImagePNG.h"
#include "image/codecs/CLfImageTGA.h"
#include "image/codecs/CLfImageTIF.h"
#include "image/codecs/CLfImageWBMP.h"
#include "image/codecs/CLfImageWMF.h"

#include <algorithm>
#include <cctype>

namespace lfimg {
namespace {

// In the order of the every-format trial.
constexpr CodecEntry kCodecs[] = {
    // type    extensions  decode                   encode                   encode-many                  frames trial
    {kTypeBMP, "bmp", DecodeWith<CLfImageBMP>, EncodeWith<CLfImageBMP>, nullptr, false, Trial::Yes},
    {kTypeJPG, "jpg jpeg", DecodeWith<CLfImageJPG>, EncodeWith<CLfImageJPG>, nullptr, false, Trial::Yes},
    {kTypeICO, "ico", DecodeWith<CLfImageICO>, EncodeWith<CLfImageICO>, nullptr, true, Trial::Yes},
    {kTypeGIF, "gif", DecodeWith<CLfImageGIF>, EncodeWith<CLfImageGIF>, EncodeManyWith<CLfImageGIF>, true, Trial::Yes},
    {kTypePNG, "png", DecodeWith<CLfImagePNG>, EncodeWith<CLfImagePNG>, nullptr, false, Trial::Yes},
    {kTypeTIF, "tif tiff", DecodeWith<CLfImageTIF>, EncodeWith<CLfImageTIF>, EncodeManyWith<CLfImageTIF>, true, Trial::Yes},
    {kTypeTGA, "tga", DecodeWith<CLfImageTGA>, EncodeWith<CLfImageTGA>, nullptr, false, Trial::Yes},
    {kTypePCX, "pcx", DecodeWith<CLfImagePCX>, EncodeWith<CLfImagePCX>, nullptr, false, Trial::Yes},
    {kTypeWBMP, "wbmp", DecodeWith<CLfImageWBMP>, EncodeWith<CLfImageWBMP>, nullptr, false, Trial::Yes},
    // Metafiles are read only: their encoder refuses with its own message.
    {kTypeWMF, "wmf emf", DecodeWith<CLfImageWMF>, EncodeWith<CLfImageWMF>, nullptr, false, Trial::Yes},
    // One class for the JPEG-2000 family; it recognises the variant itself, so the
    // trial tries it once. No extension names these ids.
    {kTypeJP2, "", DecodeTypedWith<CLfImageJAS>, EncodeTypedWith<CLfImageJAS>, nullptr, false, Trial::AsUnknown},
    {kTypeJPC, "", DecodeTypedWith<CLfImageJAS>, EncodeTypedWith<CLfImageJAS>, nullptr, false, Trial::No},
    {kTypePGX, "", DecodeTypedWith<CLfImageJAS>, EncodeTypedWith<CLfImageJAS>, nullptr, false, Trial::No},
    {kTypePNM, "", DecodeTypedWith<CLfImageJAS>, EncodeTypedWith<CLfImageJAS>, nullptr, false, Trial::No},
    {kTypeRAS, "", DecodeTypedWith<CLfImageJAS>, EncodeTypedWith<CLfImageJAS>, nullptr, false, Trial::No},
};

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool ListsExtension(const char* list, std::string_view extension)
{
    std::string_view rest(list);
    while (!rest.empty()) {
        const size_t space = rest.find(' ');
        if (SameLetters(rest.substr(0, space), extension))
            return true;
        if (space == std::string_view::npos)
            break;
        rest.remove_prefix(space + 1);
    }
    return false;
}

}  // namespace

std::span<const CodecEntry> Codecs()
{
    return kCodecs;
}

const CodecEntry* FindCodec(uint32_t type)
{
    for (const CodecEntry& entry : kCodecs)
        if (entry.type == type)
            return &entry;
    return nullptr;
}

uint32_t ImageTypeFromExtension(std::string_view extension, uint32_t highest)
{
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    if (extension.empty())
        return kTypeUnknown;
    for (const CodecEntry& entry : kCodecs)
        if (entry.type <= highest && ListsExtension(entry.extensions, extension))
            return entry.type;
    return kTypeUnknown;
}

void PrepareDecode(const CLfImage& target, CLfImage& codec, const DecodeRequest& request)
{
    if (request.trial) {
        // A try of the trial sees the caller's settings (frame, escape, options).
        const uint32_t type = codec.info.type;
        codec.CopyInfo(target);
        codec.info.type = type;
    } else if (request.frames) {
        codec.info.frame = target.info.frame;
    }
    codec.info.neededSide = target.info.neededSide;
    codec.info.fullWidth = 0;
    codec.info.fullHeight = 0;
}

void FinishDecode(CLfImage& target, CLfImage& codec, const DecodeRequest& request, bool decoded)
{
    if (decoded) {
        target.Transfer(codec);
        return;
    }
    if (request.trial)
        return;  // the trial drops a failed try's message
    target.SetLastError(codec.GetLastError());
    if (request.frames)
        target.info.frameCount = codec.info.frameCount;
}

}  // namespace lfimg
