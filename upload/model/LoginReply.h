#pragma once
// The login of an upload: the request address, the tagged reply of the service's login
// script, and the tests that refuse an upload before any byte goes to the upload host.
// No sockets here: HttpLogin fetches, the controller connects.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where the service lives. The defaults are the public service; tests point every
// field at loopback.
struct UploadEndpoints {
    std::string scheme = "http";
    std::string webHost = "www.lanternfolio.example";  // host[:port] of the web pages and login script
    std::string uploadHost = "upload.lanternfolio.example";
    std::string stagingHost = "staging.lanternfolio.example";
    unsigned uploadPort = 9197;
    std::string newsBase = "https://secure.lanternfolio.example";  // scheme and host of the news script
};

// Everything the reply carries, numbers 64-bit so that sums cannot wrap.
struct LoginReplyFields {
    std::string uid, sid, inboxPath;
    int64_t paidMember = 0, pictureLimit = 0, imageCount = 0, maxDiskSpace = 0, diskSpaceInUse = 0;
    std::string uploadBoxText;
    double functional = 0, ui = 0;
    int64_t numPaid = 0, numFree = 0, sizePaidMB = 0, sizeFreeMB = 0;
    std::string numPaidNotice, numFreeNotice, sizePaidNotice, sizeFreeNotice;
    std::string pictureLimitUrl, diskSpaceLimitUrl;
    int64_t www = 0;
    std::string pictureQuotaFullText, spaceQuotaFullText, fileLimitMessage, downloadUrl;
    // Kept from earlier replies unless this one carries them.
    std::string interfaceUpdateText, functionalUpdateText, functionalUpdateError;
    int64_t inboxFileCount = 0, inboxFileLimit = 100;
    std::string inboxExceededError, inboxExceededText;
};

// What the login decided, for the dialog to show.
struct LoginDecision {
    enum Outcome { kInvalidLogin, kServiceDown, kServerMessage, kFunctionalUpdate, kInboxFull, kQuota, kUnusable, kAccepted };
    Outcome outcome = kUnusable;
    std::string status;          // the status line
    std::string message;         // a message box to show ("" none), with its caption
    std::string messageCaption;
    std::string uploadBoxText;   // set when the reply changes it
    std::string uidSid = "1-1";  // the AUTHZ text; "1-1" after every refusal
    int quotaCode = 1;
    bool showStatusButton = false;  // captioned "Check Status" on quota -5 and -6
    bool interfaceUpdate = false;
    int64_t total = 0;  // bytes to upload
    std::string uploadHost;  // accepted: where the upload connects
};

struct LoginContext {
    float functionalVersion = 1.0f;
    float interfaceVersion = 1.0f;
    std::vector<int64_t> sizes;  // the upload list's sizes in bytes
    std::string login, password;
    std::string server;  // SERVER of the session file: when set, the upload host
    UploadEndpoints endpoints;
};

namespace LoginReply {

// Longest uid-sid text and inbox path the records can carry.
constexpr size_t kMaxUidSid = 99;
constexpr size_t kMaxInboxPath = 231;
// Largest magnitude of a number in the reply (bytes, counts, megabytes): the quota
// arithmetic never overflows within it; a larger one makes the reply unusable.
constexpr int64_t kMaxNumber = 999'999'999'999'999;

// %XX for every byte but unreserved ones, so that "&", "#", "%" and blanks survive.
std::string PercentEncode(std::string_view text);
std::string LoginUrl(const UploadEndpoints& at, std::string_view login, std::string_view password, long long now);
std::string InboxUrl(const UploadEndpoints& at, std::string_view login, std::string_view password, long long now);
std::string RegisterUrl(const UploadEndpoints& at);
std::string RegisterPageUrl(const UploadEndpoints& at);
// A page of the web host; path starts with "/".
std::string WebPageUrl(const UploadEndpoints& at, std::string_view path);

// The text between the first opening tag and the first closing tag; found is false
// when either is missing or the closing tag comes first.
std::string TagValue(const std::string& reply, std::string_view tag, bool* found = nullptr);

// Adds the sizes to total and returns 1 or a refusal code -1 to -6.
int CheckQuota(const LoginReplyFields& f, const std::vector<int64_t>& sizes, int64_t& total);
std::string ExpandMessage(std::string text, int64_t total, size_t count, const LoginReplyFields& f,
                          const std::string& login, const std::string& password);

// Whether a body (of any HTTP status) carries the login reply's tags.
bool CarriesReplyTags(const std::string& body);

// Reads the reply into fields and decides, in the service's order of refusals.
LoginDecision Evaluate(const std::string& reply, const LoginContext& context, LoginReplyFields& fields);

}  // namespace LoginReply
