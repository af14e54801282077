#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// Gives a test the program's seams to replace and puts the previous ones back when it goes. While it lives,
// message boxes are recorded, never shown: a box left open would hold the suite.
class ScopedSeams {
  public:
    ScopedSeams() : saved_(seams()) {
        messageBoxes() = MessageBoxRecord();
        seams().messageBox = recordMessageBox;
    }
    ~ScopedSeams() {
        seams() = saved_;
        messageBoxes() = MessageBoxRecord();
    }
    ScopedSeams(const ScopedSeams&) = delete;
    ScopedSeams& operator=(const ScopedSeams&) = delete;

  private:
    SystemSeams saved_;
};
