#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/seam_guard.h"
#include "sys/seams.h"

// What the network code asked of the system, and the adapters and ARP rows it is given.
struct FakeNetwork {
    bool adaptersReadable = true;
    std::vector<AdapterInfo> adapters;
    std::vector<ArpRow> rows;
    uint32_t now = 0;  // the clock the watch reads

    std::vector<std::string> commands;
    std::vector<unsigned> waits;
    int tableReads = 0;
};

inline FakeNetwork& fakeNetwork() {
    static FakeNetwork fake;
    return fake;
}

// Swaps the seams for the fake during each test (message boxes recorded) and restores the previous ones afterwards.
class FakeNetworkTest : public testing::Test {
  protected:
    void SetUp() override {
        fakeNetwork() = FakeNetwork();
        seams().runCommand = [](const char* commandLine, int showCommand, ProgramLookup lookup) {
            // The system's commands run hidden, and only the system folder's programs.
            EXPECT_EQ(showCommand, SW_HIDE) << commandLine;
            EXPECT_EQ(lookup, ProgramLookup::SystemFolderOnly) << commandLine;
            fakeNetwork().commands.push_back(commandLine);
            return 33u;
        };
        seams().wait = [](unsigned milliseconds) { fakeNetwork().waits.push_back(milliseconds); };
        seams().readAdapters = [](std::vector<AdapterInfo>& adapters) {
            adapters = fakeNetwork().adapters;
            return fakeNetwork().adaptersReadable;
        };
        seams().readArpTable = [](std::vector<ArpRow>& rows) {
            ++fakeNetwork().tableReads;
            rows = fakeNetwork().rows;
        };
        seams().tickCount = [] { return fakeNetwork().now; };
    }
    void TearDown() override { fakeNetwork() = FakeNetwork(); }

  private:
    ScopedSeams seams_;
};
