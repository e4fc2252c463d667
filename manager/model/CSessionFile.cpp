#include "manager/model/CSessionFile.h"

#include "platform/DecimalText.h"
#include "platform/AtomicFile.h"
#include "platform/StateFile.h"

#include <cstring>
#include <filesystem>
#include <iterator>
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

// Some editors begin a text file saved as UTF-8 with these bytes.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::vector<std::string> SplitLines(std::string_view text)
{
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The first three lines and their keys: reading stops at the first one without its key.
const char* const kHeadKeys[] = {"UPLOADED=", "LOGIN=", "PASS="};

// Why a file read whole or in part is no session this program can write over without
// losing something of it; empty when it is one (or there is none).
std::string NotUnderstood(const lfplat::StateFileText& file, const std::vector<std::string>& lines)
{
    if (file.status != lfplat::StateFileText::Status::Read)
        return {};
    if (!file.whole)
        return "it is larger than any session file";
    for (size_t n = 0; n < lines.size() && n < std::size(kHeadKeys); ++n)
        if (!lines[n].starts_with(kHeadKeys[n]))
            return "its line " + std::to_string(n + 1) + " does not begin with " + kHeadKeys[n];
    return {};
}

struct SessionText {
    lfplat::StateFileText file;
    std::vector<std::string> lines;
    std::string problem;  // unreadable or not understood: the file is kept as it is
};

SessionText ReadSessionText(const std::string& path)
{
    SessionText session;
    session.file = lfplat::ReadStateFile(path, CSessionFile::kMaxFileSize);
    session.lines = SplitLines(session.file.text);
    session.problem = session.file.status == lfplat::StateFileText::Status::Unreadable
                          ? session.file.reason
                          : NotUnderstood(session.file, session.lines);
    return session;
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
    // A session the program could not read or understand holds the user's login and
    // folders: the few values of this run must not replace it.
    const SessionText existing = ReadSessionText(path);
    if (!existing.problem.empty()) {
        if (error)
            *error = existing.problem;
        return false;
    }
    // The mark of the editor the user saved it with stays.
    const std::string bytes =
        existing.file.text.starts_with(kByteOrderMark) ? std::string(kByteOrderMark) + text : text;
    // An older file may have a wider mode, which the replacement would take over:
    // narrow it first, so the password is never readable by others, not even briefly.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(path.c_str(), kFileMode);
    lfplat::AtomicFile file(path, kFileMode);
    if (!(file.Open() && file.Write(bytes) && file.Commit())) {
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
    const SessionText session = ReadSessionText(path);
    if (problem)
        *problem = session.problem;
    const std::vector<std::string>& lines = session.lines;
    std::string value;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (n == 0) {
            if (!ValueOf(line, kHeadKeys[0], value))
                return folders;
            values.m_nUploaded = ParseDecimal(value);
            continue;
        }
        if (n == 1) {
            if (!ValueOf(line, kHeadKeys[1], values.m_strLogin))
                return folders;
            continue;
        }
        if (n == 2) {
            if (!ValueOf(line, kHeadKeys[2], values.m_strPassword))
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
