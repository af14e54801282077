#pragma once
#include "config/ui_language.h"

// Shown after every uninstall, whatever was found to remove; the caption is English in every language.
inline constexpr LocalizedText kUninstallDoneText = {
    "Remove Setting Successfully !",
    "已成功卸载 !",
    "已成功移除設定 !",
};
inline constexpr const char* kUninstallCaption = "Information";
