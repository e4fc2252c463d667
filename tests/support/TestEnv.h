#pragma once
// Helpers shared by the tests: temporary folders, environment overrides, file bytes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lftest {

// A fresh folder under the system temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    std::filesystem::path operator/(const std::string& leaf) const { return m_path / leaf; }

private:
    std::filesystem::path m_path;
};

// Sets (or with nullopt unsets) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Changes the working directory for the life of the object.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path& dir);
    ~ScopedCwd();
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;

private:
    std::filesystem::path m_old;
};

// Limits the size of files this process may write (writes beyond fail with EFBIG
// instead of raising SIGXFSZ) for the life of the object. A program started meanwhile
// with lftest::Program inherits the limit but not the ignored signal, as from a shell.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(uint64_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    uint64_t m_oldCurrent = 0;
    void (*m_oldHandler)(int) = nullptr;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file);
std::string ReadText(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& file, const std::string& text);

// The picture corpora kept in the repository (tests/corpora/).
std::filesystem::path CorporaDir();

}  // namespace lftest
