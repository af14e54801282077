#include <gtest/gtest.h>

#include "net/address_text.h"

TEST(NetAddressText, ParsesDottedDecimal) {
    EXPECT_EQ(parseIpv4Bytes("192.168.1.1"), (Ipv4Bytes{192, 168, 1, 1}));
    EXPECT_EQ(parseIpv4Bytes("0.0.0.0"), (Ipv4Bytes{0, 0, 0, 0}));
    EXPECT_EQ(parseIpv4Bytes("10.0.0.254"), (Ipv4Bytes{10, 0, 0, 254}));
    // Blanks around a part are skipped; a three-digit part keeps its low eight bits.
    EXPECT_EQ(parseIpv4Bytes(" 10. 1 .2.3 "), (Ipv4Bytes{10, 1, 2, 3}));
    EXPECT_EQ(parseIpv4Bytes("300.1.1.1"), (Ipv4Bytes{44, 1, 1, 1}));
}

TEST(NetAddressText, RefusesIncompleteOrNonNumericAddresses) {
    for (const char* text :
         {"", "192168001001", "10.1", "10.1.2", "1.2.3.4.5", "a.b.c.d", "1.2.3.x", "1..2.3", "1.2.3.", ".1.2.3",
          "1.2.3.4x", "1.2.3.1234", "-1.2.3.4", "+1.2.3.4", "1.2.3 4.5", "0x1.2.3.4", "1:2:3:4"}) {
        EXPECT_FALSE(parseIpv4Bytes(text)) << text;
    }
}

TEST(NetAddressText, ParsesMacWithEitherSeparatorAndOneDigitGroups) {
    const MacBytes expected{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(parseMacBytes("00-1A-2B-3C-4D-5E"), expected);
    EXPECT_EQ(parseMacBytes("00:1a:2b:3c:4d:5e"), expected);
    EXPECT_EQ(parseMacBytes("0:1a:2B:3c:4D:5e"), expected);
    EXPECT_EQ(parseMacBytes("0-1a-2b-3c-4d-5e"), expected);
    EXPECT_EQ(parseMacBytes("f-f-f-f-f-f"), (MacBytes{15, 15, 15, 15, 15, 15}));
    EXPECT_EQ(parseMacBytes("FF-ff-00-01-10-Ab"), (MacBytes{0xFF, 0xFF, 0x00, 0x01, 0x10, 0xAB}));
}

TEST(NetAddressText, RefusesIncompleteOrNonHexMacs) {
    for (const char* text :
         {"", "001A2B3C4D5E", "00-1A-2B-3C-4D", "00:1A:2B:3C:4D", "00-1A-2B-3C-4D-5E-6F", "00-1A-2B-3C-4D-",
          "00-1A-2B-3C-4D-5G", "000-1A-2B-3C-4D-5E", "00-1A:2B-3C-4D-5E", "00-1A-2B-3C--4D", "zz:zz:zz:zz:zz:zz",
          " 02-FC-00-00-00-05", "02-FC-00-00-00-05 ", "02-FC-00 -00-00-05", "02:FC: 0:0:0:5", "+2-FC-00-00-00-05",
          "0-1-2-3-4-5\"", "02-FC-00-00-00-05\r"}) {
        EXPECT_FALSE(parseMacBytes(text)) << text;
    }
}

TEST(NetAddressText, OnlyAHostsMacIsPinnableAndItGoesOnInOneForm) {
    EXPECT_EQ(formatMacText(*pinnableMac("2:fc:0:0:0:5")), "02-FC-00-00-00-05");
    for (const char* text : {"00-00-00-00-00-00", "FF-FF-FF-FF-FF-FF", "01-00-5E-00-00-01", "3:0:0:0:0:1"})
        EXPECT_TRUE(parseMacBytes(text) && !pinnableMac(text)) << text;
}

TEST(NetAddressText, CommandAddressesAreStrict) {
    EXPECT_TRUE(isDottedIpv4Text("255.0.10.9"));
    for (const char* text :
         {"*", " 10.1.2.3", "10. 1.2.3", "256.0.0.1", "010.1.1.1", "10.1.2", "10.1.2.3.", "1.2.3.4\r"})
        EXPECT_FALSE(isDottedIpv4Text(text)) << text;
}

TEST(NetAddressText, FormatsUpperCaseTwoDigitGroups) {
    const MacBytes mac{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xfe};
    EXPECT_EQ(formatMacText(mac), "00-1A-2B-3C-4D-FE");
    EXPECT_EQ(macByteTexts(mac), (std::array<std::string, 6>{"00", "1A", "2B", "3C", "4D", "FE"}));
    EXPECT_EQ(parseMacBytes(formatMacText(mac)), mac);
}
