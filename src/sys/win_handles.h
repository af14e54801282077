#pragma once
#include <windows.h>

// Owners of the handles we open; each closes its handle once and cannot be copied.
template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    Handle* receive() {
        reset();
        return &handle_;
    }
    explicit operator bool() const { return Traits::valid(handle_); }
    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::invalid();
        return handle;
    }
    void reset(Handle handle = Traits::invalid()) {
        if (Traits::valid(handle_))
            Traits::close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::invalid();
};

struct RegKeyTraits {
    static HKEY invalid() { return nullptr; }
    static bool valid(HKEY key) { return key != nullptr; }
    static void close(HKEY key) { RegCloseKey(key); }
};
using UniqueHKey = UniqueHandle<HKEY, RegKeyTraits>;

struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static bool valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

struct FileHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueFileHandle = UniqueHandle<HANDLE, FileHandleTraits>;

struct GdiObjectTraits {
    static HGDIOBJ invalid() { return nullptr; }
    static bool valid(HGDIOBJ object) { return object != nullptr; }
    static void close(HGDIOBJ object) { DeleteObject(object); }
};
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;

struct IconTraits {
    static HICON invalid() { return nullptr; }
    static bool valid(HICON icon) { return icon != nullptr; }
    static void close(HICON icon) { DestroyIcon(icon); }
};
using UniqueIcon = UniqueHandle<HICON, IconTraits>;

struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static bool valid(HMENU menu) { return menu != nullptr; }
    static void close(HMENU menu) { DestroyMenu(menu); }
};
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

struct ServiceHandleTraits {
    static SC_HANDLE invalid() { return nullptr; }
    static bool valid(SC_HANDLE handle) { return handle != nullptr; }
    static void close(SC_HANDLE handle) { CloseServiceHandle(handle); }
};
using UniqueServiceHandle = UniqueHandle<SC_HANDLE, ServiceHandleTraits>;
