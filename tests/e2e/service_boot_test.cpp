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
const std::string kBindCommand = "arp -s 192.0.2.1 02-FC-00-00-00-05\r\n";

// "arp -s" records of the service: its stand-in logs beside itself, the session having no sandbox's log.
size_t serviceBinds() {
    const std::string log = readFileBytes(systemFolder() + "\\commands.log");
    size_t count = 0;
    for (size_t at = log.find(kBindCommand); at != std::string::npos; at = log.find(kBindCommand, at + 1))
        ++count;
    return count;
}

bool serviceRuns() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceW(manager, L"XirARP", SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status{};
    const bool running = service && QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return running;
}

class ServiceBoot : public CleanSettingsTest {};

}  // namespace

TEST_F(ServiceBoot, AnElevatedApplyInstallsAndStartsTheService) {
    removeService();
    Sandbox sandbox("service-boot");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    writeSettingString("gwip", "192.0.2.1");
    writeSettingString("gwmac", "02-FC-00-00-00-05");
    writeSettingDword("timer", 2);
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window && waitUntilVisible(window));
    sendToControl(GetDlgItem(window, IDC_GENERATE_CLIENT), BM_SETCHECK, BST_UNCHECKED, 0);
    sendToControl(GetDlgItem(window, IDC_SERVICE), BM_SETCHECK, BST_CHECKED, 0);
    clickButton(window, IDC_APPLY);
    answerMessageBox(program.processId(), "Information", "Apply Setting Successfully !");
    EXPECT_TRUE(waitUntilTrue(serviceRuns));
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start"), 2u);
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
    EXPECT_TRUE(waitUntilTrue([&] { return readFileBytes(log).find("L\"02-FC-00-00-00-05\"") != std::string::npos; },
                              15000))
        << readFileBytes(log).substr(0, 2000);

    // A user's window opens beside the running service, and its Uninstall removes the service with the rest.
    Sandbox sandbox("service-boot-window");
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window && waitUntilVisible(window));
    clickButton(window, IDC_UNINSTALL);
    answerMessageBox(program.processId(), "Information", "Remove Setting Successfully !");
    EXPECT_TRUE(waitUntilTrue([] { return !readRegistryDword(HKEY_LOCAL_MACHINE, kServiceKey, "Start"); }));
    EXPECT_FALSE(serviceRuns());
    removeService();  // whatever a failure above left
}
