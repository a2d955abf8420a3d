// Loading, refusing and shutting down a plug-in, and what the host remembers of its calls.
#include "tests/devhost/host_fixture.h"

#include <windows.h>

namespace {
bool dllInProcess(const char* name) { return GetModuleHandleA(name) != nullptr; }

std::vector<std::string> pluginCallNames() {
    std::vector<std::string> names;
    for (const HostServiceCall& call : hostPluginServiceCalls())
        names.push_back(call.name);
    return names;
}

using PluginLoading = HostTest;

TEST_F(PluginLoading, HandsOverTheHostVersionAtEveryLoad) {
    for (std::uint32_t version : {defaultHostVersion, 0x00010201u, 0x7F000001u}) {
        ASSERT_EQ(hostLoadPlugin(goodPlugin, version), HostLoadResult::Loaded);
        EXPECT_EQ(static_cast<std::uint32_t>(hostCallService("StandIn/HostVersion", 0, 0)), version);
        hostShutdown();
        EXPECT_FALSE(dllInProcess(goodPlugin));
    }
}

TEST_F(PluginLoading, RefusesBrokenPluginsAndFreesThem) {
    struct Case {
        const char* dll;
        HostLoadResult expected;
    };
    const Case cases[] = {
        {"missing.dll", HostLoadResult::DllMissing},
        {"without_unload.dll", HostLoadResult::ExportsMissing},
        {"declines.dll", HostLoadResult::Declined},
        {"size_39.dll", HostLoadResult::BadInfoSize},
        {"null_text.dll", HostLoadResult::NullInfoText},
        {"load_fails.dll", HostLoadResult::LoadFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dll);
        hostAddContact("Alice");
        EXPECT_EQ(hostLoadPlugin(c.dll), c.expected);
        EXPECT_FALSE(hostPluginLoaded());
        EXPECT_FALSE(dllInProcess(c.dll));
        // Load ran and registered before it failed; none of that may point into the freed DLL.
        EXPECT_FALSE(hostServiceExists("StandIn/Greet"));
        EXPECT_EQ(hostHookCount(hostnames::shutdownEvent), 0u);
        hostReset();
    }
}

TEST_F(PluginLoading, KeepsWhatTheInformationRecordSaid) {
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    hostShutdown();
    const PluginInfo* info = hostPluginInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->size, 40);
    EXPECT_EQ(info->version, 0x01020304u);
    EXPECT_STREQ(info->shortName, "Stand-in");
    EXPECT_STREQ(info->homepage, "https://example.org/stand-in");

    EXPECT_EQ(hostLoadPlugin("null_text.dll"), HostLoadResult::NullInfoText);
    ASSERT_NE(hostPluginInfo(), nullptr);
    EXPECT_EQ(hostPluginInfo()->author, nullptr);
    EXPECT_EQ(hostLoadPlugin("declines.dll"), HostLoadResult::Declined);
    EXPECT_EQ(hostPluginInfo(), nullptr);
}

TEST_F(PluginLoading, ShutdownNotifiesTheEventBeforeUnloadThenFreesTheDll) {
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    EXPECT_TRUE(dllInProcess(goodPlugin));
    EXPECT_EQ(hostHookCount(hostnames::shutdownEvent), 1u);
    hostClearLogs();
    hostShutdown();
    EXPECT_EQ(pluginCallNames(), (std::vector<std::string>{"StandIn/SawShutdown", "StandIn/SawUnload"}));
    EXPECT_FALSE(hostPluginLoaded());
    EXPECT_FALSE(dllInProcess(goodPlugin));
    EXPECT_FALSE(hostServiceExists("StandIn/RecvMessage"));
    EXPECT_EQ(hostHookCount(hostnames::shutdownEvent), 0u);
}

TEST_F(PluginLoading, RecordsThePluginsCallsButNotTheHostsOrTheTests) {
    HostWord alice = hostAddContact("Alice");
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    EXPECT_EQ(pluginCallNames(),
              (std::vector<std::string>{hostnames::registerModule, hostnames::findFirstContact,
                                        hostnames::addToContact, hostnames::findNextContact,
                                        hostnames::addContactMenuItem}));
    hostClearLogs();
    hostCallService("StandIn/HostVersion", 0, 0);
    EXPECT_TRUE(hostPluginServiceCalls().empty());

    ASSERT_EQ(hostVisibleMenuItems(alice).size(), 1u);
    hostChooseMenuItem(alice, hostVisibleMenuItems(alice)[0]);
    ASSERT_EQ(pluginCallNames(),
              (std::vector<std::string>{hostnames::getContactDisplayName, hostnames::callContactService}));
    EXPECT_EQ(hostPluginServiceCalls()[0].wParam, alice);
}

TEST_F(PluginLoading, EntriesAPluginMustNotUseFailLoudly) {
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    testing::internal::CaptureStderr();
    EXPECT_EQ(hostCallService("StandIn/MisuseLink", 0, 0), 7);
    std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_EQ(hostUnexpectedCalls(),
              (std::vector<std::string>{"createHookableEvent", "destroyHookableEvent", "notifyEventHooks",
                                        "hookEventMessage", "unhookEvent", "createTransientServiceFunction",
                                        "destroyServiceFunction"}));
    EXPECT_NE(reported.find("createTransientServiceFunction(\"StandIn/Transient\")"), std::string::npos);
    EXPECT_FALSE(hostServiceExists("StandIn/Transient"));
}

TEST_F(PluginLoading, ResetForgetsEverything) {
    hostAddContact("Alice");
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    hostShutdown();
    hostReset();
    EXPECT_TRUE(hostContacts().empty());
    EXPECT_TRUE(hostModules().empty());
    EXPECT_TRUE(hostMenuItems().empty());
    EXPECT_EQ(hostCallService(hostnames::allocWindowList, 0, 0), 1);
    EXPECT_TRUE(hostServiceExists(hostnames::chainReceive));
}
} // namespace
