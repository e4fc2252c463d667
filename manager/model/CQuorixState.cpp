#include "manager/model/CQuorixState.h"

#include "platform/DecimalText.h"
#include "platform/SettingsStore.h"

#include <utility>
#include <vector>

const char* const CQuorixState::kSettingsKey = "Software\\Lanternfolio\\Version 1.0";

CQuorixState::CQuorixState(std::string settingsPath) : m_settingsPath(std::move(settingsPath)) {}

void CQuorixState::AddToTotals(int files, double kb)
{
    std::lock_guard lock(m_csTotals);
    m_nImageFiles += files;
    m_dTotalKB += kb;
}

void CQuorixState::ResetTotals()
{
    std::lock_guard lock(m_csTotals);
    m_nImageFiles = 0;
    m_dTotalKB = 0.0;
}

std::pair<int, double> CQuorixState::GetTotals() const
{
    std::lock_guard lock(m_csTotals);
    return {m_nImageFiles, m_dTotalKB};
}

void CQuorixState::ReadSettings()
{
    lfplat::SettingsStore store(m_settingsPath);
    if (const std::string problem = store.Problem(); !problem.empty())
        m_stateFiles.Unreadable(m_settingsPath, problem);
    const auto content = store.ReadAll();
    const auto section = content.find(kSettingsKey);
    auto read = [&](const char* name, int& field) {
        std::string text;
        if (section != content.end()) {
            auto it = section->second.find(name);
            if (it != section->second.end())
                text = it->second;
        }
        if (!text.empty())
            field = ParseDecimal(text);
        return text;
    };
    // Missing defaults are written back together: one replacement of the file.
    std::vector<std::pair<const char*, const char*>> defaults;
    if (read("LeftViewWidth", m_nLeftViewWidth).empty())
        defaults.emplace_back("LeftViewWidth", "200");
    if (read("LeftViewHeigth", m_nLeftViewHeight).empty())
        defaults.emplace_back("LeftViewHeigth", "220");
    read("WindowHeight", m_nWindowHeight);
    if (!read("MaxNewsID", m_nMaxNewsID).empty())
        m_nNewsID = m_nMaxNewsID;
    if (read("UploadType", m_nUploadType).empty())
        defaults.emplace_back("UploadType", "0");
    if (!defaults.empty() &&
        !store.Update([&](lfplat::SettingsStore::Content& all) {
            for (const auto& [name, value] : defaults)
                all[kSettingsKey][name] = value;
        }))
        m_stateFiles.WriteFailed(m_settingsPath, store.LastError());
}

void CQuorixState::WriteRegString(const std::string& value, const std::string& name)
{
    if (name.empty())
        return;
    lfplat::SettingsStore store(m_settingsPath);
    if (!store.Set(kSettingsKey, name, value))
        m_stateFiles.WriteFailed(m_settingsPath, store.LastError());
}
