#include "auth/md5.h"

#include <cstring>

namespace {

constexpr uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Rotation amounts, four per round.
constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

uint32_t rotateLeft(uint32_t value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

uint32_t loadLittleEndian(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void storeLittleEndian(uint32_t value, uint8_t* bytes) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

void transform(uint32_t (&state)[4], const uint8_t* block) {
    uint32_t words[16];
    for (int i = 0; i < 16; ++i)
        words[i] = loadLittleEndian(block + 4 * i);

    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int step = 0; step < 64; ++step) {
        int round = step / 16;
        uint32_t mixed;
        int wordIndex;
        switch (round) {
            case 0:
                mixed = (b & c) | (~b & d);
                wordIndex = step;
                break;
            case 1:
                mixed = (b & d) | (c & ~d);
                wordIndex = (5 * step + 1) % 16;
                break;
            case 2:
                mixed = b ^ c ^ d;
                wordIndex = (3 * step + 5) % 16;
                break;
            default:
                mixed = c ^ (b | ~d);
                wordIndex = (7 * step) % 16;
                break;
        }
        uint32_t rotated = rotateLeft(a + mixed + words[wordIndex] + kSines[step], kShifts[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void hexText(const uint8_t (&digest)[kMd5DigestSize], char (&out)[kMd5DigestTextSize]) {
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < kMd5DigestSize; ++i) {
        out[2 * i] = kDigits[digest[i] >> 4];
        out[2 * i + 1] = kDigits[digest[i] & 0x0f];
    }
    out[2 * kMd5DigestSize] = '\0';
}

}  // namespace

void Md5Init(Md5Context& context) {
    context.count[0] = context.count[1] = 0;
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
    memset(context.buffer, 0, sizeof context.buffer);
}

void Md5Update(Md5Context& context, const void* data, size_t length) {
    if (length == 0)
        return;
    const auto* input = static_cast<const uint8_t*>(data);
    uint64_t bits = (static_cast<uint64_t>(context.count[1]) << 32) | context.count[0];
    size_t used = static_cast<size_t>((bits >> 3) & 0x3f);
    bits += static_cast<uint64_t>(length) << 3;
    context.count[0] = static_cast<uint32_t>(bits);
    context.count[1] = static_cast<uint32_t>(bits >> 32);

    size_t room = sizeof context.buffer - used;
    if (length < room) {
        memcpy(context.buffer + used, input, length);
        return;
    }
    memcpy(context.buffer + used, input, room);
    transform(context.state, context.buffer);
    size_t offset = room;
    for (; offset + 64 <= length; offset += 64)
        transform(context.state, input + offset);
    memcpy(context.buffer, input + offset, length - offset);
}

void Md5Final(Md5Context& context, uint8_t (&digest)[kMd5DigestSize]) {
    uint8_t bitCount[8];
    storeLittleEndian(context.count[0], bitCount);
    storeLittleEndian(context.count[1], bitCount + 4);

    // Pad with 0x80 and zeros to 56 bytes modulo 64, then append the bit count of the message.
    static const uint8_t kPadding[64] = {0x80};
    size_t used = (context.count[0] >> 3) & 0x3f;
    size_t padLength = used < 56 ? 56 - used : 120 - used;
    Md5Update(context, kPadding, padLength);
    Md5Update(context, bitCount, sizeof bitCount);

    for (int i = 0; i < 4; ++i)
        storeLittleEndian(context.state[i], digest + 4 * i);
    memset(&context, 0, sizeof context);
}

void Md5HexDigest(const void* data, size_t length, char (&out)[kMd5DigestTextSize]) {
    Md5Context context;
    Md5Init(context);
    Md5Update(context, data, length);
    uint8_t digest[kMd5DigestSize];
    Md5Final(context, digest);
    hexText(digest, out);
}

void Md5HexDigest(const char* text, char (&out)[kMd5DigestTextSize]) {
    Md5HexDigest(text, strlen(text), out);
}
