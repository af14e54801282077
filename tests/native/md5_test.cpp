#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "auth/md5.h"

namespace {

std::string hexOf(const void* data, size_t length) {
    char text[kMd5DigestTextSize];
    Md5HexDigest(data, length, text);
    return text;
}

std::string finalHex(Md5Context& context) {
    uint8_t digest[kMd5DigestSize];
    Md5Final(context, digest);
    std::string text;
    char pair[3];
    for (uint8_t byte : digest) {
        snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

std::vector<uint8_t> sampleBytes(size_t length) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(i * 37 + 11);
    return bytes;
}

}  // namespace

TEST(Md5, Rfc1321TestSuite) {
    const struct {
        const char* text;
        const char* digest;
    } kSuite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& entry : kSuite) {
        char text[kMd5DigestTextSize];
        memset(text, 'X', sizeof text);
        Md5HexDigest(entry.text, text);
        EXPECT_STREQ(text, entry.digest) << '"' << entry.text << '"';
    }
}

// Lengths around the point where the padding and bit count no longer fit the last block.
TEST(Md5, PaddingAtBlockBoundaries) {
    const struct {
        size_t length;
        const char* digest;
    } kCases[] = {
        {55, "d872aa0473a24da995ce4ac518ade767"},  {56, "e23567645846677c205de80f9779081b"},
        {57, "1fe5e4a27e12484d7203d0b60c21c51f"},  {63, "4775b66278a8fc132ff80923378216cd"},
        {64, "71e123b70c7aa64826fcfe472694cd1c"},  {65, "5949948f26e35203661075214faa3966"},
        {119, "87f72c7241c5fe218bb4df8c0aba3232"}, {120, "bf240b8b7407fba3805adeec63a03b77"},
        {128, "3e93b378458b77da96b2357c3bda8cc2"}, {200, "f9914cd8b67085ceb02d1eba3ff2dc0c"},
    };
    std::vector<uint8_t> bytes = sampleBytes(200);
    for (const auto& entry : kCases)
        EXPECT_EQ(hexOf(bytes.data(), entry.length), entry.digest) << entry.length << " bytes";
}

TEST(Md5, UpdatesSplitAnywhereGiveTheSameDigest) {
    std::vector<uint8_t> bytes = sampleBytes(200);
    const std::string whole = hexOf(bytes.data(), bytes.size());

    for (size_t first = 0; first <= bytes.size(); ++first) {
        for (size_t second = first; second <= bytes.size(); ++second) {
            Md5Context context;
            Md5Init(context);
            Md5Update(context, bytes.data(), first);
            Md5Update(context, bytes.data() + first, 0);  // an empty update changes nothing
            Md5Update(context, bytes.data() + first, second - first);
            Md5Update(context, bytes.data() + second, bytes.size() - second);
            ASSERT_EQ(finalHex(context), whole) << "split at " << first << " and " << second;
        }
    }

    Md5Context context;
    Md5Init(context);
    for (uint8_t byte : bytes)
        Md5Update(context, &byte, 1);
    EXPECT_EQ(finalHex(context), whole);
}

// A million bytes fed in uneven pieces: the bit count runs past 2^23 and many blocks pass straight through.
TEST(Md5, LongInputInPieces) {
    std::string piece(997, 'a');
    Md5Context context;
    Md5Init(context);
    size_t left = 1000000;
    while (left > 0) {
        size_t length = left < piece.size() ? left : piece.size();
        Md5Update(context, piece.data(), length);
        left -= length;
    }
    EXPECT_EQ(finalHex(context), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, HexDigestStopsAtTheTextsNul) {
    char text[kMd5DigestTextSize];
    Md5HexDigest("abc\0def", text);
    EXPECT_STREQ(text, "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(hexOf("abc\0def", 7), "a5e4d5963ae44c1f4bfb37b1a3d55a3c");
}
