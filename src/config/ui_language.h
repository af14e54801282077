#pragma once
#include <cstdint>

// User-interface language number as stored in "language". Any number other than 1 and 2 shows English.
enum UiLanguage : int32_t {
    English = 0,
    SimplifiedChinese = 1,
    TraditionalChinese = 2,
};

// Only the main window uses this, as the default that means "nothing stored yet".
constexpr int32_t kLanguageUnset = 99;

constexpr uint16_t kLangIdEnglishUs = 1033;
constexpr uint16_t kLangIdChinesePrc = 2052;
constexpr uint16_t kLangIdChineseTaiwan = 1028;

// The language that belongs to a system default language identifier.
int32_t systemUiLanguage(uint16_t langId);

// The language identifier of a language number's string table: 1 Simplified, 2 Traditional, anything
// else English.
uint16_t textLanguageId(int32_t language);
