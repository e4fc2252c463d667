#pragma once
// Text settings of the current user, in place of the registry and the profile:
// named sections of key=value lines in one file under $XDG_CONFIG_HOME/Lanternfolio/.
// Both window programs write the same file, so every change re-reads the file under
// a lock and replaces it atomically: one program never loses the other's values.
//
// Section names are the key paths the programs use, for example
// "Software\Lanternfolio\Version 1.0" or "Lanternfolio Photo Editor\Settings".

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace lfplat {

class SettingsStore {
public:
    using Section = std::map<std::string, std::string>;
    using Content = std::map<std::string, Section>;

    explicit SettingsStore(std::string path);
    // $XDG_CONFIG_HOME/Lanternfolio/settings.ini
    static std::string DefaultPath();

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // Decimal text, as the programs store numbers; fallback when missing or not a number.
    int GetInt(const std::string& section, const std::string& key, int fallback) const;

    // Each setter is one locked read-modify-write; false (with LastError) when the file
    // cannot be written, or exists but cannot be read: such a file is never replaced.
    bool Set(const std::string& section, const std::string& key, const std::string& value);
    bool SetInt(const std::string& section, const std::string& key, int value);
    bool Remove(const std::string& section, const std::string& key);
    // Several changes in one locked read-modify-write (one file replacement).
    bool Update(const std::function<void(Content&)>& change);

    // The whole file as it is now (empty when it cannot be read).
    Content ReadAll() const;
    // The system's reason when the file exists but cannot be read (not a plain file,
    // no permission, larger than any settings file); empty when it can be read or does
    // not exist.
    std::string Problem() const;
    // The reason the last change was not written, in the system's words.
    const std::string& LastError() const { return m_lastError; }
    const std::string& Path() const { return m_path; }

    // The file format, exposed for tests: values escape backslash, CR and LF.
    static Content Parse(const std::string& text);
    static std::string Format(const Content& content);

private:
    std::string m_path;
    std::string m_lastError;
};

}  // namespace lfplat
