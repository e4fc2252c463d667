// The reply of the news script: any text gives the six link texts and at most a
// number.
#include "fuzz/LfFuzzSupport.h"
#include "upload/model/NewsReply.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);
    NewsReply::MaxId(reply);
    const UploadEndpoints at;
    const std::vector<std::string> links = NewsReply::Links(reply, at, 3);
    lffuzz::Check(links.size() == NewsReply::kLinks, "six link texts");
    NewsReply::IsWebLink(reply);
    return 0;
}
