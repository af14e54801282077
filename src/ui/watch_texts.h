#pragma once
#include "config/ui_language.h"

// Tips of the notification-area icon while the gateway is watched: the gateway's address, then the MACs
// in the order of the English text.
constexpr LocalizedText kGatewayProtectedTip = {"Gateway %s pinned to %s", "网关 %s 已绑定到 %s",
                                                "閘道 %s 已綁定到 %s"};
constexpr LocalizedText kGatewayNotInEffectTip = {"Gateway %s not pinned: run XirARP as administrator",
                                                  "网关 %s 未绑定：请以管理员身份运行 XirARP",
                                                  "閘道 %s 未綁定：請以系統管理員身分執行 XirARP"};
constexpr LocalizedText kGatewayConflictTip = {"Gateway %s answered as %s, pinned %s", "网关 %s 应答为 %s，已绑定 %s",
                                               "閘道 %s 回應為 %s，已綁定 %s"};
// Title of the balloon that repeats the tip when the state turns bad.
constexpr const char* kGatewayAlertTitle = "XirARP";
