#include "upload/model/UploadCommandRecord.h"

#include <cstdio>
#include <cstring>

namespace UploadCommandRecord {

namespace {

void PutHead(std::vector<char>& record, std::string_view command, std::optional<int64_t> argument)
{
    std::memcpy(record.data(), command.data(), std::min<size_t>(command.size(), 5));
    if (argument) {
        char digits[24];
        const int length = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(*argument));
        std::memcpy(record.data() + kArgumentOffset, digits, std::min<size_t>(length, 18));
    }
}

}  // namespace

std::optional<std::vector<char>> Text(std::string_view command, std::optional<int64_t> argument,
                                      std::string_view payload)
{
    if (payload.size() > kMaxTextPayload)
        return std::nullopt;
    std::vector<char> record(kRecordSize, 0);
    PutHead(record, command, argument);
    std::memcpy(record.data() + kPayloadOffset, payload.data(), payload.size());
    return record;
}

std::vector<char> FileChunk(const char* data, size_t n)
{
    if (n > kMaxChunk)
        n = kMaxChunk;
    std::vector<char> record(FileChunkLength(n), 0);
    PutHead(record, "FILEC", static_cast<int64_t>(n));
    if (n)
        std::memcpy(record.data() + kPayloadOffset, data, n);
    return record;
}

}  // namespace UploadCommandRecord
