// The reply of the service's login script: any text gives one decision, and an upload
// it accepts has an account text and an inbox path the records can carry.
#include "fuzz/LfFuzzSupport.h"
#include "upload/model/LoginReply.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);
    LoginContext context;
    context.sizes = {1000, 250000, 4 << 20};
    context.login = "someone";
    context.password = "secret";
    LoginReplyFields fields;
    const LoginDecision decision = LoginReply::Evaluate(reply, context, fields);
    lffuzz::Check(decision.outcome >= LoginDecision::kInvalidLogin && decision.outcome <= LoginDecision::kAccepted,
                  "one of the outcomes");
    if (decision.outcome == LoginDecision::kAccepted) {
        lffuzz::Check(decision.uidSid.size() <= LoginReply::kMaxUidSid, "the account text fits its record");
        lffuzz::Check(fields.inboxPath.size() <= LoginReply::kMaxInboxPath, "the inbox path fits its record");
        lffuzz::Check(!decision.uploadHost.empty(), "an accepted upload has a host");
    } else {
        lffuzz::Check(decision.uidSid == "1-1", "a refusal leaves no account");
    }
    // A second reply over the fields the first one left, as the dialog's next login does.
    LoginReply::Evaluate(reply.substr(reply.size() / 2), context, fields);
    return 0;
}
