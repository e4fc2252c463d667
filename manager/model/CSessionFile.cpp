#include "manager/model/CSessionFile.h"

#include "platform/DecimalText.h"
#include "platform/AtomicFile.h"
#include "platform/StateFile.h"

#include <cstring>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

// The file holds a password: only its owner may read it.
constexpr unsigned kFileMode = 0600;

const char* const kAcceptedServers[] = {
    "upload-staging.lanternfolio.net", "www1.lanternfolio.net", "www2.lanternfolio.net",
    "www3.lanternfolio.net",           "www4.lanternfolio.net", "www5.lanternfolio.net",
};

// The value after key when the line starts with it.
bool ValueOf(std::string_view line, std::string_view key, std::string& value)
{
    if (!line.starts_with(key))
        return false;
    value.assign(line.substr(key.size()));
    return true;
}

std::vector<std::string> ReadLines(const std::string& path, std::string* problem)
{
    std::vector<std::string> lines;
    const lfplat::StateFileText file = lfplat::ReadStateFile(path, CSessionFile::kMaxFileSize);
    if (file.status == lfplat::StateFileText::Status::Unreadable && problem)
        *problem = file.reason;
    const std::string& text = file.text;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool IsListableFolder(const std::string& path)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(path, ec);
    return !ec;
}

// A value with a line break would split its line and inject keys: it is written empty.
std::string Clean(const std::string& value)
{
    return value.find_first_of("\r\n") == std::string::npos ? value : std::string();
}

void Line(std::string& out, const char* key, const std::string& value)
{
    out += key;
    out += value;
    out += "\r\n";
}

bool WriteText(const std::string& path, const std::string& text, std::string* error)
{
    // A session the program could not read holds the user's login and folders: the few
    // values of this run must not replace it.
    const lfplat::StateFileText existing = lfplat::ReadStateFile(path, 0);
    if (existing.status == lfplat::StateFileText::Status::Unreadable) {
        if (error)
            *error = existing.reason;
        return false;
    }
    // An older file may have a wider mode, which the replacement would take over:
    // narrow it first, so the password is never readable by others, not even briefly.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(path.c_str(), kFileMode);
    lfplat::AtomicFile file(path, kFileMode);
    if (!(file.Open() && file.Write(text) && file.Commit())) {
        if (error)
            *error = file.ErrorNumber() ? std::strerror(file.ErrorNumber()) : file.Error();
        return false;
    }
    ::chmod(path.c_str(), kFileMode);
    return true;
}

}  // namespace

bool CSessionFile::IsAcceptedServer(const std::string& host)
{
    for (const char* accepted : kAcceptedServers)
        if (host == accepted)
            return true;
    return false;
}

std::vector<std::string> CSessionFile::Read(const std::string& path, SessionValues& values, std::string* problem)
{
    std::vector<std::string> folders;
    const std::vector<std::string> lines = ReadLines(path, problem);
    std::string value;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (n == 0) {
            if (!ValueOf(line, "UPLOADED=", value))
                return folders;
            values.m_nUploaded = ParseDecimal(value);
            continue;
        }
        if (n == 1) {
            if (!ValueOf(line, "LOGIN=", values.m_strLogin))
                return folders;
            continue;
        }
        if (n == 2) {
            if (!ValueOf(line, "PASS=", values.m_strPassword))
                return folders;
            continue;
        }
        if (ValueOf(line, "DIRECTORY=", value)) {
            if (!value.empty() && IsListableFolder(value))
                folders.push_back(value);
        } else if (ValueOf(line, "SERVER=", value)) {
            if (IsAcceptedServer(value))
                values.m_strServer = value;
        }
        ValueOf(line, "PROXY=", values.m_strProxy);
        ValueOf(line, "PROXYTYPE=", values.m_strProxyType);
        ValueOf(line, "PROXYHOST=", values.m_strProxyHost);
        ValueOf(line, "PROXYPORT=", values.m_strProxyPort);
        ValueOf(line, "PROXYAUTH=", values.m_strProxyAuth);
        ValueOf(line, "PROXYUSER=", values.m_strProxyUser);
        ValueOf(line, "PROXYPASS=", values.m_strProxyPass);
    }
    return folders;
}

std::string CSessionFile::FormatShort(const SessionValues& values)
{
    std::string out;
    Line(out, "UPLOADED=", std::to_string(values.m_nUploaded));
    Line(out, "LOGIN=", Clean(values.m_strLogin));
    Line(out, "PASS=", Clean(values.m_strPassword));
    if (!Clean(values.m_strServer).empty())
        Line(out, "SERVER=", values.m_strServer);
    return out;
}

std::string CSessionFile::Format(const SessionValues& values, const std::vector<std::string>& folders)
{
    std::string out;
    Line(out, "UPLOADED=", std::to_string(values.m_nUploaded));
    Line(out, "LOGIN=", Clean(values.m_strLogin));
    Line(out, "PASS=", Clean(values.m_strPassword));
    for (const std::string& folder : folders)
        if (!Clean(folder).empty())
            Line(out, "DIRECTORY=", folder);
    if (!Clean(values.m_strServer).empty())
        Line(out, "SERVER=", values.m_strServer);
    if (!Clean(values.m_strProxy).empty()) {
        Line(out, "PROXY=", values.m_strProxy);
        Line(out, "PROXYTYPE=", Clean(values.m_strProxyType));
        Line(out, "PROXYHOST=", Clean(values.m_strProxyHost));
        Line(out, "PROXYPORT=", Clean(values.m_strProxyPort));
        if (!Clean(values.m_strProxyAuth).empty()) {
            Line(out, "PROXYAUTH=", values.m_strProxyAuth);
            if (!Clean(values.m_strProxyUser).empty())
                Line(out, "PROXYUSER=", values.m_strProxyUser);
            if (!Clean(values.m_strProxyPass).empty())
                Line(out, "PROXYPASS=", values.m_strProxyPass);
        }
    }
    return out;
}

bool CSessionFile::Write(const std::string& path, const SessionValues& values,
                         const std::vector<std::string>& folders, std::string* error)
{
    return WriteText(path, Format(values, folders), error);
}

bool CSessionFile::WriteShort(const std::string& path, const SessionValues& values, std::string* error)
{
    return WriteText(path, FormatShort(values), error);
}
