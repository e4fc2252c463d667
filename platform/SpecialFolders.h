#pragma once
// Per-user folders, after the XDG base-directory rules.

#include <string>

namespace lfplat {

// $HOME, or the password database's home folder when HOME is unset.
std::string HomeFolder();
// The application-data folder: $XDG_DATA_HOME, default ~/.local/share.
std::string AppDataFolder();
// The settings folder: $XDG_CONFIG_HOME, default ~/.config.
std::string ConfigFolder();
// The user's desktop: XDG_DESKTOP_DIR of <settings>/user-dirs.dirs, default ~/Desktop.
std::string DesktopFolder();
// Where the manager keeps its thumbnail cache and index: <application-data>/Lanternfolio.
std::string CacheFolder();

}  // namespace lfplat
