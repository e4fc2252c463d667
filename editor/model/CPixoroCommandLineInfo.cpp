#include "editor/model/CPixoroCommandLineInfo.h"


void CPixoroCommandLineInfo::Parse(const std::vector<std::string>& arguments)
{
    m_strLastParam = arguments.empty() ? std::string() : arguments.back();
}

bool CPixoroCommandLineInfo::IsGifParameter(const std::string& parameter)
{
    const size_t dot = parameter.rfind('.');
    const std::string extension = dot == std::string::npos ? parameter : parameter.substr(dot + 1);
    return extension == "gif";
}

std::string CPixoroCommandLineInfo::AbsolutePath(const std::string& parameter, const std::string& folder)
{
    if (parameter.empty() || parameter[0] == '/')
        return parameter;
    return folder + "/" + parameter;
}
