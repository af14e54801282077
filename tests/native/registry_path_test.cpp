#include <gtest/gtest.h>

#include "config/registry_path.h"
#include "config/arp_settings.h"

TEST(SplitRegistryPath, SplitsAtTheLastBackslash) {
    RegistryPath path = splitRegistryPath("Software\\Xir\\XirARP\\timer");
    EXPECT_EQ(path.subKey, "Software\\Xir\\XirARP");
    EXPECT_EQ(path.valueName, "timer");
}

TEST(SplitRegistryPath, DropsSurplusBackslashes) {
    RegistryPath path = splitRegistryPath("\\\\Software\\Xir\\\\\\language");
    EXPECT_EQ(path.subKey, "Software\\Xir");
    EXPECT_EQ(path.valueName, "language");

    RegistryPath trailing = splitRegistryPath("Software\\Xir\\");
    EXPECT_EQ(trailing.subKey, "Software\\Xir");
    EXPECT_EQ(trailing.valueName, "");

    RegistryPath bare = splitRegistryPath("\\value");
    EXPECT_EQ(bare.subKey, "");
    EXPECT_EQ(bare.valueName, "value");
}

TEST(SystemUiLanguage, MapsTheTwoChineseLanguagesAndEverythingElseToEnglish) {
    EXPECT_EQ(systemUiLanguage(2052), SimplifiedChinese);
    EXPECT_EQ(systemUiLanguage(1028), TraditionalChinese);
    EXPECT_EQ(systemUiLanguage(1033), English);
    EXPECT_EQ(systemUiLanguage(3076), English);  // Chinese, Hong Kong
    EXPECT_EQ(systemUiLanguage(0), English);
}

TEST(TextLanguageId, AnyNumberButOneAndTwoIsEnglish) {
    EXPECT_EQ(textLanguageId(0), 1033);
    EXPECT_EQ(textLanguageId(1), 2052);
    EXPECT_EQ(textLanguageId(2), 1028);
    EXPECT_EQ(textLanguageId(-1), 1033);
    EXPECT_EQ(textLanguageId(99), 1033);
}
