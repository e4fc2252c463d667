#pragma once
// The session file "qkvex.sess": the upload account, the folders to reopen and the
// connection settings, one KEY=value line each, lines ended by CR LF.

#include "manager/model/SessionValues.h"

#include <string>
#include <vector>

class CSessionFile {
public:
    // Reads the file into values and returns the folders it names that can be listed,
    // in the file's order; a missing file leaves values as they are and names none. A
    // UTF-8 byte-order mark before the first line is passed over.
    // A file that exists but cannot be read (or is no plain file) names none either, and
    // problem gets the system's reason; a file whose first three lines are not the ones
    // written here, or one too large to be a session, gives problem a reason as well.
    // Such a file is never written over: it holds more than the values read from it.
    static std::vector<std::string> Read(const std::string& path, SessionValues& values,
                                         std::string* problem = nullptr);
    // The full form with the folders to keep, written when the document closes. The old
    // file stays when the new one cannot be written completely, and a file that cannot
    // be read or understood is never replaced; error gets the reason. A byte-order mark
    // the old file began with stays.
    static bool Write(const std::string& path, const SessionValues& values, const std::vector<std::string>& folders,
                      std::string* error = nullptr);
    // The short form written by Delete Cache: no folders and no proxy lines.
    static bool WriteShort(const std::string& path, const SessionValues& values, std::string* error = nullptr);

    static std::string Format(const SessionValues& values, const std::vector<std::string>& folders);
    static std::string FormatShort(const SessionValues& values);
    // The service hosts a SERVER line may name.
    static bool IsAcceptedServer(const std::string& host);

    // Larger files are read only up to this many bytes, and kept.
    static constexpr size_t kMaxFileSize = 1 << 20;
};
