#include <gtest/gtest.h>

#include "net/binding_commands.h"
#include "net/binding_settings.h"
#include "sys/system_command.h"

TEST(NetCommands, FormsTheCommandLinesWithTheirLineEnds) {
    EXPECT_EQ(formatBindCommand("192.168.1.1", "00-11-22-33-44-55"), "arp -s 192.168.1.1 00-11-22-33-44-55\r\n");
    EXPECT_EQ(formatRemoveCommand("192.168.1.1"), "arp -d 192.168.1.1\r\n");
    EXPECT_EQ(formatPingCommand("192.168.1.1"), "ping 192.168.1.1\n");
}

TEST(NetCommands, TheProgramIsThePlainLeadingWordOfTheLine) {
    EXPECT_EQ(systemCommandProgram(*formatBindCommand("192.168.1.1", "00-11-22-33-44-55")), "arp");
    EXPECT_EQ(systemCommandProgram(*formatPingCommand("192.168.1.1")), "ping");
    EXPECT_EQ(systemCommandProgram("arp"), "arp");
    // Anything that could name a file elsewhere is no system program.
    for (const char* line : {"", " arp -d 1.2.3.4", "..\\arp -d 1.2.3.4", "C:\\x\\arp.exe -s", "arp.exe -s",
                             "\"arp\" -s", "arp\t-s", "./arp -s"})
        EXPECT_FALSE(systemCommandProgram(line)) << line;
    EXPECT_FALSE(systemCommandProgram(std::string(65, 'a')));
}

TEST(NetCommands, FormsNothingFromGatewayTextsThatAreNotAnAddressAndAMac) {
    EXPECT_FALSE(formatRemoveCommand("*"));  // would empty the whole ARP cache
    EXPECT_FALSE(formatPingCommand("192.168.1.1 *"));
    EXPECT_FALSE(formatBindCommand(std::string(2000, '1'), "00-11-22-33-44-55"));
    EXPECT_FALSE(formatBindCommand("192.168.1.1", "00-11-22-33-44-5G"));
    // arp gets the bytes in the one form it documents, whatever form the stored text has.
    EXPECT_EQ(formatBindCommand("255.255.255.255", "a:B:cc:0:1f:F"), "arp -s 255.255.255.255 0A-0B-CC-00-1F-0F\r\n");
    // No host answers with these: pinned, they would cut the gateway off.
    for (const char* gwmac : {"0:0:0:0:0:0", "FF-FF-FF-FF-FF-FF", "3-0-0-0-0-1"})
        EXPECT_FALSE(formatBindCommand("192.168.1.1", gwmac)) << gwmac;
}

// The window and the service refuse the same settings, naming the first value that is wrong.
TEST(NetCommands, BindingSettingsNameTheFirstValueThatKeepsThemFromPinning) {
    const std::string overlong(2000, '1');
    const struct {
        int32_t timer;
        const char* gwip;
        const char* gwmac;
        const char* invalid;
    } rows[] = {
        {60, "192.0.2.1", "02-FC-00-00-00-05", nullptr},
        {99999, "192.0.2.1", "2:fc:0:0:0:5", nullptr},  // stands for the default interval
        {-5, "192.0.2.1", "02-FC-00-00-00-05", nullptr},
        {0, "", "", "timer"},
        {60, "", "02-FC-00-00-00-05", "gwip"},
        {60, "192.0.2.1 *", "02-FC-00-00-00-05", "gwip"},
        {60, overlong.c_str(), "02-FC-00-00-00-05", "gwip"},
        {60, "192.0.2.1", "", "gwmac"},
        {60, "192.0.2.1", "1G-11-22-33-44-55", "gwmac"},
        {60, "192.0.2.1", "00-00-00-00-00-00", "gwmac"},  // stored by an older version
        {60, "192.0.2.1", "FF-FF-FF-FF-FF-FF", "gwmac"},
        {60, "192.0.2.1", "01-00-5E-00-00-01", "gwmac"},
    };
    for (const auto& row : rows) {
        const BindingCheck check = checkBindingSettings(row.timer, row.gwip, row.gwmac);
        EXPECT_EQ(check.invalid ? std::string(check.invalid) : "", row.invalid ? std::string(row.invalid) : "")
            << row.timer << " " << row.gwip << " " << row.gwmac;
        EXPECT_EQ(check.settings.has_value(), row.invalid == nullptr);
    }
    const BindingCheck check = checkBindingSettings(99999, "192.0.2.1", "2:fc:0:0:0:5");
    EXPECT_EQ(check.settings->mac, (MacBytes{0x02, 0xFC, 0, 0, 0, 5}));
    EXPECT_TRUE(check.settings->interval == 60 && check.settings->periodMs == 60000u);
}

TEST(NetCommands, PeriodIsTheIntervalInMillisecondsClampedToTheTimerMaximum) {
    EXPECT_EQ(bindPeriodMs(1), 1000u);
    EXPECT_EQ(bindPeriodMs(60), 60000u);
    EXPECT_EQ(bindPeriodMs(3600), 3600000u);
    EXPECT_EQ(bindPeriodMs(2147483), 2147483000u);
    EXPECT_EQ(bindPeriodMs(2147484), 0x7FFFFFFFu);
    EXPECT_EQ(bindPeriodMs(INT32_MAX), 0x7FFFFFFFu);
    EXPECT_EQ(bindPeriodMs(0), 0u);
    EXPECT_EQ(bindPeriodMs(INT32_MIN), 0u);
    // A stored interval outside the field's range stands for the default; 0 is none stored.
    EXPECT_TRUE(intervalInForce(0) == 0 && intervalInForce(1) == 1 && intervalInForce(3600) == 3600);
    EXPECT_TRUE(intervalInForce(3601) == 60 && intervalInForce(99999) == 60 && intervalInForce(INT32_MIN) == 60);
}
