#include <gtest/gtest.h>

#include <cstring>

#include "service/guard_rules.h"

// The service refuses exactly what the window refuses, and names the first value that is wrong.
TEST(GuardRules, NamesTheFirstValueThatKeepsTheServiceFromPinning) {
    struct Row {
        uint32_t timer;
        const char* gwip;
        const char* gwmac;
        const char* invalid;
    };
    const Row rows[] = {
        {60, "192.0.2.1", "02-FC-00-00-00-05", nullptr},
        {99999, "192.0.2.1", "2:fc:0:0:0:5", nullptr},  // stands for the default interval, as in the window
        {0, "", "", "timer"},
        {60, "192.0.2.1 *", "02-FC-00-00-00-05", "gwip"},
        {60, "192.0.2.1", "00-00-00-00-00-00", "gwmac"},
        {60, "192.0.2.1", "FF-FF-FF-FF-FF-FF", "gwmac"},
        {60, "192.0.2.1", "01-00-5E-00-00-01", "gwmac"},
    };
    for (const Row& row : rows) {
        const char* invalid = invalidGuardSetting(row.timer, row.gwip, row.gwmac);
        EXPECT_TRUE(invalid == row.invalid || (invalid && row.invalid && strcmp(invalid, row.invalid) == 0))
            << row.timer << " " << row.gwip << " " << row.gwmac;
    }
}

// The service sleeps for what msUntil says: across the tick count's wrap it must neither spin nor sleep 49 days.
TEST(GuardRules, TimeUntilDueSurvivesTheTickCountsWrap) {
    EXPECT_EQ(msUntil(1000, 3000), 2000u);
    EXPECT_EQ(msUntil(0xFFFFFF00u, 0x100u), 0x200u);
    EXPECT_EQ(msUntil(3000, 1000), 0u);
    EXPECT_EQ(msUntil(0x100u, 0xFFFFFF00u), 0u);
}
