// The fixture every test of the development host starts from: a started host, reset, with no plug-in;
// and the stand-in plug-ins' file names (the tests run in the folder that holds them).
#pragma once

#include "devhost/host.h"

#include <gtest/gtest.h>

struct HostTest : ::testing::Test {
    void SetUp() override {
        hostStart();
        hostReset();
    }
    void TearDown() override {
        hostShutdown();
        hostReset();
    }
};

inline constexpr char goodPlugin[] = "good.dll";
