#include "service/image_version.h"

namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
// dwSignature, dwStrucVersion, dwFileVersionMS, dwFileVersionLS.
constexpr size_t kVersionAt = 8;
constexpr size_t kFixedInfoPrefix = 16;

uint32_t littleEndianAt(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;)
        value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

}  // namespace

std::optional<uint64_t> imageFileVersion(std::string_view image) {
    for (size_t at = 0; at + kFixedInfoPrefix <= image.size(); at += 4) {
        if (littleEndianAt(image, at) != kFixedInfoSignature)
            continue;
        return static_cast<uint64_t>(littleEndianAt(image, at + kVersionAt)) << 32 |
               littleEndianAt(image, at + kVersionAt + 4);
    }
    return std::nullopt;
}
