#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Typed accessor of one registry value under HKEY_CURRENT_USER, addressed by a full path such as
// "Software\Xir\XirARP\timer". Short-lived: construct, read or write, drop. Reads at construction.
class CRegValueBase {
public:
    LSTATUS removeKey();  // deletes the sub key with all its values and sub keys

protected:
    explicit CRegValueBase(const char* fullPath);
    LSTATUS writeRaw(DWORD type, const void* data, DWORD size);

    HKEY root_ = HKEY_CURRENT_USER;
    std::string subKey_;
    std::string valueName_;
    bool known_ = false;  // set by a successful read or write
};

class CRegDwordValue : public CRegValueBase {
public:
    CRegDwordValue(const char* fullPath, uint32_t defaultValue);
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
    CRegStringValue(const char* fullPath, const std::string& defaultValue);
    std::string read();
    operator std::string();
    CRegStringValue& operator=(const std::string& newValue);  // writes only a changed value
    LSTATUS write();
    LSTATUS store(const std::string& newValue);  // takes the value and writes it, changed or not

private:
    std::string value_;
    std::string default_;
};

// Stores a value even when the registry already holds it, with one write.
void storeNumber(const char* fullPath, int32_t number);
void storeText(const char* fullPath, const std::string& text);
