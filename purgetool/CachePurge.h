#pragma once
// The purge program's work: empty the manager's session file and remove the
// thumbnail cache folders and the cache index. Symbolic links are never followed:
// a link in the cache is removed as a link, and nothing outside the cache is touched.

#include <cstdio>
#include <string>

class CachePurge {
public:
    // sessionFile: the session file to empty (created when missing);
    // cacheFolder: <application-data>/Lanternfolio.
    CachePurge(std::string sessionFile, std::string cacheFolder);

    // Runs every step; failures of single files are not reported, as a purge that
    // cannot remove something leaves it and goes on.
    void Run() const;

    // The program: when the framework did not initialise, writes the fatal line to err
    // and returns 1 without touching anything; else purges with the given paths, returns 0.
    static int Main(bool frameworkReady, const CachePurge& purge, FILE* err);

private:
    void EmptySessionFile() const;
    void RemoveCacheFolders() const;
    void RemoveCacheIndex() const;

    std::string m_sessionFile;
    std::string m_cacheFolder;
};
