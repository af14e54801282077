#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/seam_guard.h"
#include "sys/seams.h"
#include "sys/win_handles.h"
#include "ui/hyperlink.h"

namespace {

constexpr char kAddress[] = "http://www.example.org/xirarp/";
constexpr char kPageClass[] = "XirArpTest.Page";
constexpr char kPageCommandKey[] = "XirArpTest.Page\\shell\\open\\command";
// Where the fixture keeps the prefix's own ".htm" registrations while a test replaces them.
constexpr char kBackupKey[] = "Software\\XirArpTest\\HtmBackup";

struct Launch {
    std::string text;
    int showCommand;
};

struct Recorder {
    intptr_t shellResult = 0;
    unsigned runResult = 42;
    bool elevated = false;  // under Wine every process is elevated: the fixture answers for itself
    std::vector<Launch> shellCalls;
    std::vector<Launch> runs;
};

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

// The ".htm" registrations of both hives that make up HKEY_CLASSES_ROOT.
struct Hive {
    HKEY root;
    const char* backupName;
};
const Hive kHives[] = {{HKEY_LOCAL_MACHINE, "Machine"}, {HKEY_CURRENT_USER, "User"}};

class HyperLinkTest : public testing::Test {
  protected:
    void SetUp() override {
        // A run that died half-way left the real registrations in the backup: put them back first.
        if (keyExists(HKEY_CURRENT_USER, kBackupKey))
            restoreRegistrations();
        for (const Hive& hive : kHives) {
            UniqueHKey classes = classesKey(hive.root);
            if (!keyExists(classes.get(), ".htm"))
                continue;
            std::string backup = std::string(kBackupKey) + "\\" + hive.backupName;
            UniqueHKey target;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, backup.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                      target.receive(), nullptr),
                      ERROR_SUCCESS);
            ASSERT_EQ(RegCopyTreeA(classes.get(), ".htm", target.get()), ERROR_SUCCESS);
            ASSERT_EQ(SHDeleteKeyA(classes.get(), ".htm"), ERROR_SUCCESS);
        }
        removeTestClass();
        ASSERT_FALSE(keyExists(HKEY_CLASSES_ROOT, ".htm"));

        recorder() = Recorder{};
        seams().shellOpen = [](const char* address, int showCommand) {
            recorder().shellCalls.push_back({address, showCommand});
            return recorder().shellResult;
        };
        seams().runCommand = [](const char* commandLine, int showCommand, ProgramLookup lookup) {
            // A registered browser command names its own program: it is not one of the system folder's.
            EXPECT_EQ(lookup, ProgramLookup::WinExecSearch);
            recorder().runs.push_back({commandLine, showCommand});
            return recorder().runResult;
        };
        seams().processElevated = [] { return recorder().elevated; };
    }

    void TearDown() override { restoreRegistrations(); }

    // HKEY_CLASSES_ROOT\.htm names kPageClass; its open command is `command` unless that is null.
    static void registerPage(const char* command, const char* documentClass = kPageClass) {
        setDefault(".htm", documentClass);
        if (command)
            setDefault(kPageCommandKey, command);
    }

    static void setDefault(const char* subKey, const std::string& value, DWORD type = REG_SZ) {
        UniqueHKey key;
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.receive(), nullptr),
            ERROR_SUCCESS);
        DWORD size = DWORD(value.size() + (type == REG_SZ ? 1 : 0));
        ASSERT_EQ(RegSetValueExA(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()), size),
                  ERROR_SUCCESS);
    }

    static intptr_t openWithShellResult(intptr_t shellResult, const char* address = kAddress) {
        recorder().shellResult = shellResult;
        return CHyperLink().OpenUrl(address, SW_SHOW);
    }

    // The one command line the fallback ran, checked for the show command.
    static std::string onlyRun() {
        const std::vector<Launch>& runs = recorder().runs;
        if (runs.size() != 1) {
            ADD_FAILURE() << runs.size() << " commands ran";
            return {};
        }
        EXPECT_EQ(runs[0].showCommand, SW_SHOW);
        return runs[0].text;
    }

  private:
    static UniqueHKey classesKey(HKEY root) {
        UniqueHKey key;
        RegCreateKeyExA(root, "Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.receive(), nullptr);
        return key;
    }

    static bool keyExists(HKEY root, const char* subKey) {
        UniqueHKey key;
        return root && RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.receive()) == ERROR_SUCCESS;
    }

    static void removeTestClass() {
        for (const Hive& hive : kHives)
            SHDeleteKeyA(classesKey(hive.root).get(), kPageClass);
    }

    static void restoreRegistrations() {
        removeTestClass();
        for (const Hive& hive : kHives) {
            UniqueHKey classes = classesKey(hive.root);
            SHDeleteKeyA(classes.get(), ".htm");
            std::string backup = std::string(kBackupKey) + "\\" + hive.backupName;
            if (!keyExists(HKEY_CURRENT_USER, backup.c_str()))
                continue;
            UniqueHKey target;
            if (RegCreateKeyExA(classes.get(), ".htm", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, target.receive(),
                                nullptr) == ERROR_SUCCESS) {
                EXPECT_EQ(RegCopyTreeA(HKEY_CURRENT_USER, backup.c_str(), target.get()), ERROR_SUCCESS);
            }
        }
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\XirArpTest");
    }

    ScopedSeams seams_;
};

}  // namespace

TEST_F(HyperLinkTest, ShellSuccessIsReturnedWithoutFallback) {
    registerPage("browser.exe \"%1\"");
    // Compared as unsigned: a "negative" code is a handle above 32, not a failure.
    for (intptr_t shellResult : {intptr_t(33), intptr_t(42), intptr_t(0x7FFFFFFF), intptr_t(-1)}) {
        SCOPED_TRACE(shellResult);
        recorder().shellCalls.clear();
        EXPECT_EQ(openWithShellResult(shellResult), shellResult);
        ASSERT_EQ(recorder().shellCalls.size(), 1u);
        EXPECT_EQ(recorder().shellCalls[0].text, kAddress);
        EXPECT_EQ(recorder().shellCalls[0].showCommand, SW_SHOW);
        EXPECT_TRUE(recorder().runs.empty());
    }
}

TEST_F(HyperLinkTest, ShellFailureRunsTheRegisteredCommandWithTheAddress) {
    const struct {
        const char* registered;
        const char* expected;
    } kCases[] = {
        // Quoted placeholder: cut at its opening quote; the space before it stays.
        {"\"C:\\Browser\\browser.exe\" -nohome \"%1\" -tail",
         "\"C:\\Browser\\browser.exe\" -nohome  http://www.example.org/xirarp/"},
        // The quoted one wins even when a bare one comes first.
        {"browser.exe -a %1 -b \"%1\"", "browser.exe -a %1 -b  http://www.example.org/xirarp/"},
        {"C:\\Browser\\browser.exe %1", "C:\\Browser\\browser.exe  http://www.example.org/xirarp/"},
        {"browser.exe -url%1", "browser.exe -url http://www.example.org/xirarp/"},
        {"C:\\Browser\\browser.exe -new", "C:\\Browser\\browser.exe -new http://www.example.org/xirarp/"},
        {"%1", " http://www.example.org/xirarp/"},
    };
    for (const auto& entry : kCases) {
        SCOPED_TRACE(entry.registered);
        registerPage(entry.registered);
        recorder().runs.clear();
        EXPECT_EQ(openWithShellResult(32), 42);
        EXPECT_EQ(onlyRun(), entry.expected);
    }
    // Any code up to 32 is a failure, and the launch's own code comes back unchanged, failure or not.
    registerPage("browser.exe");
    recorder().runResult = ERROR_FILE_NOT_FOUND;
    for (intptr_t shellResult : {0, 2, 31}) {
        recorder().runs.clear();
        EXPECT_EQ(openWithShellResult(shellResult), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(onlyRun(), "browser.exe http://www.example.org/xirarp/");
    }
}

TEST_F(HyperLinkTest, WithoutUsableRegistrationTheShellCodeIsReturned) {
    EXPECT_EQ(openWithShellResult(32), 32) << "no .htm key";
    registerPage(nullptr);
    EXPECT_EQ(openWithShellResult(31), 31) << "class without an open command";
    registerPage(nullptr, "");
    EXPECT_EQ(openWithShellResult(2), 2) << "empty class name";
    // Elevated, the command any user may register is never run: the shell's failure stands.
    registerPage("browser.exe \"%1\"");
    recorder().elevated = true;
    EXPECT_EQ(openWithShellResult(32), 32) << "elevated";
    EXPECT_EQ(recorder().shellCalls.size(), 4u);
    EXPECT_TRUE(recorder().runs.empty());
}

TEST_F(HyperLinkTest, CommandLineNeverOutgrowsTheWorkBuffer) {
    // The longest readable command, one space and an address of 259 characters fill 520 bytes exactly.
    std::string command = "browser.exe " + std::string(CHyperLink::kValueBufferSize - 1 - 12, 'x');
    ASSERT_EQ(command.size(), 259u);
    registerPage(command.c_str());
    std::string address = "http://www.example.org/" + std::string(259 - 23, 'a');
    EXPECT_EQ(openWithShellResult(32, address.c_str()), 42);
    EXPECT_EQ(onlyRun(), command + " " + address);

    recorder().runs.clear();
    address += "a";
    EXPECT_EQ(openWithShellResult(32, address.c_str()), 32);
    EXPECT_TRUE(recorder().runs.empty());

    // A registered command longer than a default value may be is not read at all.
    registerPage((std::string(500, 'y') + " %1").c_str());
    EXPECT_EQ(openWithShellResult(5), 5);
    EXPECT_TRUE(recorder().runs.empty());
}

TEST_F(HyperLinkTest, NoAddressOpensNothing) {
    registerPage("browser.exe %1");
    EXPECT_EQ(CHyperLink().OpenUrl(nullptr, SW_SHOW), SE_ERR_FNF);
    EXPECT_EQ(CHyperLink().OpenUrl("", SW_SHOW), SE_ERR_FNF);
    EXPECT_TRUE(recorder().shellCalls.empty());
    EXPECT_TRUE(recorder().runs.empty());
}

TEST_F(HyperLinkTest, ReadKeyDefaultValueIsBounded) {
    std::string out = "stale";
    EXPECT_EQ(CHyperLink::ReadKeyDefaultValue(HKEY_CLASSES_ROOT, ".htm", out), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(out, "");

    std::string longest(CHyperLink::kValueBufferSize - 1, 'v');
    setDefault(".htm", longest);
    EXPECT_EQ(CHyperLink::ReadKeyDefaultValue(HKEY_CLASSES_ROOT, ".htm", out), ERROR_SUCCESS);
    EXPECT_EQ(out, longest);

    setDefault(".htm", longest + "v");
    EXPECT_NE(CHyperLink::ReadKeyDefaultValue(HKEY_CLASSES_ROOT, ".htm", out), ERROR_SUCCESS);
    EXPECT_EQ(out, "");

    // Bytes without a terminator: up to their size, or refused when they fill the whole buffer.
    setDefault(".htm", "abcd", REG_BINARY);
    LONG result = CHyperLink::ReadKeyDefaultValue(HKEY_CLASSES_ROOT, ".htm", out);
    if (result == ERROR_SUCCESS) {
        EXPECT_EQ(out, "abcd");
    }
    setDefault(".htm", std::string(CHyperLink::kValueBufferSize, 'b'), REG_BINARY);
    EXPECT_NE(CHyperLink::ReadKeyDefaultValue(HKEY_CLASSES_ROOT, ".htm", out), ERROR_SUCCESS);
    EXPECT_EQ(out, "");
}

TEST(HyperLinkSeams, RealLaunchesReportFailure) {
    EXPECT_LE(static_cast<uintptr_t>(realSeams().shellOpen("Z:\\xirarp-missing\\page.zzz", SW_HIDE)), 32u);
    EXPECT_LE(realSeams().runCommand("Z:\\xirarp-missing\\browser.exe", SW_HIDE, ProgramLookup::WinExecSearch), 31u);
}
