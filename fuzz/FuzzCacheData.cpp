// A thumbnail's .dat file in the cache: any file is read without harm, and notes
// written over one that was taken (pixel size unknown, so the file's is kept) read back
// as written, with the file's pixel size. Notes hold their texts as they stand, so the check
// takes notes without a '<', which the format cannot carry inside a tag.
#include "fuzz/LfFuzzSupport.h"
#include "image/CLfImage.h"
#include "manager/model/CImageItem.h"
#include "manager/model/ThumbnailCache.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include <utime.h>

namespace {

// The picture, its cache folder and a fresh thumbnail bitmap, made once.
const std::string& CacheDir()
{
    static const std::string dir = [] {
        const std::string cache = lffuzz::ScratchDir() + "/dir-1";
        std::filesystem::create_directories(cache);
        const std::string picture = lffuzz::ScratchDir() + "/photo.jpg";
        lffuzz::WriteScratch("photo.jpg", reinterpret_cast<const uint8_t*>("picture"), 7);
        const utimbuf old{1000000000, 1000000000};
        utime(picture.c_str(), &old);
        CLfImage thumbnail(8, 6, 24);
        lffuzz::Check(thumbnail.Save(ThumbnailCache::BitmapPath(cache, "photo.jpg").c_str(), lfimg::kTypeBMP),
                      "the thumbnail bitmap is written");
        return cache;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& cache = CacheDir();
    const std::string picture = lffuzz::ScratchDir() + "/photo.jpg";
    const std::string text(reinterpret_cast<const char*>(data), size);
    lffuzz::WriteScratch("dir-1/photo~jpg.dat", data, size);
    const auto first = ThumbnailCache::Load(picture, "photo.jpg", cache);
    // A .dat may refuse the bitmap beside it (a size that is not the picture's fitted
    // thumbnail, a recorded picture time or size that differs); an empty one always does.
    if (text.empty())
        lffuzz::Check(!first.has_value(), "an empty .dat is not read");
    if (!first)
        return 0;
    lffuzz::Check(first->width >= 0 && first->height >= 0, "the pixel size is not negative");

    CImageItem image("photo.jpg", picture, 7, 0, 0);
    const size_t half = text.size() / 2;
    image.m_strKeywords = text.substr(0, half);
    image.m_strDescription = text.substr(half);
    lffuzz::Check(ThumbnailCache::WriteNotes(cache, image), "the notes are written");
    const auto second = ThumbnailCache::Load(picture, "photo.jpg", cache);
    lffuzz::Check(second.has_value(), "the written .dat is read");
    lffuzz::Check(second->width == first->width && second->height == first->height, "the pixel size is kept");
    if (text.find('<') == std::string::npos) {
        lffuzz::Check(second->keywords == image.m_strKeywords, "the keywords read back");
        lffuzz::Check(second->description == image.m_strDescription, "the description reads back");
    }
    return 0;
}
