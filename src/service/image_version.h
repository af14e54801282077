#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

// The file version of a program image as its version resource states it (VS_FIXEDFILEINFO): the most
// significant half, then the least, as one number that orders versions. Read from the first signature
// 0xFEEF04BD on a four-byte boundary; none when the image has no such structure.
std::optional<uint64_t> imageFileVersion(std::string_view image);
