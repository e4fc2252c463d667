#include "upload/model/LoginReply.h"

#include "tests/support/FakeWebHost.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Fields = LoginReplyFields;

// A reply that accepts a free account with room for everything.
std::string Reply(std::map<std::string, std::string> changes = {})
{
    std::map<std::string, std::string> tags = {
        {"connect", "1"},        {"uid", "42"},
        {"sid", "s77"},          {"inboxPath", "/inbox/u42"},
        {"paidMember", "0"},     {"picturelimit", "100"},
        {"currentImageCount", "10"}, {"maxDiskSpace", "10485760"},
        {"diskSpaceInUse", "0"}, {"functional", "1.0"},
        {"ui", "1.0"},           {"Num-Paid", "50"},
        {"Num-Free", "5"},       {"SizeinMB-Paid", "100"},
        {"SizeinMB-Free", "5"},  {"Num-Free-Notice", "Free: <curPicsUploading> of <freepicAllowed><br>files"},
        {"SizeinMB-Free-Notice", "Free size <curMBdataUploading> MB"},
        {"Num-Paid-Notice", "paid files"}, {"SizeinMB-Paid-Notice", "paid size"},
        {"WWW", "1"},            {"upload-box-picquotafull", "pictures full"},
        {"upload-box-spacequotafull", "space full"}, {"downloadURL", "http://d"},
        {"error-message-functional-update", "Please update"}, {"upload-box-functional-update", "update box"},
        {"error-message-inboxcount-exceeded", "Inbox full"}, {"upload-box-inboxcount-exceeded", "inbox box"},
    };
    for (auto& [tag, value] : changes)
        tags[tag] = value;
    std::string reply = "<html>";
    for (auto& [tag, value] : tags)
        if (value != "<absent>")
            reply += "<" + tag + ">" + value + "</" + tag + ">";
    return reply + "</html>";
}

LoginContext Context(std::vector<int64_t> sizes = {1000, 2000})
{
    LoginContext context;
    context.sizes = std::move(sizes);
    context.login = "ann";
    context.password = "pw";
    context.endpoints.uploadHost = "up.example";
    context.endpoints.stagingHost = "stage.example";
    return context;
}

TEST(LoginReply, TagValueTakesTheFirstPairAndNeedsBothInOrder)
{
    bool found = false;
    EXPECT_EQ(LoginReply::TagValue("<a>x</a><a>y</a>", "<a>", &found), "x");
    EXPECT_TRUE(found);
    EXPECT_EQ(LoginReply::TagValue("</a><a>x", "<a>", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(LoginReply::TagValue("<a>x", "<a>", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(LoginReply::TagValue("<a></a>", "<a>", &found), "");
    EXPECT_TRUE(found);
}

TEST(LoginReply, AddressesEncodeLoginAndPasswordSoThatTheyDecodeExactly)
{
    UploadEndpoints at;
    at.webHost = "127.0.0.1:8080";
    const std::string login = "a&b c#%\xC3\xA9", password = "p=1&q";
    const std::string url = LoginReply::LoginUrl(at, login, password, 1234);
    EXPECT_EQ(url.rfind("http://127.0.0.1:8080/members/da-dororora/user_info.cgi?login=", 0), 0u) << url;
    EXPECT_EQ(url.find_first_of(" #\xC3"), std::string::npos) << url;
    const std::string query = url.substr(url.find('?') + 1);
    EXPECT_EQ(query, "login=" + LoginReply::PercentEncode(login) + "&password=" +
                         LoginReply::PercentEncode(password) + "&t=1234");
    EXPECT_EQ(lftest::FakeWebHost::PercentDecode(LoginReply::PercentEncode(login)), login);

    const std::string inbox = LoginReply::InboxUrl(at, login, "", 7);
    EXPECT_EQ(inbox, "http://127.0.0.1:8080/members/edit?SET_USERPASS=1&p=27&COOKIE_USER=a%26b%20c%23%25%C3%A9"
                     "&COOKIE_PASS=&javascript=1&cookies=1&t=7");
    EXPECT_EQ(LoginReply::RegisterUrl(at), "http://127.0.0.1:8080/register/register.cgi");
}

TEST(LoginReply, RepliesAreDecidedInTheServicesOrder)
{
    const std::string longUid(150, 'u');
    const struct Case {
        const char* what;
        std::string reply;
        std::vector<int64_t> sizes;
        LoginDecision::Outcome outcome;
        int quota;
        std::string status, message, uploadBox;
    } cases[] = {
        {"accepted", Reply(), {1000, 2000}, LoginDecision::kAccepted, 1, "", "", ""},
        {"invalid login", "<html><Title>Invalid login</Title>" + Reply(), {1}, LoginDecision::kInvalidLogin, 1,
         "ERROR: Please enter correct username and password.", "Invalid login/password", ""},
        {"server down",
         "<connect>0</connect><error-message-dbserver-down>down now</error-message-dbserver-down>"
         "<upload-box-dbserver-down>box down</upload-box-dbserver-down>",
         {1}, LoginDecision::kServiceDown, 1, "down now", "", "box down"},
        {"connect 0 without its closing tag is not down", Reply({{"connect", "<absent>"}}) + "<connect>0",
         {1}, LoginDecision::kAccepted, 1, "", "", ""},
        {"empty uid", Reply({{"uid", ""}}), {1}, LoginDecision::kServerMessage, 1, "", "", ""},
        {"functional 1.5", Reply({{"functional", "1.5"}}), {1}, LoginDecision::kFunctionalUpdate, 1,
         "Please update", "", "update box"},
        {"ui 1.5 goes on", Reply({{"ui", "1.5"}, {"upload-box-ui-update", "new ui"}}), {1},
         LoginDecision::kAccepted, 1, "", "", "new ui"},
        {"inbox full", Reply({{"currentInboxFileCount", "101"}, {"InboxFileLimit", "100"}}), {1},
         LoginDecision::kInboxFull, 1, "Inbox full", "", "inbox box"},
        {"-1 paid size", Reply({{"paidMember", "1"}, {"SizeinMB-Paid", "1"}}), {1048577}, LoginDecision::kQuota, -1,
         "ERROR:", "paid size", ""},
        {"-2 paid count before size", Reply({{"paidMember", "1"}, {"Num-Paid", "3"}, {"SizeinMB-Paid", "0"}}),
         {1, 1, 1, 1}, LoginDecision::kQuota, -2, "ERROR:", "paid files", ""},
        {"-3 free size", Reply(), {6 << 20}, LoginDecision::kQuota, -3, "ERROR:", "Free size 6.00 MB", ""},
        {"-4 free count", Reply(), {1, 1, 1, 1, 1, 1}, LoginDecision::kQuota, -4, "ERROR:",
         "Free: 6 of 5\nfiles", ""},
        {"-5 disk space", Reply({{"diskSpaceInUse", "10485000"}}), {1000}, LoginDecision::kQuota, -5,
         "ERROR:Click on above button to check your status.", "", "space full"},
        {"-6 picture limit", Reply({{"currentImageCount", "99"}}), {1, 1}, LoginDecision::kQuota, -6,
         "ERROR:Click on above button to check your status.", "", "pictures full"},
        {"3 GB totals do not wrap",
         Reply({{"paidMember", "1"}, {"SizeinMB-Paid", "4000"}, {"maxDiskSpace", "2000000000"}}),
         {1500000000LL, 1500000000LL}, LoginDecision::kQuota, -5,
         "ERROR:Click on above button to check your status.", "", "space full"},
        {"uid-sid of 150 characters", Reply({{"uid", longUid}}), {1}, LoginDecision::kUnusable, 1,
         "ERROR: The server's reply could not be used. Closing Connection.", "", ""},
        {"inboxPath of 300", Reply({{"inboxPath", std::string(300, 'i')}}), {1}, LoginDecision::kUnusable, 1,
         "ERROR: The server's reply could not be used. Closing Connection.", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fields fields;
        const LoginDecision d = LoginReply::Evaluate(c.reply, Context(c.sizes), fields);
        EXPECT_EQ(d.outcome, c.outcome);
        EXPECT_EQ(d.quotaCode, c.quota);
        EXPECT_EQ(d.status, c.status);
        if (c.outcome != LoginDecision::kServerMessage) {
            EXPECT_EQ(d.message, c.message);
        }
        EXPECT_EQ(d.uploadBoxText, c.uploadBox);
        if (c.outcome == LoginDecision::kAccepted) {
            EXPECT_EQ(d.uidSid, fields.uid + "-" + fields.sid);
            EXPECT_EQ(d.uploadHost, "up.example");
        } else {
            EXPECT_EQ(d.uidSid, "1-1");
            EXPECT_TRUE(d.uploadHost.empty());
        }
    }
}

TEST(LoginReply, ServerMessageCarriesTheWholeReplyAndHostChoiceFollowsWwwAndServer)
{
    Fields fields;
    const std::string reply = Reply({{"uid", ""}});
    EXPECT_EQ(LoginReply::Evaluate(reply, Context(), fields).message, reply);

    EXPECT_EQ(LoginReply::Evaluate(Reply({{"WWW", "0"}}), Context(), fields).uploadHost, "stage.example");
    LoginContext context = Context();
    context.server = "127.0.0.1";
    EXPECT_EQ(LoginReply::Evaluate(Reply({{"WWW", "0"}}), context, fields).uploadHost, "127.0.0.1");
}

TEST(LoginReply, QuotaBoundariesAndExpansion)
{
    Fields f;
    f.paidMember = 1;
    f.numPaid = 3;
    f.sizePaidMB = 1;
    f.maxDiskSpace = 1 << 20;
    f.pictureLimit = 3;
    int64_t total = 0;
    EXPECT_EQ(LoginReply::CheckQuota(f, {1 << 18, 1 << 18, 1 << 19}, total), 1);
    EXPECT_EQ(total, 1 << 20);
    total = 0;
    EXPECT_EQ(LoginReply::CheckQuota(f, {1, 1, 1, 1}, total), -2);
    f.paidMember = 2;  // neither paid nor free: only disk space and pictures count
    total = 0;
    EXPECT_EQ(LoginReply::CheckQuota(f, {1, 1, 1}, total), 1);

    f.numPaid = 7;
    f.maxDiskSpace = 3 << 20;
    const std::string text = LoginReply::ExpandMessage(
        "<login>/<password>: <curPicsUploading> files, <curMBdataUploading> of <totalMBdataAllowed> MB,"
        "<br><paidpicAllowed> <paidMBdataAllowed> <totalpicAllowed><br>",
        1572864, 2, f, "ann", "pw");
    EXPECT_EQ(text, "ann/pw: 2 files, 1.50 of 3.00 MB,\n7 1 3\n");
}

// Numbers a hostile reply may carry: beyond the range the quota arithmetic takes they
// make the reply unusable; within it, a negative limit refuses instead of wrapping.
TEST(LoginReply, NumbersOutOfRangeMakeTheReplyUnusable)
{
    struct Case {
        std::map<std::string, std::string> changes;
        LoginDecision::Outcome outcome;
        int quotaCode;
    };
    const Case cases[] = {
        {{{"maxDiskSpace", "-9223372036854775807"}, {"diskSpaceInUse", "9223372036854775807"}},
         LoginDecision::kUnusable, 1},
        {{{"picturelimit", "99999999999999999999999"}}, LoginDecision::kUnusable, 1},
        {{{"currentInboxFileCount", "-99999999999999999999"}}, LoginDecision::kUnusable, 1},
        {{{"functional", "1e999"}}, LoginDecision::kUnusable, 1},
        {{{"ui", "nan"}}, LoginDecision::kUnusable, 1},
        {{{"paidMember", "1"}, {"SizeinMB-Paid", "-999999999999999"}}, LoginDecision::kQuota, -1},
        {{{"paidMember", "0"}, {"SizeinMB-Free", "999999999999999"}}, LoginDecision::kAccepted, 1},
        {{{"maxDiskSpace", "-999999999999999"}, {"diskSpaceInUse", "999999999999999"}}, LoginDecision::kQuota, -5},
        {{{"picturelimit", " +12abc"}}, LoginDecision::kAccepted, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.changes.begin()->first + "=" + c.changes.begin()->second);
        Fields f;
        const LoginDecision d = LoginReply::Evaluate(Reply(c.changes), Context(), f);
        EXPECT_EQ(d.outcome, c.outcome);
        EXPECT_EQ(d.quotaCode, c.quotaCode);
        if (c.outcome == LoginDecision::kUnusable) {
            EXPECT_EQ(d.status, "ERROR: The server's reply could not be used. Closing Connection.");
            EXPECT_EQ(d.uidSid, "1-1");
        }
    }
}

TEST(LoginReply, ExpansionIsOnePassOverTheText)
{
    Fields f;
    f.numFree = 5;
    // What a value brings in is not expanded again; a cut placeholder stays as it is.
    EXPECT_EQ(LoginReply::ExpandMessage("<login>:<br><br><freepicAllowed><br", 0, 1, f, "<password><br>", "pw"),
              "<password><br>:\n\n5<br");
    // Large texts of nothing but line breaks, as a hostile reply may send them.
    const std::string breaks(1 << 20, 'x');
    std::string many;
    for (int i = 0; i < (1 << 18); ++i)
        many += "<br>";
    EXPECT_EQ(LoginReply::ExpandMessage(many, 0, 1, f, "", ""), std::string(1 << 18, '\n'));
    EXPECT_EQ(LoginReply::ExpandMessage(breaks, 0, 1, f, "", ""), breaks);
}

TEST(LoginReply, AnEmptyQuotaNoticeSaysWhatWasRefused)
{
    struct Case {
        std::map<std::string, std::string> changes;
        std::string message;
    };
    const Case cases[] = {
        {{{"paidMember", "1"}, {"Num-Paid", "1"}, {"Num-Paid-Notice", ""}},
         "Upload refused: more images than a paid account may upload."},
        {{{"paidMember", "1"}, {"SizeinMB-Paid", "0"}, {"SizeinMB-Paid-Notice", "<absent>"}},
         "Upload refused: the images are larger than a paid account may upload."},
        {{{"Num-Free", "1"}, {"Num-Free-Notice", ""}}, "Upload refused: more images than a free account may upload."},
        {{{"SizeinMB-Free", "0"}, {"SizeinMB-Free-Notice", ""}},
         "Upload refused: the images are larger than a free account may upload."},
        {{{"Num-Free", "1"}, {"Num-Free-Notice", "Only one"}}, "Only one"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Fields f;
        const LoginDecision d = LoginReply::Evaluate(Reply(c.changes), Context(), f);
        ASSERT_EQ(d.outcome, LoginDecision::kQuota);
        EXPECT_EQ(d.message, c.message);
        EXPECT_EQ(d.messageCaption, "Upload Error...");
        EXPECT_EQ(d.status, c.message == "Only one" ? "ERROR:" : "ERROR: " + c.message);
    }
}

TEST(LoginReply, OnlyBodiesWithTheReplysTagsCountAsReplies)
{
    EXPECT_FALSE(LoginReply::CarriesReplyTags(""));
    EXPECT_FALSE(LoginReply::CarriesReplyTags("<html><body>403 Forbidden</body></html>"));
    EXPECT_TRUE(LoginReply::CarriesReplyTags("<html><Title>Invalid login</Title></html>"));
    EXPECT_TRUE(LoginReply::CarriesReplyTags("<connect>0</connect>"));
    EXPECT_TRUE(LoginReply::CarriesReplyTags(Reply()));
}

}  // namespace
