// Shared by the robustness cases: starting the real program on bad input and telling a defined outcome
// from a crash. Header only, so the e2e build needs no change to pick it up.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "steps/program.h"
#include "support/registry.h"
#include "support/windows.h"

namespace robustness {

inline const char* const kParseFailed = "parse configuration fail!!";
inline const char* const kAskQuestion = "Would you like to run \"Prevent ARP Virus Attack\" binding ?";

// The long run tries many more random inputs; the quick one stays within the README's test time.
inline bool longRun() {
    const char* value = getenv("XIRARP_ROBUSTNESS_LONG");
    return value && value[0] == '1';
}

// Seed of the random inputs: XIRARP_ROBUSTNESS_SEED when given, else fixed for the quick run and the
// clock for the long one. Printed so that a failure can be replayed.
inline uint32_t randomSeed() {
    static const uint32_t seed = [] {
        if (const char* given = getenv("XIRARP_ROBUSTNESS_SEED"))
            return static_cast<uint32_t>(strtoul(given, nullptr, 10));
        return longRun() ? static_cast<uint32_t>(GetTickCount()) : 20240611u;
    }();
    return seed;
}

// One registry value exactly as stored: its type and its bytes.
struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
    bool operator==(const RawValue& other) const { return type == other.type && bytes == other.bytes; }
};
using SettingsSnapshot = std::map<std::string, RawValue>;

inline SettingsSnapshot settingsSnapshot() {
    SettingsSnapshot values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        DWORD type = 0, size = 0;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        RawValue value;
        value.type = type;
        value.bytes.resize(size);
        DWORD received = size;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value.bytes[0]), &received) ==
            ERROR_SUCCESS)
            value.bytes.resize(received);
        values[name] = value;
    }
    RegCloseKey(key);
    return values;
}

inline void setRawSetting(const char* name, DWORD type, const std::string& bytes) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kTestSettingsKey, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

inline std::string dwordBytes(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// Short, readable description of a snapshot difference for failure messages.
inline std::string describe(const SettingsSnapshot& values) {
    std::string text;
    for (const auto& [name, value] : values) {
        text += name + " (type " + std::to_string(value.type) + ", " + std::to_string(value.bytes.size()) + " bytes";
        if (value.bytes.size() <= 48)
            text += ": \"" + value.bytes + "\"";
        text += ") ";
    }
    return text.empty() ? "(nothing)" : text;
}

inline bool processRuns(const wchar_t* imageName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = _wcsicmp(entry.szExeFile, imageName) == 0;
    CloseHandle(snapshot);
    return found;
}

inline BOOL CALLBACK findCrashDialog(HWND window, LPARAM context) {
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    if (wcscmp(caption, L"Program Error") != 0)
        return TRUE;
    *reinterpret_cast<bool*>(context) = true;
    return FALSE;
}

// Wine's answer to an unhandled exception: its debugger starts and shows the crash dialog.
inline bool crashReported() {
    bool dialog = false;
    EnumWindows(findCrashDialog, reinterpret_cast<LPARAM>(&dialog));
    return dialog || processRuns(L"winedbg.exe");
}

// Abnormal ends of a Windows program: an exception status, or abort()'s 3.
inline bool crashExitCode(DWORD code) {
    return code == 3 || code >= 0xC0000000u;
}

inline void expectNoCrash(const RunningProgram& program, const std::string& what) {
    EXPECT_FALSE(crashReported()) << what << ": Wine reported a crash (debugger or \"Program Error\" window)";
    DWORD code = program.exitCode();
    if (code != STILL_ACTIVE) {
        EXPECT_FALSE(crashExitCode(code)) << what << ": the program ended with the crash status 0x" << std::hex
                                          << code;
    }
}

// Still serving its window's messages.
inline bool answers(HWND window, DWORD milliseconds = 10000) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &result) != 0;
}

inline std::string fieldText(HWND window, int id) {
    return windowText(GetDlgItem(window, id));
}

inline int selectedLanguage(HWND window) {
    return static_cast<int>(sendToControl(GetDlgItem(window, IDC_LANGUAGE), CB_GETCURSEL));
}

enum class SeenMode { NotStarted, EndedEarly, Admin, ClientAsk, ClientBind };

inline const char* modeName(SeenMode mode) {
    switch (mode) {
        case SeenMode::NotStarted: return "not started";
        case SeenMode::EndedEarly: return "ended before its window";
        case SeenMode::Admin: return "administrator";
        case SeenMode::ClientAsk: return "client that asks";
        case SeenMode::ClientBind: return "client that binds";
    }
    return "?";
}

// What a start-up showed before and as the main window opened.
struct StartupSeen {
    SeenMode mode = SeenMode::NotStarted;
    HWND window = nullptr;
    std::vector<std::string> messages;  // texts of the message boxes, in order, each answered with OK
    size_t count(const std::string& text) const {
        size_t n = 0;
        for (const std::string& message : messages)
            n += message == text;
        return n;
    }
};

// Answers every start-up message with OK until the main window is there, waits until its opening is
// over (it answers), and tells the run mode from what the window shows: locked means a client copy, and
// a client that may decline has "YES" preset.
inline StartupSeen driveStartup(const RunningProgram& program) {
    StartupSeen seen;
    if (!program.started())
        return seen;
    DWORD start = GetTickCount();
    for (;;) {
        seen.window = waitForDialog(program.processId(), kMainCaption, 0);
        if (seen.window)
            break;
        MessageBoxSeen box = waitForMessageBox(program.processId(), 0);
        if (box.window) {
            seen.messages.push_back(box.text);
            clickButton(box.window, IDOK);
            for (DWORD wait = GetTickCount(); IsWindow(box.window) && GetTickCount() - wait < 10000;)
                Sleep(20);
            continue;
        }
        if (!program.running() || GetTickCount() - start > kWindowDeadlineMs) {
            seen.mode = SeenMode::EndedEarly;
            return seen;
        }
        Sleep(50);
    }
    if (!answers(seen.window, kWindowDeadlineMs)) {
        seen.mode = SeenMode::EndedEarly;
        return seen;
    }
    bool locked = !IsWindowEnabled(GetDlgItem(seen.window, IDC_LANGUAGE));
    if (!locked) {
        waitUntilVisible(seen.window);
        seen.mode = SeenMode::Admin;
    } else {
        bool yes = sendToControl(GetDlgItem(seen.window, IDC_ALLOW_SKIP_YES), BM_GETCHECK) == BST_CHECKED;
        seen.mode = yes ? SeenMode::ClientAsk : SeenMode::ClientBind;
        waitUntilHidden(seen.window);
    }
    return seen;
}

// A hidden window is always locked; a shown one is locked when its "Exit" is disabled.
inline bool lockedWindow(HWND window) {
    return !IsWindowVisible(window) || !IsWindowEnabled(GetDlgItem(window, IDC_EXIT));
}

// The close command of a locked window only hides it: the lock holds and the program goes on (the test's end
// stops it). Warnings that come meanwhile are answered.
inline void expectLockedWindowHidesOnClose(const RunningProgram& program, HWND window, const std::string& what) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (DWORD start = GetTickCount(); !program.waitForExit(100) && GetTickCount() - start < 1500;) {
        MessageBoxSeen box = waitForMessageBox(program.processId(), 0);
        if (box.window)
            clickButton(box.window, IDOK);
    }
    EXPECT_TRUE(program.running()) << what << ": a locked window ended on its close command";
    EXPECT_FALSE(IsWindowVisible(window)) << what;
    expectNoCrash(program, what);
}

// Ends the program the way its user would: "Exit" when unlocked. A clean end is status 0. A locked program
// cannot be ended without its password: its close command must only hide it.
inline void expectCleanExit(const RunningProgram& program, HWND window, const std::string& what) {
    ASSERT_TRUE(answers(window)) << what << ": the program no longer answers";
    if (lockedWindow(window))
        return expectLockedWindowHidesOnClose(program, window, what);
    clickButton(window, IDC_EXIT);
    EXPECT_TRUE(program.waitForExit(10000)) << what << ": the program did not end";
    EXPECT_EQ(program.exitCode(), 0u) << what << ": unexpected exit status";
    expectNoCrash(program, what);
}

// Small deterministic generator (the same seed gives the same inputs under every C library).
class Random {
  public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 1) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    uint32_t below(uint32_t bound) { return bound ? next() % bound : 0; }
    std::string bytes(size_t count) {
        std::string text(count, '\0');
        for (char& c : text)
            c = static_cast<char>(next() & 0xFF);
        return text;
    }

  private:
    uint32_t state_;
};

}  // namespace robustness
