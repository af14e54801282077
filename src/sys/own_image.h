#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "sys/win_handles.h"

// The program's own file, held from start-up for the life of the process: opened for reading and shared for
// reading only, so that while the program runs nobody can write, replace or rename it. The service's image is
// copied from this handle, never from the path again: a path names whatever file lies there now.
class OwnImageHold {
  public:
    explicit OwnImageHold(const std::wstring& path);
    ~OwnImageHold();
    OwnImageHold(const OwnImageHold&) = delete;
    OwnImageHold& operator=(const OwnImageHold&) = delete;

    bool held() const { return static_cast<bool>(file_); }
    HANDLE file() const { return file_.get(); }

  private:
    UniqueFileHandle file_;
};

// What start-up learns from its own executable file.
struct OwnImage {
    bool opened = false;
    uint64_t length = 0;
    std::string tail;  // the bytes behind the administrator image, at most kMaxTailBytes of them
};

// A configuration text is about 250 bytes; anything beyond this many bytes of tail is not read.
constexpr uint64_t kMaxTailBytes = 16u * 1024 * 1024;

// Reads the length and the tail of the file: through the hold when there is one, else opened for this read
// alone (shared, as another program may have it open for writing).
OwnImage readOwnImage(const OwnImageHold& hold, const std::wstring& path);

enum class HeldImage {
    Read,       // the bytes are the image that runs
    NotHeld,    // no hold in this process: the file could not be opened without sharing writes and deletion
    NotLoaded,  // the held file is not the image that was loaded (replaced before the hold was taken)
};

// The first kBaseImageSize bytes of the held file, checked against the headers of the module that runs.
HeldImage readHeldImage(std::string& image);

// Whether path names the held file itself, under whatever name.
bool isHeldOwnImage(const std::wstring& path);
