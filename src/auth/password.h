#pragma once
#include <string>

// In force while no digest is stored in "pwd".
constexpr const char DefaultPassword[] = "mauve";
// Appended to every password before digesting.
constexpr const char PasswordSalt[] = "193504118820";
// Password entries take at most this many bytes of the ANSI code page.
constexpr int kMaxPasswordBytes = 20;

// MD5 of the password's bytes followed by the salt, as 32 lower-case hex digits.
std::string PasswordDigest(const std::string& password);
// Exact, case-sensitive comparison of two digest texts up to their first NUL.
bool DigestsEqual(const char* first, const char* second);
// The digest a password must match, given the text stored in "pwd": empty means the default password.
std::string EffectivePasswordDigest(const std::string& storedText);

// Outcome of the unlock dialog's checks, the first refusal winning.
enum class UnlockCheck { Accepted, EmptyEntry, WrongPassword };
UnlockCheck CheckUnlock(const std::string& password, const std::string& storedDigest);

// Outcome of the change-password dialog's checks, in the order they are made. The old password comes
// last, so a wrong one is reported only once the new password and its confirmation are acceptable.
enum class ChangePasswordCheck {
    Accepted,
    OldEmpty,
    NewEmpty,
    ConfirmEmpty,
    ConfirmDiffers,
    NewIsDefault,
    OldWrong,
};
ChangePasswordCheck CheckChangePassword(const std::string& oldPassword,
                                        const std::string& newPassword,
                                        const std::string& confirmPassword,
                                        const std::string& storedDigest);
