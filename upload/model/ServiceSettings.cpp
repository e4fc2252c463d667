#include "upload/model/ServiceSettings.h"

#include "platform/SettingsStore.h"

namespace ServiceSettings {

UploadEndpoints Read(const std::string& settingsPath)
{
    const lfplat::SettingsStore store(settingsPath);
    UploadEndpoints at;
    at.scheme = store.GetString(kSection, "ServiceScheme", at.scheme);
    at.webHost = store.GetString(kSection, "ServiceWebHost", at.webHost);
    at.uploadHost = store.GetString(kSection, "UploadHost", at.uploadHost);
    at.stagingHost = store.GetString(kSection, "StagingUploadHost", at.stagingHost);
    const int port = store.GetInt(kSection, "UploadPort", static_cast<int>(at.uploadPort));
    if (port > 0 && port <= 65535)
        at.uploadPort = static_cast<unsigned>(port);
    at.newsBase = store.GetString(kSection, "NewsHost", at.newsBase);
    return at;
}

}  // namespace ServiceSettings
