#include "ui/startup_shortcut.h"

#include "config/reg_value.h"
#include "sys/module_path.h"

std::string startupShortcutPath() {
    std::string folder = startupFolder();
    if (folder.empty())
        return {};
    return folder + "\\" + applicationName() + ".lnk";
}

HRESULT CreateStartupShortcut(const std::string&, const std::string&, const std::string&) {
    return E_NOTIMPL;
}
