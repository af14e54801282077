#pragma once
#include <cstddef>
#include <cstdint>

// MD5 message digest (RFC 1321).
struct Md5Context {
    uint32_t count[2];  // bits processed so far, low word first
    uint32_t state[4];  // chaining words A, B, C, D
    uint8_t buffer[64];
};

constexpr size_t kMd5DigestSize = 16;
constexpr size_t kMd5DigestTextSize = 33;  // 32 lower-case hex digits and the terminating NUL

void Md5Init(Md5Context& context);
void Md5Update(Md5Context& context, const void* data, size_t length);
// Writes the digest and wipes the context; initialise it again before reuse.
void Md5Final(Md5Context& context, uint8_t (&digest)[kMd5DigestSize]);

// Digest of a NUL-terminated text as 32 lower-case hex digits.
void Md5HexDigest(const char* text, char (&out)[kMd5DigestTextSize]);
// The same text form for any bytes, a NUL among them included.
void Md5HexDigest(const void* data, size_t length, char (&out)[kMd5DigestTextSize]);
