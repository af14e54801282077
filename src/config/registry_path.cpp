#include "config/registry_path.h"

namespace {

std::string trimBackslashes(const std::string& text, bool front, bool back) {
    size_t begin = 0;
    size_t end = text.size();
    while (front && begin < end && text[begin] == '\\')
        ++begin;
    while (back && end > begin && text[end - 1] == '\\')
        --end;
    return text.substr(begin, end - begin);
}

}  // namespace

RegistryPath splitRegistryPath(const std::string& fullPath) {
    std::string path = trimBackslashes(fullPath, true, false);
    size_t lastSeparator = path.rfind('\\');
    if (lastSeparator == std::string::npos)
        return {"", trimBackslashes(path, true, true)};
    return {trimBackslashes(path.substr(0, lastSeparator), false, true),
            trimBackslashes(path.substr(lastSeparator + 1), true, true)};
}
