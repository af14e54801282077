#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/address_text.h"
#include "net/discovery.h"
#include "sys/seams.h"

namespace {

// A GetIpNetTable stand-in holding more rows than the first buffer takes.
struct FakeIpNetTable {
    std::vector<MIB_IPNETROW> rows;
    std::vector<unsigned long> offeredSizes;
    bool countClearedEachCall = true;
    bool alwaysTooSmall = false;
    DWORD claimedEntries = 0;  // when set, the entry count written, whatever the rows
    DWORD answer = NO_ERROR;   // what a call that fits gives
};
FakeIpNetTable fakeTable;

unsigned long fakeGetIpNetTable(void* buffer, unsigned long* size, int sorted) {
    fakeTable.offeredSizes.push_back(*size);
    EXPECT_TRUE(sorted);
    auto* table = static_cast<MIB_IPNETTABLE*>(buffer);
    if (table->dwNumEntries != 0)
        fakeTable.countClearedEachCall = false;
    unsigned long needed = offsetof(MIB_IPNETTABLE, table) + fakeTable.rows.size() * sizeof(MIB_IPNETROW);
    if (fakeTable.alwaysTooSmall || *size < needed) {
        *size = fakeTable.alwaysTooSmall ? *size + 1000 : needed;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    table->dwNumEntries = fakeTable.claimedEntries ? fakeTable.claimedEntries : fakeTable.rows.size();
    memcpy(table->table, fakeTable.rows.data(), fakeTable.rows.size() * sizeof(MIB_IPNETROW));
    return fakeTable.answer;
}

std::vector<MIB_IPNETROW> numberedRows(DWORD count) {
    std::vector<MIB_IPNETROW> rows(count);
    for (DWORD i = 0; i < count; ++i) {
        rows[i].dwIndex = i;
        rows[i].dwPhysAddrLen = 6;
        rows[i].bPhysAddr[0] = static_cast<BYTE>(i);
        rows[i].bPhysAddr[7] = 0x77;
        rows[i].dwAddr = htonl(0x0A000000 + i);
        rows[i].dwType = 3;
    }
    return rows;
}

std::string boundedText(const char* text, size_t capacity) {
    return std::string(text, strnlen(text, capacity));
}

}  // namespace

TEST(NetArpTableReader, GrowsItsBufferUntilTheWholeTableFits) {
    fakeTable = FakeIpNetTable();
    fakeTable.rows = numberedRows(400);
    std::vector<ArpRow> rows;
    EXPECT_TRUE(readArpTableFrom(fakeGetIpNetTable, rows));

    EXPECT_EQ(fakeTable.offeredSizes, (std::vector<unsigned long>{7228, 4 + 400 * 24}));
    EXPECT_TRUE(fakeTable.countClearedEachCall);
    ASSERT_EQ(rows.size(), 400u);
    EXPECT_EQ(rows[399].index, 399u);
    EXPECT_EQ(rows[399].addr, htonl(0x0A000000 + 399));
    EXPECT_EQ(rows[300].physAddr[0], 300 & 0xFF);
    EXPECT_EQ(rows[300].physAddr[7], 0x77);
    EXPECT_EQ(rows[300].physAddrLen, 6u);
    EXPECT_EQ(rows[300].type, 3u);
}

TEST(NetArpTableReader, HostileAnswersGiveABoundedResult) {
    // A table that keeps growing ends as an empty table instead of looping for ever.
    fakeTable = FakeIpNetTable();
    fakeTable.alwaysTooSmall = true;
    std::vector<ArpRow> rows;
    EXPECT_FALSE(readArpTableFrom(fakeGetIpNetTable, rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_LE(fakeTable.offeredSizes.size(), 16u);

    // Windows' "no data" is an empty table, not a failure.
    fakeTable = FakeIpNetTable();
    fakeTable.answer = ERROR_NO_DATA;
    EXPECT_TRUE(readArpTableFrom(fakeGetIpNetTable, rows) && rows.empty());

    // An entry count beyond the buffer reads only the rows inside it.
    fakeTable = FakeIpNetTable();
    fakeTable.rows = numberedRows(10);
    fakeTable.claimedEntries = 100000;
    readArpTableFrom(fakeGetIpNetTable, rows);
    EXPECT_EQ(rows.size(), 301u);
}

// The real adapter list of this machine (under Wine: its own interfaces), read without the program's code.
TEST(NetLocalAdapterOnThisMachine, IsTheAdapterTheSystemListNames) {
    ULONG size = 0;
    std::vector<unsigned char> buffer;
    DWORD result = GetAdaptersInfo(nullptr, &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        buffer.resize(size);
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    std::optional<AdapterInfo> local = getLocalAdapter();
    if (result != NO_ERROR) {
        EXPECT_FALSE(local);
        return;
    }

    const IP_ADAPTER_INFO* expected = nullptr;
    // Adapters without an address or gateway report empty texts or 0.0.0.0 (under Wine the first ones do).
    auto usable = [](const char* text) { return text[0] != '\0' && strcmp(text, "0.0.0.0") != 0; };
    auto complete = [&](const IP_ADAPTER_INFO* entry) {
        return usable(entry->IpAddressList.IpAddress.String) && usable(entry->GatewayList.IpAddress.String);
    };
    int listed = 0;
    for (auto* entry = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); entry; entry = entry->Next) {
        ++listed;
        if (!expected || !complete(expected))
            expected = entry;
    }
    ASSERT_TRUE(local);
    ASSERT_NE(expected, nullptr);
    RecordProperty("adapters", listed);
    RecordProperty("chosen", formatMacText(local->mac) + " " + local->ipAddress + " via " + local->gateway);
    EXPECT_EQ(local->ipAddress, boundedText(expected->IpAddressList.IpAddress.String, 16));
    EXPECT_EQ(local->gateway, boundedText(expected->GatewayList.IpAddress.String, 16));
    EXPECT_EQ(local->index, expected->Index);
    // The watch judges the rows of the interface that routes to the gateway: the adapter's own.
    uint32_t routed = 0;
    EXPECT_TRUE(!complete(expected) ||
                (seams().bestInterface(inet_addr(local->gateway.c_str()), routed) && routed == local->index));
    // Its link is read by its index, and is up while it routes; an index no interface has gives no link.
    InterfaceLink link;
    EXPECT_TRUE(realSeams().interfaceLink(local->index, link));
    EXPECT_TRUE(!complete(expected) || link.connected);
    EXPECT_FALSE(realSeams().interfaceLink(0x7FFFFFF0u, link));
    for (size_t i = 0; i < local->mac.size(); ++i)
        EXPECT_EQ(local->mac[i], expected->Address[i]) << i;
}
