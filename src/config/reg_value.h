#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Typed accessor of one registry value, addressed by a full path such as "Software\Xir\XirARP\timer" under a
// root key: the user's HKEY_CURRENT_USER unless another hive is named (the service reads HKEY_LOCAL_MACHINE, always
// in its 64-bit view on 64-bit Windows).
// Short-lived: construct, read or write, drop. Reads at construction.
class CRegValueBase {
  public:
    LSTATUS removeKey();    // deletes the sub key with all its values and sub keys
    LSTATUS removeValue();  // deletes the value alone

  protected:
    CRegValueBase(const char* fullPath, HKEY root);
    LSTATUS writeRaw(DWORD type, const void* data, DWORD size);

    HKEY root_;
    REGSAM view_;  // the registry view the key is read and written in
    std::string subKey_;
    std::string valueName_;
    bool known_ = false;  // set by a successful read or write
};

class CRegDwordValue : public CRegValueBase {
  public:
    CRegDwordValue(const char* fullPath, uint32_t defaultValue, HKEY root = HKEY_CURRENT_USER);
    uint32_t read();
    operator uint32_t();
    CRegDwordValue& operator=(uint32_t newValue);  // writes only a changed value
    LSTATUS write();
    LSTATUS store(uint32_t newValue);  // takes the value and writes it, changed or not

  private:
    uint32_t value_ = 0;
    uint32_t default_;
};

class CRegStringValue : public CRegValueBase {
  public:
    CRegStringValue(const char* fullPath, const std::string& defaultValue, HKEY root = HKEY_CURRENT_USER);
    std::string read();
    operator std::string();
    CRegStringValue& operator=(const std::string& newValue);  // writes only a changed value
    LSTATUS write();
    LSTATUS store(const std::string& newValue);  // takes the value and writes it, changed or not

  private:
    std::string value_;
    std::string default_;
};

// Stores a value even when the registry already holds it, with one write. Returns the write's status.
LSTATUS storeNumber(const char* fullPath, int32_t number);
LSTATUS storeText(const char* fullPath, const std::string& text);
