#include <windows.h>

#include "net/binding.h"
#include "net/binding_commands.h"
#include "sys/seams.h"

namespace {
// runCommand gives WinExec's codes, above 31 for a started program.
constexpr unsigned kFirstStartedCode = 32;
}  // namespace

bool runBindCommand(const BindingSettings& settings) {
    auto command = formatBindCommand(settings.gwip, formatMacText(settings.mac));
    return command &&
           seams().runCommand(command->c_str(), SW_HIDE, ProgramLookup::SystemFolderOnly) >= kFirstStartedCode;
}

void runRemoveCommand(const std::string& gwip) {
    if (gwip.empty())
        return;
    if (auto command = formatRemoveCommand(gwip))
        seams().runCommand(command->c_str(), SW_HIDE, ProgramLookup::SystemFolderOnly);
}
