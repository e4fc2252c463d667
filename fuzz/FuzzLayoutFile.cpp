// LayoutConfig.txt: any text gives at most the list's number of layouts, each with a
// picture name.
#include "fuzz/LfFuzzSupport.h"
#include "print/model/LayoutConfigFile.h"

#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::string text = LayoutConfigFile::ReadText(in);
    lffuzz::Check(text.size() <= size, "the joined text is no longer than the file");
    const std::vector<LayoutBlock> blocks = LayoutConfigFile::Parse(text);
    lffuzz::Check(blocks.size() <= LayoutConfigFile::kMaxLayouts, "no more layouts than the list holds");
    for (const LayoutBlock& block : blocks)
        lffuzz::Check(LayoutConfigFile::IsPictureName(block.m_strImageName), "every layout has a picture name");
    // The file read as it is, without the piece joining.
    LayoutConfigFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
