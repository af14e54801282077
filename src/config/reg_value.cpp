#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "config/registry_path.h"
#include "sys/win_handles.h"

namespace {

// The machine-wide key is where administrators and their tools write it: in the 64-bit view on 64-bit Windows,
// whatever this 32-bit program's own view (32-bit Windows ignores the flag). The user's key is not redirected.
REGSAM viewOf(HKEY root) {
    return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
}

}  // namespace

CRegValueBase::CRegValueBase(const char* fullPath, HKEY root) : root_(root), view_(viewOf(root)) {
    RegistryPath path = splitRegistryPath(fullPath);
    subKey_ = std::move(path.subKey);
    valueName_ = std::move(path.valueName);
}

// The value's own write decides the result: a key that opens but refuses the value is a failed write.
LSTATUS CRegValueBase::writeRaw(DWORD type, const void* data, DWORD size) {
    UniqueHKey key;
    LSTATUS status = RegCreateKeyExA(root_, subKey_.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                     KEY_WRITE | view_, nullptr, key.receive(), nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExA(key.get(), valueName_.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (status == ERROR_SUCCESS)
        known_ = true;
    return status;
}

LSTATUS CRegValueBase::removeKey() {
    if (!view_)
        return SHDeleteKeyA(root_, subKey_.c_str());
    // The tree's contents through a handle of the key's own view, then the key itself in that view.
    UniqueHKey key;
    LSTATUS status = RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_READ | KEY_SET_VALUE | DELETE | view_, key.receive());
    if (status != ERROR_SUCCESS)
        return status;
    status = RegDeleteTreeA(key.get(), nullptr);
    key.reset();
    return status != ERROR_SUCCESS ? status : RegDeleteKeyExA(root_, subKey_.c_str(), view_, 0);
}

LSTATUS CRegValueBase::removeValue() {
    UniqueHKey key;
    const LSTATUS status = RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_SET_VALUE | view_, key.receive());
    return status != ERROR_SUCCESS ? status : RegDeleteValueA(key.get(), valueName_.c_str());
}

CRegDwordValue::CRegDwordValue(const char* fullPath, uint32_t defaultValue, HKEY root)
    : CRegValueBase(fullPath, root), default_(defaultValue) {
    read();
}

uint32_t CRegDwordValue::read() {
    UniqueHKey key;
    if (RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_READ | view_, key.receive()) != ERROR_SUCCESS)
        return default_;
    // Only a REG_DWORD of four bytes is a number: any other type or size counts as a missing value, so a
    // hand-typed text such as "60" cannot turn into an interval of its character codes.
    unsigned char bytes[4] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof bytes;
    if (RegQueryValueExA(key.get(), valueName_.c_str(), nullptr, &type, bytes, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof bytes)
        return default_;
    value_ = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
             static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    known_ = true;
    return value_;
}

CRegDwordValue::operator uint32_t() {
    return known_ ? value_ : read();
}

CRegDwordValue& CRegDwordValue::operator=(uint32_t newValue) {
    if (newValue != value_)
        store(newValue);
    return *this;
}

LSTATUS CRegDwordValue::write() {
    return writeRaw(REG_DWORD, &value_, sizeof value_);
}

LSTATUS CRegDwordValue::store(uint32_t newValue) {
    value_ = newValue;
    return write();
}

namespace {
// Far beyond any value this program writes; a larger one is treated as unreadable.
constexpr DWORD kMaxTextBytes = 64u * 1024 * 1024;
}  // namespace

CRegStringValue::CRegStringValue(const char* fullPath, const std::string& defaultValue, HKEY root)
    : CRegValueBase(fullPath, root), default_(defaultValue) {
    read();
}

std::string CRegStringValue::read() {
    UniqueHKey key;
    if (RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_READ | view_, key.receive()) != ERROR_SUCCESS)
        return default_;
    // Only a REG_SZ is a text; any other type counts as a missing value.
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName_.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size > kMaxTextBytes)
        return default_;
    // One spare zero byte, so that a value stored without its terminator still ends inside the buffer.
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    DWORD received = size;
    if (RegQueryValueExA(key.get(), valueName_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &received) != ERROR_SUCCESS ||
        type != REG_SZ)
        return default_;
    value_ = buffer.data();
    known_ = true;
    return value_;
}

CRegStringValue::operator std::string() {
    return known_ ? value_ : read();
}

CRegStringValue& CRegStringValue::operator=(const std::string& newValue) {
    if (newValue != value_)
        store(newValue);
    return *this;
}

LSTATUS CRegStringValue::write() {
    // The text up to its first zero byte, and the terminator.
    std::string text = value_.c_str();
    return writeRaw(REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

LSTATUS CRegStringValue::store(const std::string& newValue) {
    value_ = newValue;
    return write();
}

LSTATUS storeNumber(const char* fullPath, int32_t number) {
    return CRegDwordValue(fullPath, 0).store(static_cast<uint32_t>(number));
}

LSTATUS storeText(const char* fullPath, const std::string& text) {
    return CRegStringValue(fullPath, "").store(text);
}
