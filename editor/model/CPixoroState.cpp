#include "editor/model/CPixoroState.h"

#include "platform/SettingsStore.h"
#include "resources/editor/EditorStrings.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

std::optional<int> ParseInt(const std::string& text)
{
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return std::nullopt;
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data() + begin, text.data() + text.size(), value);
    if (ec != std::errc() || ptr == text.data() + begin)
        return std::nullopt;
    return value;
}

std::optional<double> ParseReal(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin || !(value == value))
        return std::nullopt;
    return value;
}

}  // namespace

CPixoroState::CPixoroState(std::string settingsPath) : m_settingsPath(std::move(settingsPath)) {}

void CPixoroState::ReadSettings()
{
    lfplat::SettingsStore store(m_settingsPath);
    if (const std::string problem = store.Problem(); !problem.empty())
        m_stateFiles.Unreadable(m_settingsPath, problem);
    const auto content = store.ReadAll();
    const auto section = content.find(estr::kSettingsKey);
    auto text = [&](const char* name) -> std::string {
        if (section == content.end())
            return {};
        auto it = section->second.find(name);
        return it == section->second.end() ? std::string() : it->second;
    };

    const std::string viewMode = text(estr::kViewModeValue);
    if (viewMode.empty() && !store.Set(estr::kSettingsKey, estr::kViewModeValue, "1"))
        m_stateFiles.WriteFailed(m_settingsPath, store.LastError());
    else if (auto v = ParseInt(viewMode))
        m_nViewMode = *v;
    if (auto v = ParseInt(text(estr::kJpegSaveSettingValue)))
        m_bJpegSaveSetting = *v != 0;
    // A quality outside what the encoder takes would reach the dialog and the file.
    if (auto v = ParseReal(text(estr::kJpegQualityValue)))
        m_fJpegQuality = static_cast<float>(std::clamp(*v, 1.0, 100.0));
    if (auto v = ParseInt(text(estr::kJpegEncodingValue)))
        m_nJpegEncoding = *v;
    if (auto v = ParseInt(text(estr::kJpegColorValue)))
        m_nJpegColor = *v;
}

void CPixoroState::WriteRegString(const std::string& value, const std::string& name)
{
    if (name.empty())
        return;
    lfplat::SettingsStore store(m_settingsPath);
    if (!store.Set(estr::kSettingsKey, name, value))
        m_stateFiles.WriteFailed(m_settingsPath, store.LastError());
}

void CPixoroState::WriteRegStrings(const std::initializer_list<std::pair<std::string, std::string>>& values)
{
    lfplat::SettingsStore store(m_settingsPath);
    if (!store.Update([&](lfplat::SettingsStore::Content& all) {
            for (const auto& [name, value] : values)
                if (!name.empty())
                    all[estr::kSettingsKey][name] = value;
        }))
        m_stateFiles.WriteFailed(m_settingsPath, store.LastError());
}
