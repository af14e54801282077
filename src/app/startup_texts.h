#pragma once
#include "config/ui_language.h"

// Texts of start-up, shown before any window exists.

// Another copy runs; chosen by the system language, not by the stored one.
constexpr LocalizedText kAnotherCopyRunning = {
    "Another XirARP is running now!!",
    "另一个 防ARP攻击 正在运行中!!",
    "另一個 防ARP攻擊 正在運行中!!",
};

// The question a client copy whose user may decline asks before the window opens.
constexpr LocalizedText kRunBindingQuestion = {
    "Would you like to run \"Prevent ARP Virus Attack\" binding ?",
    "你需要运行 客戶端防ARP攻击 吗 ?",
    "是否執行 客戶端防ARP攻擊 ?",
};

constexpr const char* kOwnFileUnreadableFormat = "Fail to get the configuration!!\r\nfilename=%s, curpath=%s !!";
constexpr const char* kParseConfigFailed = "parse configuration fail!!";
