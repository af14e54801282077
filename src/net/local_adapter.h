#pragma once
#include <optional>

#include "net/network_records.h"

// The local adapter from the system's adapter list (see selectLocalAdapter); none when the list cannot
// be read or is empty. The caller owns the returned record.
std::optional<AdapterInfo> getLocalAdapter();
