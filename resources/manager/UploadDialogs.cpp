#include "resources/manager/UploadDialogs.h"

namespace mdlg {

using K = DlgItemKind;

const DialogTemplate& Upload()
{
    static const DialogTemplate t{
        185,
        "Lanternfolio Uploader",
        330,
        262,
        {
            {K::Static, kUploadHeader, "", 7, 5, 200, 10},
            {K::Static, kUploadNotice, "", 110, 18, 160, 9},
            {K::Static, kUploadLink, "", 272, 18, 50, 9},
            {K::GroupBox, kUploadThumbnailFrame, "", 7, 30, 64, 58},
            {K::GroupBox, -1, "", 76, 30, 247, 58},
            // Room for an error of two or three lines, which wraps.
            {K::MultiEdit, kUploadStatus, "", 83, 36, 233, 24},
            {K::Progress, kUploadProgress, "", 83, 64, 233, 10},
            {K::Edit, kUploadLogin, "", 7, 96, 90, 13},
            {K::Password, kUploadPassword, "", 102, 96, 90, 13},
            {K::Button, kUploadNow, "Upload Now", 197, 95, 60, 14},
            {K::Button, kUploadGoToInbox, "Go To Inbox", 262, 95, 60, 14},
            {K::Static, -1, "Select files below to upload to your account.", 7, 118, 170, 9},
            {K::Button, kUploadCompression, "Compression Settings", 230, 114, 92, 14},
            {K::List, kUploadList, "", 7, 132, 315, 104},
            {K::Button, kUploadStatusButton, "", 7, 242, 55, 14},
            {K::Button, kUploadRegister, "Click Here", 66, 242, 40, 14},
            {K::Button, kUploadSelectAll, "Select All", 110, 242, 45, 14},
            {K::Button, kUploadDeselectAll, "Deselect All", 159, 242, 50, 14},
            {K::Button, 2, "Cancel", 217, 242, 50, 14},
            {K::DefaultButton, 1, "Close", 272, 242, 50, 14},
        }};
    return t;
}

const DialogTemplate& Compression()
{
    static const DialogTemplate t{
        230,
        "Lanternfolio Uploader",
        300,
        124,
        {
            {K::Static, -1, "Select file compression setting below.", 7, 7, 280, 9},
            {K::RadioButton, kCompressionNone, "", 10, 22, 12, 10},
            {K::Static, -1, "Select this option if you plan to make prints.", 24, 34, 268, 9},
            {K::RadioButton, kCompressionReduced, "", 10, 50, 12, 10},
            {K::Static, -1,
             "Good for online photo sharing, auctions and posting to other sites. This option is not recommended if "
             "you plan to make prints.",
             24, 62, 268, 26},
            {K::DefaultButton, 1, "Save Selection", 62, 102, 60, 14},
            {K::Button, kCompressionHelp, "Help", 127, 102, 50, 14},
            {K::Button, 2, "Cancel", 182, 102, 50, 14},
        }};
    return t;
}

const DialogTemplate& ServerMessage()
{
    static const DialogTemplate t{184,
                                  "Lanternfolio Photo Editor ",
                                  300,
                                  62,
                                  {
                                      {K::Edit, kServerMessageText, "", 7, 7, 286, 13},
                                      {K::Static, kServerMessageHtml, "Static", 7, 25, 40, 9},
                                      {K::DefaultButton, 1, "OK", 125, 42, 50, 14},
                                  }};
    return t;
}

const DialogTemplate& ProxySetting()
{
    static const DialogTemplate t{233,
                                  "Proxy Setting",
                                  220,
                                  168,
                                  {
                                      {K::CheckBox, kProxyUse, "Use Proxy", 7, 7, 80, 10},
                                      {K::GroupBox, -1, "Protocol", 7, 20, 206, 26},
                                      {K::RadioButton, kProxySocks4, "SOCKS4", 14, 31, 50, 10},
                                      {K::RadioButton, kProxySocks5, "SOCKS5", 74, 31, 50, 10},
                                      {K::RadioButton, kProxyHttp, "HTTP", 134, 31, 50, 10},
                                      {K::GroupBox, -1, "Proxy Info", 7, 50, 206, 92},
                                      {K::Static, -1, "Host :", 14, 63, 42, 9},
                                      {K::Edit, kProxyHost, "", 60, 61, 146, 13},
                                      {K::Static, -1, "Port :", 14, 79, 42, 9},
                                      {K::Edit, kProxyPort, "", 60, 77, 50, 13},
                                      {K::CheckBox, kProxyAuth, "Authentication", 14, 95, 80, 10},
                                      {K::Static, -1, "Username :", 14, 111, 44, 9},
                                      {K::Edit, kProxyUser, "", 60, 109, 146, 13},
                                      {K::Static, -1, "Password :", 14, 127, 44, 9},
                                      {K::Password, kProxyPass, "", 60, 125, 146, 13},
                                      {K::DefaultButton, 1, "OK", 48, 148, 50, 14},
                                      {K::Button, 2, "Cancel", 103, 148, 50, 14},
                                      {K::Button, kProxyApply, "Apply", 158, 148, 50, 14},
                                  }};
    return t;
}

const DialogTemplate& News()
{
    static const DialogTemplate t{
        231,
        "News for the Lanternfolio Photo Editor.",
        300,
        150,
        {
            {K::Static, -1,
             "Click on the links below for news about this version of the application. You can also access these "
             "news items by selecting Help -> Help File in the top menu.",
             7, 7, 286, 26},
            {K::Static, kNewsLinks[0], "", 7, 38, 286, 10},
            {K::Static, kNewsLinks[1], "", 7, 51, 286, 10},
            {K::Static, kNewsLinks[2], "", 7, 64, 286, 10},
            {K::Static, kNewsLinks[3], "", 7, 77, 286, 10},
            {K::Static, kNewsLinks[4], "", 7, 90, 286, 10},
            {K::Static, kNewsLinks[5], "", 7, 103, 286, 10},
            {K::DefaultButton, 1, "&Ok", 190, 128, 50, 14},
            {K::Button, 2, "&Close", 245, 128, 50, 14},
        }};
    return t;
}

const char kInboxHelpPage[] =
    "<html><head><title>Lanternfolio Uploader Help</title></head><body>"
    "<h2>Lanternfolio Uploader Help</h2>"
    "<p>Help and technical support for the uploader are online.</p>"
    "<p><a href=\"http://www.lanternfolio.example/webpages/help/uploader.shtml\">Open the uploader help page</a></p>"
    "</body></html>";

}  // namespace mdlg
