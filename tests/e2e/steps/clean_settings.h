#pragma once
#include <gtest/gtest.h>

#include "steps/registry.h"

// An end-to-end case starts and ends on a clean account: none of the program's settings stored.
class CleanSettingsTest : public testing::Test {
  protected:
    void SetUp() override { removeProgramSettings(); }
    void TearDown() override { removeProgramSettings(); }
};
