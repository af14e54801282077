// Protected from boot: an elevated Apply installs the service in one Wine session (e2e_service_install); the next
// session starts it by itself, with no XirARP window, and it binds at every interval and writes its events
// (e2e_service_boot, with the session's eventlog channel in XIRARP_SESSION_LOG). A user's window then opens beside
// it and its Uninstall removes it all.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "steps/service.h"
#include "support/files.h"
#include "support/registry.h"
#include "support/user_folders.h"
#include "support/windows.h"

namespace {

const char* const kServiceKey = "System\\CurrentControlSet\\Services\\XirARP";
const std::string kBindCommand = "arp -s 192.168.7.1 0A-0B-22-33-44-55\r\n";

std::string serviceImage() {
    char image[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%ProgramFiles%\\XirARP\\XirARP.exe", image, MAX_PATH);
    return image;
}

// "arp -s" records of the service: its stand-in logs beside itself, the session having no sandbox's log.
size_t serviceBinds() {
    const std::string log = readFileBytes(systemFolder() + "\\commands.log");
    size_t count = 0;
    for (size_t at = log.find(kBindCommand); at != std::string::npos; at = log.find(kBindCommand, at + 1))
        ++count;
    return count;
}

bool serviceRuns() {
    return runningServiceProcess() != 0;
}

class ServiceBoot : public CleanSettingsTest {};

}  // namespace

// What a fleet tool runs, under Wine's real service manager: "/install" and "/uninstall" with their exit codes, and
// no window, no shortcut, no package and no user settings on the way.
TEST_F(ServiceBoot, SilentInstallAndUninstallAnswerWithTheirExitCodes) {
    removeService();
    Sandbox sandbox("service-silent");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    ArpSettings settings = clientSettings();
    settings.gwmac = "0a-b-22-33-44-55";
    settings.syslog = "TCP://Collector.Example";
    const std::string client = sandbox.copyClient(*formatClientConfig(settings));
    const auto exitCode = [&](const std::string& exe, const char* argument, Rights rights) {
        RunningProgram program(exe, sandbox.folder(), {}, rights, argument);
        return program.waitForExit(90000) ? program.exitCode() : STILL_ACTIVE;
    };
    EXPECT_EQ(exitCode(client, "/install", Rights::Limited), 5u);
    EXPECT_EQ(exitCode(sandbox.copyProgram(), "/install", Rights::Elevated), 13u);  // no package
    EXPECT_FALSE(readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start"));
    EXPECT_EQ(exitCode(client, "/install", Rights::Elevated), 0u);
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kTestMachineKey, "gwmac"), "0A-0B-22-33-44-55");  // canonical
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kTestMachineKey, "syslog"), "tcp://collector.example:514");
    EXPECT_TRUE(readFileBytes(serviceImage()) == readFileBytes(adminImagePath()));
    EXPECT_TRUE(waitUntilTrue(serviceRuns));
    EXPECT_FALSE(settingsKeyExists());
    for (const char* folder : {"Desktop", "Startup"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((sandbox.path(folder) + "\\*.*").c_str(), &found);
        int entries = 0;
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            entries += found.cFileName[0] != '.';
        FindClose(search);
        EXPECT_EQ(entries, 0) << folder;
    }
    EXPECT_EQ(exitCode(client, "/uninstall", Rights::Limited), 5u);
    EXPECT_EQ(exitCode(client, "/uninstall", Rights::Elevated), 0u);
    EXPECT_FALSE(readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start"));
    EXPECT_FALSE(serviceRuns());
    EXPECT_FALSE(fileExists(serviceImage()));
    EXPECT_FALSE(readRegistryText(HKEY_LOCAL_MACHINE, kTestMachineKey, "gwip"));
}

// The service box under Wine's real service manager, on both roads: a limited copy only warns, an elevated copy
// installs the service to run the image from Program Files and starts it, and a second one reconfigures it.
TEST_F(ServiceBoot, OnlyAnElevatedApplyInstallsTheService) {
    removeService();
    Sandbox sandbox("service");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    const std::string exe = sandbox.copyProgram();
    const std::string image = serviceImage();
    const auto installed = [&] { return readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start").has_value(); };
    writeSettingString("gwmac", "0A-B-22-33-44-55");  // no gateway lookup at opening
    writeSettingString("gwip", "192.168.7.1");
    writeSettingDword("timer", 2);
    // The second elevated Apply finds the service there and reconfigures it.
    for (Rights rights : {Rights::Limited, Rights::Elevated, Rights::Elevated}) {
        RunningProgram program(exe, sandbox.folder(), {}, rights);
        HWND window = waitForDialog(program.processId(), kMainCaption);
        ASSERT_TRUE(window && waitUntilVisible(window));
        EXPECT_EQ(sendToControl(GetDlgItem(window, IDC_SERVICE), BM_GETCHECK), rights == Rights::Elevated);  // stored
        sendToControl(GetDlgItem(window, IDC_GENERATE_CLIENT), BM_SETCHECK, BST_UNCHECKED, 0);
        sendToControl(GetDlgItem(window, IDC_SERVICE), BM_SETCHECK, BST_CHECKED, 0);
        clickButton(window, IDC_APPLY);
        MessageBoxSeen done = waitForMessageBox(program.processId(), 90000);
        EXPECT_EQ(done.text, "Apply Setting Successfully !");
        clickButton(done.window, IDOK);
        EXPECT_TRUE(waitUntilGone(done.window));
        if (rights == Rights::Limited)
            answerMessageBox(program.processId(), "WARNING",
                             "To install the service, XirARP must be run as administrator once !");
        EXPECT_EQ(installed(), rights == Rights::Elevated);
    }
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kServiceKey, "ImagePath"), "\"" + image + "\" /service");
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start"), 2u);
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kServiceKey, "ObjectName"), "LocalSystem");
    EXPECT_TRUE(readFileBytes(image) == readFileBytes(adminImagePath()));
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kTestMachineKey, "gwip"), "192.168.7.1");
    EXPECT_TRUE(waitUntilTrue(serviceRuns));
}

TEST_F(ServiceBoot, TheNextSessionStartsItBindingEveryIntervalAndUninstallRemovesIt) {
    ASSERT_TRUE(readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start")) << "e2e_service_install left no service";
    // Nothing of XirARP was started in this session but what the service manager started.
    EXPECT_TRUE(waitUntilTrue(serviceRuns));
    const size_t seen = serviceBinds();
    EXPECT_TRUE(waitUntilTrue([&] { return serviceBinds() >= seen + 2; }, 15000)) << "no bind every 2 s";

    // Its stand-in pins nothing: "not in effect", with the gateway and the MAC, on the eventlog channel.
    char sessionLog[MAX_PATH] = {};
    GetEnvironmentVariableA("XIRARP_SESSION_LOG", sessionLog, MAX_PATH);
    const std::string log = std::string("Z:") + sessionLog;
    EXPECT_TRUE(waitUntilTrue([&] { return readFileBytes(log).find("L\"0A-0B-22-33-44-55\"") != std::string::npos; },
                              15000))
        << readFileBytes(log).substr(0, 2000);

    // Elevated client copies beside it: one whose package predates the service (no "service" line) and one asking
    // for it with the service's own pair change nothing, nor does a limited one. The service keeps running in the
    // same process with the same key. (The limited copy's silence is the in-process Apply case's.)
    const DWORD serviceProcess = runningServiceProcess();
    ArpSettings same = clientSettings();
    same.gwip = "192.168.7.1";
    same.gwmac = "0A-0B-22-33-44-55";
    same.timer = 2;
    same.service = 1;
    std::string oldPackage = *formatClientConfig(clientSettings());
    oldPackage.resize(oldPackage.find("\"service\""));
    for (auto [text, rights] : {std::pair{oldPackage, Rights::Elevated}, {*formatClientConfig(same), Rights::Elevated},
                                {*formatClientConfig(same), Rights::Limited}}) {
        Sandbox clientBox("service-boot-client");
        RunningProgram client(clientBox.copyClient(text), clientBox.folder(), {}, rights);
        HWND window = waitForDialog(client.processId(), kMainCaption);
        ASSERT_TRUE(window && waitUntilHidden(window));
        EXPECT_EQ(runningServiceProcess(), serviceProcess);
        EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kTestMachineKey, "gwip"), "192.168.7.1");
    }

    // A user's window opens beside the running service, and its Uninstall removes the service with the rest.
    Sandbox sandbox("service-boot-window");
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window && waitUntilVisible(window));
    clickButton(window, IDC_UNINSTALL);
    answerMessageBox(program.processId(), "Information", "Remove Setting Successfully !");
    EXPECT_TRUE(waitUntilTrue([] { return !readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start"); }));
    EXPECT_FALSE(serviceRuns());
    std::string folder = serviceImage();
    folder.resize(folder.rfind('\\'));
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);  // the copy and its folder
    EXPECT_FALSE(readRegistryText(HKEY_LOCAL_MACHINE, kTestMachineKey, "gwip"));
    removeService();  // whatever a failure above left
}
