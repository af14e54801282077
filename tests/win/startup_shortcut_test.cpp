// The Startup shortcut, written through the shell link object and read back through it.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "support/user_folders.h"
#include "sys/system_paths.h"
#include "sys/text_encoding.h"
#include "ui/startup_shortcut.h"

namespace {

struct LinkRead {
    HRESULT status = E_FAIL;
    std::wstring target;
    std::wstring workingFolder;
    std::wstring description;
};

LinkRead readLink(const std::wstring& link) {
    LinkRead read;
    if (FAILED(CoInitialize(nullptr)))
        return read;
    IShellLinkW* shellLink = nullptr;
    IPersistFile* file = nullptr;
    read.status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink));
    if (SUCCEEDED(read.status))
        read.status = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(read.status))
        read.status = file->Load(link.c_str(), STGM_READ);
    if (SUCCEEDED(read.status)) {
        wchar_t buffer[1024] = {};
        // The shell starts a link through its item list, which keeps every character of the target; Wine
        // keeps the link's plain path text in the ANSI code page only.
        LPITEMIDLIST items = nullptr;
        if (SUCCEEDED(shellLink->GetIDList(&items)) && items) {
            SHGetPathFromIDListW(items, buffer);
            read.target = buffer;
            CoTaskMemFree(items);
        }
        buffer[0] = L'\0';
        buffer[0] = L'\0';
        shellLink->GetWorkingDirectory(buffer, 1024);
        read.workingFolder = buffer;
        buffer[0] = L'\0';
        shellLink->GetDescription(buffer, 1024);
        read.description = buffer;
    }
    if (file)
        file->Release();
    if (shellLink)
        shellLink->Release();
    CoUninitialize();
    return read;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program's folder lies outside the ANSI code page of the test prefix (an English system).
class StartupShortcutTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"xirarp-shortcut-test";
        CreateDirectoryW(folder_.c_str(), nullptr);
        CreateDirectoryW(programFolder().c_str(), nullptr);
        CopyFileW(ownExecutablePath().c_str(), target().c_str(), FALSE);
        CopyFileW(ownExecutablePath().c_str(), (folder_ + L"\\other.exe").c_str(), FALSE);
    }
    void TearDown() override {
        DeleteFileW(link().c_str());
        DeleteFileW(target().c_str());
        DeleteFileW((folder_ + L"\\other.exe").c_str());
        RemoveDirectoryW(programFolder().c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring programFolder() const { return folder_ + L"\\张三"; }
    std::wstring target() const { return programFolder() + L"\\program.exe"; }
    std::wstring link() const { return folder_ + L"\\程序.lnk"; }

    std::wstring folder_;
};

}  // namespace

TEST_F(StartupShortcutTest, TheLinkPointsAtTheProgramInItsFolderAndReplacesAnOlderOne) {
    ASSERT_EQ(CreateStartupShortcut(folder_ + L"\\other.exe", "older", link()), S_OK);
    ASSERT_EQ(CreateStartupShortcut(target(), "XirArp Utility v0.4", link()), S_OK);
    LinkRead read = readLink(link());
    ASSERT_EQ(read.status, S_OK);
    EXPECT_EQ(read.target, target());
    EXPECT_EQ(read.workingFolder, programFolder() + L"\\");
    EXPECT_EQ(read.description, L"XirArp Utility v0.4");
}

TEST_F(StartupShortcutTest, ARelativeTargetIsTakenFromTheCurrentFolder) {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(programFolder().c_str());
    HRESULT status = CreateStartupShortcut(L"program.exe", "XirArp Utility v0.4", link());
    SetCurrentDirectoryW(previous);
    ASSERT_EQ(status, S_OK);
    LinkRead read = readLink(link());
    EXPECT_EQ(read.target, target());
    EXPECT_EQ(read.workingFolder, programFolder() + L"\\");
}

TEST_F(StartupShortcutTest, PathsThatDoNotFitMakeNoLink) {
    EXPECT_EQ(CreateStartupShortcut(std::wstring(400, L'a') + L".exe", "XirArp Utility v0.4", link()), E_FAIL);
    EXPECT_EQ(CreateStartupShortcut(L"", "XirArp Utility v0.4", link()), E_FAIL);
    EXPECT_FALSE(exists(link()));
    const std::wstring longLink = folder_ + L"\\" + std::wstring(300, L'l') + L".lnk";
    EXPECT_TRUE(FAILED(CreateStartupShortcut(target(), "XirArp Utility v0.4", longLink)));
}

TEST_F(StartupShortcutTest, TheLinkIsNamedAfterTheProgramInTheStartupFolder) {
    const std::string folder = wideToUtf8(folder_);
    UserFoldersRedirect folders(folder, folder + "\\启动");
    EXPECT_EQ(startupShortcutPath(), folder_ + L"\\启动\\" + applicationName() + L".lnk");
    EXPECT_EQ(applicationName(), L"xirarp_win_tests");
    UserFoldersRedirect::forget("Startup");
    EXPECT_EQ(startupShortcutPath(), L"");
}
