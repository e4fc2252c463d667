#include "platform/SpecialFolders.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace lfplat {

namespace {

// XDG says relative values are invalid and must be ignored.
std::string XdgFolder(const char* variable, const char* fallbackUnderHome)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    return HomeFolder() + fallbackUnderHome;
}

}  // namespace

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

std::string AppDataFolder() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string ConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string DesktopFolder()
{
    // Lines such as XDG_DESKTOP_DIR="$HOME/Desktop"; only $HOME is expanded there.
    std::ifstream in(ConfigFolder() + "/user-dirs.dirs");
    const std::string key = "XDG_DESKTOP_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (const size_t quote = value.rfind('"'); quote != std::string::npos)
            value.erase(quote);
        if (value.rfind("$HOME", 0) == 0)
            value = HomeFolder() + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return HomeFolder() + "/Desktop";
}

std::string CacheFolder() { return AppDataFolder() + "/Lanternfolio"; }

}  // namespace lfplat
