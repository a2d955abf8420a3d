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

// How a tally of the plug-in's handles shows in a failure message.
inline void PrintTo(const HostResourceTally& t, std::ostream* out) {
    *out << "{gdi " << t.gdiObjects << ", memory DCs " << t.memoryDcs << ", window DCs " << t.windowDcs
         << ", images " << t.gdiplusImages << "}";
}
