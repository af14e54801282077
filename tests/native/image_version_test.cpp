#include <gtest/gtest.h>

#include <string>

#include "service/image_version.h"

namespace {

// The fixed part of a version resource for 1.2.3.4, behind the given number of bytes.
std::string fixedInfoAt(size_t at) {
    return std::string(at, 'x') + std::string("\xBD\x04\xEF\xFE\0\0\1\0\2\0\1\0\4\0\3\0", 16);
}

}  // namespace

TEST(ImageVersion, ReadsTheFirstAlignedSignatureOnly) {
    EXPECT_EQ(imageFileVersion(fixedInfoAt(8)), 0x0001000200030004u);
    EXPECT_EQ(imageFileVersion(fixedInfoAt(6)), std::nullopt);                  // off the four-byte boundary
    EXPECT_EQ(imageFileVersion(fixedInfoAt(8).substr(0, 20)), std::nullopt);  // cut inside the version
    EXPECT_EQ(imageFileVersion(""), std::nullopt);
}
