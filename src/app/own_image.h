#pragma once
#include <cstdint>
#include <string>

// What start-up learns from its own executable file.
struct OwnImage {
    bool opened = false;
    uint64_t length = 0;
    std::string tail;  // the bytes behind the administrator image, at most kMaxTailBytes of them
};

// A configuration text is about 250 bytes; anything beyond this many bytes of tail is not read.
constexpr uint64_t kMaxTailBytes = 16u * 1024 * 1024;

OwnImage readOwnImage(const std::wstring& path);
