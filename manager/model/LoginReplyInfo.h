#pragma once
// What the upload's login reply tells about the account; the document holds it and
// the upload client fills and reads it.

#include <string>

struct LoginReplyInfo {
    std::string inboxPath;  // at most 232 characters
    int diskSpaceUsed = 0;
    int diskSpaceLimit = 0;
    int pictureLimit = 0;
    int imageCount = 0;
    int paidMember = 0;
    int freeFileLimit = 0;
    int paidFileLimit = 0;
    int freeMBLimit = 0;
    int paidMBLimit = 0;
    int webHost = 0;  // which of the service's web hosts the reply chose
    int inboxFileLimit = 100;
    int inboxFileCount = 0;
    std::string uploadBoxText;
    std::string diskLimitUrl;
    std::string pictureLimitUrl;
    std::string freeMBNotice;
    std::string paidMBNotice;
    std::string freeFileNotice;
    std::string paidFileNotice;
    std::string spaceQuotaFullText;
    std::string pictureQuotaFullText;
    std::string fileLimitMessage;
    std::string downloadUrl;
    std::string interfaceUpdateNotice = "A new version of da-dororora is available";
    std::string functionalUpdateNotice =
        "Your version of Lanternfolio Uploader is outdated. Click Download to download new version!!";
    std::string functionalUpdateError;
    std::string inboxExceededError;
    std::string inboxExceededNotice;
};
