// qkcache.xml: any index text gives entries whose cache folders lie directly in the
// cache root; escaping a path and reading it back gives the path.
#include "fuzz/LfFuzzSupport.h"
#include "manager/model/ThumbnailCache.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string root = "/cache/Lanternfolio";
    for (const ThumbnailCache::Entry& entry : ThumbnailCache::ParseIndex(text, root)) {
        lffuzz::Check(entry.cacheDir.rfind(root + "/", 0) == 0, "a cache folder lies in the root");
        const std::string leaf = entry.cacheDir.substr(root.size() + 1);
        lffuzz::Check(!leaf.empty() && leaf.find('/') == std::string::npos && leaf != "." && leaf != "..",
                      "a cache folder lies directly in the root");
    }
    lffuzz::Check(ThumbnailCache::UnescapeText(ThumbnailCache::EscapeText(text)) == text,
                  "an escaped path reads back");
    const std::string escaped = ThumbnailCache::EscapeText(text);
    lffuzz::Check(escaped.find('<') == std::string::npos && escaped.find('>') == std::string::npos,
                  "an escaped path holds no tag");
    return 0;
}
