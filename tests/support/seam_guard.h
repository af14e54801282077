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
    bool refuseDefine = false;
    bool refuseStart = false;
    std::vector<std::string> calls;
    ServiceDefinition defined;
};

inline FakeServiceManager& fakeServiceManager() {
    static FakeServiceManager fake;
    return fake;
}

inline ServiceManagerSeams fakeServiceManagerSeams() {
    return {[](const wchar_t*) { return fakeServiceManager().state; },
            [](const ServiceDefinition& definition) {
                FakeServiceManager& fake = fakeServiceManager();
                fake.calls.push_back("define");
                fake.defined = definition;
                if (!fake.refuseDefine && fake.state == ServiceState::Missing)
                    fake.state = ServiceState::Stopped;
                return !fake.refuseDefine;
            },
            [](const wchar_t*) {
                FakeServiceManager& fake = fakeServiceManager();
                fake.calls.push_back("start");
                if (!fake.refuseStart)
                    fake.state = ServiceState::Running;
                return !fake.refuseStart;
            },
            [](const wchar_t*, DWORD code) {
                fakeServiceManager().calls.push_back("control " + std::to_string(code));
                if (code == SERVICE_CONTROL_STOP)
                    fakeServiceManager().state = ServiceState::Stopped;
                return true;
            },
            [](const wchar_t*) {
                fakeServiceManager().calls.push_back("remove");
                fakeServiceManager().state = ServiceState::Missing;
                return true;
            }};
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
