#pragma once
#include "config/ui_language.h"
#include "res/resource.h"

// Texts the language switch sets on the main window, in the order it sets them.

constexpr LocalizedText kMainWindowTitle = {"XirARP Utility v0.4", "XirARP Utility v0.4", "XirARP Utility v0.4"};

struct ControlText {
    int controlId;
    LocalizedText text;
};

constexpr ControlText kMainWindowTexts[] = {
    {IDC_LOCAL_GROUP, {"Local Information", "本机网卡", "本機資訊"}},
    {IDC_LOCAL_IP_LABEL, {"IP Addr.", "IP地址", "IP位址"}},
    {IDC_ARP_GROUP, {"ARP Settings", "网关MAC设置", "Gateway綁定設定"}},
    {IDC_GENERATE_CLIENT, {"Generate XirARP-Client for User", "在桌面创建用戶绑定程序", "在桌面產生用戶端綁定程式"}},
    {IDC_ALLOW_SKIP_LABEL, {"Allow User Not Run Binding", "允许用户不运行网关自动绑定", "允許用戶不執行綁定"}},
    {IDC_ALLOW_SKIP_YES, {"YES", "是", "是"}},
    {IDC_ALLOW_SKIP_NO, {"NO", "否", "否"}},
    {IDC_GATEWAY_IP_LABEL, {"Gateway IP", "网关", "Gateway IP"}},
    {IDC_INTERVAL_LABEL, {"IP and MAC binding  Interval", "自动绑定网关的MAC地址每隔", "自動綁定IP與MAC 每隔"}},
    {IDC_SECONDS_LABEL, {"secs", "秒", "秒"}},
    {IDC_CHANGE_PASSWORD, {"Change Password", "更改密码", "變更密碼"}},
    {IDC_APPLY, {"Apply", "应用", "套用"}},
    {IDC_CLEAR_FIELDS, {"Cancel", "取消", "取消"}},
    {IDC_UNINSTALL, {"Uninstall", "卸载", "移除設定"}},
    {IDC_EXIT, {"Exit", "退出", "離開"}},
};
