#include "upload/model/NewsReply.h"

#include <strings.h>

#include <cstdlib>

namespace NewsReply {

namespace {

// The text between the first opening tag at or after pos and the first closing tag
// after it; pos moves past the closing tag. False when either is missing.
bool NextValue(const std::string& reply, const std::string& tag, size_t& pos, std::string& value)
{
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    const size_t start = reply.find(open, pos);
    if (start == std::string::npos)
        return false;
    const size_t from = start + open.size();
    const size_t end = reply.find(close, from);
    if (end == std::string::npos)
        return false;
    value = reply.substr(from, end - from);
    pos = end + close.size();
    return true;
}

const char kLinkFont[] = "><u><font size=\"1\" color=\"blue\">";
const char kLinkEnd[] = "</font></u></a>";

}  // namespace

std::string ScriptUrl(const UploadEndpoints& at)
{
    return at.newsBase + "/cgi-bin/pixoronews/pixoronewsres.cgi?version=";
}

std::string CheckUrl(const UploadEndpoints& at, int storedId)
{
    return ScriptUrl(at) + kVersion + "&m=2&MsgID=" + std::to_string(storedId);
}

std::string ListUrl(const UploadEndpoints& at, int storedId)
{
    return ScriptUrl(at) + kVersion + "&MsgID=" + std::to_string(storedId);
}

std::optional<int> MaxId(const std::string& reply)
{
    const size_t open = reply.find("<maxid>");
    const size_t close = reply.find("</maxid>");
    if (open == std::string::npos || close == std::string::npos || close < open + 7)
        return std::nullopt;
    const std::string text = reply.substr(open + 7, close - open - 7);
    if (text.empty())
        return std::nullopt;
    return std::atoi(text.c_str());
}

std::vector<std::string> Links(const std::string& reply, const UploadEndpoints& at, int storedId)
{
    std::vector<std::string> links(kLinks);
    size_t pos = 0;
    for (size_t item = 0; item < kLinks && pos < reply.size(); ++item) {
        if (item == kLinks - 1) {
            links[item] = "<a href=" + ScriptUrl(at) + kVersion + "&m=a&MsgID=" + std::to_string(storedId) +
                          kLinkFont + "View All." + kLinkEnd;
            break;
        }
        std::string version, news, url;
        // A reply that runs out of items ends the list.
        if (!NextValue(reply, "version", pos, version) || !NextValue(reply, "news", pos, news) ||
            !NextValue(reply, "url", pos, url))
            break;
        links[item] = "<a href=" + url + kLinkFont + news + kLinkEnd;
    }
    return links;
}

bool IsWebLink(const std::string& address)
{
    std::string text = address;
    if (!text.empty() && (text.front() == '"' || text.front() == '\''))
        text.erase(0, 1);
    return strncasecmp(text.c_str(), "http://", 7) == 0 || strncasecmp(text.c_str(), "https://", 8) == 0;
}

}  // namespace NewsReply
