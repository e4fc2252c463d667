#include "fuzz/LfFuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace lffuzz {
namespace {

class Scratch {
public:
    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lffuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace

void Check(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

const std::string& ScratchDir()
{
    static const Scratch scratch;
    return scratch.Path();
}

std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = ScratchDir() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();  // the harness itself is broken
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    return path;
}

}  // namespace lffuzz
