#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "ui/startup_shortcut.h"

#include "sys/system_paths.h"
#include "sys/text_encoding.h"

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

std::wstring startupShortcutPath() {
    std::wstring folder = userStartupFolder();
    if (folder.empty())
        return {};
    return folder + L"\\" + applicationName() + L".lnk";
}

HRESULT CreateStartupShortcut(const std::wstring& target, const std::string& description, const std::wstring& link) {
    // The shell link keeps paths of at most MAX_PATH characters.
    if (link.empty() || link.size() >= MAX_PATH)
        return E_FAIL;
    wchar_t fullPath[MAX_PATH] = {};
    wchar_t* filePart = nullptr;
    DWORD length = GetFullPathNameW(target.c_str(), MAX_PATH, fullPath, &filePart);
    if (target.empty() || length == 0 || length >= MAX_PATH || filePart == nullptr)
        return E_FAIL;
    // The folder keeps its trailing backslash.
    const std::wstring workingFolder(fullPath, static_cast<size_t>(filePart - fullPath));

    ComApartment com;  // declared first: released last, after the interfaces below
    if (FAILED(com.status()))
        return com.status();
    ComRef<IShellLinkW> shellLink;
    HRESULT status =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.receive());
    if (FAILED(status))
        return status;
    ComRef<IPersistFile> file;
    if (FAILED(status = shellLink->QueryInterface(IID_IPersistFile, file.receive())))
        return status;
    if (FAILED(status = shellLink->SetPath(fullPath)) ||
        FAILED(status = shellLink->SetWorkingDirectory(workingFolder.c_str())) ||
        FAILED(status = shellLink->SetDescription(utf8ToWide(description).c_str())))
        return status;
    return file->Save(link.c_str(), TRUE);
}
