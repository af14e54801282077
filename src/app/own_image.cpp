#include <windows.h>

#include "app/own_image.h"
#include "config/client_config.h"
#include "sys/win_handles.h"

OwnImage readOwnImage(const std::wstring& path) {
    OwnImage image;
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return image;
    image.opened = true;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= static_cast<LONGLONG>(kBaseImageSize))
        return image;
    image.length = static_cast<uint64_t>(size.QuadPart);
    uint64_t tailLength = image.length - kBaseImageSize;
    if (tailLength > kMaxTailBytes)
        tailLength = kMaxTailBytes;
    LARGE_INTEGER offset{};
    offset.QuadPart = static_cast<LONGLONG>(kBaseImageSize);
    if (!SetFilePointerEx(file.get(), offset, nullptr, FILE_BEGIN))
        return image;
    image.tail.resize(static_cast<size_t>(tailLength));
    DWORD received = 0;
    if (!ReadFile(file.get(), &image.tail[0], static_cast<DWORD>(tailLength), &received, nullptr))
        received = 0;
    image.tail.resize(received);
    return image;
}
