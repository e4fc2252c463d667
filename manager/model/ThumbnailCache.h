#pragma once
// The manager's thumbnail cache under <application data>/Lanternfolio: the index
// "qkcache.xml" maps each image folder to a cache folder "dir-N"; per image the cache
// folder holds "name~ext.bmp" (the fitted thumbnail) and "name~ext.dat" (pixel size,
// keywords, description). The document reads the index at start and writes the files
// at close; the thumbnail thread reads the per-image files.
//
// Everything here is silent about file-system failures: a cache that cannot be read
// only makes the thumbnail thread decode the images.

#include "manager/model/ThumbnailMaker.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CFolderItem;
class CImageItem;

class ThumbnailCache {
public:
    struct Entry {
        std::string diskPath;   // the image folder
        std::string cacheDir;   // its cache folder
    };

    // root: the cache folder itself (<application data>/Lanternfolio).
    explicit ThumbnailCache(std::string root);

    const std::string& Root() const { return m_root; }
    std::string IndexPath() const;

    // Replaces the entries by those of the index file (none when it cannot be read), then
    // removes what a killed close left: cache folders the index does not name and the
    // writer's temporaries. An index that exists but cannot be read is left, with
    // everything in the cache, and IndexProblem() says why.
    void ReadCacheIndex();
    const std::string& IndexProblem() const { return m_indexProblem; }
    // Appends the pair when both texts are non-empty.
    void AddCacheEntry(const std::string& diskPath, const std::string& cacheDir);
    // The cache folder of the first entry whose disk path equals folderPath byte for
    // byte; empty when there is none.
    std::string GetCacheDirName(const std::string& folderPath) const;
    const std::vector<Entry>& Entries() const { return m_entries; }

    // The entries of an index text. A block cut off or lacking a tag ends the list;
    // a cache folder that does not lie directly in root is not taken.
    static std::vector<Entry> ParseIndex(const std::string& text, const std::string& root);
    // Paths go into the index with &, < and > escaped, so no path can break a tag.
    static std::string EscapeText(const std::string& text);
    static std::string UnescapeText(const std::string& text);

    // The close: per-image files of every folder (in list order; a stale pair is replaced
    // by the thumbnail decoded in this run, or removed without one), then the index, which
    // keeps the blocks of entries no folder matched with a count of 0. folderError gets
    // "ERROR: File exists but not directory" for a cache path that is not a folder.
    // Nothing is written over an index that could not be read. The reason the cache could
    // not be written (its folder, or its index) is in WriteProblem() afterwards.
    void WriteAtClose(const std::vector<const CFolderItem*>& folders,
                      const std::function<void(const std::string&)>& folderError);
    const std::string& WriteProblem() const { return m_writeProblem; }

    // Per-image file names: photo.jpg gives <cacheDir>/photo~jpg.bmp and .dat.
    static std::string BitmapPath(const std::string& cacheDir, const std::string& imageName);
    static std::string DataPath(const std::string& cacheDir, const std::string& imageName);

    // A cached thumbnail: valid when the image, its .bmp and a non-empty .dat exist, the
    // .dat names the image's last write (to the nanosecond), size, last status change and
    // inode (an older .dat: the bitmap was written after the image's last change), and
    // the bitmap decodes to the image's fitted thumbnail size.
    struct Cached {
        thumbs::ThumbnailPair thumbnails;
        int width = 0;   // the image's pixel size from the .dat
        int height = 0;
        std::string keywords;  // the image's notes, kept in the .dat
        std::string description;
    };
    static std::optional<Cached> Load(const std::string& imagePath, const std::string& imageName,
                                      const std::string& cacheDir);

    // True when the image's .dat names the picture it was made from (its last write and
    // size at least) and that is not the picture at imagePath now (see Load); false
    // without a .dat or with one that names none.
    static bool NamesAnotherPicture(const std::string& imagePath, const std::string& imageName,
                                    const std::string& cacheDir);

    // The thumbnail as a packed device-independent bitmap (information header and
    // bottom-up 24-bit rows); empty for a thumbnail without pixels.
    static std::vector<uint8_t> BitmapToDIB(const ThumbnailPixels& thumbnail);
    // Writes the file header and the block (atomically). 1 when written, 0 otherwise.
    static int WriteDIBFile(const std::string& path, const std::vector<uint8_t>& dib);
    // The .dat text of a record (its texts as they stand).
    static std::string FormatData(const CImageItem& image);
    // Writes the record's notes into its .dat now, where its cached thumbnail lies; a
    // pixel size the record does not know yet is kept from the file. False when the
    // cache holds no thumbnail of the image (the close then writes both files).
    static bool WriteNotes(const std::string& cacheDir, const CImageItem& image);

    // ---- Delete Cache.
    // Bytes in the cache folders (files directly in the root are not counted); nothing
    // when the root or one of its folders cannot be listed.
    std::optional<uint64_t> MeasureBytes() const;
    // "Disk space currently used by cache: ..." with the explanation.
    static std::string DeleteCacheText(uint64_t bytes);
    // Empties and removes every cache folder, then deletes the index. False (index
    // kept) when a folder cannot be listed.
    bool DeleteFiles() const;

private:
    // A number N whose dir-N is used by no entry, by nothing on disk, and not by taken.
    int FreeFolderNumber(int start, const std::vector<int>& taken) const;
    void WriteFolderFiles(const CFolderItem& folder, const std::string& cacheDir) const;
    void RemoveLeftovers() const;

    std::string m_root;
    std::vector<Entry> m_entries;
    std::string m_indexProblem;
    std::string m_writeProblem;
};
