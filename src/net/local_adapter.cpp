#include "net/local_adapter.h"

#include <vector>

#include "net/adapter_selection.h"
#include "sys/seams.h"

std::optional<AdapterInfo> getLocalAdapter() {
    std::vector<AdapterInfo> adapters;
    if (!seams().readAdapters(adapters))
        return std::nullopt;
    return selectLocalAdapter(adapters);
}
