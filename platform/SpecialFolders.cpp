#include "platform/SpecialFolders.h"

#include <cstdlib>
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

std::string CacheFolder() { return AppDataFolder() + "/Lanternfolio"; }

}  // namespace lfplat
