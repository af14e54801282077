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

// Passwords are the bytes of the ANSI code page. A character the code page cannot hold turns into its default
// character ("?"), so a text that needed it is no password of its own: "fits" says whether an entry's text was
// held whole.

// Outcome of the unlock dialog's checks, the first refusal winning. A text that did not fit never unlocks.
enum class UnlockCheck { Accepted, EmptyEntry, WrongPassword };
UnlockCheck CheckUnlock(const std::string& password, const std::string& storedDigest, bool fits = true);

// Outcome of the change-password dialog's checks, in the order they are made. The old password comes
// last, so a wrong one is reported only once the new password and its confirmation are acceptable.
enum class ChangePasswordCheck {
    Accepted,
    OldEmpty,
    NewEmpty,
    ConfirmEmpty,
    ConfirmDiffers,
    NewDoesNotFit,  // the new password has characters the code page cannot hold
    NewIsDefault,
    OldWrong,
};
// Whether each entry's text fitted the code page; an old password that did not fit is wrong, and a confirmation
// differs when only one of the two new texts fitted.
struct PasswordEntriesFit {
    bool oldPassword = true;
    bool newPassword = true;
    bool confirmPassword = true;
};
ChangePasswordCheck CheckChangePassword(const std::string& oldPassword,
                                        const std::string& newPassword,
                                        const std::string& confirmPassword,
                                        const std::string& storedDigest,
                                        PasswordEntriesFit fit = {});
