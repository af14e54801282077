#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_mode.h"
#include "net_fake_seams.h"
#include "res/resource.h"
#include "support/dialog_driver.h"
#include "support/registry.h"
#include "ui/main_dlg.h"

// The main window run for real in the administrator mode, on a known adapter, with the stored
// settings the test writes; message boxes and commands are recorded by the fake network.
namespace settings_window {

using MainWindow = dialog_test::Driven<CArpMainDlg>;

class SettingsWindowTest : public FakeNetworkTest {
  protected:
    void SetUp() override {
        FakeNetworkTest::SetUp();
        removeProgramSettings();
        seams().systemDefaultLangId = [] { return uint16_t{1033}; };
        AdapterInfo adapter;
        adapter.ipAddress = "192.168.1.23";
        adapter.gateway = "192.168.1.1";
        adapter.mac = {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF};
        fakeNetwork().adapters = {adapter};
        setRunMode(RunMode::Admin);
    }
    void TearDown() override {
        removeProgramSettings();
        setRunMode(RunMode::Admin);
        FakeNetworkTest::TearDown();
    }

    static INT_PTR run(MainWindow::Script script) { return dialog_test::runModal<CArpMainDlg>(std::move(script)); }
};

}  // namespace settings_window
