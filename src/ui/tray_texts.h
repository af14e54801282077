#pragma once
#include "config/ui_language.h"

// Texts of the notification-area menu, set on its two items before every display.
constexpr LocalizedText kTrayUnlockText = {"UnLock", "解除锁定", "解除鎖定"};
constexpr LocalizedText kTrayLockText = {"Lock", "锁定", "鎖定"};
constexpr LocalizedText kTrayExitText = {"Exit", "退出", "離開"};
