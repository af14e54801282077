#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "auth/password.h"

namespace {

const std::string kMauveDigest = "774481863f1bd36fb2c1af602bfd30e7";  // "mauve193504118820"

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST(PasswordDigest, DigestsThePasswordFollowedByTheSalt) {
    EXPECT_EQ(PasswordDigest("mauve"), kMauveDigest);
    EXPECT_EQ(PasswordDigest("Mauve"), "78fdcc8662f74896ddc8f6d9c227ff60");
    // Twenty characters and the twelve of the salt: all 32 bytes count.
    EXPECT_EQ(PasswordDigest("abcdefghijklmnopqrst"), "f67f11caf8d1a689cd0e9eb4291b6a54");
}

TEST(PasswordDigest, EmptyStoredTextMeansTheDefaultPassword) {
    EXPECT_EQ(EffectivePasswordDigest(""), kMauveDigest);
    EXPECT_EQ(EffectivePasswordDigest("not a digest"), "not a digest");

    const std::string stored = EffectivePasswordDigest("");
    EXPECT_EQ(CheckUnlock("mauve", stored), UnlockCheck::Accepted);
    EXPECT_EQ(CheckUnlock("Mauve", stored), UnlockCheck::WrongPassword);
    EXPECT_EQ(CheckUnlock("mauve ", stored), UnlockCheck::WrongPassword);
    EXPECT_EQ(CheckUnlock("", stored), UnlockCheck::EmptyEntry);
}

TEST(PasswordDigest, OnlyTheExactLowerCaseDigestMatches) {
    EXPECT_TRUE(DigestsEqual(kMauveDigest.c_str(), kMauveDigest.c_str()));
    EXPECT_FALSE(DigestsEqual(upperCase(kMauveDigest).c_str(), kMauveDigest.c_str()));
    EXPECT_FALSE(DigestsEqual((kMauveDigest + " ").c_str(), kMauveDigest.c_str()));
    EXPECT_FALSE(DigestsEqual("", kMauveDigest.c_str()));

    EXPECT_EQ(CheckUnlock("mauve", upperCase(kMauveDigest)), UnlockCheck::WrongPassword);
    EXPECT_EQ(CheckUnlock("mauve", "mauve"), UnlockCheck::WrongPassword);  // a plain password stored
    // "ЖЖЖЖЖЖ" reads as "??????" in code page 1252: the same bytes, never the same password.
    EXPECT_EQ(CheckUnlock("??????", PasswordDigest("??????"), CodePageFit::Default), UnlockCheck::WrongPassword);
    // "Wałęsa" reads as "Walesa" there, whose digest earlier versions stored for it: it still unlocks.
    EXPECT_EQ(CheckUnlock("Walesa", PasswordDigest("Walesa"), CodePageFit::BestFit), UnlockCheck::Accepted);
}

TEST(ChangePasswordRules, ChecksRunInTheirFixedOrder) {
    constexpr CodePageFit kWhole = CodePageFit::Whole, kBestFit = CodePageFit::BestFit, kDefault = CodePageFit::Default;
    const std::string stored = EffectivePasswordDigest("");
    const struct {
        const char* oldPassword;
        const char* newPassword;
        const char* confirmPassword;
        ChangePasswordCheck expected;
        PasswordEntriesFit fit = {};  // every entry fitted the code page
    } kCases[] = {
        {"", "", "", ChangePasswordCheck::OldEmpty},
        {"", "secret", "other", ChangePasswordCheck::OldEmpty},
        {"wrong", "", "secret", ChangePasswordCheck::NewEmpty},
        {"wrong", "secret", "", ChangePasswordCheck::ConfirmEmpty},
        {"wrong", "secret", "Secret", ChangePasswordCheck::ConfirmDiffers},
        {"wrong", "mauve", "mauve", ChangePasswordCheck::NewIsDefault},
        {"mauve", "mauve", "mauve", ChangePasswordCheck::NewIsDefault},  // even with the right old password
        {"wrong", "secret", "secret", ChangePasswordCheck::OldWrong},
        {"MAUVE", "secret", "secret", ChangePasswordCheck::OldWrong},
        {"mauve", "secret", "secret", ChangePasswordCheck::Accepted},
        {"mauve", "Mauve", "Mauve", ChangePasswordCheck::Accepted},  // only the exact default is refused
        {"mauve", "mauve ", "mauve ", ChangePasswordCheck::Accepted},
        // Before the old password.
        {"wrong", "??????", "??????", ChangePasswordCheck::NewDoesNotFit, {kWhole, kDefault, kDefault}},
        {"wrong", "Walesa", "Walesa", ChangePasswordCheck::NewDoesNotFit, {kWhole, kBestFit, kBestFit}},
        {"mauve", "??????", "??????", ChangePasswordCheck::ConfirmDiffers, {kWhole, kWhole, kDefault}},
        {"mauve", "secret", "secret", ChangePasswordCheck::OldWrong, {kDefault, kWhole, kWhole}},
        {"mauve", "secret", "secret", ChangePasswordCheck::Accepted, {kBestFit, kWhole, kWhole}},  // as Unlock would
    };
    for (const auto& entry : kCases) {
        EXPECT_EQ(CheckChangePassword(entry.oldPassword, entry.newPassword, entry.confirmPassword, stored, entry.fit),
                  entry.expected)
            << entry.oldPassword << " / " << entry.newPassword << " / " << entry.confirmPassword;
    }

    const std::string changed = PasswordDigest("secret");
    EXPECT_EQ(CheckChangePassword("secret", "secret", "secret", changed), ChangePasswordCheck::Accepted);
    EXPECT_EQ(CheckChangePassword("mauve", "other", "other", changed), ChangePasswordCheck::OldWrong);
}
