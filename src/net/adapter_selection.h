#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include "net/network_records.h"

// Windows reports "0.0.0.0" for an adapter without an address or gateway: such a text counts as empty.
bool isUnsetAddress(std::string_view text);

// The local adapter among the system's list, in its order: the first one with both an address and a
// gateway; when none has both, the last of the list. None for an empty list.
std::optional<AdapterInfo> selectLocalAdapter(const std::vector<AdapterInfo>& adapters);
