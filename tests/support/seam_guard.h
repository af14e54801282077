#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "service/service_manager.h"
#include "sys/seams.h"

// A message box the program asked for, recorded instead of shown.
struct ShownBox {
    void* owner;
    std::string text;
    std::string caption;
    unsigned flags;
};

struct MessageBoxRecord {
    std::vector<ShownBox> boxes;
    // Runs inside each box, as its message loop would; its result is the button pressed (IDOK without it).
    std::function<int()> whileOpen;
};

inline MessageBoxRecord& messageBoxes() {
    static MessageBoxRecord record;
    return record;
}

// The message box seam of the tests.
inline int recordMessageBox(void* owner, const char* text, const char* caption, unsigned flags) {
    messageBoxes().boxes.push_back({owner, text, caption, flags});
    return messageBoxes().whileOpen ? messageBoxes().whileOpen() : IDOK;
}

// The boxes shown so far; forgets them.
inline std::vector<ShownBox> takeShownBoxes() {
    return std::exchange(messageBoxes().boxes, {});
}

// Exactly one box was shown since the boxes were last taken, as given; forgets it.
inline void expectOneBox(const void* owner, const std::string& text, const std::string& caption, unsigned flags) {
    std::vector<ShownBox> boxes = takeShownBoxes();
    ASSERT_EQ(boxes.size(), 1u) << "expected \"" << text << "\"";
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].flags, flags);
    EXPECT_EQ(boxes[0].owner, owner);
}

// The service manager as the tests see it: the program's one service in the state a test sets, and what was asked
// of it ("define", "start", "control 1" for a stop, "control 6" for new settings, "remove").
struct FakeServiceManager {
    ServiceState state = ServiceState::Missing;
    std::string refuse;  // the one call that fails
    std::vector<std::string> calls;
    ServiceDefinition defined;
    DWORD defineError = ERROR_ACCESS_DENIED;  // what a refused define answers
    bool call(const std::string& what, ServiceState after) {
        calls.push_back(what);
        state = refuse == what ? state : after;
        return refuse != what;
    }
};
inline FakeServiceManager& fakeServiceManager() {
    static FakeServiceManager fake;
    return fake;
}
inline ServiceManagerSeams fakeServiceManagerSeams() {
    static FakeServiceManager& f = fakeServiceManager();
    return {[](const wchar_t*) { return f.state; },
            [](const ServiceDefinition& definition) {
                f.defined = definition;
                return f.call("define", f.state == ServiceState::Missing ? ServiceState::Stopped : f.state)
                           ? DWORD{ERROR_SUCCESS}
                           : f.defineError;
            },
            [](const wchar_t*) { return f.call("start", ServiceState::Running); },
            [](const wchar_t*, DWORD code) {
                return f.call("control " + std::to_string(code), code == 1 ? ServiceState::Stopped : f.state);
            },
            [](const wchar_t*) { return f.call("remove", ServiceState::Missing); }};
}

// Gives a test the program's seams to replace and puts the previous ones back when it goes. While it lives,
// message boxes are recorded, never shown (a box left open would hold the suite), and the service manager is the
// fake, with no service.
class ScopedSeams {
  public:
    ScopedSeams() : saved_(seams()), savedServiceManager_(serviceManager()) {
        messageBoxes() = MessageBoxRecord();
        seams().messageBox = recordMessageBox;
        fakeServiceManager() = FakeServiceManager();
        serviceManager() = fakeServiceManagerSeams();
    }
    ~ScopedSeams() {
        seams() = saved_;
        serviceManager() = savedServiceManager_;
        messageBoxes() = MessageBoxRecord();
    }
    ScopedSeams(const ScopedSeams&) = delete;
    ScopedSeams& operator=(const ScopedSeams&) = delete;

  private:
    SystemSeams saved_;
    ServiceManagerSeams savedServiceManager_;
};
