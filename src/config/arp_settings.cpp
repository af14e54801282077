#include "config/arp_settings.h"

int32_t systemUiLanguage(uint16_t langId) {
    if (langId == kLangIdChinesePrc)
        return SimplifiedChinese;
    if (langId == kLangIdChineseTaiwan)
        return TraditionalChinese;
    return English;
}

uint16_t textLanguageId(int32_t language) {
    if (language == SimplifiedChinese)
        return kLangIdChinesePrc;
    if (language == TraditionalChinese)
        return kLangIdChineseTaiwan;
    return kLangIdEnglishUs;
}
