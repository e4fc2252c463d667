#include "upload/ui/BrowserLaunch.h"

#include "platform/ProgramStart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace upload {

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

bool IsProgram(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program's full path, or empty.
std::string FindProgram(const std::string& name, const char* searchPath)
{
    if (name.find('/') != std::string::npos)
        return IsProgram(name) ? name : std::string();
    for (const std::string& folder : Split(searchPath ? searchPath : "", ':'))
        if (IsProgram(folder + "/" + name))
            return folder + "/" + name;
    return {};
}

}  // namespace

std::vector<std::string> BrowserCommand(const std::string& url, const char* browserList, const char* searchPath)
{
    std::vector<std::string> commands = Split(browserList ? browserList : "", ':');
    commands.push_back("xdg-open");
    for (const std::string& command : commands) {
        std::vector<std::string> words = Split(command, ' ');
        if (words.empty())
            continue;
        const std::string program = FindProgram(words[0], searchPath);
        if (program.empty())
            continue;
        words[0] = program;
        bool placed = false;
        for (size_t i = 1; i < words.size(); ++i)
            if (words[i] == "%s") {
                words[i] = url;
                placed = true;
            }
        if (!placed)
            words.push_back(url);
        return words;
    }
    return {};
}

int OpenInBrowser(const std::string& url)
{
    std::vector<std::string> command = BrowserCommand(url, std::getenv("BROWSER"), std::getenv("PATH"));
    if (command.empty())
        return lfplat::kStartFileNotFound;
    const std::string program = command.front();
    command.erase(command.begin());
    return lfplat::StartProgramSilently(program, command);
}

}  // namespace upload
