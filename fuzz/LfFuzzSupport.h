#pragma once
// What the fuzz targets of the file and reply parsers share: a scratch folder for
// parsers that read a file by name (made once per process under the temporary folder,
// removed with everything in it at exit) and the check that makes the fuzzer keep an
// input whose result breaks a parser's promise.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lffuzz {

// Aborts, naming what failed, when the promise does not hold.
void Check(bool holds, const char* promise);

// The folder, without a trailing slash.
const std::string& ScratchDir();
// Writes the bytes to ScratchDir()/name (replacing it) and returns the path.
std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size);

}  // namespace lffuzz
