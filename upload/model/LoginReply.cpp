#include "upload/model/LoginReply.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

namespace LoginReply {

namespace {

const char kLoginScript[] = "/members/da-dororora/user_info.cgi";

std::string Base(const UploadEndpoints& at) { return at.scheme + "://" + at.webHost; }

// A number as the service writes it: blanks, a sign, digits; what follows the digits is
// ignored and no digits read as 0. Nothing when it lies outside what the quota
// arithmetic can take without overflowing.
std::optional<int64_t> ParseNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxNumber)
            return std::nullopt;
    }
    return negative ? -value : value;
}

// Reads the number fields; an out-of-range one makes the reply unusable.
struct NumberReader {
    const std::string& reply;
    bool outOfRange = false;

    int64_t operator()(std::string_view tag)
    {
        const auto value = ParseNumber(TagValue(reply, tag));
        outOfRange = outOfRange || !value;
        return value.value_or(0);
    }
    // Overwrites target only when the reply carries the tag.
    template <typename T>
    void IfPresent(std::string_view tag, T& target)
    {
        bool found = false;
        const std::string value = TagValue(reply, tag, &found);
        if (!found)
            return;
        if constexpr (std::is_same_v<T, std::string>) {
            target = value;
        } else {
            const auto number = ParseNumber(value);
            outOfRange = outOfRange || !number;
            target = number.value_or(0);
        }
    }
    // A version; out of range when it is no finite number a float holds.
    double Version(std::string_view tag)
    {
        const double value = std::atof(TagValue(reply, tag).c_str());
        if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
            outOfRange = true;
            return 0;
        }
        return value;
    }
};

// megabytes × 1048576, held at the ends of the range instead of wrapping.
int64_t MegabytesToBytes(int64_t megabytes)
{
    constexpr int64_t kMax = INT64_MAX >> 20, kMin = INT64_MIN >> 20;
    if (megabytes > kMax)
        return INT64_MAX;
    if (megabytes < kMin)
        return INT64_MIN;
    return megabytes * (int64_t{1} << 20);
}

std::string Format(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

void Refuse(LoginDecision& d, LoginDecision::Outcome outcome, std::string status)
{
    d.outcome = outcome;
    d.status = std::move(status);
    d.uidSid = "1-1";
}

}  // namespace

std::string PercentEncode(std::string_view text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string LoginUrl(const UploadEndpoints& at, std::string_view login, std::string_view password, long long now)
{
    return Base(at) + kLoginScript + "?login=" + PercentEncode(login) + "&password=" + PercentEncode(password) +
           "&t=" + std::to_string(now);
}

std::string InboxUrl(const UploadEndpoints& at, std::string_view login, std::string_view password, long long now)
{
    return Base(at) + "/members/edit?SET_USERPASS=1&p=27&COOKIE_USER=" + PercentEncode(login) +
           "&COOKIE_PASS=" + PercentEncode(password) + "&javascript=1&cookies=1&t=" + std::to_string(now);
}

std::string RegisterUrl(const UploadEndpoints& at) { return Base(at) + "/register/register.cgi"; }
std::string RegisterPageUrl(const UploadEndpoints& at) { return Base(at) + "/register/"; }
std::string WebPageUrl(const UploadEndpoints& at, std::string_view path) { return Base(at) + std::string(path); }

std::string TagValue(const std::string& reply, std::string_view tag, bool* found)
{
    if (found)
        *found = false;
    const size_t open = reply.find(tag);
    std::string closing = "</";
    closing.append(tag.substr(tag.empty() ? 0 : 1));
    const size_t close = reply.find(closing);
    if (open == std::string::npos || close == std::string::npos || close < open + tag.size())
        return {};
    if (found)
        *found = true;
    return reply.substr(open + tag.size(), close - open - tag.size());
}

int CheckQuota(const LoginReplyFields& f, const std::vector<int64_t>& sizes, int64_t& total)
{
    for (int64_t size : sizes)
        total += size;
    const auto count = static_cast<int64_t>(sizes.size());
    if (f.paidMember == 1) {
        if (count > f.numPaid)
            return -2;
        if (total > MegabytesToBytes(f.sizePaidMB))
            return -1;
    } else if (f.paidMember == 0) {
        if (count > f.numFree)
            return -4;
        if (total > MegabytesToBytes(f.sizeFreeMB))
            return -3;
    }
    if (f.maxDiskSpace - f.diskSpaceInUse < total)
        return -5;
    if (f.pictureLimit - f.imageCount < count)
        return -6;
    return 1;
}

std::string ExpandMessage(std::string text, int64_t total, size_t count, const LoginReplyFields& f,
                          const std::string& login, const std::string& password)
{
    const std::pair<std::string_view, std::string> placeholders[] = {
        {"<br>", "\n"},
        {"<curPicsUploading>", std::to_string(count)},
        {"<curMBdataUploading>", Format("%1.2f", static_cast<double>(total) / 1048576.0)},
        {"<totalpicAllowed>", std::to_string(f.pictureLimit)},
        {"<paidpicAllowed>", std::to_string(f.numPaid)},
        {"<freepicAllowed>", std::to_string(f.numFree)},
        {"<paidMBdataAllowed>", std::to_string(f.sizePaidMB)},
        {"<freeMBdataAllowed>", std::to_string(f.sizeFreeMB)},
        {"<totalMBdataAllowed>", Format("%1.2f", static_cast<double>(f.maxDiskSpace) / 1048576.0)},
        {"<login>", login},
        {"<password>", password},
    };
    // One pass: the text is read once, and what a value brings in (a login holding
    // "<br>") is never expanded again.
    std::string out;
    out.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find('<', at);
        if (open == std::string::npos) {
            out.append(text, at, std::string::npos);
            break;
        }
        out.append(text, at, open - at);
        at = open;
        const std::string_view rest = std::string_view(text).substr(open);
        bool replaced = false;
        for (const auto& [key, value] : placeholders) {
            if (rest.substr(0, key.size()) == key) {
                out += value;
                at += key.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += text[at++];
    }
    return out;
}

bool CarriesReplyTags(const std::string& body)
{
    for (const char* tag : {"</uid>", "</connect>", "<Title>Invalid login</Title>"})
        if (body.find(tag) != std::string::npos)
            return true;
    return false;
}

LoginDecision Evaluate(const std::string& reply, const LoginContext& context, LoginReplyFields& f)
{
    LoginDecision d;
    if (reply.find("<Title>Invalid login</Title>") != std::string::npos) {
        Refuse(d, LoginDecision::kInvalidLogin, "ERROR: Please enter correct username and password.");
        d.message = "Invalid login/password";
        d.messageCaption = "Login Error...";
        return d;
    }
    NumberReader number{reply};
    if (reply.find("</connect>") != std::string::npos && ParseNumber(TagValue(reply, "<connect>")) == int64_t{0}) {
        Refuse(d, LoginDecision::kServiceDown, TagValue(reply, "<error-message-dbserver-down>"));
        d.uploadBoxText = TagValue(reply, "<upload-box-dbserver-down>");
        return d;
    }
    f.uid = TagValue(reply, "<uid>");
    f.sid = TagValue(reply, "<sid>");
    if (f.uid.empty()) {
        Refuse(d, LoginDecision::kServerMessage, "");
        d.message = reply;
        return d;
    }
    f.inboxPath = TagValue(reply, "<inboxPath>");
    f.paidMember = number("<paidMember>");
    f.pictureLimit = number("<picturelimit>");
    f.imageCount = number("<currentImageCount>");
    f.maxDiskSpace = number("<maxDiskSpace>");
    f.diskSpaceInUse = number("<diskSpaceInUse>");
    f.uploadBoxText = TagValue(reply, "<upload-box>");
    f.functional = number.Version("<functional>");
    f.ui = number.Version("<ui>");
    f.numPaid = number("<Num-Paid>");
    f.numFree = number("<Num-Free>");
    f.sizePaidMB = number("<SizeinMB-Paid>");
    f.sizeFreeMB = number("<SizeinMB-Free>");
    f.numPaidNotice = TagValue(reply, "<Num-Paid-Notice>");
    f.numFreeNotice = TagValue(reply, "<Num-Free-Notice>");
    f.sizePaidNotice = TagValue(reply, "<SizeinMB-Paid-Notice>");
    f.sizeFreeNotice = TagValue(reply, "<SizeinMB-Free-Notice>");
    f.pictureLimitUrl = TagValue(reply, "<PictureLimit-URL>");
    f.diskSpaceLimitUrl = TagValue(reply, "<DiskSpaceLimit-URL>");
    f.www = number("<WWW>");
    f.pictureQuotaFullText = TagValue(reply, "<upload-box-picquotafull>");
    f.spaceQuotaFullText = TagValue(reply, "<upload-box-spacequotafull>");
    f.fileLimitMessage = TagValue(reply, "<maxfileLimitmessg>");
    f.downloadUrl = TagValue(reply, "<downloadURL>");
    number.IfPresent("<upload-box-ui-update>", f.interfaceUpdateText);
    number.IfPresent("<upload-box-functional-update>", f.functionalUpdateText);
    number.IfPresent("<error-message-functional-update>", f.functionalUpdateError);
    number.IfPresent("<currentInboxFileCount>", f.inboxFileCount);
    number.IfPresent("<InboxFileLimit>", f.inboxFileLimit);
    number.IfPresent("<error-message-inboxcount-exceeded>", f.inboxExceededError);
    number.IfPresent("<upload-box-inboxcount-exceeded>", f.inboxExceededText);

    // The records carry these in fixed room: a longer value is refused, never cut, so
    // that no upload lands in a wrong inbox or under a wrong session.
    // A number the quota arithmetic cannot take would make the decision arbitrary.
    if (number.outOfRange || f.uid.size() + 1 + f.sid.size() > kMaxUidSid || f.inboxPath.size() > kMaxInboxPath) {
        Refuse(d, LoginDecision::kUnusable, "ERROR: The server's reply could not be used. Closing Connection.");
        return d;
    }
    if (context.functionalVersion < static_cast<float>(f.functional)) {
        Refuse(d, LoginDecision::kFunctionalUpdate, f.functionalUpdateError);
        d.uploadBoxText = f.functionalUpdateText;
        d.showStatusButton = true;
        return d;
    }
    if (context.interfaceVersion < static_cast<float>(f.ui)) {
        d.uploadBoxText = f.interfaceUpdateText;
        d.showStatusButton = true;
        d.interfaceUpdate = true;
    }
    if (f.inboxFileCount != 0 && f.inboxFileCount > f.inboxFileLimit) {
        Refuse(d, LoginDecision::kInboxFull, f.inboxExceededError);
        d.uploadBoxText = f.inboxExceededText;
        return d;
    }
    int64_t total = 0;
    d.quotaCode = CheckQuota(f, context.sizes, total);
    d.total = total;
    const auto expand = [&](std::string& text) {
        text = ExpandMessage(text, total, context.sizes.size(), f, context.login, context.password);
    };
    expand(f.pictureLimitUrl);
    expand(f.sizePaidNotice);
    expand(f.numPaidNotice);
    expand(f.sizeFreeNotice);
    expand(f.numFreeNotice);
    expand(f.diskSpaceLimitUrl);
    if (d.quotaCode != 1) {
        const bool box = d.quotaCode >= -4;
        Refuse(d, LoginDecision::kQuota, box ? "ERROR:" : "ERROR:Click on above button to check your status.");
        switch (d.quotaCode) {
        case -1: d.message = f.sizePaidNotice; break;
        case -2: d.message = f.numPaidNotice; break;
        case -3: d.message = f.sizeFreeNotice; break;
        case -4: d.message = f.numFreeNotice; break;
        case -5: d.uploadBoxText = f.spaceQuotaFullText; break;
        default: d.uploadBoxText = f.pictureQuotaFullText; break;
        }
        if (box && d.message.empty()) {
            // The service left the notice empty: say what was refused.
            static const char* const kRefused[] = {
                "Upload refused: the images are larger than a paid account may upload.",
                "Upload refused: more images than a paid account may upload.",
                "Upload refused: the images are larger than a free account may upload.",
                "Upload refused: more images than a free account may upload.",
            };
            d.message = kRefused[-d.quotaCode - 1];
            d.status = "ERROR: " + d.message;
        }
        if (box)
            d.messageCaption = "Upload Error...";
        else
            d.showStatusButton = true;
        return d;
    }
    d.outcome = LoginDecision::kAccepted;
    d.uidSid = f.uid + "-" + f.sid;
    if (!context.server.empty())
        d.uploadHost = context.server;
    else
        d.uploadHost = f.www == 1 ? context.endpoints.uploadHost : context.endpoints.stagingHost;
    return d;
}

}  // namespace LoginReply
