#include "manager/model/ThumbnailCache.h"

#include "image/CLfImage.h"
#include "manager/model/CFolderItem.h"
#include "platform/FolderPaths.h"
#include "platform/AtomicFile.h"
#include "platform/Dib.h"
#include "platform/StateFile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const char kIndexName[] = "qkcache.xml";
const char kFolderPrefix[] = "dir-";
const char kNotAFolder[] = "ERROR: File exists but not directory";

// Larger index or .dat files are not ours: read no further than this.
constexpr std::streamsize kMaxTextFile = 16 << 20;

std::optional<std::string> ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, size_t(in.gcount()));
        if (std::streamsize(text.size()) > kMaxTextFile)
            return std::nullopt;
    }
    return text;
}

struct FileState {
    bool exists = false;
    bool regular = false;
    bool directory = false;
    int64_t nanoseconds = 0;  // last write since 1970 UTC, as finely as the file system keeps it
    int64_t changed = 0;      // last status change, the same way
    uint64_t inode = 0;
    int64_t size = 0;
};

FileState Stat(const std::string& path)
{
    FileState s;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return s;
    s.exists = true;
    s.regular = S_ISREG(st.st_mode);
    s.directory = S_ISDIR(st.st_mode);
    s.nanoseconds = int64_t(st.st_mtim.tv_sec) * 1000000000 + int64_t(st.st_mtim.tv_nsec);
    s.changed = int64_t(st.st_ctim.tv_sec) * 1000000000 + int64_t(st.st_ctim.tv_nsec);
    s.inode = uint64_t(st.st_ino);
    s.size = int64_t(st.st_size);
    return s;
}

// Names in a folder, without "." and ".."; nothing when it cannot be listed.
std::optional<std::vector<std::string>> ListFolder(const std::string& path)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool IsRealFolder(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Makes the folder, and the folders above it, when nothing is there; false when the path
// is taken by a non-folder or the folder cannot be made (error then gets the reason).
bool EnsureFolder(const std::string& path, std::string* error = nullptr)
{
    const FileState s = Stat(path);
    if (s.exists)
        return s.directory;
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (!ec && Stat(path).directory)
        return true;
    if (error)
        *error = ec ? ec.message() : std::strerror(ENOTDIR);
    return false;
}

// The number between the first open tag and its close tag, 64 bits wide; nothing when
// either tag is missing or the text is no number.
std::optional<int64_t> TagNumber64(const std::string& text, const std::string& tag)
{
    const std::string open = "<" + tag + ">";
    const size_t start = text.find(open);
    if (start == std::string::npos || text.find("</" + tag + ">", start) == std::string::npos)
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str() + start + open.size(), &end, 10);
    if (errno == ERANGE || end == text.c_str() + start + open.size())
        return std::nullopt;
    return int64_t(v);
}

// Removes what a killed close leaves in a cache folder: the writer's temporaries. Only
// plain files are removed, and nothing is followed out of the folder.
void RemoveTemporaries(const std::string& folder, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const std::string path = JoinPath(folder, name);
        struct stat st {};
        if (lfplat::IsAtomicTemporaryName(name) && ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path.c_str());
    }
}

// The number N of "<root>/dir-N", or 0 when path is not of that form.
int FolderNumber(const std::string& path, const std::string& root)
{
    const std::string head = JoinPath(root, kFolderPrefix);
    if (path.size() <= head.size() || path.compare(0, head.size(), head) != 0)
        return 0;
    long n = 0;
    for (size_t i = head.size(); i < path.size(); ++i) {
        if (path[i] < '0' || path[i] > '9' || n > INT_MAX / 10)
            return 0;
        n = n * 10 + (path[i] - '0');
    }
    return n <= INT_MAX ? int(n) : 0;
}

// The number after the first open tag up to its close tag; 0 when either is missing.
int TagNumber(const std::string& text, const std::string& tag)
{
    const std::string open = "<" + tag + ">";
    const size_t start = text.find(open);
    if (start == std::string::npos || text.find("</" + tag + ">", start) == std::string::npos)
        return 0;
    errno = 0;
    const long v = std::strtol(text.c_str() + start + open.size(), nullptr, 10);
    if (v <= 0 || errno == ERANGE)
        return 0;
    return v > INT_MAX ? INT_MAX : int(v);
}

// The text between the first open tag and its close tag; empty when either is missing.
std::string TagText(const std::string& text, const std::string& tag)
{
    const std::string open = "<" + tag + ">";
    const size_t start = text.find(open);
    if (start == std::string::npos)
        return {};
    const size_t end = text.find("</" + tag + ">", start);
    return end == std::string::npos ? std::string() : text.substr(start + open.size(), end - start - open.size());
}

// A cached pair still shows the picture. The .dat names the picture's last write, size,
// last status change and inode it was made from: all must be the picture's now, since a
// copy that keeps the times (cp -p, rsync -t) differs only in the last two. A .dat
// written before the last two were kept counts when the bitmap was written after the
// picture's last change; one without any of them also needs the bitmap to be newer than
// the picture's last write, compared to the nanosecond.
bool IsFresh(const FileState& picture, const FileState& bmp, const std::string& dat)
{
    const auto time = TagNumber64(dat, "SOURCETIME");
    const auto size = TagNumber64(dat, "SOURCESIZE");
    const auto changed = TagNumber64(dat, "SOURCECHANGE");
    const std::string inode = TagText(dat, "SOURCEINODE");
    if (time && size && changed && !inode.empty())
        return *time == picture.nanoseconds && *size == picture.size && *changed == picture.changed &&
               inode == std::to_string(picture.inode);
    if (time && size)
        return *time == picture.nanoseconds && *size == picture.size && bmp.nanoseconds > picture.changed;
    return bmp.nanoseconds > picture.nanoseconds && bmp.nanoseconds > picture.changed;
}

// Name before the last dot and the text after it.
std::pair<std::string, std::string> SplitName(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {name, ""};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

std::string PerImagePath(const std::string& cacheDir, const std::string& imageName, const char* suffix)
{
    const auto [base, ext] = SplitName(imageName);
    return JoinPath(cacheDir, base + "~" + ext + suffix);
}

void AppendBlock(std::string& index, const std::string& diskPath, const std::string& cacheDir, size_t count)
{
    index += "<DIRECTORY><DISKPATH>" + ThumbnailCache::EscapeText(diskPath) + "</DISKPATH><MAPNAME>" +
             ThumbnailCache::EscapeText(cacheDir) + "</MAPNAME><FILECOUNT>" + std::to_string(count) +
             "</FILECOUNT></DIRECTORY>";
}

}  // namespace

ThumbnailCache::ThumbnailCache(std::string root) : m_root(std::move(root)) {}

std::string ThumbnailCache::IndexPath() const { return JoinPath(m_root, kIndexName); }

// ---- Index ----------------------------------------------------------------------

std::string ThumbnailCache::EscapeText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string ThumbnailCache::UnescapeText(const std::string& text)
{
    static const std::pair<const char*, char> kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [entity, c] : kEntities) {
                if (text.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
                    out += c;
                    i += std::char_traits<char>::length(entity);
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

std::vector<ThumbnailCache::Entry> ThumbnailCache::ParseIndex(const std::string& text, const std::string& root)
{
    std::vector<Entry> entries;
    size_t p = 0;
    for (;;) {
        const size_t block = text.find("<DIRECTORY>", p);
        if (block == std::string::npos)
            break;
        const size_t diskOpen = text.find("<DISKPATH>", block);
        const size_t diskClose = diskOpen == std::string::npos ? diskOpen : text.find("</DISKPATH>", diskOpen);
        const size_t mapOpen = diskClose == std::string::npos ? diskClose : text.find("<MAPNAME>", diskClose);
        const size_t mapClose = mapOpen == std::string::npos ? mapOpen : text.find("</MAPNAME>", mapOpen);
        if (mapClose == std::string::npos)
            break;  // cut off: the blocks before it stand
        const size_t diskStart = diskOpen + 10;
        const size_t mapStart = mapOpen + 9;
        Entry e{UnescapeText(text.substr(diskStart, diskClose - diskStart)),
                UnescapeText(text.substr(mapStart, mapClose - mapStart))};
        p = mapClose + 10;
        // A cache folder elsewhere than directly in the root, or one another entry
        // already names, would mix or spill thumbnails: such an entry is dropped.
        const bool inRoot = e.cacheDir.size() > root.size() + 1 && e.cacheDir.compare(0, root.size(), root) == 0 &&
                            e.cacheDir[root.size()] == '/' && e.cacheDir.find('/', root.size() + 1) == std::string::npos &&
                            LastPathComponent(e.cacheDir) != "." && LastPathComponent(e.cacheDir) != "..";
        const bool taken = std::any_of(entries.begin(), entries.end(),
                                       [&](const Entry& other) { return other.cacheDir == e.cacheDir; });
        if (!e.diskPath.empty() && inRoot && !taken)
            entries.push_back(std::move(e));
    }
    return entries;
}

void ThumbnailCache::ReadCacheIndex()
{
    m_entries.clear();
    m_indexProblem.clear();
    if (m_root.empty())
        return;
    const lfplat::StateFileText index = lfplat::ReadStateFile(IndexPath(), size_t(kMaxTextFile));
    if (index.status == lfplat::StateFileText::Status::Unreadable) {
        // Neither the index nor the folders it names are touched: the close leaves them.
        m_indexProblem = index.reason;
        return;
    }
    for (Entry& e : ParseIndex(index.text, m_root))
        AddCacheEntry(e.diskPath, e.cacheDir);
    RemoveLeftovers();
}

void ThumbnailCache::RemoveLeftovers() const
{
    // What a close that was killed half way leaves: cache folders that no index entry
    // names and the writer's temporaries. Only real folders directly in the root are
    // looked into; links are never followed.
    const auto names = ListFolder(m_root);
    if (!names)
        return;
    RemoveTemporaries(m_root, *names);
    for (const std::string& name : *names) {
        const std::string folder = JoinPath(m_root, name);
        if (FolderNumber(folder, m_root) == 0 || !IsRealFolder(folder))
            continue;
        const auto files = ListFolder(folder);
        if (!files)
            continue;
        const bool named = std::any_of(m_entries.begin(), m_entries.end(),
                                       [&](const Entry& e) { return e.cacheDir == folder; });
        if (named) {
            RemoveTemporaries(folder, *files);
            continue;
        }
        for (const std::string& file : *files) {
            const std::string path = JoinPath(folder, file);
            struct stat st {};
            if (::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
                ::unlink(path.c_str());
        }
        ::rmdir(folder.c_str());
    }
}

void ThumbnailCache::AddCacheEntry(const std::string& diskPath, const std::string& cacheDir)
{
    if (!diskPath.empty() && !cacheDir.empty())
        m_entries.push_back({diskPath, cacheDir});
}

std::string ThumbnailCache::GetCacheDirName(const std::string& folderPath) const
{
    for (const Entry& e : m_entries)
        if (e.diskPath == folderPath)
            return e.cacheDir;
    return {};
}

// ---- Close ----------------------------------------------------------------------

int ThumbnailCache::FreeFolderNumber(int start, const std::vector<int>& taken) const
{
    for (int n = std::max(start, 1);; ++n) {
        const std::string path = JoinPath(m_root, kFolderPrefix + std::to_string(n));
        const bool inIndex = std::any_of(m_entries.begin(), m_entries.end(),
                                         [&](const Entry& e) { return FolderNumber(e.cacheDir, m_root) == n; });
        if (!inIndex && std::find(taken.begin(), taken.end(), n) == taken.end() && !Stat(path).exists &&
            !IsRealFolder(path))
            return n;
    }
}

void ThumbnailCache::WriteAtClose(const std::vector<const CFolderItem*>& folders,
                                  const std::function<void(const std::string&)>& folderError)
{
    m_writeProblem.clear();
    if (m_root.empty() || !m_indexProblem.empty())
        return;
    if (!EnsureFolder(m_root, &m_writeProblem)) {
        if (m_writeProblem.empty())
            m_writeProblem = std::strerror(ENOTDIR);
        return;
    }
    auto reportNotFolder = [&] {
        if (folderError)
            folderError(kNotAFolder);
    };

    std::string index = "<XML>";
    int counter = int(m_entries.size());
    std::vector<int> taken;
    for (const CFolderItem* folder : folders) {
        std::string cacheDir = GetCacheDirName(folder->m_strPath);
        if (cacheDir.empty()) {
            // Every folder new to the cache in this close gets a number of its own that
            // no entry and no folder on disk uses yet.
            counter = FreeFolderNumber(counter + 1, taken);
            taken.push_back(counter);
            cacheDir = JoinPath(m_root, kFolderPrefix + std::to_string(counter));
        }
        AppendBlock(index, folder->m_strPath, cacheDir, folder->ImageCount());
        if (EnsureFolder(cacheDir))
            WriteFolderFiles(*folder, cacheDir);
        else
            reportNotFolder();
    }
    for (const Entry& e : m_entries) {
        const bool shown = std::any_of(folders.begin(), folders.end(),
                                       [&](const CFolderItem* f) { return f->m_strPath == e.diskPath; });
        if (shown)
            continue;
        AppendBlock(index, e.diskPath, e.cacheDir, 0);
        if (!EnsureFolder(e.cacheDir))
            reportNotFolder();
    }
    index += "</XML>";
    // The per-image files went unsynced; the index is the one file synced, last.
    lfplat::AtomicFile file(IndexPath());
    if (!(file.Open() && file.Write(index) && file.Commit()))
        m_writeProblem = file.ErrorNumber() ? std::strerror(file.ErrorNumber()) : file.Error();
}

void ThumbnailCache::WriteFolderFiles(const CFolderItem& folder, const std::string& cacheDir) const
{
    for (const auto& record : folder.m_arrImages) {
        const CImageItem& image = *record;
        if (!IsImageFileName(image.m_strName))
            continue;
        const std::string bmpPath = BitmapPath(cacheDir, image.m_strName);
        const std::string datPath = DataPath(cacheDir, image.m_strName);
        const FileState bmp = Stat(bmpPath);
        const FileState picture = Stat(image.m_strPath);
        const CImageItem::ThumbnailRef thumbnail = image.GetThumbnail();
        if (bmp.exists) {
            if (!picture.exists)
                continue;
            const FileState dat = Stat(datPath);
            const std::string datText = dat.regular ? ReadTextFile(datPath).value_or("") : std::string();
            // A pair without its text, or one the thread could not use (stale, garbled,
            // cut short, of the wrong size), is written anew from the thumbnail made in
            // this run; a stale pair without one goes.
            const bool madeHere = thumbnail && !image.m_bThumbFromCache;
            if (!IsFresh(picture, bmp, datText)) {
                ::unlink(bmpPath.c_str());
                ::unlink(datPath.c_str());
                if (!madeHere)
                    continue;
            } else if (!datText.empty() && !madeHere) {
                continue;
            }
        }
        if (!thumbnail || thumbnail->width <= 0 || thumbnail->height <= 0)
            continue;
        // A thumbnail made before the image was rewritten would pass for a fresh one.
        if (image.m_tLastWrite != 0 && picture.exists &&
            (picture.nanoseconds != image.m_tLastWrite || picture.size != image.m_nSize ||
             (image.m_tChange != 0 && (picture.changed != image.m_tChange || picture.inode != image.m_nInode))))
            continue;
        // A cache can always be rebuilt: no per-file sync (a torn file is found and rebuilt).
        if (WriteDIBFile(bmpPath, BitmapToDIB(*thumbnail)) == 1)
            lfplat::WriteFileAtomically(datPath, FormatData(image), 0666, nullptr, lfplat::AtomicSync::NoSync);
    }
}

// ---- Per-image files ------------------------------------------------------------

std::string ThumbnailCache::BitmapPath(const std::string& cacheDir, const std::string& imageName)
{
    return PerImagePath(cacheDir, imageName, ".bmp");
}

std::string ThumbnailCache::DataPath(const std::string& cacheDir, const std::string& imageName)
{
    return PerImagePath(cacheDir, imageName, ".dat");
}

std::string ThumbnailCache::FormatData(const CImageItem& image)
{
    // The picture's last write and size (when the listing knew them) come before the
    // user's texts, so that no text can stand in for them.
    std::string source;
    if (image.m_tLastWrite > 0)
        source = "<SOURCETIME>" + std::to_string(image.m_tLastWrite) + "</SOURCETIME><SOURCESIZE>" +
                 std::to_string(image.m_nSize) + "</SOURCESIZE>";
    if (image.m_tLastWrite > 0 && image.m_tChange > 0)
        source += "<SOURCECHANGE>" + std::to_string(image.m_tChange) + "</SOURCECHANGE><SOURCEINODE>" +
                  std::to_string(image.m_nInode) + "</SOURCEINODE>";
    return "<XML><WIDTH>" + std::to_string(image.m_nWidth.load()) + "</WIDTH><HEIGHT>" +
           std::to_string(image.m_nHeight.load()) + "</HEIGHT>" + source + "<KEYWORDS>" + image.m_strKeywords +
           "</KEYWORDS><DESCRIPTION>" + image.m_strDescription + "</DESCRIPTION></XML>";
}

bool ThumbnailCache::WriteNotes(const std::string& cacheDir, const CImageItem& image)
{
    if (cacheDir.empty() || !Stat(BitmapPath(cacheDir, image.m_strName)).regular)
        return false;
    const std::string datPath = DataPath(cacheDir, image.m_strName);
    const std::string old = ReadTextFile(datPath).value_or("");
    std::string text = FormatData(image);
    if (image.m_nWidth.load() <= 0 || image.m_nHeight.load() <= 0) {
        const std::string size = "<WIDTH>" + std::to_string(TagNumber(old, "WIDTH")) + "</WIDTH><HEIGHT>" +
                                 std::to_string(TagNumber(old, "HEIGHT")) + "</HEIGHT>";
        const size_t from = text.find("<WIDTH>");
        const size_t to = text.find(image.m_tLastWrite > 0 ? "<SOURCETIME>" : "<KEYWORDS>");
        text.replace(from, to - from, size);
    }
    return lfplat::WriteFileAtomically(datPath, text, 0666, nullptr, lfplat::AtomicSync::NoSync);
}

std::optional<ThumbnailCache::Cached> ThumbnailCache::Load(const std::string& imagePath,
                                                           const std::string& imageName, const std::string& cacheDir)
{
    if (cacheDir.empty())
        return std::nullopt;
    const std::string bmpPath = BitmapPath(cacheDir, imageName);
    const std::string datPath = DataPath(cacheDir, imageName);
    const FileState picture = Stat(imagePath);
    const FileState bmp = Stat(bmpPath);
    const FileState dat = Stat(datPath);
    if (!picture.exists || !bmp.regular || !dat.regular)
        return std::nullopt;
    const std::optional<std::string> text = ReadTextFile(datPath);
    if (!text || text->empty() || !IsFresh(picture, bmp, *text))
        return std::nullopt;
    CLfImage bitmap(bmpPath.c_str(), lfimg::kTypeBMP);
    // A bitmap that cannot be read, or one larger than any thumbnail, is not ours; one
    // of another size than the picture's fitted thumbnail is garbled. Either is rebuilt
    // from the picture.
    if (!bitmap.IsValid() || bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0 ||
        bitmap.GetWidth() > thumbs::kThumbWidth || bitmap.GetHeight() > thumbs::kThumbHeight)
        return std::nullopt;
    if (const int w = TagNumber(*text, "WIDTH"), h = TagNumber(*text, "HEIGHT"); w > 0 && h > 0) {
        const thumbs::ThumbnailFit fit = thumbs::FitThumbnail(w, h);
        if (int(bitmap.GetWidth()) != fit.width || int(bitmap.GetHeight()) != fit.height)
            return std::nullopt;
    }
    Cached cached;
    cached.thumbnails = thumbs::MakeThumbnails(&bitmap);
    cached.width = TagNumber(*text, "WIDTH");
    cached.height = TagNumber(*text, "HEIGHT");
    cached.keywords = TagText(*text, "KEYWORDS");
    cached.description = TagText(*text, "DESCRIPTION");
    return cached;
}

bool ThumbnailCache::NamesAnotherPicture(const std::string& imagePath, const std::string& imageName,
                                         const std::string& cacheDir)
{
    const std::string datPath = DataPath(cacheDir, imageName);
    if (cacheDir.empty() || !Stat(datPath).regular)
        return false;
    const std::string text = ReadTextFile(datPath).value_or("");
    if (!TagNumber64(text, "SOURCETIME"))
        return false;
    return !IsFresh(Stat(imagePath), Stat(BitmapPath(cacheDir, imageName)), text);
}

std::vector<uint8_t> ThumbnailCache::BitmapToDIB(const ThumbnailPixels& thumbnail)
{
    const int w = thumbnail.width;
    const int h = thumbnail.height;
    if (w <= 0 || h <= 0 || thumbnail.rgb.size() < size_t(w) * size_t(h) * 3)
        return {};
    const uint32_t rowBytes = ((uint32_t(w) * 24 + 31) & ~31u) / 8;
    BITMAPINFOHEADER header;
    header.biSize = kBitmapInfoHeaderSize;
    header.biWidth = w;
    header.biHeight = h;  // bottom-up
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = rowBytes * uint32_t(h);
    std::vector<uint8_t> dib(kBitmapInfoHeaderSize + header.biSizeImage, 0);
    lfdib::WriteInfoHeader(header, dib.data());
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = thumbnail.rgb.data() + size_t(h - 1 - y) * size_t(w) * 3;
        uint8_t* dst = dib.data() + kBitmapInfoHeaderSize + size_t(y) * rowBytes;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return dib;
}

int ThumbnailCache::WriteDIBFile(const std::string& path, const std::vector<uint8_t>& dib)
{
    if (dib.size() < kBitmapInfoHeaderSize)
        return 0;
    const BITMAPINFOHEADER header = lfdib::ReadInfoHeader(dib.data());
    const uint32_t colours = header.biBitCount <= 8 ? (1u << header.biBitCount) : 0;
    BITMAPFILEHEADER file;
    file.bfType = kBitmapFileType;
    file.bfSize = uint32_t(kBitmapFileHeaderSize + dib.size());
    file.bfOffBits = uint32_t(kBitmapFileHeaderSize + kBitmapInfoHeaderSize + 4 * colours);
    std::string bytes(kBitmapFileHeaderSize, '\0');
    lfdib::WriteFileHeader(file, reinterpret_cast<uint8_t*>(bytes.data()));
    bytes.append(reinterpret_cast<const char*>(dib.data()), dib.size());
    return lfplat::WriteFileAtomically(path, bytes, 0666, nullptr, lfplat::AtomicSync::NoSync) ? 1 : 0;
}

// ---- Delete Cache ---------------------------------------------------------------

std::optional<uint64_t> ThumbnailCache::MeasureBytes() const
{
    const auto names = ListFolder(m_root);
    if (!names)
        return std::nullopt;
    uint64_t total = 0;
    for (const std::string& name : *names) {
        const std::string folder = JoinPath(m_root, name);
        if (!IsRealFolder(folder))
            continue;
        const auto files = ListFolder(folder);
        if (!files)
            return std::nullopt;
        for (const std::string& file : *files) {
            struct stat st {};
            if (::lstat(JoinPath(folder, file).c_str(), &st) == 0 && S_ISREG(st.st_mode))
                total += uint64_t(st.st_size);
        }
    }
    return total;
}

std::string ThumbnailCache::DeleteCacheText(uint64_t bytes)
{
    const uint64_t kilobytes = bytes / 1024;
    double value = double(kilobytes);
    const char* unit = "KB";
    if (kilobytes > 1024) {
        value = double(kilobytes) / 1024.0;
        unit = "MB";
    }
    char head[128];
    std::snprintf(head, sizeof head, "Disk space currently used by cache: %.2f %s\n\n", value, unit);
    return std::string(head) +
           "This application uses a cache directory to hold thumbnail size images that are generated when you "
           "browse various folders containing image files. This is done to enable faster operation during "
           "repeated visits to folders containing images. Disk space used by the cache directory will grow as "
           "more and more images are browsed.  You can delete the cache files in this directory if you need to "
           "free up disk space on your computer.";
}

bool ThumbnailCache::DeleteFiles() const
{
    const auto names = ListFolder(m_root);
    if (!names)
        return false;
    for (const std::string& name : *names) {
        const std::string folder = JoinPath(m_root, name);
        if (!IsRealFolder(folder))
            continue;  // a link is never followed out of the cache
        const auto files = ListFolder(folder);
        if (!files)
            return false;
        for (const std::string& file : *files)
            ::unlink(JoinPath(folder, file).c_str());
        ::rmdir(folder.c_str());
    }
    ::unlink(IndexPath().c_str());
    return true;
}
