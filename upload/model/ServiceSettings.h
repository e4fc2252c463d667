#pragma once
// Where the service lives, from the program's settings (section kSection): the web
// host's scheme and host[:port], the upload hosts and port, and the news script's
// scheme and host. Missing values keep the public service's; tests point them at
// loopback.

#include "upload/model/LoginReply.h"

#include <string>

namespace ServiceSettings {

inline constexpr char kSection[] = "Software\\Lanternfolio\\Version 1.0";

UploadEndpoints Read(const std::string& settingsPath);

}  // namespace ServiceSettings
