#pragma once
// The upload client's dialog layouts (positions in dialog units) and its help page.

#include "controls/DialogTemplate.h"

namespace mdlg {

// Upload dialog.
inline constexpr int kUploadHeader = 1171;
inline constexpr int kUploadNotice = 1173;
inline constexpr int kUploadLink = 1172;
inline constexpr int kUploadLogin = 1014;
inline constexpr int kUploadPassword = 1061;
inline constexpr int kUploadNow = 1058;
inline constexpr int kUploadGoToInbox = 1060;
inline constexpr int kUploadCompression = 1148;
inline constexpr int kUploadStatusButton = 1057;
inline constexpr int kUploadRegister = 1077;
inline constexpr int kUploadSelectAll = 1059;
inline constexpr int kUploadDeselectAll = 1076;
inline constexpr int kUploadProgress = 1038;
inline constexpr int kUploadStatus = 1013;
inline constexpr int kUploadList = 1054;
inline constexpr int kUploadThumbnailFrame = 1190;

// Compression dialog.
inline constexpr int kCompressionNone = 1144;
inline constexpr int kCompressionReduced = 1146;
inline constexpr int kCompressionHelp = 1167;

// Server-message dialog.
inline constexpr int kServerMessageText = 1013;
inline constexpr int kServerMessageHtml = 1140;

// Proxy setting dialog.
inline constexpr int kProxyApply = 1150;
inline constexpr int kProxyUse = 1151;
inline constexpr int kProxySocks4 = 1152;
inline constexpr int kProxySocks5 = 1153;
inline constexpr int kProxyHttp = 1154;
inline constexpr int kProxyHost = 1155;
inline constexpr int kProxyPort = 1156;
inline constexpr int kProxyAuth = 1157;
inline constexpr int kProxyUser = 1159;
inline constexpr int kProxyPass = 1161;

// News dialog: the six link statics in order.
inline constexpr int kNewsLinks[6] = {1149, 1174, 1175, 1176, 1177, 1178};

const DialogTemplate& Upload();         // 185
const DialogTemplate& Compression();    // 230
const DialogTemplate& ServerMessage();  // 184
const DialogTemplate& ProxySetting();   // 233
const DialogTemplate& News();           // 231

// The uploader's help page, shown by the inbox view.
extern const char kInboxHelpPage[];

}  // namespace mdlg
