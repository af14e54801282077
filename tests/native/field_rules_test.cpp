#include <gtest/gtest.h>

#include "ui/field_rules.h"

namespace {

constexpr FieldKind kMac = FieldKind::MacByte;
constexpr FieldKind kInterval = FieldKind::Interval;

bool accepted(FieldKind kind, const std::string& text) {
    return fieldValueInRange(kind, readFieldValue(kind, text));
}

}  // namespace

TEST(FieldRules, AMacByteIsOneOrTwoHexDigitsAndNothingElse) {
    EXPECT_EQ(readFieldValue(kMac, "FF"), 255);
    EXPECT_EQ(readFieldValue(kMac, "ff"), 255);
    EXPECT_EQ(readFieldValue(kMac, "0a"), 10);
    EXPECT_EQ(readFieldValue(kMac, "7"), 7);
    for (const char* text : {"", "1G", "1\"", "G1", " 5", "5 ", "-1", "+5", "0X", "ABC", "\xA1\xA2"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(readFieldValue(kMac, text), std::nullopt);
        EXPECT_FALSE(accepted(kMac, text));
    }
    EXPECT_TRUE(accepted(kMac, "00"));
}

TEST(FieldRules, TheIntervalIsTheDecimalNumberAtTheStartWithinOneTo3600) {
    EXPECT_EQ(readFieldValue(kInterval, "60"), 60);
    EXPECT_EQ(readFieldValue(kInterval, " 45s"), 45);
    EXPECT_EQ(readFieldValue(kInterval, "0060"), 60);  // decimal, never octal
    EXPECT_EQ(readFieldValue(kInterval, "-2147483648"), INT32_MIN);
    EXPECT_EQ(readFieldValue(kInterval, "2147483648"), std::nullopt);
    EXPECT_EQ(readFieldValue(kInterval, "99999999999999999999"), std::nullopt);
    EXPECT_EQ(readFieldValue(kInterval, ""), std::nullopt);
    EXPECT_EQ(readFieldValue(kInterval, "-"), std::nullopt);
    EXPECT_EQ(readFieldValue(kInterval, "s60"), std::nullopt);

    EXPECT_TRUE(accepted(kInterval, "1"));
    EXPECT_TRUE(accepted(kInterval, "3600"));
    for (const char* text : {"0", "3601", "9999", "", "-1", "-2147483648", "x"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(accepted(kInterval, text));  // a negative number is out of range compared without sign
    }
}

TEST(FieldRules, ARefusedValueGivesWayToThePreviousOneInTheFieldsFormat) {
    EXPECT_EQ(restoredFieldText(kMac, "a"), "0A");
    EXPECT_EQ(restoredFieldText(kMac, "ff"), "FF");
    EXPECT_EQ(restoredFieldText(kInterval, "0300"), "300");
    EXPECT_EQ(restoredFieldText(kInterval, "-5"), "-5");
    // Without a previous number the field is emptied: a text that is no number never comes back.
    EXPECT_EQ(restoredFieldText(kMac, ""), "");
    EXPECT_EQ(restoredFieldText(kMac, "1G"), "");
    EXPECT_EQ(restoredFieldText(kMac, "ZZ"), "");
    EXPECT_EQ(restoredFieldText(kInterval, "abc"), "");
    EXPECT_EQ(restoredFieldText(kInterval, "99999999999"), "");
}

TEST(FieldRules, TheMessageNamesTheFieldsRangeInEachLanguage) {
    const char* const kEnglish = "The value is out of range [%s~%s] !";
    EXPECT_EQ(outOfRangeMessage(kMac, kEnglish), "The value is out of range [00~FF] !");
    EXPECT_EQ(outOfRangeMessage(kInterval, kEnglish), "The value is out of range [1~3600] !");
    EXPECT_EQ(outOfRangeMessage(kMac, "该值范围不能超过 [%s~%s] !"), "该值范围不能超过 [00~FF] !");
    EXPECT_EQ(outOfRangeMessage(kInterval, "設定超出範圍 [%s~%s] !"), "設定超出範圍 [1~3600] !");
}
