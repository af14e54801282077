#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/arp_app.h"
#include "app/run_mode.h"
#include "config/client_config.h"
#include "config/client_config_store.h"
#include "config/arp_settings.h"
#include "res/resource.h"
#include "sys/system_paths.h"
#include "sys/own_image.h"
#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "sys/ui_text.h"
#include "sys/win_handles.h"
#include "ui/main_dlg.h"

namespace {

constexpr const char* kInstanceMutexName = "Global\\{{DAC6E3DB-AE7B-4dac-A303-35E79BCB5B67}}";

// The machine-wide mutex that marks a running window of the program, held for as long as the window runs and never
// waited on. Only the window's road takes it: the service runs beside a user's copy without it.
class InstanceGuard {
  public:
    InstanceGuard()
        : mutex_(CreateMutexA(nullptr, FALSE, kInstanceMutexName)),
          anotherCopyRuns_(GetLastError() == ERROR_ALREADY_EXISTS) {}

    bool anotherCopyRuns() const { return anotherCopyRuns_; }

  private:
    UniqueKernelHandle mutex_;
    bool anotherCopyRuns_;
};

// English in every language, filled with the file's name and the current folder.
constexpr const char* kOwnFileUnreadableFormat = "Fail to get the configuration!!\r\nfilename=%s, curpath=%s !!";

int showStartupMessage(const std::string& utf8Text, UINT flags) {
    return seams().messageBox(nullptr, utf8Text.c_str(), wideToUtf8(applicationName()).c_str(), flags);
}

std::string ownFileUnreadableMessage(const std::wstring& fileName, const std::wstring& folder) {
    const std::string name = wideToUtf8(fileName);
    const std::string where = wideToUtf8(folder);
    std::vector<char> text(name.size() + where.size() + 128);
    snprintf(text.data(), text.size(), kOwnFileUnreadableFormat, name.c_str(), where.c_str());
    return text.data();
}

}  // namespace

bool CArpApp::InitInstance() {
    // Taken first, before anything else of start-up, and kept for as long as the window runs.
    const InstanceGuard instanceGuard;
    uint16_t langId = seams().systemDefaultLangId();
    if (instanceGuard.anotherCopyRuns()) {
        // In the system's language, not the stored one.
        showStartupMessage(uiText(IDS_ANOTHER_COPY_RUNNING, systemUiLanguage(langId)), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    setRunMode(RunMode::Admin);
    std::wstring folder = currentFolder();
    std::wstring path = ownExecutablePath();
    // Held until the process ends: the service's image is copied from it (sys/own_image.h).
    const OwnImageHold ownImageHold(path);
    OwnImage image = readOwnImage(ownImageHold, path);
    if (!image.opened) {
        showStartupMessage(ownFileUnreadableMessage(path, folder), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    if (image.length > kBaseImageSize) {
        ClientConfigImport imported = importClientConfig(image.tail, langId, wideToUtf8(applicationName()));
        if (imported.headerFound)
            setRunMode(runModeFromToken(imported.modeToken));
        if (currentRunMode() == RunMode::ClientAsk &&
            showStartupMessage(uiText(IDS_RUN_BINDING_QUESTION, imported.language), MB_OKCANCEL | MB_ICONINFORMATION) ==
                IDCANCEL)
            return false;
    }

    // The window's address fields are common controls of the IP address class.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CArpMainDlg mainWindow(nullptr);
    mainWindow.DoModal();
    return false;
}
