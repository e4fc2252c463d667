#include "platform/SettingsStore.h"

#include "platform/AtomicFile.h"
#include "platform/SpecialFolders.h"
#include "platform/StateFile.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace lfplat {

namespace {

// Far beyond any settings file the programs write. A larger one is not read at all:
// written back, its first part would replace the whole.
constexpr size_t kMaxFileSize = 16u << 20;

// The file as a state file, a larger one than the limit counting as unreadable.
StateFileText ReadSettingsFile(const std::string& path)
{
    StateFileText file = ReadStateFile(path, kMaxFileSize);
    if (file.status == StateFileText::Status::Read && !file.whole) {
        file.status = StateFileText::Status::Unreadable;
        file.reason = "it is larger than " + std::to_string(kMaxFileSize >> 20) + " MB";
        file.text.clear();
    }
    return file;
}

std::string Escape(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            char n = value[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += c;
        }
    }
    return out;
}

// Holds an exclusive lock on "<settings>.lock" for one read-modify-write.
class FileLock {
public:
    explicit FileLock(const std::string& path)
    {
        m_fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
};

}  // namespace

SettingsStore::SettingsStore(std::string path) : m_path(std::move(path)) {}

std::string SettingsStore::DefaultPath() { return ConfigFolder() + "/Lanternfolio/settings.ini"; }

SettingsStore::Content SettingsStore::Parse(const std::string& text)
{
    Content content;
    Section* current = nullptr;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &content[Unescape(line.substr(1, line.size() - 2))];
            continue;
        }
        auto eq = line.find('=');
        if (!current || eq == std::string::npos)
            continue;
        (*current)[Unescape(line.substr(0, eq))] = Unescape(line.substr(eq + 1));
    }
    return content;
}

std::string SettingsStore::Format(const Content& content)
{
    std::string out;
    for (const auto& [name, section] : content) {
        if (section.empty())
            continue;
        out += '[';
        out += Escape(name);
        out += "]\n";
        for (const auto& [key, value] : section) {
            std::string k = Escape(key);
            // '=' separates key from value; keep it out of keys.
            for (char& c : k)
                if (c == '=')
                    c = '_';
            out += k + "=" + Escape(value) + "\n";
        }
        out += "\n";
    }
    return out;
}

SettingsStore::Content SettingsStore::ReadAll() const
{
    const StateFileText file = ReadSettingsFile(m_path);
    return file.status == StateFileText::Status::Read ? Parse(file.text) : Content{};
}

std::string SettingsStore::Problem() const
{
    const StateFileText file = ReadSettingsFile(m_path);
    return file.status == StateFileText::Status::Unreadable ? file.reason : std::string();
}

std::optional<std::string> SettingsStore::Get(const std::string& section, const std::string& key) const
{
    Content all = ReadAll();
    auto s = all.find(section);
    if (s == all.end())
        return std::nullopt;
    auto v = s->second.find(key);
    if (v == s->second.end())
        return std::nullopt;
    return v->second;
}

std::string SettingsStore::GetString(const std::string& section, const std::string& key,
                                     const std::string& fallback) const
{
    return Get(section, key).value_or(fallback);
}

int SettingsStore::GetInt(const std::string& section, const std::string& key, int fallback) const
{
    auto text = Get(section, key);
    if (!text)
        return fallback;
    int value = 0;
    const char* begin = text->data();
    const char* end = begin + text->size();
    while (begin < end && *begin == ' ')
        ++begin;
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr == begin)
        return fallback;
    return value;
}

bool SettingsStore::Update(const std::function<void(Content&)>& change)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
    FileLock lock(m_path);
    const StateFileText file = ReadSettingsFile(m_path);
    if (file.status == StateFileText::Status::Unreadable) {
        // Writing would replace the user's settings with the few values of this change.
        m_lastError = file.reason;
        return false;
    }
    Content all = file.status == StateFileText::Status::Read ? Parse(file.text) : Content{};
    change(all);
    const std::string text = Format(all);
    if (text.size() > kMaxFileSize) {
        // Written, the file could not be read again: the values would all be lost.
        m_lastError = "it would be larger than " + std::to_string(kMaxFileSize >> 20) + " MB";
        return false;
    }
    AtomicFile out(m_path, 0600);
    if (out.Open() && out.Write(text) && out.Commit()) {
        m_lastError.clear();
        return true;
    }
    m_lastError = out.ErrorNumber() ? std::strerror(out.ErrorNumber()) : out.Error();
    return false;
}

bool SettingsStore::Set(const std::string& section, const std::string& key, const std::string& value)
{
    return Update([&](Content& all) { all[section][key] = value; });
}

bool SettingsStore::SetInt(const std::string& section, const std::string& key, int value)
{
    return Set(section, key, std::to_string(value));
}

bool SettingsStore::Remove(const std::string& section, const std::string& key)
{
    return Update([&](Content& all) {
        auto s = all.find(section);
        if (s != all.end())
            s->second.erase(key);
    });
}

}  // namespace lfplat
