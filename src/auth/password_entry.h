#pragma once
#include <windows.h>

#include <string>

// Keeps a password entry within a number of bytes of an ANSI code page, as an ANSI edit limited by
// EM_LIMITTEXT would: the dialogs are Unicode, whose limit counts characters, so a double-byte character
// would otherwise count one. Text that would not fit is refused and the previous text stays.
class PasswordEntryLimit {
  public:
    explicit PasswordEntryLimit(int maxBytes, UINT codePage = CP_ACP) : maxBytes_(maxBytes), codePage_(codePage) {}

    // Call on every EN_CHANGE of the entry.
    void OnChange(HWND edit);

  private:
    int maxBytes_;
    UINT codePage_;
    std::wstring accepted_;
    bool restoring_ = false;
};
