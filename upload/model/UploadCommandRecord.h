#pragma once
// The client's records on the upload connection: five command letters, a decimal
// argument at offset 5, a payload at offset 24, all zero-filled to the record length.
// Every record is 256 bytes except FILEC, which is the smallest multiple of 256
// strictly above 24 + its data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace UploadCommandRecord {

constexpr size_t kRecordSize = 256;
constexpr size_t kArgumentOffset = 5;
constexpr size_t kPayloadOffset = 24;
// The longest text payload; the room of a 256-byte record, less its terminator.
constexpr size_t kMaxTextPayload = kRecordSize - kPayloadOffset - 1;
constexpr size_t kMaxChunk = 10240;

// Length of a FILEC record with n data bytes.
constexpr size_t FileChunkLength(size_t n) { return 24 + n + 256 - ((24 + n) % 256); }

// A 256-byte record; argument only when given. Nothing when the payload does not fit
// (callers refuse such texts before they reach the wire).
std::optional<std::vector<char>> Text(std::string_view command, std::optional<int64_t> argument,
                                      std::string_view payload);
// A FILEC record carrying data (at most kMaxChunk bytes).
std::vector<char> FileChunk(const char* data, size_t n);

}  // namespace UploadCommandRecord
