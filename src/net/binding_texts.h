#pragma once
#include "config/ui_language.h"

// Warning of a timer expiry whose settings are incomplete; the caption is English in every language.
inline constexpr LocalizedText kBindConfigMissingText = {
    "Cannot get configuration !",
    "无法获取设置信息 !",
    "無法取得設定資料 !",
};
inline constexpr const char* kBindWarningCaption = "WARNING";
