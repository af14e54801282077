#pragma once
#include <string>

// A full value path such as "Software\Xir\XirARP\timer" split into sub key and value name.
struct RegistryPath {
    std::string subKey;
    std::string valueName;
};

RegistryPath splitRegistryPath(const std::string& fullPath);
