#pragma once
// Base64 (RFC 2045 alphabet and "=" padding) for the proxy's Basic credentials.
// The MIME form breaks the text after every 72 characters with "\r\n"; the unbroken
// form is for header values, which must stay on one line.

#include <cstddef>
#include <string>

class CBase64Coder {
public:
    virtual ~CBase64Coder() = default;

    // Writes the MIME form of data, NUL-terminated, into output, which must hold
    // EncodedSize(length) bytes. Always true.
    virtual bool Encode(const unsigned char* data, int length, char* output);

    // Room Encode needs: four characters per started group of three bytes, two per
    // line break, one for the terminator.
    static size_t EncodedSize(int length);
    static std::string EncodeMime(const void* data, size_t length);
    static std::string EncodeUnbroken(const void* data, size_t length);

private:
    static std::string EncodeText(const unsigned char* data, size_t length, bool lineBreaks);
};
