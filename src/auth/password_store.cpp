#include <windows.h>

#include "auth/password.h"
#include "config/arp_settings.h"
#include "config/reg_value.h"

std::string StoredPasswordDigest() {
    return EffectivePasswordDigest(CRegStringValue(kPwdValuePath, "").read());
}
