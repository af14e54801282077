// The Startup shortcut, written through the shell link object and read back through it.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "../e2e/steps/user_folders.h"
#include "sys/module_path.h"
#include "ui/startup_shortcut.h"

namespace {

struct LinkRead {
    HRESULT status = E_FAIL;
    std::string target;
    std::string workingFolder;
    std::string description;
};

LinkRead readLink(const std::string& link) {
    LinkRead read;
    if (FAILED(CoInitialize(nullptr)))
        return read;
    IShellLinkA* shellLink = nullptr;
    IPersistFile* file = nullptr;
    read.status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink));
    if (SUCCEEDED(read.status))
        read.status = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    wchar_t wideLink[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wideLink, MAX_PATH);
    if (SUCCEEDED(read.status))
        read.status = file->Load(wideLink, STGM_READ);
    if (SUCCEEDED(read.status)) {
        char buffer[1024] = {};
        shellLink->GetPath(buffer, sizeof buffer, nullptr, SLGP_RAWPATH);
        read.target = buffer;
        buffer[0] = '\0';
        shellLink->GetWorkingDirectory(buffer, sizeof buffer);
        read.workingFolder = buffer;
        buffer[0] = '\0';
        shellLink->GetDescription(buffer, sizeof buffer);
        read.description = buffer;
    }
    if (file)
        file->Release();
    if (shellLink)
        shellLink->Release();
    CoUninitialize();
    return read;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class StartupShortcutTest : public testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "xirarp-shortcut-test";
        CreateDirectoryA(folder_.c_str(), nullptr);
        CreateDirectoryA((folder_ + "\\bin").c_str(), nullptr);
        CopyFileA(ownExecutablePath().c_str(), target().c_str(), FALSE);
        CopyFileA(ownExecutablePath().c_str(), (folder_ + "\\other.exe").c_str(), FALSE);
    }
    void TearDown() override {
        DeleteFileA(link().c_str());
        DeleteFileA(target().c_str());
        DeleteFileA((folder_ + "\\other.exe").c_str());
        RemoveDirectoryA((folder_ + "\\bin").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::string target() const { return folder_ + "\\bin\\program.exe"; }
    std::string link() const { return folder_ + "\\program.lnk"; }

    std::string folder_;
};

}  // namespace

TEST_F(StartupShortcutTest, TheLinkPointsAtTheProgramInItsFolderAndReplacesAnOlderOne) {
    ASSERT_EQ(CreateStartupShortcut(folder_ + "\\other.exe", "older", link()), S_OK);
    ASSERT_EQ(CreateStartupShortcut(target(), "XirArp Utility v0.4", link()), S_OK);
    LinkRead read = readLink(link());
    ASSERT_EQ(read.status, S_OK);
    EXPECT_EQ(read.target, target());
    EXPECT_EQ(read.workingFolder, folder_ + "\\bin\\");
    EXPECT_EQ(read.description, "XirArp Utility v0.4");
}

TEST_F(StartupShortcutTest, ARelativeTargetIsTakenFromTheCurrentFolder) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA((folder_ + "\\bin").c_str());
    HRESULT status = CreateStartupShortcut("program.exe", "XirArp Utility v0.4", link());
    SetCurrentDirectoryA(previous);
    ASSERT_EQ(status, S_OK);
    LinkRead read = readLink(link());
    EXPECT_EQ(read.target, target());
    EXPECT_EQ(read.workingFolder, folder_ + "\\bin\\");
}

TEST_F(StartupShortcutTest, PathsThatDoNotFitMakeNoLink) {
    EXPECT_EQ(CreateStartupShortcut(std::string(400, 'a') + ".exe", "XirArp Utility v0.4", link()), E_FAIL);
    EXPECT_EQ(CreateStartupShortcut("", "XirArp Utility v0.4", link()), E_FAIL);
    EXPECT_FALSE(exists(link()));
    const std::string longLink = folder_ + "\\" + std::string(300, 'l') + ".lnk";
    EXPECT_TRUE(FAILED(CreateStartupShortcut(target(), "XirArp Utility v0.4", longLink)));
}

TEST_F(StartupShortcutTest, TheLinkIsNamedAfterTheProgramInTheStartupFolder) {
    UserFoldersRedirect folders(folder_, folder_ + "\\Startup");
    EXPECT_EQ(startupShortcutPath(), folder_ + "\\Startup\\" + applicationName() + ".lnk");
    EXPECT_EQ(applicationName(), "xirarp_win_tests");
    UserFoldersRedirect::forget("Startup");
    EXPECT_EQ(startupShortcutPath(), "");
}
