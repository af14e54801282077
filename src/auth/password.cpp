#include "auth/password.h"

#include <cstring>

#include "auth/md5.h"

std::string PasswordDigest(const std::string& password) {
    std::string input = password + PasswordSalt;
    char text[kMd5DigestTextSize];
    Md5HexDigest(input.data(), input.size(), text);
    return text;
}

bool DigestsEqual(const char* first, const char* second) {
    return strcmp(first, second) == 0;
}

std::string EffectivePasswordDigest(const std::string& storedText) {
    return storedText.empty() ? PasswordDigest(DefaultPassword) : storedText;
}

UnlockCheck CheckUnlock(const std::string& password, const std::string& storedDigest, CodePageFit fit) {
    if (password.empty())
        return UnlockCheck::EmptyEntry;
    if (fit == CodePageFit::Default || !DigestsEqual(PasswordDigest(password).c_str(), storedDigest.c_str()))
        return UnlockCheck::WrongPassword;
    return UnlockCheck::Accepted;
}

ChangePasswordCheck CheckChangePassword(const std::string& oldPassword,
                                        const std::string& newPassword,
                                        const std::string& confirmPassword,
                                        const std::string& storedDigest,
                                        PasswordEntriesFit fit) {
    if (oldPassword.empty())
        return ChangePasswordCheck::OldEmpty;
    if (newPassword.empty())
        return ChangePasswordCheck::NewEmpty;
    if (confirmPassword.empty())
        return ChangePasswordCheck::ConfirmEmpty;
    if (newPassword != confirmPassword || fit.newPassword != fit.confirmPassword)
        return ChangePasswordCheck::ConfirmDiffers;
    if (fit.newPassword != CodePageFit::Whole)
        return ChangePasswordCheck::NewDoesNotFit;
    if (newPassword == DefaultPassword)
        return ChangePasswordCheck::NewIsDefault;
    if (CheckUnlock(oldPassword, storedDigest, fit.oldPassword) != UnlockCheck::Accepted)
        return ChangePasswordCheck::OldWrong;
    return ChangePasswordCheck::Accepted;
}
