#pragma once
#include <cstdint>
#include <string>

// Captions of the program's message boxes: English in every language.
constexpr char kWarningCaption[] = "WARNING";
constexpr char kInformationCaption[] = "Information";

// A text of the program's string tables (res/strings.rc), UTF-8, from the table of a language number: 1
// Simplified Chinese, 2 Traditional Chinese, any other English. The table is chosen here, not by the
// thread's user-interface language. Empty when the table holds no such text.
std::string uiText(unsigned id, int32_t language);
