// The host's services as a plug-in calls them: contacts, modules and the receive chain, contact menus,
// sending, events and service names.
#include "tests/devhost/host_fixture.h"

#include <utility>

namespace {
HostWord call(const char* name, HostWord wParam = 0, HostWord lParam = 0) {
    return hostCallService(name, wParam, lParam);
}
template <typename Record> HostWord address(const Record& record) {
    return reinterpret_cast<HostWord>(&record);
}
HostWord text(const char* chars) { return reinterpret_cast<HostWord>(chars); }

using Services = HostTest;

TEST_F(Services, UnknownServicesAnswerNotFoundAndOnlyCallsThroughTheLinkAreRecorded) {
    EXPECT_EQ(call("No/Such/Service"), serviceNotFound);
    EXPECT_EQ(call(nullptr), serviceNotFound);
    EXPECT_EQ(hostLinkTable()->callService("No/Such/Service", 1, 2), serviceNotFound);
    ASSERT_EQ(hostPluginServiceCalls().size(), 1u);
    EXPECT_EQ(hostPluginServiceCalls()[0].name, "No/Such/Service");
}

// The plug-in attaches its module to every contact at Load, offline ones included.
TEST_F(Services, WalksOfflineContactsTooAndEndsAtAnUnknownOne) {
    HostWord alice = hostAddContact("Alice");
    HostWord bob = hostAddContact("Bob", false);
    EXPECT_EQ(call(hostnames::findFirstContact), alice);
    EXPECT_EQ(call(hostnames::findNextContact, alice), bob);
    EXPECT_EQ(call(hostnames::findNextContact, bob), 0);
    EXPECT_EQ(call(hostnames::findNextContact, 12345), 0);
}

TEST_F(Services, DisplayNamesStayValidAsContactsAreAdded) {
    HostWord alice = hostAddContact("Alice");
    auto name = reinterpret_cast<const char*>(call(hostnames::getContactDisplayName, alice));
    for (int i = 0; i < 100; ++i)
        hostAddContact("Contact " + std::to_string(i));
    EXPECT_STREQ(name, "Alice");
    EXPECT_STREQ(reinterpret_cast<const char*>(call(hostnames::getContactDisplayName, 12345)),
                 "(Unknown Contact)");
}

TEST_F(Services, RegistersModulesOnlyFromRecordsOfTheRightSize) {
    struct Case {
        int size;
        const char* name;
        bool registered;
    };
    constexpr int right = sizeof(ModuleRecord);
    const Case cases[] = {
        {right, "Right", true}, {right - 1, "Short", false}, {right + 4, "Long", false}, {right, nullptr, false}};
    for (const Case& c : cases) {
        ModuleRecord record = {c.size, c.name, filterModuleType};
        EXPECT_EQ(call(hostnames::registerModule, 0, address(record)) == 0, c.registered) << c.size;
    }
    EXPECT_NE(call(hostnames::registerModule, 0, 0), 0);
    ASSERT_EQ(hostModules().size(), 1u);
    EXPECT_EQ(hostModules()[0].name, "Right");
    EXPECT_EQ(hostModules()[0].type, filterModuleType);
}

// Receive modules that note where the chain called them and pass the text on.
std::vector<std::pair<int, HostWord>> visits;
template <int module> HostWord passOn(HostWord position, HostWord lParam) {
    visits.emplace_back(module, position);
    return hostCallService(hostnames::chainReceive, position, lParam);
}

// A module's position is its place in the contact's chain; "Quiet" has no receive service and is
// stepped over.
TEST_F(Services, TheReceiveChainStepsOverModulesWithoutAReceiveServiceToTheChat) {
    HostWord alice = hostAddContact("Alice");
    hostCreateService("M0/RecvMessage", passOn<0>);
    hostCreateService("M1/RecvMessage", passOn<1>);
    for (const char* module : {"M0", "Quiet", "M1"})
        hostAttachModule(alice, module);
    visits.clear();
    EXPECT_EQ(hostReceiveText(alice, "hello"), chatLoggedResult);
    EXPECT_EQ(visits, (std::vector<std::pair<int, HostWord>>{{0, 0}, {1, 2}}));
    ASSERT_EQ(hostChatLog().size(), 1u);
    EXPECT_EQ(hostChatLog()[0].contact, alice);
    EXPECT_EQ(call(hostnames::chainReceive, 0, 0), 0) << "a null record ends the chain quietly";
}

MenuItemRecord menuItem(const char* itemText, std::uint32_t flags, int position) {
    MenuItemRecord item = {};
    item.size = sizeof item;
    item.text = itemText;
    item.flags = flags;
    item.position = position;
    item.service = "Test/Menu";
    return item;
}

TEST_F(Services, CopiesMenuItemsOnlyFromRecordsOfTheRightSize) {
    MenuItemRecord item = menuItem("Play", menuItemHiddenWhenOffline, 5);
    item.size = 39;
    EXPECT_EQ(call(hostnames::addContactMenuItem, 0, address(item)), 0);
    EXPECT_EQ(call(hostnames::addContactMenuItem, 0, 0), 0);
    EXPECT_TRUE(hostMenuItems().empty());

    item.size = sizeof(MenuItemRecord);
    EXPECT_NE(call(hostnames::addContactMenuItem, 0, address(item)), 0);
    item.text = "changed after the call";
    ASSERT_EQ(hostMenuItems().size(), 1u);
    EXPECT_EQ(hostMenuItems()[0].text, "Play") << "a copy, not the plug-in's pointer";
}

TEST_F(Services, ShowsMenuItemsByPositionHidingSomeForOfflineContacts) {
    HostWord online = hostAddContact("Online");
    HostWord offline = hostAddContact("Offline", false);
    HostWord attached = hostAddContact("Attached");
    hostAttachModule(attached, "Owner");
    MenuItemRecord items[] = {menuItem("late", 0, 9), menuItem("online only", menuItemHiddenWhenOffline, 1),
                              menuItem("early", 0, 1), menuItem("owned", 0, 0)};
    items[3].contactOwner = "Owner";
    for (const MenuItemRecord& item : items)
        call(hostnames::addContactMenuItem, 0, address(item));
    using Indices = std::vector<std::size_t>;
    EXPECT_EQ(hostVisibleMenuItems(online), (Indices{1, 2, 0}));
    EXPECT_EQ(hostVisibleMenuItems(offline), (Indices{2, 0}));
    EXPECT_EQ(hostVisibleMenuItems(attached), (Indices{3, 1, 2, 0}));
    hostSetContactOnline(offline, true);
    EXPECT_EQ(hostVisibleMenuItems(offline), (Indices{1, 2, 0}));
    EXPECT_EQ(hostChooseMenuItem(online, 4), serviceNotFound) << "no such item";
}

TEST_F(Services, OnlySendMessageSendsAndEachSendHasAnIdOfItsOwn) {
    HostWord alice = hostAddContact("Alice");
    CallRecord send = {alice, hostnames::sendMessage, 0, text("one")};
    HostWord firstId = call(hostnames::callContactService, 0, address(send));
    EXPECT_NE(firstId, 0);
    EXPECT_NE(call(hostnames::callContactService, 0, address(send)), firstId);
    CallRecord other = {alice, "/GetInfo", 0, text("two")};
    EXPECT_EQ(call(hostnames::callContactService, 0, address(other)), serviceNotFound);
    EXPECT_EQ(call(hostnames::callContactService, 0, 0), serviceNotFound);
    EXPECT_EQ(hostSentTexts().size(), 2u);
}

// Each hook notes the event's wParam and its own number; the event answers the first nonzero result.
std::vector<int> hooksCalled;
template <int hook, int result> int noteHook(HostWord wParam, HostWord) {
    hooksCalled.push_back(static_cast<int>(wParam) * 10 + hook);
    return result;
}

TEST_F(Services, NotifiesEveryHookOfAnEventInHookOrder) {
    hooksCalled.clear();
    EXPECT_NE(hostLinkTable()->hookEvent("Test/Event", noteHook<2, 5>), nullptr);
    hostLinkTable()->hookEvent("Test/Event", noteHook<1, 7>);
    hostLinkTable()->hookEvent("Test/Other", noteHook<3, 0>);
    EXPECT_EQ(hostHookCount("Test/Event"), 2u);
    EXPECT_EQ(hostNotifyEvent("Test/Event", 3, 0), 5);
    EXPECT_EQ(hooksCalled, (std::vector<int>{32, 31}));
}

TEST_F(Services, APluginCannotTakeAServiceNameTwice) {
    EXPECT_NE(hostLinkTable()->createServiceFunction("Test/Menu", passOn<0>), nullptr);
    EXPECT_EQ(hostLinkTable()->createServiceFunction("Test/Menu", passOn<1>), nullptr);
    EXPECT_EQ(hostLinkTable()->createServiceFunction(hostnames::chainReceive, passOn<1>), nullptr);
    EXPECT_TRUE(hostServiceExists("Test/Menu"));
}
} // namespace
