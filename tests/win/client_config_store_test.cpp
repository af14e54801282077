#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/arp_settings.h"
#include "config/client_config.h"
#include "config/client_config_store.h"
#include "config/reg_value.h"
#include "support/registry.h"
#include "support/seam_guard.h"
#include "sys/system_paths.h"
#include "sys/seams.h"

namespace {

class ImportClientConfig : public CleanSettingsTest {
protected:
    static std::string text(const char* token, const char* syslog = "Collector.example:1514") {
        ArpSettings settings{1, token, "00112233445566778899aabbccddeeff", 10, "0-1a-2b-3c-4d-5e", "10.0.0.138",
                             0, syslog};
        return *formatClientConfig(settings);
    }
    static uint32_t storedNumber(const char* path) { return CRegDwordValue(path, 12345); }
    static std::string storedText(const char* path) { return CRegStringValue(path, "<missing>"); }

    ScopedSeams seams_;
};

}  // namespace

TEST_F(ImportClientConfig, StoresEveryValueWithTheSystemLanguageAndReturnsTheToken) {
    ClientConfigImport imported = importClientConfig(text(kTokenClientBind), 1028, "XirARP-Client");
    EXPECT_TRUE(imported.headerFound);
    EXPECT_EQ(imported.modeToken, kTokenClientBind);
    EXPECT_EQ(imported.language, 2);
    EXPECT_TRUE(messageBoxes().boxes.empty());
    EXPECT_EQ(storedNumber(kLanguageValuePath), 2u);  // the text said 1, the system is Traditional Chinese
    EXPECT_EQ(storedText(kPwdValuePath), "00112233445566778899aabbccddeeff");
    EXPECT_EQ(storedNumber(kTimerValuePath), 10u);
    EXPECT_EQ(storedText(kGwmacValuePath), "0-1a-2b-3c-4d-5e");
    EXPECT_EQ(storedText(kGwipValuePath), "10.0.0.138");
    EXPECT_EQ(storedText(kSyslogValuePath), "Collector.example:1514");  // as the package holds it
}

TEST_F(ImportClientConfig, EnglishIsStoredEvenOverAMissingValue) {
    importClientConfig(text(kTokenClientAsk), 1033, "XirARP-Client");
    EXPECT_EQ(storedNumber(kLanguageValuePath), 0u);
}

TEST_F(ImportClientConfig, OverwritesWhatTheClientMachineChanged) {
    CRegStringValue(kPwdValuePath, "") = std::string("ffffffffffffffffffffffffffffffff");
    CRegDwordValue(kTimerValuePath, 0) = 10u;  // the same value: still written again
    CRegStringValue(kSyslogValuePath, "") = std::string("udp://old.example");
    importClientConfig(text(kTokenClientAsk, ""), 2052, "XirARP-Client");
    EXPECT_EQ(storedText(kSyslogValuePath), "<missing>");  // a package without a collector leaves none
    EXPECT_EQ(storedText(kPwdValuePath), "00112233445566778899aabbccddeeff");
    EXPECT_EQ(storedNumber(kTimerValuePath), 10u);
    EXPECT_EQ(storedNumber(kLanguageValuePath), 1u);
}

TEST_F(ImportClientConfig, WithoutHeaderNothingIsStoredOrShown) {
    ClientConfigImport imported = importClientConfig(std::string("\x01\x02 no header", 12), 1033, "XirARP-Client");
    EXPECT_FALSE(imported.headerFound);
    EXPECT_TRUE(imported.modeToken.empty());
    EXPECT_TRUE(messageBoxes().boxes.empty());
    EXPECT_FALSE(settingsKeyExists());
}

TEST_F(ImportClientConfig, ReportsEachMissingKeyOnceAndStoresNothingForIt) {
    std::string trailer = text(kTokenClientBind);
    trailer.erase(trailer.find("\"mode\""), trailer.find("\"pwd\"") - trailer.find("\"mode\""));
    trailer.erase(trailer.find("\"timer\""), trailer.find("\"gwmac\"") - trailer.find("\"timer\""));
    ClientConfigImport imported = importClientConfig(trailer, 1033, "My Client");
    ASSERT_EQ(messageBoxes().boxes.size(), 2u);
    for (const ShownBox& shown : messageBoxes().boxes) {
        EXPECT_EQ(shown.text, "parse configuration fail!!");
        EXPECT_EQ(shown.caption, "My Client");
        EXPECT_EQ(shown.flags, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_TRUE(imported.modeToken.empty());
    EXPECT_EQ(storedNumber(kTimerValuePath), 12345u);
    EXPECT_EQ(storedText(kPwdValuePath), "00112233445566778899aabbccddeeff");
    EXPECT_EQ(storedText(kGwipValuePath), "10.0.0.138");
}

TEST_F(ImportClientConfig, HostileValuesAreStoredAsTextWithoutHarm) {
    std::string huge(1024 * 1024, '9');
    std::string trailer = std::string(kConfigSectionHeader) + "\n\"language\"=dword:7\n\"mode\"=\"" + huge +
                          "\"\n\"pwd\"=\"\"\n\"timer\"=dword:-2147483648\n\"gwmac\"=\"2:fc:0:0:0:5\"\n\"gwip\"=\"x";
    ClientConfigImport imported = importClientConfig(trailer, 1033, "XirARP-Client");
    EXPECT_EQ(imported.modeToken, huge);
    EXPECT_TRUE(messageBoxes().boxes.empty());
    EXPECT_EQ(storedText(kGwmacValuePath), "2:fc:0:0:0:5");
    EXPECT_EQ(storedText(kGwipValuePath), "x");
    EXPECT_EQ(storedText(kPwdValuePath), "");
    EXPECT_EQ(storedNumber(kTimerValuePath), 0x80000000u);
}

// A package an older version made from an unanswered gateway would cut every user off it; one whose MAC cannot be
// read (a blank the reader once trimmed) would pair its gateway with the machine's older MAC; one whose collector
// the sender refuses is as damaged.
TEST_F(ImportClientConfig, ANullOrUnreadableGatewayMacOrARefusedCollectorStoresNothingAndWarns) {
    const struct {
        const char* gwmac;
        const char* text;
        const char* caption;
        const char* syslog = "";
    } kCases[] = {
        {"0-0-0-0-0-0", "閘道MAC位址不能是 00-00-00-00-00-00、廣播位址或群播位址 !", "WARNING"},
        {" 02-FC-00-00-00-05", "parse configuration fail!!", "XirARP-Client"},
        {"02-FC-00-00-00-05", "parse configuration fail!!", "XirARP-Client", "tls://collector.example"},
    };
    for (const auto& entry : kCases) {
        removeProgramSettings();
        messageBoxes().boxes.clear();
        ArpSettings settings{1,          kTokenClientBind, "00112233445566778899aabbccddeeff", 10, entry.gwmac,
                             "10.0.0.138", 0,              entry.syslog};
        ClientConfigImport imported = importClientConfig(*formatClientConfig(settings), 1028, "XirARP-Client");
        EXPECT_EQ(imported.modeToken, kTokenClientBind);  // still a locked client, with what the machine had
        expectOneBox(nullptr, entry.text, entry.caption, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_FALSE(settingsKeyExists()) << entry.gwmac;
    }
}

TEST(AppendClientConfig, AppendsTheTextToAnExistingFileOnly) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "append-test.exe";
    std::string missing = std::string(folder) + "append-missing.exe";
    DeleteFileA(missing.c_str());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(file, "MZimage", 7, &written, nullptr);
    CloseHandle(file);

    const std::wstring widePath(path.begin(), path.end());
    EXPECT_TRUE(appendClientConfig(widePath, "tail\r\n"));
    EXPECT_FALSE(appendClientConfig(std::wstring(missing.begin(), missing.end()), "tail"));
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);

    char content[32] = {};
    file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ReadFile(file, content, sizeof content, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(content, written), "MZimagetail\r\n");

    // Another writer holding the file keeps the append out.
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(appendClientConfig(widePath, "more"));
    CloseHandle(holder);
    DeleteFileA(path.c_str());
}

TEST(ApplicationName, IsTheFileNameWithoutFolderAndExtension) {
    EXPECT_EQ(fileStem(L"C:\\dir\\XirARP-Client.exe"), L"XirARP-Client");
    EXPECT_EQ(fileStem(L"C:\\a.b\\Gateway Guard.v2.exe"), L"Gateway Guard.v2");
    EXPECT_EQ(fileStem(L"C:\\张三\\客户端.exe"), L"客户端");
    EXPECT_EQ(fileStem(L"noextension"), L"noextension");
    EXPECT_EQ(applicationName(), L"xirarp_win_tests");
}
