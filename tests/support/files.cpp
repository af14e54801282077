#include "support/files.h"

#include <windows.h>
#include <shellapi.h>

std::wstring widePath(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                     static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return wide;
}

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string readFileBytes(const std::string& path) {
    HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[65536];
    DWORD received = 0;
    while (ReadFile(file, buffer, sizeof buffer, &received, nullptr) && received > 0)
        bytes.append(buffer, received);
    CloseHandle(file);
    return bytes;
}

namespace {

// Writes all bytes to a file opened with the given access and disposition.
bool putFileBytes(const std::string& path, DWORD access, DWORD disposition, const std::string& bytes) {
    HANDLE file = CreateFileW(widePath(path).c_str(), access, 0, nullptr, disposition, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

}  // namespace

bool writeFileBytes(const std::string& path, const std::string& bytes) {
    return putFileBytes(path, GENERIC_WRITE, CREATE_ALWAYS, bytes);
}

bool appendFileBytes(const std::string& path, const std::string& bytes) {
    return putFileBytes(path, FILE_APPEND_DATA, OPEN_EXISTING, bytes);
}

void removeTree(const std::string& folder) {
    std::wstring doubleTerminated = widePath(folder) + L'\0' + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = doubleTerminated.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}
