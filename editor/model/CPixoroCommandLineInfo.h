#pragma once
// The editor's command line: the image to open is its last parameter.

#include <string>
#include <vector>

struct CPixoroCommandLineInfo {
    // The last parameter as given (a file name or a flag alike), "" when there is none.
    std::string m_strLastParam;

    void Parse(const std::vector<std::string>& arguments);
    // The editor refuses GIF images named in lower case: true when the parameter's
    // extension is exactly "gif" (the whole parameter when it has no '.'). "A.GIF" passes
    // and is opened like any other image.
    static bool IsGifParameter(const std::string& parameter);
    // The image a parameter names, as a full path: a relative name is taken from folder.
    static std::string AbsolutePath(const std::string& parameter, const std::string& folder);
};
