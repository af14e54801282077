#pragma once

// The maker's web site: one address for Simplified Chinese, one for every other language. The macros
// let the About box template show the same text as the code opens.
#define XIRARP_MAKER_SITE_SIMPLIFIED_CHINESE "http://www.example.org/zh-cn/xirarp/"
#define XIRARP_MAKER_SITE_OTHER "http://www.example.org/xirarp/"

#ifndef RC_INVOKED
inline constexpr char kMakerSiteSimplifiedChinese[] = XIRARP_MAKER_SITE_SIMPLIFIED_CHINESE;
inline constexpr char kMakerSiteOther[] = XIRARP_MAKER_SITE_OTHER;
#endif
