#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Opens web addresses: through the shell first, else, unless the process is elevated, with the command
// registered for ".htm" documents. Needs no window; the shell and the command launch go through the system seams.
class CHyperLink {
  public:
    // Room for one registry default value, terminator included.
    static constexpr size_t kValueBufferSize = 260;
    // Room for the command line handed to the fallback launch, terminator included.
    static constexpr size_t kWorkBufferSize = 520;

    // Opens the address with the given show command (SW_SHOW, ...). Returns the shell's code, or the
    // fallback launch's code when the fallback ran; above 32 means success. The fallback never runs in an
    // elevated process, and a registered command that would not fit the work buffer with the address is not
    // run. A null or empty address opens nothing and gives SE_ERR_FNF.
    intptr_t OpenUrl(const char* address, int showCommand);

    // Reads the default value of root\subKey into out. Returns ERROR_SUCCESS, the open's error, or the
    // read's error when the value is missing, not text or longer than kValueBufferSize - 1 bytes
    // (out is then left empty).
    static LONG ReadKeyDefaultValue(HKEY root, const char* subKey, std::string& out);
};
