// The IPTC record of a JPEG file: any file is read without harm, and a keyword list
// written into a file reads back as that list (the last keyword first, as the writer
// puts them). A segment that also holds the older resource kind may get the keywords
// there while the reader prefers the newer one, so the read-back check passes over
// such files (no command writes keywords into a file).
#include "fuzz/LfFuzzSupport.h"
#include "manager/model/CIptcData.h"

#include <algorithm>
#include <iterator>
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
    static const uint8_t kOldResource[] = {'8', 'B', 'I', 'M', 0x03, 0xED};
    if (std::search(file.begin(), file.end(), std::begin(kOldResource), std::end(kOldResource)) != file.end())
        return 0;
    const std::vector<std::string> expected(written.m_arrKeywords.rbegin(), written.m_arrKeywords.rend());
    lffuzz::Check(again.m_arrKeywords == expected, "the keywords read back as written");
    return 0;
}
