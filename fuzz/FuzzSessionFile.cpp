// qkvex.sess: any file is read without harm. Writing keeps only what the full form
// holds (proxy lines only with a proxy, no value with a line break), so a session
// read once, written and read again is stable from then on: written and read once
// more it gives the same values and folders.
#include "fuzz/LfFuzzSupport.h"
#include "manager/model/CSessionFile.h"

#include <string>
#include <tuple>

namespace {

auto Fields(const SessionValues& v)
{
    return std::tie(v.m_nUploaded, v.m_strLogin, v.m_strPassword, v.m_strServer, v.m_strProxy, v.m_strProxyType,
                    v.m_strProxyHost, v.m_strProxyPort, v.m_strProxyAuth, v.m_strProxyUser, v.m_strProxyPass);
}

// Writes the session and reads it back.
std::vector<std::string> WrittenAndRead(const SessionValues& values, const std::vector<std::string>& folders,
                                        SessionValues& read)
{
    const std::string path = lffuzz::ScratchDir() + "/again.sess";
    lffuzz::Check(CSessionFile::Write(path, values, folders), "the session is written");
    return CSessionFile::Read(path, read);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = lffuzz::WriteScratch("qkvex.sess", data, size);
    SessionValues first;
    const std::vector<std::string> folders = CSessionFile::Read(path, first);

    SessionValues second;
    const std::vector<std::string> foldersSecond = WrittenAndRead(first, folders, second);
    lffuzz::Check(second.m_nUploaded == first.m_nUploaded, "the upload count reads back");
    if (first.m_strLogin.find('\r') == std::string::npos)
        lffuzz::Check(second.m_strLogin == first.m_strLogin, "the login reads back");
    SessionValues third;
    const std::vector<std::string> foldersThird = WrittenAndRead(second, foldersSecond, third);
    lffuzz::Check(Fields(second) == Fields(third), "a written session reads back as written");
    lffuzz::Check(foldersSecond == foldersThird, "its folders read back as written");
    return 0;
}
