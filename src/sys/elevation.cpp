#include <windows.h>

#include "sys/elevation.h"
#include "sys/win_handles.h"

namespace {

// Systems before Vista know no elevation: there the Administrators group is what counts.
bool isAdministratorsMember() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                  0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member))
        member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

}  // namespace

bool isProcessElevated() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive()))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return elevation.TokenIsElevated != 0;
    // XP and Server 2003 answer ERROR_INVALID_PARAMETER: they have no such information class.
    return GetLastError() == ERROR_INVALID_PARAMETER && isAdministratorsMember();
}
