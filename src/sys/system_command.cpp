#include "sys/system_command.h"

namespace {

// Far longer than any system program's name; a longer word is not one.
constexpr size_t kMaxProgramName = 64;

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

std::optional<std::string> systemCommandProgram(const std::string& commandLine) {
    size_t end = 0;
    while (end < commandLine.size() && end <= kMaxProgramName && isNameCharacter(commandLine[end]))
        ++end;
    if (end == 0 || end > kMaxProgramName || (end < commandLine.size() && commandLine[end] != ' '))
        return std::nullopt;
    return commandLine.substr(0, end);
}
