#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sys/seams.h"

// What the network code asked of the system, and the adapters and ARP rows it is given.
struct FakeNetwork {
    struct Box {
        void* owner;
        std::string text;
        std::string caption;
        unsigned flags;
    };

    bool adaptersReadable = true;
    std::vector<AdapterInfo> adapters;
    std::vector<ArpRow> rows;
    std::function<void()> whileBoxOpen;  // runs inside the message box, as its message loop would
    uint32_t now = 0;                     // the clock the watch reads

    std::vector<std::string> commands;
    std::vector<unsigned> waits;
    int tableReads = 0;
    std::vector<Box> boxes;
};

inline FakeNetwork& fakeNetwork() {
    static FakeNetwork fake;
    return fake;
}

// Swaps the seams for the fake during each test and restores the previous ones afterwards.
class FakeNetworkTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = seams();
        fakeNetwork() = FakeNetwork();
        seams().runHidden = [](const char* commandLine) { fakeNetwork().commands.push_back(commandLine); };
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
        seams().messageBox = [](void* owner, const char* text, const char* caption, unsigned flags) {
            fakeNetwork().boxes.push_back({owner, text, caption, flags});
            if (fakeNetwork().whileBoxOpen)
                fakeNetwork().whileBoxOpen();
            return 1;  // IDOK
        };
    }
    void TearDown() override {
        seams() = saved_;
        fakeNetwork() = FakeNetwork();
    }

  private:
    SystemSeams saved_{};
};
