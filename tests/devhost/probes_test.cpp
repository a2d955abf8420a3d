// The host's probes with the stand-in plug-in: handles counted from creation to free through its
// import table, frees of handles made before the counting, failures on demand, memory and time.
#include "tests/devhost/host_fixture.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {
// What "StandIn/MakeGdi" makes: a brush and a bitmap, a memory DC, a window DC.
constexpr HostResourceTally oneOfEach = {2, 1, 1, 0};
constexpr HostResourceTally none = {0, 0, 0, 0};

HostWord makeGdi() { return hostCallService("StandIn/MakeGdi", 0, 0); }
HostWord freeGdi() { return hostCallService("StandIn/FreeGdi", 0, 0); }

struct Probes : HostTest {
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    }
};

// What DllMain made is not seen: freeing it is a foreign delete that leaves the live counts alone.
TEST_F(Probes, HandlesAreLiveFromCreationToFreeAndCountedAfreshAtEachLoad) {
    EXPECT_EQ(hostResourceCounts().created, none) << "nothing of DllMain's is counted";
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(makeGdi(), 0);
        EXPECT_EQ(hostResourceCounts().live, oneOfEach);
        ASSERT_EQ(freeGdi(), 0);
        EXPECT_EQ(hostResourceCounts().live, none);
    }
    EXPECT_EQ(hostResourceCounts().created, (HostResourceTally{4, 2, 2, 0}));
    ASSERT_EQ(makeGdi(), 0); // left to the stand-in's leak on purpose
    EXPECT_EQ(hostCallService("StandIn/FreeEarlyBrush", 0, 0), TRUE);
    EXPECT_EQ(hostResourceCounts().foreignDeletes, 1u);
    EXPECT_EQ(hostResourceCounts().live, oneOfEach);

    hostShutdown();
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    HostResourceCounts counts = hostResourceCounts();
    EXPECT_EQ(counts.live, none);
    EXPECT_EQ(counts.created, none);
    EXPECT_EQ(counts.foreignDeletes, 0u);
}

// A failed creation gives the plug-in a null handle and is not counted; a failed free keeps the
// handle live. Either way the failure is used up by one call.
struct FailureCase {
    const char* function;
    HostWord nullsFromMake;
    HostWord failedFrees;
    HostResourceTally liveAfterMake;
    HostResourceTally liveAfterFree;
};
const FailureCase failureCases[] = {
    {"CreateSolidBrush", 1, 0, {1, 1, 1, 0}, none},
    {"CreateCompatibleBitmap", 1, 0, {1, 1, 1, 0}, none},
    {"CreateCompatibleDC", 1, 0, {2, 0, 1, 0}, none},
    // Without a window DC the stand-in makes no bitmap either.
    {"GetDC", 2, 0, {1, 1, 0, 0}, none},
    {"DeleteObject", 0, 1, oneOfEach, {1, 0, 0, 0}},
    {"DeleteDC", 0, 1, oneOfEach, {0, 1, 0, 0}},
    {"ReleaseDC", 0, 1, oneOfEach, {0, 0, 1, 0}},
};

TEST_F(Probes, AFailedCallFailsAsThePlatformWouldOnceAndIsCountedHonestly) {
    for (const FailureCase& failure : failureCases) {
        SCOPED_TRACE(failure.function);
        hostShutdown();
        ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
        ASSERT_TRUE(hostFailPluginCalls(failure.function, 1));
        EXPECT_EQ(makeGdi(), failure.nullsFromMake);
        EXPECT_EQ(hostResourceCounts().live, failure.liveAfterMake);
        EXPECT_EQ(freeGdi(), failure.failedFrees);
        EXPECT_EQ(hostResourceCounts().live, failure.liveAfterFree);
        HostResourceTally before = hostResourceCounts().live;
        EXPECT_EQ(makeGdi(), 0) << "one failure only";
        EXPECT_EQ(freeGdi(), 0);
        EXPECT_EQ(hostResourceCounts().live, before);
    }
}

TEST_F(Probes, FailuresAreCountedDownCancelledAndForgottenAtReset) {
    for (const char* uncounted : {"BitBlt", "createsolidbrush", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(hostFailPluginCalls(uncounted, 1));
    EXPECT_TRUE(hostFailPluginCalls("GdipDisposeImage", 1));

    ASSERT_TRUE(hostFailPluginCalls("CreateSolidBrush", 2));
    for (HostWord nulls : {1, 1, 0}) {
        EXPECT_EQ(makeGdi(), nulls);
        freeGdi();
    }
    ASSERT_TRUE(hostFailPluginCalls("CreateSolidBrush", 5));
    ASSERT_TRUE(hostFailPluginCalls("CreateSolidBrush", 0));
    EXPECT_EQ(makeGdi(), 0);
    freeGdi();

    ASSERT_TRUE(hostFailPluginCalls("CreateCompatibleDC", 1));
    hostShutdown();
    hostReset();
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    EXPECT_EQ(makeGdi(), 0);
    freeGdi();
}

TEST(HostMeasures, TimeRunsInMicroseconds) {
    std::uint64_t start = hostMicroseconds();
    Sleep(50);
    std::uint64_t elapsed = hostMicroseconds() - start;
    EXPECT_GE(elapsed, 40000u);
    EXPECT_LT(elapsed, 2000000u);
}

TEST(HostMeasures, MemoryFollowsWhatTheProcessTouches) {
    constexpr std::size_t block = 32u << 20;
    std::size_t before = hostProcessMemory();
    ASSERT_GT(before, 0u);
    std::vector<char> touched(block);
    std::memset(touched.data(), 1, touched.size());
    EXPECT_GE(hostProcessMemory(), before + block * 3 / 4);
}
} // namespace
