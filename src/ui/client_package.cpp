#include <windows.h>

#include "ui/client_package.h"

#include "config/client_config.h"
#include "config/client_config_store.h"
#include "sys/win_handles.h"

namespace {

// The staging folder is made here or was left by an earlier run; a file of that name does not count.
bool makeFolder(const std::string& folder) {
    if (CreateDirectoryA(folder.c_str(), nullptr))
        return true;
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A copy made by a program that itself carries bytes behind the image (an administrator started from a
// copy whose text was not understood) must not hand them on: the reader would find the old text first.
bool cutToBaseImage(const std::string& path) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
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

std::string clientStagingFolder() {
    char buffer[1024] = {};
    UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return {};
    return std::string(buffer, length) + "\\XirARP";
}

PackageOutcome writeClientPackage(const std::string& ownExecutable,
                                  const std::string& configText,
                                  const std::string& stagingFolder,
                                  const std::string& desktopFolder) {
    // Without a desktop the package has nowhere to go; Apply goes on as after a refused copy.
    if (desktopFolder.empty())
        return PackageOutcome::NotDelivered;
    if (ownExecutable.empty() || stagingFolder.empty())
        return PackageOutcome::Failed;

    const std::string stagingCopy = stagingFolder + "\\" + kClientPackageName;
    PackageOutcome outcome = PackageOutcome::Failed;
    if (makeFolder(stagingFolder) && CopyFileA(ownExecutable.c_str(), stagingCopy.c_str(), FALSE)) {
        // A copy of a read-only program is read-only too; the text must still go in, and the copy out.
        SetFileAttributesA(stagingCopy.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (cutToBaseImage(stagingCopy) && appendClientConfig(stagingCopy, configText)) {
            const std::string package = desktopFolder + "\\" + kClientPackageName;
            outcome = CopyFileA(stagingCopy.c_str(), package.c_str(), FALSE) ? PackageOutcome::Delivered
                                                                             : PackageOutcome::NotDelivered;
        }
    }
    DeleteFileA(stagingCopy.c_str());
    RemoveDirectoryA(stagingFolder.c_str());
    return outcome;
}
