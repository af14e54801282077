#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "config/arp_settings.h"
#include "config/reg_value.h"

namespace {

// Each test works under a key of its own in the current user's hive, removed before and after.
const char* const kTestKey = "Software\\XirArpTests\\Registry";

class RegistryTest : public testing::Test {
protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\XirArpTests"); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\XirArpTests"); }

    static std::string path(const char* valueName) { return std::string(kTestKey) + "\\" + valueName; }

    static void setRaw(const char* valueName, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // Type and bytes as the registry holds them; type REG_NONE and empty when absent.
    static std::pair<DWORD, std::string> getRaw(const char* valueName) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return {REG_NONE, ""};
        DWORD type = REG_NONE, size = 0;
        std::string bytes;
        if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            bytes.resize(size);
            RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
        } else {
            type = REG_NONE;
        }
        RegCloseKey(key);
        return {type, bytes};
    }
};

}  // namespace

TEST_F(RegistryTest, MissingValuesGiveTheirDefaults) {
    EXPECT_EQ(static_cast<uint32_t>(CRegDwordValue(path("timer").c_str(), 99)), 99u);
    EXPECT_EQ(static_cast<std::string>(CRegStringValue(path("gwip").c_str(), "none")), "none");
}

TEST_F(RegistryTest, WritesDwordsAndStringsWithTheirTypes) {
    CRegDwordValue timer(path("timer").c_str(), 0);
    timer = 300;
    CRegStringValue gwip(path("gwip").c_str(), "");
    gwip = "192.168.1.1";

    auto storedTimer = getRaw("timer");
    EXPECT_EQ(storedTimer.first, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(storedTimer.second, std::string("\x2c\x01\x00\x00", 4));
    auto storedIp = getRaw("gwip");
    EXPECT_EQ(storedIp.first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(storedIp.second, std::string("192.168.1.1\0", 12));

    EXPECT_EQ(static_cast<uint32_t>(CRegDwordValue(path("timer").c_str(), 0)), 300u);
    EXPECT_EQ(static_cast<std::string>(CRegStringValue(path("gwip").c_str(), "")), "192.168.1.1");
}

TEST_F(RegistryTest, AssigningTheCachedValueWritesNothingButWriteStores) {
    // A missing value compares as 0: assigning 0 stores nothing.
    CRegDwordValue language(path("language").c_str(), 0);
    language = 0;
    EXPECT_EQ(getRaw("language").first, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(language.write(), ERROR_SUCCESS);
    EXPECT_EQ(getRaw("language").first, static_cast<DWORD>(REG_DWORD));

    // The cached value is what was read at construction, so an outside change is not noticed.
    CRegStringValue pwd(path("pwd").c_str(), "");
    setRaw("pwd", REG_SZ, "changed", 8);
    pwd = "";
    EXPECT_EQ(getRaw("pwd").second, std::string("changed\0", 8));
    pwd = "";
    pwd.write();
    EXPECT_EQ(getRaw("pwd").second, std::string("\0", 1));
}

TEST_F(RegistryTest, ValuesOfTheWrongTypeCountAsMissing) {
    setRaw("text", REG_SZ, "60", 3);  // not the number 0x3036
    EXPECT_EQ(static_cast<uint32_t>(CRegDwordValue(path("text").c_str(), 7)), 7u);
    setRaw("short", REG_DWORD, "\x2c\x01", 2);
    EXPECT_EQ(static_cast<uint32_t>(CRegDwordValue(path("short").c_str(), 7)), 7u);
    setRaw("binary", REG_BINARY, "\x2c\x01\x00\x00", 4);
    EXPECT_EQ(static_cast<uint32_t>(CRegDwordValue(path("binary").c_str(), 7)), 7u);
    for (DWORD type : {DWORD(REG_DWORD), DWORD(REG_BINARY), DWORD(REG_EXPAND_SZ), DWORD(REG_MULTI_SZ)}) {
        setRaw("texts", type, "abc\0", 4);
        EXPECT_EQ(static_cast<std::string>(CRegStringValue(path("texts").c_str(), "none")), "none") << type;
    }

    setRaw("unterminated", REG_SZ, "abc", 3);
    EXPECT_EQ(static_cast<std::string>(CRegStringValue(path("unterminated").c_str(), "")), "abc");
}

TEST_F(RegistryTest, HugeStringsAreReadWithoutOverflow) {
    std::string huge(1024 * 1024, 'x');
    setRaw("huge", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
    EXPECT_EQ(static_cast<std::string>(CRegStringValue(path("huge").c_str(), "")), huge);
    EXPECT_EQ(static_cast<uint32_t>(CRegDwordValue(path("huge").c_str(), 5)), 5u);
}

TEST_F(RegistryTest, RemoveKeyDeletesTheWholeTree) {
    CRegStringValue(path("a").c_str(), "").write();
    setRaw("b", REG_SZ, "b", 2);
    HKEY sub;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\XirArpTests\\Other\\Deeper", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(sub);

    CRegDwordValue parent("Software\\XirArpTests\\Registry", 0);  // sub key "Software\XirArpTests"
    EXPECT_EQ(parent.removeKey(), ERROR_SUCCESS);
    HKEY gone;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\XirArpTests", 0, KEY_READ, &gone), ERROR_SUCCESS);
}
