#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "ui/startup_shortcut.h"

#include "config/reg_value.h"
#include "sys/module_path.h"

namespace {

// Owns one reference of a COM interface.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (pointer_)
            pointer_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    void** receive() { return reinterpret_cast<void**>(&pointer_); }
    Interface* operator->() const { return pointer_; }

  private:
    Interface* pointer_ = nullptr;
};

// COM for the calling thread, for as long as the object lives.
class ComApartment {
  public:
    ComApartment() : status_(CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(status_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT status() const { return status_; }

  private:
    HRESULT status_;
};

}  // namespace

std::string startupShortcutPath() {
    std::string folder = startupFolder();
    if (folder.empty())
        return {};
    return folder + "\\" + applicationName() + ".lnk";
}

HRESULT CreateStartupShortcut(const std::string& target, const std::string& description, const std::string& link) {
    char fullPath[MAX_PATH] = {};
    char* filePart = nullptr;
    DWORD length = GetFullPathNameA(target.c_str(), MAX_PATH, fullPath, &filePart);
    if (length == 0 || length >= MAX_PATH || filePart == nullptr)
        return E_FAIL;
    // The folder keeps its trailing backslash.
    const std::string workingFolder(fullPath, static_cast<size_t>(filePart - fullPath));

    ComApartment com;  // declared first: released last, after the interfaces below
    if (FAILED(com.status()))
        return com.status();
    ComRef<IShellLinkA> shellLink;
    HRESULT status =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.receive());
    if (FAILED(status))
        return status;
    ComRef<IPersistFile> file;
    if (FAILED(status = shellLink->QueryInterface(IID_IPersistFile, file.receive())))
        return status;
    if (FAILED(status = shellLink->SetPath(fullPath)) ||
        FAILED(status = shellLink->SetWorkingDirectory(workingFolder.c_str())) ||
        FAILED(status = shellLink->SetDescription(description.c_str())))
        return status;

    wchar_t wideLink[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, link.c_str(), -1, wideLink, MAX_PATH) == 0)
        return HRESULT_FROM_WIN32(GetLastError());
    return file->Save(wideLink, TRUE);
}
