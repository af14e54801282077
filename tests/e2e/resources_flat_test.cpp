// The real program's resources hold still over many timer expiries and language switches: every expiry
// starts "arp -s", every switch replaces the logo bitmap and the window texts. XIRARP_ROBUSTNESS_LONG=1
// runs the long counts (10,000 expiries, 1,000 switches); otherwise counts that finish in well under a
// minute.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "res/resource.h"
#include "steps/process_resources.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "steps/timer_expiries.h"
#include "support/registry.h"
#include "support/windows.h"

namespace {

const std::string kBindCommand = "arp -s 192.168.7.1 0A-0B-22-33-44-55\r\n";
constexpr int kLanguages = 3;
// Wine's heap grows over the first process starts until its free lists settle.
constexpr size_t kWarmUpExpiries = 300;

bool longMode() {
    char value[8] = {};
    DWORD length = GetEnvironmentVariableA("XIRARP_ROBUSTNESS_LONG", value, sizeof value);
    return length > 0 && length < sizeof value && std::string(value) == "1";
}

struct SwitchTexts {
    std::string groupLabel;
    std::string applyLabel;
};

// Picks the language in the combo box and tells the window, as a user's choice does; the texts after it.
SwitchTexts switchLanguage(HWND window, int language) {
    selectLanguage(window, language);
    return {windowText(GetDlgItem(window, IDC_ARP_GROUP)), windowText(GetDlgItem(window, IDC_APPLY))};
}

class RobustnessResources : public CleanSettingsTest {
  protected:
    void SetUp() override {
        CleanSettingsTest::SetUp();
        // Stored gateway: no ping at the opening. A long interval: only the posted expiries bind.
        writeSettingDword("language", 0);
        writeSettingDword("timer", 3600);
        writeSettingString("gwip", "192.168.7.1");
        writeSettingString("gwmac", "0A-0B-22-33-44-55");
    }
};

}  // namespace

TEST_F(RobustnessResources, GdiUserObjectsAndPrivateBytesStayFlatOverExpiriesAndLanguageSwitches) {
    const bool isLong = longMode();
    const size_t expiries = isLong ? 10000 : 200;
    const int switches = isLong ? 1000 : 60;

    Sandbox sandbox("resources-flat");
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    const DWORD processId = program.processId();
    HWND window = waitForDialog(processId, kMainCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntilVisible(window));

    // Warm-up: one round of each, so buffers made once (the other languages' fonts and strings, the
    // process-start path in Wine) are in place before the first reading.
    SwitchTexts seen[kLanguages];
    for (int language : {1, 2, 0})
        seen[language] = switchLanguage(window, language);
    std::set<std::string> groupLabels, applyLabels;
    for (const SwitchTexts& texts : seen) {
        groupLabels.insert(texts.groupLabel);
        applyLabels.insert(texts.applyLabel);
    }
    EXPECT_EQ(groupLabels.size(), 3u) << "each language should name the settings group its own way";
    EXPECT_EQ(applyLabels.size(), 3u) << "each language should label Apply its own way";
    ASSERT_TRUE(deliverTimerExpiries(sandbox, window, kBindCommand, kWarmUpExpiries));

    const ProcessResources start = settledProcessResources(processId);
    ASSERT_GE(start.gdiObjects, 0);
    ASSERT_GE(start.userObjects, 0);
    ASSERT_GT(start.privateBytes, 0);

    const DWORD expiriesStarted = GetTickCount();
    size_t lost = 0;
    ASSERT_TRUE(deliverTimerExpiries(sandbox, window, kBindCommand, expiries, &lost)) << "the stand-in stopped recording";
    const DWORD expiriesMs = GetTickCount() - expiriesStarted;
    const ProcessResources afterExpiries = settledProcessResources(processId);

    const DWORD switchesStarted = GetTickCount();
    int wrongTexts = 0;
    for (int i = 0; i < switches; ++i) {
        const int language = (i + 1) % kLanguages;
        SwitchTexts texts = switchLanguage(window, language);
        wrongTexts += texts.groupLabel != seen[language].groupLabel || texts.applyLabel != seen[language].applyLabel;
    }
    const DWORD switchesMs = GetTickCount() - switchesStarted;
    EXPECT_EQ(wrongTexts, 0) << "switches that left other texts on the window";
    switchLanguage(window, 0);

    const ProcessResources end = settledProcessResources(processId);
    printf("[ figures  ] %zu expiries in %lu ms (%.1f ms each, %zu process starts lost and repeated), %d switches in"
           " %lu ms\n",
           expiries, static_cast<unsigned long>(expiriesMs),
           static_cast<double>(expiriesMs) / static_cast<double>(expiries), lost, switches,
           static_cast<unsigned long>(switchesMs));
    printf("[ figures  ] GDI %ld -> %ld -> %ld, USER %ld -> %ld -> %ld, private bytes %lld -> %lld -> %lld"
           " (start, after the expiries, after the switches)\n",
           start.gdiObjects, afterExpiries.gdiObjects, end.gdiObjects, start.userObjects, afterExpiries.userObjects,
           end.userObjects, start.privateBytes, afterExpiries.privateBytes, end.privateBytes);
    RecordProperty("expiries", static_cast<int>(expiries));
    RecordProperty("switches", switches);
    RecordProperty("gdi_start", static_cast<int>(start.gdiObjects));
    RecordProperty("gdi_end", static_cast<int>(end.gdiObjects));
    RecordProperty("user_start", static_cast<int>(start.userObjects));
    RecordProperty("user_end", static_cast<int>(end.userObjects));
    RecordProperty("private_kib_start", static_cast<int>(start.privateBytes / 1024));
    RecordProperty("private_kib_end", static_cast<int>(end.privateBytes / 1024));

    // The counts come from the settled readings, which leave no transient object: exact.
    EXPECT_EQ(end.gdiObjects, start.gdiObjects);
    EXPECT_EQ(end.userObjects, start.userObjects);
    EXPECT_LE(end.privateBytes, start.privateBytes + start.privateBytes / 100);
    EXPECT_TRUE(program.running());
}
