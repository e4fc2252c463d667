// qkvex.sess: any file is read without harm, and what was read, written in the full
// form and read again, gives the same values.
#include "fuzz/LfFuzzSupport.h"
#include "manager/CSessionFile.h"

#include <string>
#include <tuple>

namespace {

auto Fields(const SessionValues& v)
{
    return std::tie(v.m_nUploaded, v.m_strLogin, v.m_strPassword, v.m_strServer, v.m_strProxy, v.m_strProxyType,
                    v.m_strProxyHost, v.m_strProxyPort, v.m_strProxyAuth, v.m_strProxyUser, v.m_strProxyPass);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = lffuzz::WriteScratch("qkvex.sess", data, size);
    SessionValues first;
    const std::vector<std::string> folders = CSessionFile::Read(path, first);

    const std::string again = lffuzz::ScratchDir() + "/again.sess";
    lffuzz::Check(CSessionFile::Write(again, first, folders), "the session is written");
    SessionValues second;
    const std::vector<std::string> foldersAgain = CSessionFile::Read(again, second);
    lffuzz::Check(Fields(first) == Fields(second), "the values read back as written");
    lffuzz::Check(folders == foldersAgain, "the folders read back as written");
    return 0;
}
