#pragma once
// The news script of the service: the addresses the news check and the news dialog ask,
// and what they take from its replies (the newest news id; up to five news links and a
// closing "View All." link).

#include "upload/model/LoginReply.h"

#include <optional>
#include <string>
#include <vector>

namespace NewsReply {

inline constexpr char kVersion[] = "1.6";
inline constexpr size_t kLinks = 6;

// The script's address up to "?version=".
std::string ScriptUrl(const UploadEndpoints& at);
std::string CheckUrl(const UploadEndpoints& at, int storedId);
std::string ListUrl(const UploadEndpoints& at, int storedId);

// The number between the first "<maxid>" and "</maxid>", when that text is not empty.
std::optional<int> MaxId(const std::string& reply);

// The six link texts of the news dialog: up to five news items as links, then, when the
// reply goes on after them, the "View All." link; texts of missing items are empty.
std::vector<std::string> Links(const std::string& reply, const UploadEndpoints& at, int storedId);

// Only web addresses are handed to the browser.
bool IsWebLink(const std::string& address);

}  // namespace NewsReply
