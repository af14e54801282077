#include <windows.h>

#include <vector>

#include "ui/client_package.h"

#include "config/client_config.h"
#include "config/client_config_store.h"
#include "sys/win_handles.h"

namespace {

// The staging folder is made here or was left by an earlier run; a file of that name does not count.
bool makeFolder(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr))
        return true;
    DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A copy made by a program that itself carries bytes behind the image (an administrator started from a
// copy whose text was not understood) must not hand them on: the reader would find the old text first.
bool cutToBaseImage(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return false;
    if (size.QuadPart <= static_cast<LONGLONG>(kBaseImageSize))
        return true;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(kBaseImageSize);
    return SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

}  // namespace

std::wstring clientStagingFolder() {
    DWORD needed = GetTempPathW(0, nullptr);
    if (needed == 0 || needed > 32768)
        return {};
    std::vector<wchar_t> buffer(needed + 1);
    DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size())
        return {};
    std::wstring folder(buffer.data(), length);
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + L"XirARP";
}

bool writeClientPackage(const std::wstring& ownExecutable,
                        const std::string& configText,
                        const std::wstring& stagingFolder,
                        const std::wstring& desktopFolder) {
    if (ownExecutable.empty() || stagingFolder.empty() || desktopFolder.empty())
        return false;

    const std::wstring stagingCopy = stagingFolder + L"\\" + kClientPackageName;
    bool delivered = false;
    if (makeFolder(stagingFolder) && CopyFileW(ownExecutable.c_str(), stagingCopy.c_str(), FALSE)) {
        // A copy of a read-only program is read-only too; the text must still go in, and the copy out.
        SetFileAttributesW(stagingCopy.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (cutToBaseImage(stagingCopy) && appendClientConfig(stagingCopy, configText)) {
            const std::wstring package = desktopFolder + L"\\" + kClientPackageName;
            delivered = CopyFileW(stagingCopy.c_str(), package.c_str(), FALSE) != FALSE;
        }
    }
    DeleteFileW(stagingCopy.c_str());
    RemoveDirectoryW(stagingFolder.c_str());
    return delivered;
}
