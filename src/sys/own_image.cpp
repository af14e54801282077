#include "sys/own_image.h"

#include <cstddef>
#include <cstring>

#include "config/client_config.h"

namespace {

// The hold alive in this process; the process keeps one for its whole life.
HANDLE g_heldFile = nullptr;

bool readAt(HANDLE file, uint64_t offset, void* buffer, DWORD size, DWORD& received) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    received = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, &received, nullptr);
}

const IMAGE_NT_HEADERS* ntHeaders(const char* base, size_t size) {
    if (size < sizeof(IMAGE_DOS_HEADER))
        return nullptr;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0 ||
        static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > size)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

// The file's headers are the loaded ones, byte for byte but the image base (the loader writes in the address it
// chose when it relocates): the link's time stamp, the sizes and the table of every section. The code itself
// cannot be compared, as the loader and the runtime's start-up patch it (relocations, MinGW's pseudo-relocations).
bool matchesLoadedModule(const std::string& file) {
    const char* loaded = reinterpret_cast<const char*>(GetModuleHandleW(nullptr));
    const IMAGE_NT_HEADERS* running = ntHeaders(loaded, kBaseImageSize);
    const IMAGE_NT_HEADERS* stored = ntHeaders(file.data(), file.size());
    if (!running || !stored)
        return false;
    const size_t headerSize = running->OptionalHeader.SizeOfHeaders;
    const size_t baseAt = reinterpret_cast<const char*>(&running->OptionalHeader.ImageBase) - loaded;
    if (headerSize > file.size() || baseAt + sizeof(running->OptionalHeader.ImageBase) > headerSize)
        return false;
    std::string headers(loaded, headerSize);
    std::memcpy(&headers[baseAt], file.data() + baseAt, sizeof(running->OptionalHeader.ImageBase));
    return file.compare(0, headerSize, headers) == 0;
}

bool sameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace

// Shared for reading only: the loader and other readers (a copy being made, a virus scanner) may go on reading.
OwnImageHold::OwnImageHold(const std::wstring& path)
    : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {
    if (file_ && !g_heldFile)
        g_heldFile = file_.get();
}

OwnImageHold::~OwnImageHold() {
    if (file_ && g_heldFile == file_.get())
        g_heldFile = nullptr;
}

OwnImage readOwnImage(const OwnImageHold& hold, const std::wstring& path) {
    OwnImage image;
    UniqueFileHandle ownOpen;
    HANDLE file = hold.file();
    if (!file) {
        ownOpen.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        file = ownOpen.get();
    }
    if (!file)
        return image;
    image.opened = true;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= static_cast<LONGLONG>(kBaseImageSize))
        return image;
    image.length = static_cast<uint64_t>(size.QuadPart);
    uint64_t tailLength = image.length - kBaseImageSize;
    if (tailLength > kMaxTailBytes)
        tailLength = kMaxTailBytes;
    image.tail.resize(static_cast<size_t>(tailLength));
    DWORD received = 0;
    if (!readAt(file, kBaseImageSize, &image.tail[0], static_cast<DWORD>(tailLength), received))
        received = 0;
    image.tail.resize(received);
    return image;
}

HeldImage readHeldImage(std::string& image) {
    if (!g_heldFile)
        return HeldImage::NotHeld;
    image.assign(kBaseImageSize, '\0');
    DWORD received = 0;
    if (!readAt(g_heldFile, 0, &image[0], static_cast<DWORD>(image.size()), received) || received != image.size())
        return HeldImage::NotLoaded;
    return matchesLoadedModule(image) ? HeldImage::Read : HeldImage::NotLoaded;
}

bool isHeldOwnImage(const std::wstring& path) {
    if (!g_heldFile)
        return false;
    UniqueFileHandle other(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return other && sameFile(g_heldFile, other.get());
}
