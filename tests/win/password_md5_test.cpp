#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "auth/md5.h"
#include "auth/password.h"

namespace {

// MD5 as Windows' own CryptoAPI computes it: the independent reference for ours.
class CryptoApiMd5 {
  public:
    CryptoApiMd5() { CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT); }
    ~CryptoApiMd5() {
        if (provider_)
            CryptReleaseContext(provider_, 0);
    }
    CryptoApiMd5(const CryptoApiMd5&) = delete;
    CryptoApiMd5& operator=(const CryptoApiMd5&) = delete;

    bool ready() const { return provider_ != 0; }

    std::string hex(const void* data, size_t length) const {
        HCRYPTHASH hash = 0;
        if (!CryptCreateHash(provider_, CALG_MD5, 0, 0, &hash))
            return "<no hash>";
        std::string text = "<failed>";
        BYTE digest[16];
        DWORD size = sizeof digest;
        if (CryptHashData(hash, static_cast<const BYTE*>(data), static_cast<DWORD>(length), 0) &&
            CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) && size == sizeof digest) {
            text.clear();
            char pair[3];
            for (BYTE byte : digest) {
                snprintf(pair, sizeof pair, "%02x", byte);
                text += pair;
            }
        }
        CryptDestroyHash(hash);
        return text;
    }

  private:
    HCRYPTPROV provider_ = 0;
};

std::string ourHex(const void* data, size_t length) {
    char text[kMd5DigestTextSize];
    Md5HexDigest(data, length, text);
    return text;
}

}  // namespace

TEST(Md5AgainstCryptoApi, EveryLengthUpToFiveBlocks) {
    CryptoApiMd5 reference;
    ASSERT_TRUE(reference.ready());
    std::vector<BYTE> bytes(320);
    unsigned seed = 12345;
    for (BYTE& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<BYTE>(seed >> 16);
    }
    for (size_t length = 0; length <= bytes.size(); ++length)
        ASSERT_EQ(ourHex(bytes.data(), length), reference.hex(bytes.data(), length)) << length << " bytes";

    // Fed in uneven pieces that straddle block boundaries.
    Md5Context context;
    Md5Init(context);
    for (size_t offset = 0, piece = 1; offset < bytes.size(); offset += piece, piece = piece * 3 % 71 + 1)
        Md5Update(context, bytes.data() + offset, std::min(piece, bytes.size() - offset));
    uint8_t digest[kMd5DigestSize];
    Md5Final(context, digest);
    char text[kMd5DigestTextSize];
    for (size_t i = 0; i < kMd5DigestSize; ++i)
        snprintf(text + 2 * i, 3, "%02x", digest[i]);
    EXPECT_EQ(std::string(text), reference.hex(bytes.data(), bytes.size()));
}

TEST(Md5AgainstCryptoApi, PasswordDigests) {
    CryptoApiMd5 reference;
    ASSERT_TRUE(reference.ready());
    for (const std::string password : {"mauve", "Mauve", "a", "abcdefghijklmnopqrst", "\xC3\xDC\xC2\xEB 12"}) {
        std::string input = password + "193504118820";
        EXPECT_EQ(PasswordDigest(password), reference.hex(input.data(), input.size())) << password;
    }
    std::string mauve = "mauve193504118820";
    EXPECT_EQ(reference.hex(mauve.data(), mauve.size()), "774481863f1bd36fb2c1af602bfd30e7");
}
