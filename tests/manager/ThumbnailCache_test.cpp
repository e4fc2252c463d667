#include "ThumbTestSupport.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/ThumbnailCache.h"
#include "platform/Dib.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using lftest::TempDir;

std::unique_ptr<CFolderItem> FolderOf(const fs::path& path, std::initializer_list<const char*> names)
{
    auto folder = std::make_unique<CFolderItem>(path.string(), path.string(), 0);
    for (const char* name : names)
        folder->AddImage(std::make_unique<CImageItem>(name, (path / name).string(), 100, 0, 0));
    return folder;
}

// Gives the record a thumbnail made from a solid picture of the given size and colour.
void GiveThumbnail(CImageItem& image, int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    CLfImage picture = lftest::SolidPicture(w, h, r, g, b);
    const thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&picture);
    image.SetThumbnails(pair.fitted, pair.framed);
    image.m_nWidth = w;
    image.m_nHeight = h;
}

class ThumbnailCacheTest : public ::testing::Test {
protected:
    std::string Index() const { return lftest::ReadText(root / "qkcache.xml"); }
    std::string Dir(int n) const { return (root / ("dir-" + std::to_string(n))).string(); }
    std::string Block(const std::string& disk, const std::string& map, size_t count) const
    {
        return "<DIRECTORY><DISKPATH>" + disk + "</DISKPATH><MAPNAME>" + map + "</MAPNAME><FILECOUNT>" +
               std::to_string(count) + "</FILECOUNT></DIRECTORY>";
    }

    TempDir base;
    fs::path root = base / "Lanternfolio";
    TempDir images;
    std::vector<std::string> errors;
    std::function<void(const std::string&)> errorSink = [this](const std::string& e) { errors.push_back(e); };
};

TEST_F(ThumbnailCacheTest, IndexReaderKeepsWholeBlocksAndStopsAtACutOne)
{
    const std::string r = root.string();
    struct Case {
        std::string text;
        std::vector<std::string> disks;
    };
    const Case cases[] = {
        {"<XML>" + Block("/a", r + "/dir-1", 3) + Block("/b", r + "/dir-2", 0) + "</XML>", {"/a", "/b"}},
        // Cut inside the second block: the first stands.
        {"<XML>" + Block("/a", r + "/dir-1", 3) + "<DIRECTORY><DISKPATH>/b</DISKPATH><MAPNAME>" + r + "/di", {"/a"}},
        {"<XML>" + Block("/a", r + "/dir-1", 3) + "<DIRECTORY><DISKPATH>/b", {"/a"}},
        {"", {}},
        {"<XML></XML>", {}},
        // An empty disk path is not kept; the next block still is.
        {"<XML>" + Block("", r + "/dir-1", 0) + Block("/c", r + "/dir-3", 1) + "</XML>", {"/c"}},
        // Cache folders outside the root, nested in it, or named twice would mix folders.
        {"<XML>" + Block("/a", "/home/x", 0) + Block("/b", r + "/dir-1/sub", 0) + Block("/c", r + "/..", 0) +
             Block("/d", r + "/dir-4", 0) + Block("/e", r + "/dir-4", 0) + "</XML>",
         {"/d"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> disks;
        for (const auto& e : ThumbnailCache::ParseIndex(c.text, r))
            disks.push_back(e.diskPath);
        EXPECT_EQ(disks, c.disks) << c.text;
    }

    fs::create_directories(root);
    lftest::WriteText(root / "qkcache.xml", cases[1].text);
    ThumbnailCache cache(r);
    cache.ReadCacheIndex();
    ASSERT_EQ(cache.Entries().size(), 1u);
    EXPECT_EQ(cache.GetCacheDirName("/a"), r + "/dir-1");
    EXPECT_EQ(cache.GetCacheDirName("/A"), "");  // byte for byte
    EXPECT_EQ(cache.GetCacheDirName("/b"), "");
}

TEST_F(ThumbnailCacheTest, PathsWithTagCharactersSurviveTheIndex)
{
    const fs::path odd = images / "a<DISKPATH>&b</MAPNAME> &amp;";
    fs::create_directories(odd);
    auto folder = FolderOf(odd, {});
    {
        ThumbnailCache cache(root.string());
        cache.WriteAtClose({folder.get()}, errorSink);
    }
    const std::string index = Index();
    EXPECT_EQ(index.find(odd.string()), std::string::npos) << "the raw path must not appear";
    ThumbnailCache again(root.string());
    again.ReadCacheIndex();
    ASSERT_EQ(again.Entries().size(), 1u);
    EXPECT_EQ(again.Entries()[0].diskPath, odd.string());
    EXPECT_EQ(again.Entries()[0].cacheDir, Dir(1));
    EXPECT_EQ(ThumbnailCache::UnescapeText(ThumbnailCache::EscapeText("&lt;<>&&amp;")), "&lt;<>&&amp;");
}

TEST_F(ThumbnailCacheTest, NewFoldersGetNumbersNoEntryAndNoFolderOnDiskUses)
{
    fs::create_directories(root);
    // Two entries read at start; dir-3 lies on disk without an index entry (left by a
    // close that was killed: removed at start), and dir-4 is a plain file.
    lftest::WriteText(root / "qkcache.xml",
                      "<XML>" + Block("/old1", Dir(1), 2) + Block("/old2", Dir(7), 2) + "</XML>");
    fs::create_directories(Dir(3));
    lftest::WriteText(Dir(3) + "/a~jpg.bmp", "left by a killed close");
    lftest::WriteText(Dir(4), "x");

    ThumbnailCache cache(root.string());
    cache.ReadCacheIndex();
    EXPECT_FALSE(fs::exists(Dir(3)));
    auto shown = FolderOf("/old2", {});
    auto first = FolderOf(images / "one", {"a.jpg"});
    auto second = FolderOf(images / "two", {});
    cache.WriteAtClose({first.get(), shown.get(), second.get()}, errorSink);

    EXPECT_EQ(Index(), "<XML>" + Block(first->m_strPath, Dir(3), 1) + Block("/old2", Dir(7), 0) +
                           Block(second->m_strPath, Dir(5), 0) + Block("/old1", Dir(1), 0) + "</XML>");
    EXPECT_TRUE(fs::is_directory(Dir(3)));
    EXPECT_TRUE(fs::is_empty(Dir(3)));
    EXPECT_TRUE(fs::is_regular_file(Dir(4)));
    EXPECT_TRUE(fs::is_directory(Dir(5)));
    EXPECT_TRUE(fs::is_directory(Dir(1)));  // an entry's folder is made again when missing
    EXPECT_TRUE(errors.empty());

    // A cache path taken by a file is reported once per close and the close goes on.
    fs::remove_all(Dir(7));
    lftest::WriteText(Dir(7), "not a folder");
    cache.WriteAtClose({shown.get()}, errorSink);
    EXPECT_EQ(errors, std::vector<std::string>{"ERROR: File exists but not directory"});
    EXPECT_NE(Index().find(Block("/old1", Dir(1), 0)), std::string::npos);
}

TEST_F(ThumbnailCacheTest, CloseWritesAPairPerImageThatReadsBackToTheSamePixels)
{
    auto folder = FolderOf(images.path(), {"wide.jpg", "photo.JPG", "none.png", "notes.txt"});
    for (const auto& image : folder->m_arrImages) {
        lftest::WriteText(image->m_strPath, "image bytes");
        lftest::SetFileTime(image->m_strPath, -100);
    }
    GiveThumbnail(*folder->Image(0), 640, 200, 10, 200, 30);
    GiveThumbnail(*folder->Image(1), 50, 40, 250, 0, 0);
    GiveThumbnail(*folder->Image(3), 10, 10, 1, 2, 3);  // not an image name: never cached
    folder->Image(0)->m_strKeywords = "sea";
    folder->Image(0)->m_strDescription = "a <b> c";

    ThumbnailCache cache(root.string());
    cache.WriteAtClose({folder.get()}, errorSink);
    const std::string dir = Dir(1);
    EXPECT_EQ(lftest::ReadText(dir + "/wide~jpg.dat"),
              "<XML><WIDTH>640</WIDTH><HEIGHT>200</HEIGHT><KEYWORDS>sea</KEYWORDS><DESCRIPTION>a <b> "
              "c</DESCRIPTION></XML>");
    EXPECT_TRUE(fs::exists(dir + "/photo~JPG.bmp"));
    EXPECT_FALSE(fs::exists(dir + "/none~png.bmp"));  // no thumbnail, nothing written
    EXPECT_FALSE(fs::exists(dir + "/notes~txt.bmp"));

    // The bitmap file: 14-byte file header, 40-byte information header, 24-bit rows.
    const auto bytes = lftest::ReadBytes(dir + "/wide~jpg.bmp");
    ASSERT_GE(bytes.size(), 54u);
    const BITMAPFILEHEADER fh = lfdib::ReadFileHeader(bytes.data());
    const BITMAPINFOHEADER ih = lfdib::ReadInfoHeader(bytes.data() + 14);
    EXPECT_EQ(fh.bfType, kBitmapFileType);
    EXPECT_EQ(fh.bfSize, bytes.size());
    EXPECT_EQ(fh.bfOffBits, 54u);
    EXPECT_EQ(ih.biWidth, 88);
    EXPECT_EQ(ih.biHeight, 28);
    EXPECT_EQ(ih.biBitCount, 24);
    EXPECT_EQ(bytes.size(), 54u + 264 * 28);

    // Read back as the thumbnail thread does.
    for (size_t i : {0u, 1u}) {
        const CImageItem& image = *folder->Image(i);
        const auto cached = ThumbnailCache::Load(image.m_strPath, image.m_strName, dir);
        ASSERT_TRUE(cached) << image.m_strName;
        EXPECT_EQ(cached->thumbnails.fitted->rgb, image.GetThumbnail()->rgb);
        EXPECT_EQ(cached->thumbnails.framed->rgb, image.GetFramedThumbnail()->rgb);
        EXPECT_EQ(cached->width, image.m_nWidth);
        EXPECT_EQ(cached->height, image.m_nHeight);
    }
}

TEST_F(ThumbnailCacheTest, CachedPairIsUsedOnlyWhenCompleteAndStrictlyNewer)
{
    const fs::path image = images / "p.jpg";
    const std::string dir = Dir(1);
    fs::create_directories(dir);
    lftest::WriteText(image, "bytes");
    auto folder = FolderOf(images.path(), {"p.jpg"});
    GiveThumbnail(*folder->Image(0), 30, 20, 9, 9, 9);
    ASSERT_EQ(ThumbnailCache::WriteDIBFile(dir + "/p~jpg.bmp", ThumbnailCache::BitmapToDIB(*folder->Image(0)->GetThumbnail())), 1);
    const std::string bmp = dir + "/p~jpg.bmp";
    const std::string dat = dir + "/p~jpg.dat";

    struct Case {
        const char* what;
        int64_t imageAge, bitmapAge;  // seconds before now
        const char* datText;          // null: no .dat
        bool used;
    };
    // Setting a file's times changes its status now: a bitmap newer than the picture's
    // last change lies ahead of now.
    const Case cases[] = {
        {"bitmap newer", 100, -50, "<XML><WIDTH>30</WIDTH><HEIGHT>20</HEIGHT></XML>", true},
        {"same second", 50, 50, "<XML><WIDTH>30</WIDTH></XML>", false},
        {"image newer", 10, 50, "<XML><WIDTH>30</WIDTH></XML>", false},
        // Newer than the last write, older than the last change: a copy that kept the times.
        {"picture changed after the bitmap", 100, 50, "<XML><WIDTH>30</WIDTH><HEIGHT>20</HEIGHT></XML>", false},
        {"no text file", 100, -50, nullptr, false},
        {"empty text file", 100, -50, "", false},
    };
    for (const Case& c : cases) {
        fs::remove(dat);
        if (c.datText)
            lftest::WriteText(dat, c.datText);
        lftest::SetFileTime(image, -c.imageAge);
        lftest::SetFileTime(bmp, -c.bitmapAge);
        const auto cached = ThumbnailCache::Load(image.string(), "p.jpg", dir);
        EXPECT_EQ(cached.has_value(), c.used) << c.what;
        if (cached) {
            EXPECT_EQ(cached->width, 30);
            EXPECT_EQ(cached->height, 20);
            EXPECT_EQ(cached->thumbnails.fitted->width, 30);
        }
    }
    // The .dat names the picture it was made from: then only the exact last write (to the
    // nanosecond), size, last change and inode count, whatever the bitmap's own time. A
    // .dat without the last two (written before they were kept) also needs the bitmap to
    // be newer than the picture's last change.
    struct stat st {};
    lftest::SetFileTime(image, -50);
    ASSERT_EQ(::stat(image.c_str(), &st), 0);
    const int64_t written = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    const int64_t changed = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    const uint64_t inode = st.st_ino;
    auto source = [&](int64_t time, int64_t size, std::string rest = {}) {
        return "<XML><WIDTH>30</WIDTH><HEIGHT>20</HEIGHT><SOURCETIME>" + std::to_string(time) +
               "</SOURCETIME><SOURCESIZE>" + std::to_string(size) + "</SOURCESIZE>" + rest +
               "<KEYWORDS></KEYWORDS></XML>";
    };
    auto stamp = [](int64_t change, uint64_t node) {
        return "<SOURCECHANGE>" + std::to_string(change) + "</SOURCECHANGE><SOURCEINODE>" + std::to_string(node) +
               "</SOURCEINODE>";
    };
    const struct {
        const char* what;
        std::string datText;
        int64_t bitmapAge;
        bool used;
    } sourceCases[] = {
        {"same write, size, change and inode", source(written, 5, stamp(changed, inode)), 50, true},
        {"changed since (a copy keeping the times)", source(written, 5, stamp(changed - 1, inode)), 50, false},
        {"another file (renamed over it)", source(written, 5, stamp(changed, inode + 1)), 50, false},
        {"rewritten within the same second", source(written - 1, 5, stamp(changed, inode)), 50, false},
        {"another size", source(written, 6, stamp(changed, inode)), 50, false},
        // An older .dat: the bitmap's time against the picture's last change decides.
        {"older .dat, bitmap after the last change", source(written, 5), -50, true},
        {"older .dat, bitmap before the last change", source(written, 5), 50, false},
        {"older .dat, rewritten within the same second", source(written - 1, 5), -50, false},
        // A bitmap of another size than the picture's fitted thumbnail is garbled.
        {"wrong size for the picture", "<XML><WIDTH>640</WIDTH><HEIGHT>200</HEIGHT><SOURCETIME>" +
                                           std::to_string(written) + "</SOURCETIME><SOURCESIZE>5</SOURCESIZE></XML>",
         -50, false},
    };
    for (const auto& c : sourceCases) {
        lftest::WriteText(dat, c.datText);
        lftest::SetFileTime(bmp, -c.bitmapAge);
        EXPECT_EQ(ThumbnailCache::Load(image.string(), "p.jpg", dir).has_value(), c.used) << c.what;
    }

    // A damaged bitmap is no cache hit either: a garbled one, or one cut short.
    const auto whole = lftest::ReadBytes(bmp);
    lftest::WriteBytes(bmp, std::vector<uint8_t>(whole.begin(), whole.begin() + long(whole.size() / 2)));
    lftest::WriteText(dat, "<XML><WIDTH>30</WIDTH></XML>");
    lftest::SetFileTime(image, -100);
    lftest::SetFileTime(bmp, -50);
    EXPECT_FALSE(ThumbnailCache::Load(image.string(), "p.jpg", dir)) << "cut short";
    lftest::WriteText(dat, "<XML><WIDTH>30</WIDTH></XML>");
    lftest::WriteText(bmp, "BM broken");
    lftest::SetFileTime(image, -100);
    lftest::SetFileTime(bmp, -50);
    EXPECT_FALSE(ThumbnailCache::Load(image.string(), "p.jpg", dir));
    EXPECT_FALSE(ThumbnailCache::Load(image.string(), "p.jpg", ""));
}

TEST_F(ThumbnailCacheTest, CloseDropsStalePairsAndRebuildsIncompleteOnes)
{
    auto folder = FolderOf(images.path(), {"stale.jpg", "nodat.jpg", "same.jpg", "fresh.jpg"});
    for (const auto& image : folder->m_arrImages)
        lftest::WriteText(image->m_strPath, "bytes");
    ThumbnailCache cache(root.string());
    cache.WriteAtClose({folder.get()}, errorSink);  // makes dir-1 with nothing in it
    const std::string dir = Dir(1);
    for (const char* base : {"stale", "nodat", "same", "fresh"}) {
        lftest::WriteText(dir + "/" + base + "~jpg.bmp", "old bitmap");
        lftest::WriteText(dir + "/" + base + "~jpg.dat", "<XML><WIDTH>1</WIDTH></XML>");
    }
    fs::remove(dir + "/nodat~jpg.dat");
    auto age = [&](const std::string& path, int64_t seconds) { lftest::SetFileTime(path, -seconds); };
    age(folder->Image(0)->m_strPath, 10);  // rewritten after its thumbnail was cached
    age(dir + "/stale~jpg.bmp", 50);
    age(folder->Image(1)->m_strPath, 100);
    age(dir + "/nodat~jpg.bmp", -50);  // after the picture's last change, which is now
    age(folder->Image(2)->m_strPath, 50);
    age(dir + "/same~jpg.bmp", 50);
    age(folder->Image(3)->m_strPath, 100);
    age(dir + "/fresh~jpg.bmp", -50);
    for (const auto& image : folder->m_arrImages) {
        GiveThumbnail(*image, 20, 10, 5, 6, 7);
        image->m_bThumbFromCache = true;
    }

    ThumbnailCache again(root.string());
    again.ReadCacheIndex();
    again.WriteAtClose({folder.get()}, errorSink);
    // Stale: both files go and are not written again in this close.
    EXPECT_FALSE(fs::exists(dir + "/stale~jpg.bmp"));
    EXPECT_FALSE(fs::exists(dir + "/stale~jpg.dat"));
    // Without its text file the pair is written anew from the thumbnail in memory.
    EXPECT_NE(lftest::ReadText(dir + "/nodat~jpg.bmp"), "old bitmap");
    EXPECT_TRUE(ThumbnailCache::Load(folder->Image(1)->m_strPath, "nodat.jpg", dir));
    // A bitmap as old as its picture is stale too (it is never used); a fresh pair stays.
    EXPECT_FALSE(fs::exists(dir + "/same~jpg.bmp"));
    EXPECT_EQ(lftest::ReadText(dir + "/fresh~jpg.bmp"), "old bitmap");

    // A fresh bitmap the thread could not use (its thumbnail was decoded) is replaced.
    folder->Image(3)->m_bThumbFromCache = false;
    again.WriteAtClose({folder.get()}, errorSink);
    EXPECT_TRUE(ThumbnailCache::Load(folder->Image(3)->m_strPath, "fresh.jpg", dir));
}

TEST_F(ThumbnailCacheTest, DeleteCacheTextShowsKilobytesOrMegabytes)
{
    struct Case {
        uint64_t bytes;
        const char* head;
    };
    const Case cases[] = {
        {1536 * 1024, "Disk space currently used by cache: 1.50 MB\n\n"},
        {1024 * 1024, "Disk space currently used by cache: 1024.00 KB\n\n"},
        {1025 * 1024 + 1023, "Disk space currently used by cache: 1.00 MB\n\n"},
        {1023, "Disk space currently used by cache: 0.00 KB\n\n"},
        {uint64_t(6) << 40, "Disk space currently used by cache: 6291456.00 MB\n\n"},
    };
    for (const Case& c : cases) {
        const std::string text = ThumbnailCache::DeleteCacheText(c.bytes);
        EXPECT_EQ(text.substr(0, std::string(c.head).size()), c.head) << c.bytes;
    }
    EXPECT_NE(ThumbnailCache::DeleteCacheText(0).find("browsed.  You can delete"), std::string::npos);
}

TEST_F(ThumbnailCacheTest, MeasuresAndDeletesOnlyTheCacheFolders)
{
    ThumbnailCache cache(root.string());
    EXPECT_FALSE(cache.MeasureBytes());  // no root: nothing to measure
    EXPECT_FALSE(cache.DeleteFiles());

    fs::create_directories(Dir(1));
    fs::create_directories(Dir(2));
    lftest::WriteText(Dir(1) + "/a~jpg.bmp", std::string(1000, 'a'));
    lftest::WriteText(Dir(2) + "/b~jpg.dat", std::string(24, 'b'));
    lftest::WriteText(root / "qkcache.xml", std::string(5000, 'x'));  // files in the root do not count
    // A sparse file beyond 4 GiB: the sum must not wrap at 32 bits.
    {
        FILE* f = std::fopen((Dir(2) + "/big~jpg.bmp").c_str(), "wb");
        ASSERT_TRUE(f);
        ASSERT_EQ(::ftruncate(fileno(f), off_t(5) << 30), 0);
        std::fclose(f);
    }
    // A link to a folder outside is neither measured nor followed when deleting.
    TempDir outside;
    lftest::WriteText(outside / "keep.jpg", "precious");
    fs::create_directory_symlink(outside.path(), root / "link");

    const auto bytes = cache.MeasureBytes();
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, 1024u + (uint64_t(5) << 30));

    EXPECT_TRUE(cache.DeleteFiles());
    EXPECT_FALSE(fs::exists(Dir(1)));
    EXPECT_FALSE(fs::exists(Dir(2)));
    EXPECT_FALSE(fs::exists(root / "qkcache.xml"));
    EXPECT_TRUE(fs::exists(outside / "keep.jpg"));
}

}  // namespace

namespace {

TEST_F(ThumbnailCacheTest, ThumbnailOfAnImageRewrittenSinceItsListingIsNotCached)
{
    auto folder = FolderOf(images.path(), {"old.jpg", "same.jpg"});
    for (const auto& image : folder->m_arrImages) {
        lftest::WriteText(image->m_strPath, "bytes");
        lftest::SetFileTime(image->m_strPath, -100);
        GiveThumbnail(*image, 20, 10, 1, 2, 3);
    }
    struct stat st {};
    ASSERT_EQ(::stat(folder->Image(1)->m_strPath.c_str(), &st), 0);
    const int64_t listed = int64_t(st.st_mtim.tv_sec) * 1000000000;
    folder->Image(0)->m_tLastWrite = listed - int64_t(50) * 1000000000;  // listed before a rewrite
    folder->Image(1)->m_tLastWrite = listed + st.st_mtim.tv_nsec;
    for (const auto& image : folder->m_arrImages)
        image->m_nSize = 5;
    ThumbnailCache cache(root.string());
    cache.WriteAtClose({folder.get()}, errorSink);
    EXPECT_FALSE(fs::exists(Dir(1) + "/old~jpg.bmp"));
    EXPECT_TRUE(fs::exists(Dir(1) + "/same~jpg.bmp"));
}

}  // namespace

namespace {

TEST_F(ThumbnailCacheTest, AnEntryThatCannotBeUsedIsRebuiltFromThePictureAtClose)
{
    // The thread decoded the picture because the cached bitmap was garbled: the close
    // writes the new one over it, and the next showing takes it from the cache.
    auto folder = FolderOf(images.path(), {"p.jpg"});
    lftest::WriteText(folder->Image(0)->m_strPath, "bytes");
    lftest::SetFileTime(folder->Image(0)->m_strPath, -100);
    ThumbnailCache cache(root.string());
    cache.WriteAtClose({folder.get()}, errorSink);
    const std::string bmp = Dir(1) + "/p~jpg.bmp";
    lftest::WriteText(bmp, "BM garbled");
    lftest::WriteText(Dir(1) + "/p~jpg.dat", "<XML><WIDTH>30</WIDTH><HEIGHT>20</HEIGHT></XML>");
    ASSERT_FALSE(ThumbnailCache::Load(folder->Image(0)->m_strPath, "p.jpg", Dir(1)));
    GiveThumbnail(*folder->Image(0), 30, 20, 9, 9, 9);
    folder->Image(0)->m_bThumbFromCache = false;
    ThumbnailCache again(root.string());
    again.ReadCacheIndex();
    again.WriteAtClose({folder.get()}, errorSink);
    EXPECT_TRUE(ThumbnailCache::Load(folder->Image(0)->m_strPath, "p.jpg", Dir(1)));
}

TEST_F(ThumbnailCacheTest, TheWholeCachePathIsMadeOnAFreshAccount)
{
    // No ~/.local/share yet: every folder up to the cache root is made.
    const fs::path deep = root / "local" / "share" / "Lanternfolio";
    auto folder = FolderOf(images.path(), {"p.jpg"});
    lftest::WriteText(folder->Image(0)->m_strPath, "bytes");
    lftest::SetFileTime(folder->Image(0)->m_strPath, -100);
    GiveThumbnail(*folder->Image(0), 30, 20, 9, 9, 9);
    ThumbnailCache cache(deep.string());
    cache.ReadCacheIndex();
    cache.WriteAtClose({folder.get()}, errorSink);
    EXPECT_EQ(cache.WriteProblem(), "");
    EXPECT_TRUE(fs::is_regular_file(deep / "qkcache.xml"));
    EXPECT_TRUE(fs::is_regular_file(deep / "dir-1" / "p~jpg.bmp"));

    // A root that cannot be made is a failure with its reason, not a silent success.
    lftest::WriteText(root / "file", "x");
    ThumbnailCache blocked((root / "file" / "Lanternfolio").string());
    blocked.WriteAtClose({folder.get()}, errorSink);
    EXPECT_NE(blocked.WriteProblem(), "");
}

TEST_F(ThumbnailCacheTest, LeftoversOfAKilledCloseGoAtStartOnlyInsideTheCache)
{
    fs::create_directories(Dir(1));
    fs::create_directories(Dir(2));
    lftest::WriteText(root / "qkcache.xml", "<XML>" + Block("/photos", Dir(1), 1) + "</XML>");
    lftest::WriteText(Dir(1) + "/p~jpg.bmp", "kept");
    lftest::WriteText(Dir(1) + "/.p~jpg.bmp.tmp-Ab12Cd", "torn");
    lftest::WriteText(root / ".qkcache.xml.tmp-xY9z8W", "torn");
    lftest::WriteText(Dir(2) + "/q~jpg.bmp", "unnamed folder");
    // Links out of the cache are never followed: what they point to stays.
    TempDir outside;
    lftest::WriteText(outside / "keep.jpg", "user's");
    lftest::WriteText(outside / ".keep.jpg.tmp-Ab12Cd", "user's too");
    fs::create_directory_symlink(outside.path(), Dir(3));
    fs::create_symlink(outside / ".keep.jpg.tmp-Ab12Cd", root / ".link.tmp-Qw12Er");

    ThumbnailCache cache(root.string());
    cache.ReadCacheIndex();
    EXPECT_EQ(lftest::ReadText(Dir(1) + "/p~jpg.bmp"), "kept");
    EXPECT_FALSE(fs::exists(Dir(1) + "/.p~jpg.bmp.tmp-Ab12Cd"));
    EXPECT_FALSE(fs::exists(root / ".qkcache.xml.tmp-xY9z8W"));
    EXPECT_FALSE(fs::exists(Dir(2)));
    EXPECT_TRUE(fs::is_symlink(Dir(3)));
    EXPECT_TRUE(fs::is_symlink(root / ".link.tmp-Qw12Er"));
    EXPECT_EQ(lftest::ReadText(outside / "keep.jpg"), "user's");
    EXPECT_EQ(lftest::ReadText(outside / ".keep.jpg.tmp-Ab12Cd"), "user's too");
}

TEST_F(ThumbnailCacheTest, AnIndexThatCannotBeReadIsLeftWithTheWholeCache)
{
    fs::create_directories(Dir(2));
    fs::create_directories(root / "qkcache.xml");  // a folder in place of the index
    lftest::WriteText(Dir(2) + "/q~jpg.bmp", "someone's");
    ThumbnailCache cache(root.string());
    cache.ReadCacheIndex();
    EXPECT_FALSE(cache.IndexProblem().empty());
    auto folder = FolderOf(images.path(), {});
    cache.WriteAtClose({folder.get()}, errorSink);
    EXPECT_TRUE(fs::is_directory(root / "qkcache.xml"));
    EXPECT_EQ(lftest::ReadText(Dir(2) + "/q~jpg.bmp"), "someone's");
    EXPECT_FALSE(fs::exists(Dir(1)));
}

}  // namespace

namespace {

// A picture replaced by another of the same size and last write (a copy keeping the
// times: in place as cp -p does, or renamed over it as rsync -t does) is no longer shown
// from the cache, and the close writes the thumbnail decoded from the new picture.
TEST_F(ThumbnailCacheTest, APictureReplacedWithTheSameSizeAndTimeIsDecodedAndRecachedAtClose)
{
    struct Case {
        const char* what;
        bool renamed;  // a new file renamed over the old one, else rewritten in place
    };
    for (const Case c : {Case{"in place", false}, Case{"renamed over it", true}}) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root);
        const fs::path picture = images / "p.jpg";
        lftest::WriteText(picture, "old picture");
        lftest::SetFileTime(picture, -100);
        auto list = [&](CImageItem& image) {
            struct stat st {};
            ASSERT_EQ(::stat(picture.c_str(), &st), 0);
            image.SetFileStamp(st);
            image.m_nSize = int64_t(st.st_size);
        };
        auto folder = FolderOf(images.path(), {"p.jpg"});
        CImageItem& image = *folder->Image(0);
        list(image);
        GiveThumbnail(image, 30, 20, 200, 0, 0);
        {
            ThumbnailCache cache(root.string());
            cache.WriteAtClose({folder.get()}, errorSink);
        }
        ASSERT_TRUE(ThumbnailCache::Load(picture.string(), "p.jpg", Dir(1)));

        // The same size and the same last write, to the nanosecond.
        struct stat before {};
        ASSERT_EQ(::stat(picture.c_str(), &before), 0);
        const fs::path written = c.renamed ? images / "p.jpg.part" : picture;
        lftest::WriteText(written, "new picture");
        const timespec times[2] = {before.st_atim, before.st_mtim};
        // The kernel stamps a change with a clock of a few milliseconds' grain: the copy
        // is told apart once its change lies in another tick than the first write's.
        for (struct stat now {}; ::utimensat(AT_FDCWD, written.c_str(), times, 0) == 0 &&
                                 ::stat(written.c_str(), &now) == 0 && now.st_ctim.tv_sec == before.st_ctim.tv_sec &&
                                 now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (c.renamed)
            fs::rename(written, picture);
        EXPECT_FALSE(ThumbnailCache::Load(picture.string(), "p.jpg", Dir(1))) << "the old thumbnail stays";

        // The next run lists and decodes the new picture; its close replaces the pair.
        auto next = FolderOf(images.path(), {"p.jpg"});
        list(*next->Image(0));
        GiveThumbnail(*next->Image(0), 30, 20, 0, 0, 200);
        ThumbnailCache cache(root.string());
        cache.ReadCacheIndex();
        cache.WriteAtClose({next.get()}, errorSink);
        const auto cached = ThumbnailCache::Load(picture.string(), "p.jpg", Dir(1));
        ASSERT_TRUE(cached) << "not cached again at that close";
        EXPECT_EQ(cached->thumbnails.fitted->rgb, next->Image(0)->GetThumbnail()->rgb);
    }
}

}  // namespace
