#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/seam_guard.h"
#include "sys/seams.h"

// What the network code asked of the system, and the adapters and ARP rows it is given.
struct FakeNetwork {
    bool adaptersReadable = true;
    std::vector<AdapterInfo> adapters;
    std::vector<ArpRow> rows;
    bool tableReadable = true;
    std::optional<uint32_t> bestInterface = 0;  // none: no interface routes to the gateway
    unsigned runResult = 33;                    // what starting a command gives: above 31 means started
    uint32_t now = 0;                           // the clock the watch reads
    bool echoAnswered = true;                   // whether the gateway answers an echo
    int echoes = 0;

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
            return fakeNetwork().runResult;
        };
        seams().wait = [](unsigned milliseconds) { fakeNetwork().waits.push_back(milliseconds); };
        seams().readAdapters = [](std::vector<AdapterInfo>& adapters) {
            adapters = fakeNetwork().adapters;
            return fakeNetwork().adaptersReadable;
        };
        seams().readArpTable = [](std::vector<ArpRow>& rows) {
            ++fakeNetwork().tableReads;
            rows = fakeNetwork().rows;
            return fakeNetwork().tableReadable;
        };
        seams().bestInterface = [](uint32_t, uint32_t& interfaceIndex) {
            interfaceIndex = fakeNetwork().bestInterface.value_or(0);
            return fakeNetwork().bestInterface.has_value();
        };
        seams().tickCount = [] { return fakeNetwork().now; };
        seams().echo = [](uint32_t, unsigned) {
            ++fakeNetwork().echoes;
            return fakeNetwork().echoAnswered;
        };
    }
    void TearDown() override { fakeNetwork() = FakeNetwork(); }

  private:
    ScopedSeams seams_;
};
