#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "config/client_config.h"
#include "ui/apply_rules.h"

TEST(ApplyRules, OnlyYesAloneLetsTheUserDecline) {
    EXPECT_STREQ(clientModeToken(true, false), kTokenClientAsk);
    EXPECT_STREQ(clientModeToken(false, true), kTokenClientBind);
    EXPECT_STREQ(clientModeToken(false, false), kTokenClientBind);
    EXPECT_STREQ(clientModeToken(true, true), kTokenClientBind);
}

TEST(ApplyRules, MacFieldsMakeOneAddressOrNone) {
    EXPECT_EQ(macOfFields({"A", "0b", "22", "3", "44", "f"}), (MacBytes{0x0A, 0x0B, 0x22, 0x03, 0x44, 0x0F}));
    EXPECT_EQ(macOfFields({"0", "00", "0", "0", "0", "0"}), MacBytes{});  // read; Apply refuses it as no host's
    EXPECT_FALSE(macOfFields({"00", "11", "", "33", "44", "55"}));
    EXPECT_FALSE(macOfFields({"00", "11", "22", "33", "44", "5-"}));  // a field holding a separator adds no group
    EXPECT_FALSE(macOfFields({"00", "11", "22", "33", " 4", "55"}));
}

TEST(ApplyRules, AddressesAreDottedDecimalFirstFieldFirst) {
    EXPECT_EQ(formatIpv4Text({192, 168, 1, 0}), "192.168.1.0");
    EXPECT_EQ(formatIpv4Text({0, 0, 0, 0}), "0.0.0.0");
    EXPECT_EQ(formatIpv4Text({255, 255, 255, 255}), "255.255.255.255");
}

TEST(ApplyRules, TheIntervalIsTheNumberAtTheStartOfItsText) {
    EXPECT_EQ(intervalFromText("60"), 60);
    EXPECT_EQ(intervalFromText("0060"), 60);  // never octal
    EXPECT_EQ(intervalFromText(" \t9999x"), 9999);
    EXPECT_EQ(intervalFromText("-5"), -5);
    EXPECT_EQ(intervalFromText("+7"), 7);
    EXPECT_EQ(intervalFromText(""), 0);
    EXPECT_EQ(intervalFromText("abc"), 0);
    EXPECT_EQ(intervalFromText("-"), 0);
    EXPECT_EQ(intervalFromText("2147483647"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(intervalFromText("99999999999999999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(intervalFromText("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(intervalFromText("-99999999999999999999999"), std::numeric_limits<int32_t>::min());
}
