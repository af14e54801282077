#include "config/ui_language.h"

int32_t systemUiLanguage(uint16_t langId) {
    if (langId == kLangIdChinesePrc)
        return SimplifiedChinese;
    if (langId == kLangIdChineseTaiwan)
        return TraditionalChinese;
    return English;
}

const char* LocalizedText::in(int32_t language) const {
    if (language == SimplifiedChinese)
        return simplified;
    if (language == TraditionalChinese)
        return traditional;
    return english;
}
