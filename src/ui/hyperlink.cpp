#include "ui/hyperlink.h"

#include <shellapi.h>

#include <cstring>

#include "sys/seams.h"
#include "sys/win_handles.h"

intptr_t CHyperLink::OpenUrl(const char* address, int showCommand) {
    if (!address || !*address)
        return SE_ERR_FNF;
    intptr_t shellResult = seams().shellOpen(address, showCommand);
    if (static_cast<uintptr_t>(shellResult) > 32)
        return shellResult;
    // Any user can change the ".htm" command under HKEY_CURRENT_USER: an elevated copy would run it with
    // administrator rights. Elevated, the shell's answer stands.
    if (seams().processElevated())
        return shellResult;

    // The shell could not open it: run the command registered for web pages with the address.
    std::string documentClass;
    if (ReadKeyDefaultValue(HKEY_CLASSES_ROOT, ".htm", documentClass) != ERROR_SUCCESS)
        return shellResult;
    std::string command;
    if (ReadKeyDefaultValue(HKEY_CLASSES_ROOT, (documentClass + "\\shell\\open\\command").c_str(), command) !=
        ERROR_SUCCESS)
        return shellResult;

    // The address takes the place of the placeholder, quoted or not; without one it goes at the end.
    size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos)
        cut = command.find("%1");
    if (cut != std::string::npos)
        command.resize(cut);

    // The command, one space, the address and the terminator must fit the work buffer; a longer
    // command line is not run at all rather than run cut short.
    size_t addressLength = strlen(address);
    if (command.size() + 1 + addressLength + 1 > kWorkBufferSize)
        return shellResult;
    char commandLine[kWorkBufferSize] = {};
    memcpy(commandLine, command.data(), command.size());
    commandLine[command.size()] = ' ';
    memcpy(commandLine + command.size() + 1, address, addressLength);
    return static_cast<intptr_t>(seams().runCommand(commandLine, showCommand, ProgramLookup::WinExecSearch));
}

LONG CHyperLink::ReadKeyDefaultValue(HKEY root, const char* subKey, std::string& out) {
    out.clear();
    UniqueHKey key;
    LONG result = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.receive());
    if (result != ERROR_SUCCESS)
        return result;
    char value[kValueBufferSize] = {};
    LONG size = sizeof value;
    result = RegQueryValueA(key.get(), nullptr, value, &size);
    if (result != ERROR_SUCCESS)
        return result;
    // The value need not be text: it ends at its first zero byte or at its size, and one that fills the
    // whole buffer without a terminator is too long.
    size_t filled = size < 0 ? 0 : static_cast<size_t>(size) < sizeof value ? static_cast<size_t>(size) : sizeof value;
    size_t length = strnlen(value, filled);
    if (length >= sizeof value)
        return ERROR_MORE_DATA;
    out.assign(value, length);
    return ERROR_SUCCESS;
}
