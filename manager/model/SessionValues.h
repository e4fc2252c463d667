#pragma once
// The values the session file keeps besides its folders: the upload account and the
// connection settings. The document holds them; CSessionFile reads and writes them.

#include <string>

struct SessionValues {
    int m_nUploaded = 0;
    std::string m_strLogin;
    std::string m_strPassword;
    std::string m_strServer;
    std::string m_strProxy;
    std::string m_strProxyType;
    std::string m_strProxyHost;
    std::string m_strProxyPort;
    std::string m_strProxyAuth;
    std::string m_strProxyUser;
    std::string m_strProxyPass;
    std::string m_strSessionFile;  // the file's bare name
};
