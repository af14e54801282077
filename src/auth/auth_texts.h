#pragma once
#include "config/ui_language.h"

// Texts of the two password dialogs: English, Simplified Chinese, Traditional Chinese (UTF-8).

constexpr const char kWarningCaption[] = "WARNING";

// Unlock dialog.
constexpr LocalizedText kUnlockCaption{"UnLock", "解除锁定", "解除鎖定"};
constexpr LocalizedText kUnlockPasswordLabel{"Password", "密码", "密碼"};
constexpr LocalizedText kUnlockEmptyEntry{"Please input password !", "请输入密码 !", "請輸入密碼 !"};
constexpr LocalizedText kUnlockWrongPassword{"Wrong Password ! Please input again !", "密码错误 请重新输入 !",
                                             "密碼錯誤 請重新輸入 !"};

// Both dialogs.
constexpr LocalizedText kOkButton{"OK", "确定", "確認"};
constexpr LocalizedText kCancelButton{"Cancel", "取消", "取消"};

// Change-password dialog.
constexpr LocalizedText kChangePasswordCaption{"Change Password", "更改密码", "變更密碼"};
constexpr LocalizedText kOldPasswordLabel{"Old Password", "旧密码", "舊密碼"};
constexpr LocalizedText kNewPasswordLabel{"New Password", "新密码", "新密碼"};
constexpr LocalizedText kConfirmPasswordLabel{"Confirm New Password", "确认新密码", "確認新密碼"};
constexpr LocalizedText kOldPasswordEmpty{"Please input old password !", "请输入旧密码 !", "請輸入舊密碼 !"};
constexpr LocalizedText kNewPasswordEmpty{"Please input new password !", "请输入新密码 !", "請輸入新密碼 !"};
constexpr LocalizedText kConfirmPasswordEmpty{"Please input confirm new password !", "请输入确认新密码 !",
                                              "請輸入確認新密碼 !"};
constexpr LocalizedText kConfirmPasswordWrong{"Confirm new password is wrong. Please input again !",
                                              "确认新密码错误 请重新输入 !", "確認新密碼輸入錯誤 請重新輸入 !"};
// The Simplified text has an ideographic space before its last clause, the Traditional two plain ones.
constexpr LocalizedText kNewPasswordIsDefault{"New password cannot be the same with default one. Please input again !",
                                              "新密码与默认密码相同\u3000请重新输入 !",
                                              "新密碼與預設密碼相同  請重新輸入 !"};
constexpr LocalizedText kOldPasswordWrong{"Old password is wrong. Please input again !", "旧密码错误 请重新输入 !",
                                          "舊密碼輸入錯誤 請重新輸入 !"};
