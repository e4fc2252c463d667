#pragma once
// The session file "qkvex.sess": the upload account, the folders to reopen and the
// connection settings, one KEY=value line each, lines ended by CR LF. The values live
// in the document.

#include <string>

class CQuorixDoc;

class CSessionFile {
public:
    // Reads the file into the document; a missing file leaves the document as it is.
    static void Read(const std::string& path, CQuorixDoc& doc);
    // The full form, written when the document closes. The old file stays when the
    // new one cannot be written completely.
    static bool Write(const std::string& path, const CQuorixDoc& doc);
    // The short form written by Delete Cache: no folders and no proxy lines.
    static bool WriteShort(const std::string& path, const CQuorixDoc& doc);

    static std::string Format(const CQuorixDoc& doc);
    static std::string FormatShort(const CQuorixDoc& doc);
    // The service hosts a SERVER line may name.
    static bool IsAcceptedServer(const std::string& host);

    // Larger files are read only up to this many bytes.
    static constexpr size_t kMaxFileSize = 1 << 20;
};
