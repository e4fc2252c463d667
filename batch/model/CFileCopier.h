#pragma once
// Copies one file to another path and leaves an English error text when it fails.
// The source is opened first and only for reading; the copy is written to a temporary
// file beside the destination, which takes the destination's name only once every
// byte is written and synced, so a failure never leaves an empty or partial
// destination and never harms an existing one. Holes of a sparse source stay holes.
// A source written to while it is copied gives no copy.

#include "batch/model/FileTransfer.h"

#include <cstdint>
#include <cstdio>
#include <string>

class CFileCopier {
public:
    CFileCopier() = default;
    virtual ~CFileCopier();
    CFileCopier(const CFileCopier&) = delete;
    CFileCopier& operator=(const CFileCopier&) = delete;

    // Copies the source from sourceOffset to its end, writing from destinationOffset of
    // a new destination (the bytes before it read as zeros). Without overwrite an
    // existing destination is refused; with it, replaced, unless it is read-only, a
    // folder, or the source itself. True when every byte was written; false with
    // ErrorText() set, and DestinationFailed() when the destination could not be made.
    bool Copy(std::string sourcePath, std::string destinationPath, bool overwrite, uint64_t sourceOffset = 0,
              uint64_t destinationOffset = 0);

    const std::string& ErrorText() const { return m_strError; }
    bool DestinationFailed() const { return m_bDestinationFailed; }
    // Bytes of the source copied by the last Copy, counted from the source offset.
    uint64_t Position() const { return m_nPosition; }
    // The source file the last successful Copy read, as it was opened.
    const FileIdentity& SourceIdentity() const { return m_sourceIdentity; }

    static constexpr size_t kChunkSize = 4096;
    static constexpr const char* kNoSource = "You have missed to give source information.";
    static constexpr const char* kNoDestination = "You have missed to give destination information.";
    static constexpr const char* kDestinationExists = "The specified destination file already exists.";
    static constexpr const char* kCannotOverwrite = "The specified destination existing file can not overwrite.";
    static constexpr const char* kSourceProblem = "The specified source file not found or there have source problem ";
    static constexpr const char* kCopyProblem = "There have problem to make into out source.";

private:
    bool Fail(const char* text, bool destinationFailed = false);
    bool CopyBytes(int source, uint64_t sourceSize, uint64_t sourceOffset, uint64_t destinationOffset,
                   std::FILE* destination);
    void CloseSource();

    char m_buffer[kChunkSize];
    uint64_t m_nSourceSize = 0;
    FileIdentity m_sourceIdentity;
    uint64_t m_nPosition = 0;
    int m_hSource = -1;
    std::string m_strSourcePath;
    std::string m_strDestinationPath;
    std::string m_strError;
    bool m_bDestinationFailed = false;
};
