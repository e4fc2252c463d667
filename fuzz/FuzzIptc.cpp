// The IPTC record of a JPEG file: any file is read without harm, and a keyword list
// written into a file reads back as that list (the last keyword first, as the writer
// puts them).
#include "fuzz/LfFuzzSupport.h"
#include "manager/CIptcData.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> file(data, data + size);
    CIptcData read;
    const bool ok = read.ReadFromBytes(file);

    // The keywords to write: those read, and one more so that the list changes.
    CIptcData written;
    written.m_arrKeywords = ok ? read.m_arrKeywords : std::vector<std::string>{};
    written.m_arrKeywords.push_back("lantern");
    const std::optional<std::vector<uint8_t>> out = written.WithKeywords(file);
    if (!out)
        return 0;
    lffuzz::Check(out->size() <= size + 70000, "the file grows by one segment at most");
    CIptcData again;
    lffuzz::Check(again.ReadFromBytes(*out), "a file with keywords written is read");
    const std::vector<std::string> expected(written.m_arrKeywords.rbegin(), written.m_arrKeywords.rend());
    lffuzz::Check(again.m_arrKeywords == expected, "the keywords read back as written");
    return 0;
}
