#pragma once
#include "config/ui_language.h"

// Messages of Apply. The captions are English in every language.

inline constexpr LocalizedText kDefaultPasswordWarning = {
    "As a security measure, you must change the default password to generate XirARP-Client for user !",
    "当您勾选”在桌面创建用戶绑定程序”，出于安全考虑，请更改默认的密码 !",
    "基於安全考量 在產生用戶端綁定程式前 請先變更預設密碼 !",
};
inline constexpr LocalizedText kGatewayIpMissing = {"Please input IP address !", "请输入IP地址 !", "請輸入IP位置 !"};
inline constexpr LocalizedText kGatewayMacMissing = {"Please input MAC address !", "请输入MAC地址 !", "請輸入MAC !"};
inline constexpr LocalizedText kIntervalMissing = {"Please input time interval !", "请输入时间间隔 !",
                                                   "請輸入時間間隔 !"};
inline constexpr LocalizedText kClientPackageFailed = {
    "Cannot write XirARP-Client.exe to the desktop !",
    "无法在桌面写入 XirARP-Client.exe !",
    "無法在桌面寫入 XirARP-Client.exe !",
};
inline constexpr LocalizedText kApplySucceeded = {"Apply Setting Successfully !", "已成功导入设置 !",
                                                  "已成功套用設定 !"};

inline constexpr const char* kApplyWarningCaption = "WARNING";
inline constexpr const char* kApplyInformationCaption = "Information";

// Description of the Startup shortcut.
inline constexpr const char* kShortcutDescription = "XirArp Utility v0.4";
