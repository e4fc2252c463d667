#include "upload/model/LoginReply.h"

#include <cstdio>
#include <cstdlib>

namespace LoginReply {

namespace {

const char kLoginScript[] = "/members/da-dororora/user_info.cgi";

std::string Base(const UploadEndpoints& at) { return at.scheme + "://" + at.webHost; }

int64_t Number(const std::string& reply, std::string_view tag)
{
    return std::strtoll(TagValue(reply, tag).c_str(), nullptr, 10);
}

// Overwrites target only when the reply carries the tag.
template <typename T>
void IfPresent(const std::string& reply, std::string_view tag, T& target)
{
    bool found = false;
    const std::string value = TagValue(reply, tag, &found);
    if (!found)
        return;
    if constexpr (std::is_same_v<T, std::string>)
        target = value;
    else
        target = std::strtoll(value.c_str(), nullptr, 10);
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with)
{
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
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
    const auto mb = [](int64_t n) { return n > (INT64_MAX >> 20) ? INT64_MAX : n * (int64_t{1} << 20); };
    if (f.paidMember == 1) {
        if (count > f.numPaid)
            return -2;
        if (total > mb(f.sizePaidMB))
            return -1;
    } else if (f.paidMember == 0) {
        if (count > f.numFree)
            return -4;
        if (total > mb(f.sizeFreeMB))
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
    ReplaceAll(text, "<br>", "\n");
    ReplaceAll(text, "<curPicsUploading>", std::to_string(count));
    ReplaceAll(text, "<curMBdataUploading>", Format("%1.2f", static_cast<double>(total) / 1048576.0));
    ReplaceAll(text, "<totalpicAllowed>", std::to_string(f.pictureLimit));
    ReplaceAll(text, "<paidpicAllowed>", std::to_string(f.numPaid));
    ReplaceAll(text, "<freepicAllowed>", std::to_string(f.numFree));
    ReplaceAll(text, "<paidMBdataAllowed>", std::to_string(f.sizePaidMB));
    ReplaceAll(text, "<freeMBdataAllowed>", std::to_string(f.sizeFreeMB));
    ReplaceAll(text, "<totalMBdataAllowed>", Format("%1.2f", static_cast<double>(f.maxDiskSpace) / 1048576.0));
    ReplaceAll(text, "<login>", login);
    ReplaceAll(text, "<password>", password);
    return text;
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
    if (reply.find("</connect>") != std::string::npos && Number(reply, "<connect>") == 0) {
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
    f.paidMember = Number(reply, "<paidMember>");
    f.pictureLimit = Number(reply, "<picturelimit>");
    f.imageCount = Number(reply, "<currentImageCount>");
    f.maxDiskSpace = Number(reply, "<maxDiskSpace>");
    f.diskSpaceInUse = Number(reply, "<diskSpaceInUse>");
    f.uploadBoxText = TagValue(reply, "<upload-box>");
    f.functional = std::atof(TagValue(reply, "<functional>").c_str());
    f.ui = std::atof(TagValue(reply, "<ui>").c_str());
    f.numPaid = Number(reply, "<Num-Paid>");
    f.numFree = Number(reply, "<Num-Free>");
    f.sizePaidMB = Number(reply, "<SizeinMB-Paid>");
    f.sizeFreeMB = Number(reply, "<SizeinMB-Free>");
    f.numPaidNotice = TagValue(reply, "<Num-Paid-Notice>");
    f.numFreeNotice = TagValue(reply, "<Num-Free-Notice>");
    f.sizePaidNotice = TagValue(reply, "<SizeinMB-Paid-Notice>");
    f.sizeFreeNotice = TagValue(reply, "<SizeinMB-Free-Notice>");
    f.pictureLimitUrl = TagValue(reply, "<PictureLimit-URL>");
    f.diskSpaceLimitUrl = TagValue(reply, "<DiskSpaceLimit-URL>");
    f.www = Number(reply, "<WWW>");
    f.pictureQuotaFullText = TagValue(reply, "<upload-box-picquotafull>");
    f.spaceQuotaFullText = TagValue(reply, "<upload-box-spacequotafull>");
    f.fileLimitMessage = TagValue(reply, "<maxfileLimitmessg>");
    f.downloadUrl = TagValue(reply, "<downloadURL>");
    IfPresent(reply, "<upload-box-ui-update>", f.interfaceUpdateText);
    IfPresent(reply, "<upload-box-functional-update>", f.functionalUpdateText);
    IfPresent(reply, "<error-message-functional-update>", f.functionalUpdateError);
    IfPresent(reply, "<currentInboxFileCount>", f.inboxFileCount);
    IfPresent(reply, "<InboxFileLimit>", f.inboxFileLimit);
    IfPresent(reply, "<error-message-inboxcount-exceeded>", f.inboxExceededError);
    IfPresent(reply, "<upload-box-inboxcount-exceeded>", f.inboxExceededText);

    // The records carry these in fixed room: a longer value is refused, never cut, so
    // that no upload lands in a wrong inbox or under a wrong session.
    if (f.uid.size() + 1 + f.sid.size() > kMaxUidSid || f.inboxPath.size() > kMaxInboxPath) {
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
