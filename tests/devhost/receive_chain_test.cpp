// The receive chain: modules visited in chain order with their positions, skipped without a receive
// service, ending the chain or passing the text on, and the chat at the end.
#include "tests/devhost/host_fixture.h"

#include <ctime>

namespace {
enum class Behaviour { Pass, Keep };
constexpr HostWord keptResult = 42;

struct Visit {
    int module;
    HostWord position;
    bool operator==(const Visit& other) const { return module == other.module && position == other.position; }
};
std::vector<Visit> visits;
Behaviour behaviours[3];
// What the last module saw, copied while the chain ran.
CallRecord lastRecord;
ReceivedEvent lastEvent;
std::string lastText;

template <int module> HostWord receive(HostWord position, HostWord lParam) {
    visits.push_back(Visit{module, position});
    lastRecord = *reinterpret_cast<const CallRecord*>(lParam);
    lastEvent = *reinterpret_cast<const ReceivedEvent*>(lastRecord.lParam);
    lastText = lastEvent.text;
    if (behaviours[module] == Behaviour::Keep)
        return keptResult;
    return hostCallService(hostnames::chainReceive, position, lParam);
}

struct ReceiveChain : HostTest {
    HostWord alice = 0;
    void SetUp() override {
        HostTest::SetUp();
        visits.clear();
        alice = hostAddContact("Alice");
        hostCreateService("M0/RecvMessage", receive<0>);
        hostCreateService("M1/RecvMessage", receive<1>);
        hostCreateService("M2/RecvMessage", receive<2>);
        // "Quiet" has no receive service and must be stepped over.
        for (const char* module : {"M0", "Quiet", "M1", "M2"})
            hostAttachModule(alice, module);
    }
};

TEST_F(ReceiveChain, VisitsModulesInOrderWithTheirPositions) {
    struct Case {
        Behaviour m0, m1, m2;
        std::vector<Visit> visits;
        HostWord result;
        bool chatted;
    };
    const Case cases[] = {
        {Behaviour::Pass, Behaviour::Pass, Behaviour::Pass, {{0, 0}, {1, 2}, {2, 3}}, chatLoggedResult, true},
        {Behaviour::Pass, Behaviour::Keep, Behaviour::Pass, {{0, 0}, {1, 2}}, keptResult, false},
        {Behaviour::Keep, Behaviour::Pass, Behaviour::Pass, {{0, 0}}, keptResult, false},
    };
    for (const Case& c : cases) {
        visits.clear();
        hostClearLogs();
        behaviours[0] = c.m0;
        behaviours[1] = c.m1;
        behaviours[2] = c.m2;
        EXPECT_EQ(hostReceiveText(alice, "hello"), c.result);
        EXPECT_EQ(visits, c.visits);
        ASSERT_EQ(hostChatLog().size(), c.chatted ? 1u : 0u);
    }
}

TEST_F(ReceiveChain, CarriesTheTextAsAReceivedEvent) {
    behaviours[0] = Behaviour::Keep;
    std::uint32_t before = static_cast<std::uint32_t>(std::time(nullptr));
    hostReceiveText(alice, "hello");
    EXPECT_EQ(lastRecord.contact, alice);
    EXPECT_STREQ(lastRecord.service, "/RecvMessage");
    EXPECT_EQ(lastEvent.flags, 0u);
    EXPECT_GE(lastEvent.timestamp, before);
    EXPECT_LE(lastEvent.timestamp, before + 2);
    EXPECT_EQ(lastText, "hello");
}

TEST_F(ReceiveChain, TheChatLogsWhatPassesEveryModule) {
    for (Behaviour& behaviour : behaviours)
        behaviour = Behaviour::Pass;
    std::vector<std::string> shown;
    hostSetChatHandler([&](const HostText& entry) { shown.push_back(entry.text); });
    HostWord bob = hostAddContact("Bob"); // no modules: straight to the chat
    EXPECT_EQ(hostReceiveText(alice, "first"), chatLoggedResult);
    EXPECT_EQ(hostReceiveText(bob, "second"), chatLoggedResult);
    ASSERT_EQ(hostChatLog().size(), 2u);
    EXPECT_EQ(hostChatLog()[0].contact, alice);
    EXPECT_EQ(hostChatLog()[1].contact, bob);
    EXPECT_EQ(shown, (std::vector<std::string>{"first", "second"}));
}

TEST_F(ReceiveChain, ANullRecordEndsTheChainQuietly) {
    EXPECT_EQ(hostCallService(hostnames::chainReceive, 0, 0), 0);
    EXPECT_TRUE(visits.empty());
    EXPECT_TRUE(hostChatLog().empty());
}

TEST_F(ReceiveChain, ThePluginsModuleKeepsItsOwnTextsAndPassesTheRest) {
    for (Behaviour& behaviour : behaviours)
        behaviour = Behaviour::Pass;
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    EXPECT_EQ(hostModulesOnContact(alice).back(), "StandIn");
    EXPECT_EQ(hostReceiveText(alice, "#standin state"), 0);
    EXPECT_EQ(hostReceiveText(alice, "an ordinary text"), chatLoggedResult);
    ASSERT_EQ(hostChatLog().size(), 1u);
    EXPECT_EQ(hostChatLog()[0].text, "an ordinary text");
    EXPECT_EQ(visits.size(), 6u); // three modules before the plug-in's, for each text
}
} // namespace
