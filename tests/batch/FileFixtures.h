#pragma once
// Small files for the file-operation tests.

#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lftest {

// size bytes of a pattern that differs per file (seed), so copies can be told apart.
inline std::vector<uint8_t> PatternBytes(size_t size, unsigned seed)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t((i * 131 + seed * 17 + (i >> 8)) & 0xFF);
    return bytes;
}

inline bool Exists(const std::filesystem::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The names in a folder, leftovers such as temporary files included.
inline std::vector<std::string> Listing(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline void MakeReadOnly(const std::filesystem::path& path) { ::chmod(path.c_str(), 0444); }

}  // namespace lftest
