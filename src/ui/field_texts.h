#pragma once
#include "config/ui_language.h"

// Message of a field check whose value is outside its range; filled with the lower and upper bound
// texts. The caption is English in every language.
inline constexpr LocalizedText kOutOfRangePattern = {
    "The value is out of range [%s~%s] !",
    "该值范围不能超过 [%s~%s] !",
    "設定超出範圍 [%s~%s] !",
};
inline constexpr const char* kFieldCheckCaption = "Information";
