#include "manager/CSessionFile.h"

#include "manager/CQuorixDoc.h"
#include "manager/DecimalText.h"
#include "manager/FolderPaths.h"
#include "platform/AtomicFile.h"

#include <filesystem>
#include <fstream>
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

std::vector<std::string> ReadLines(const std::string& path, bool& opened)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    opened = in.is_open();
    if (!opened)
        return lines;
    std::string text(CSessionFile::kMaxFileSize, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
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

bool WriteText(const std::string& path, const std::string& text)
{
    // An older file may have a wider mode, which the replacement would take over:
    // narrow it first, so the password is never readable by others, not even briefly.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(path.c_str(), kFileMode);
    if (!lfplat::WriteFileAtomically(path, text, kFileMode))
        return false;
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

void CSessionFile::Read(const std::string& path, CQuorixDoc& doc)
{
    bool opened = false;
    const std::vector<std::string> lines = ReadLines(path, opened);
    std::string value;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (n == 0) {
            if (!ValueOf(line, "UPLOADED=", value))
                return;
            doc.m_nUploaded = ParseDecimal(value);
            continue;
        }
        if (n == 1) {
            if (!ValueOf(line, "LOGIN=", doc.m_strLogin))
                return;
            continue;
        }
        if (n == 2) {
            if (!ValueOf(line, "PASS=", doc.m_strPassword))
                return;
            continue;
        }
        if (ValueOf(line, "DIRECTORY=", value)) {
            if (!value.empty() && IsListableFolder(value))
                doc.AddRecentFolder(std::make_unique<CFolderItem>(LastPathComponent(value), value, 1));
        } else if (ValueOf(line, "SERVER=", value)) {
            if (IsAcceptedServer(value))
                doc.m_strServer = value;
        }
        ValueOf(line, "PROXY=", doc.m_strProxy);
        ValueOf(line, "PROXYTYPE=", doc.m_strProxyType);
        ValueOf(line, "PROXYHOST=", doc.m_strProxyHost);
        ValueOf(line, "PROXYPORT=", doc.m_strProxyPort);
        ValueOf(line, "PROXYAUTH=", doc.m_strProxyAuth);
        ValueOf(line, "PROXYUSER=", doc.m_strProxyUser);
        ValueOf(line, "PROXYPASS=", doc.m_strProxyPass);
    }
}

std::string CSessionFile::FormatShort(const CQuorixDoc& doc)
{
    std::string out;
    Line(out, "UPLOADED=", std::to_string(doc.m_nUploaded));
    Line(out, "LOGIN=", Clean(doc.m_strLogin));
    Line(out, "PASS=", Clean(doc.m_strPassword));
    if (!Clean(doc.m_strServer).empty())
        Line(out, "SERVER=", doc.m_strServer);
    return out;
}

std::string CSessionFile::Format(const CQuorixDoc& doc)
{
    std::string out;
    Line(out, "UPLOADED=", std::to_string(doc.m_nUploaded));
    Line(out, "LOGIN=", Clean(doc.m_strLogin));
    Line(out, "PASS=", Clean(doc.m_strPassword));
    for (size_t i = 0; i < doc.GetRecentCount(); ++i) {
        const CFolderItem* folder = doc.GetRecentFolder(i);
        if (folder->m_bKeepInSession && !Clean(folder->m_strPath).empty())
            Line(out, "DIRECTORY=", folder->m_strPath);
    }
    if (!Clean(doc.m_strServer).empty())
        Line(out, "SERVER=", doc.m_strServer);
    if (!Clean(doc.m_strProxy).empty()) {
        Line(out, "PROXY=", doc.m_strProxy);
        Line(out, "PROXYTYPE=", Clean(doc.m_strProxyType));
        Line(out, "PROXYHOST=", Clean(doc.m_strProxyHost));
        Line(out, "PROXYPORT=", Clean(doc.m_strProxyPort));
        if (!Clean(doc.m_strProxyAuth).empty()) {
            Line(out, "PROXYAUTH=", doc.m_strProxyAuth);
            if (!Clean(doc.m_strProxyUser).empty())
                Line(out, "PROXYUSER=", doc.m_strProxyUser);
            if (!Clean(doc.m_strProxyPass).empty())
                Line(out, "PROXYPASS=", doc.m_strProxyPass);
        }
    }
    return out;
}

bool CSessionFile::Write(const std::string& path, const CQuorixDoc& doc) { return WriteText(path, Format(doc)); }

bool CSessionFile::WriteShort(const std::string& path, const CQuorixDoc& doc)
{
    return WriteText(path, FormatShort(doc));
}
