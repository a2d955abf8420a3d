// Loading, refusing and shutting down a plug-in, the link-table entries a plug-in must not use, and the
// reset between tests.
#include "tests/devhost/host_fixture.h"

#include <windows.h>

namespace {
bool dllInProcess(const char* name) { return GetModuleHandleA(name) != nullptr; }

using PluginLoading = HostTest;

// Load runs and registers before it fails; none of that may point into the freed DLL. The record is
// kept whenever MirandaPluginInfo gave one, so it must be a copy that outlives the DLL.
TEST_F(PluginLoading, RefusesBrokenPluginsAndFreesThem) {
    struct Case {
        const char* dll;
        HostLoadResult expected;
        bool recordKept;
    };
    const Case cases[] = {
        {"missing.dll", HostLoadResult::DllMissing, false},
        {"without_unload.dll", HostLoadResult::ExportsMissing, false},
        {"declines.dll", HostLoadResult::Declined, false},
        {"size_39.dll", HostLoadResult::BadInfoSize, true},
        {"null_text.dll", HostLoadResult::NullInfoText, true},
        {"load_fails.dll", HostLoadResult::LoadFailed, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dll);
        hostAddContact("Alice");
        EXPECT_EQ(hostLoadPlugin(c.dll), c.expected);
        EXPECT_FALSE(hostPluginLoaded());
        EXPECT_FALSE(dllInProcess(c.dll));
        EXPECT_FALSE(hostServiceExists("StandIn/Greet"));
        EXPECT_EQ(hostHookCount(hostnames::shutdownEvent), 0u);
        ASSERT_EQ(hostPluginInfo() != nullptr, c.recordKept);
        if (c.recordKept) {
            EXPECT_STREQ(hostPluginInfo()->homepage, "https://example.org/stand-in");
            EXPECT_EQ(hostPluginInfo()->author == nullptr, c.expected == HostLoadResult::NullInfoText);
        }
        hostReset();
    }
}

TEST_F(PluginLoading, ShutdownNotifiesTheEventBeforeUnloadThenFreesTheDll) {
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    EXPECT_TRUE(dllInProcess(goodPlugin));
    hostClearLogs();
    hostShutdown();
    // The stand-in reports both by calling services nobody offers.
    ASSERT_EQ(hostPluginServiceCalls().size(), 2u);
    EXPECT_EQ(hostPluginServiceCalls()[0].name, "StandIn/SawShutdown");
    EXPECT_EQ(hostPluginServiceCalls()[1].name, "StandIn/SawUnload");
    EXPECT_FALSE(hostPluginLoaded());
    EXPECT_FALSE(dllInProcess(goodPlugin));
    EXPECT_FALSE(hostServiceExists("StandIn/RecvMessage"));
    EXPECT_EQ(hostHookCount(hostnames::shutdownEvent), 0u);
}

TEST_F(PluginLoading, EntriesAPluginMustNotUseFailAndAreReported) {
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    testing::internal::CaptureStderr();
    EXPECT_EQ(hostCallService("StandIn/MisuseLink", 0, 0), 7) << "all seven fail";
    std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_EQ(hostUnexpectedCalls().size(), 7u);
    EXPECT_NE(reported.find("createTransientServiceFunction(\"StandIn/Transient\")"), std::string::npos);
    EXPECT_FALSE(hostServiceExists("StandIn/Transient"));
}

TEST_F(PluginLoading, ResetForgetsAllButTheBuiltInServices) {
    hostAddContact("Alice");
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    hostCallService(hostnames::allocWindowList, 0, 0);
    hostShutdown();
    hostReset();
    EXPECT_TRUE(hostContacts().empty());
    EXPECT_TRUE(hostModules().empty());
    EXPECT_TRUE(hostMenuItems().empty());
    EXPECT_EQ(hostCallService(hostnames::allocWindowList, 0, 0), 1);
    EXPECT_TRUE(hostServiceExists(hostnames::chainReceive));
}
} // namespace
