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

// Passwords are the bytes of the ANSI code page. How the code page holds an entry's text:
enum class CodePageFit {
    Whole,    // every character as it is
    BestFit,  // some only as a look-alike ("ł" as "l" on code page 1252), as every version has digested them
    Default,  // some not at all: they turned into the default character ("?"), so the text is no password of its own
};

// Outcome of the unlock dialog's checks, the first refusal winning. A text that needed the default character never
// unlocks; a look-alike one unlocks with the digest earlier versions stored for it.
enum class UnlockCheck { Accepted, EmptyEntry, WrongPassword };
UnlockCheck CheckUnlock(const std::string& password,
                        const std::string& storedDigest,
                        CodePageFit fit = CodePageFit::Whole);

// Outcome of the change-password dialog's checks, in the order they are made. The old password comes
// last, so a wrong one is reported only once the new password and its confirmation are acceptable.
enum class ChangePasswordCheck {
    Accepted,
    OldEmpty,
    NewEmpty,
    ConfirmEmpty,
    ConfirmDiffers,
    NewDoesNotFit,  // the new password has characters the code page holds only as look-alikes, or not at all
    NewIsDefault,
    OldWrong,
};
// How the code page held each entry's text. The old password is checked as Unlock checks it. A new password must
// be held whole: stored as its look-alike it would stand for other texts too, and for other ones on another code
// page. A confirmation differs when the two new texts were held differently.
struct PasswordEntriesFit {
    CodePageFit oldPassword = CodePageFit::Whole;
    CodePageFit newPassword = CodePageFit::Whole;
    CodePageFit confirmPassword = CodePageFit::Whole;
};
ChangePasswordCheck CheckChangePassword(const std::string& oldPassword,
                                        const std::string& newPassword,
                                        const std::string& confirmPassword,
                                        const std::string& storedDigest,
                                        PasswordEntriesFit fit = {});
