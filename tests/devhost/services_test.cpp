// The host's services as a plug-in calls them: contacts, modules, contact menus, sending, events.
#include "tests/devhost/host_fixture.h"

#include <cstring>

namespace {
HostWord call(const char* name, HostWord wParam = 0, HostWord lParam = 0) {
    return hostCallService(name, wParam, lParam);
}
template <typename Record> HostWord address(const Record& record) {
    return reinterpret_cast<HostWord>(&record);
}
HostWord text(const char* chars) { return reinterpret_cast<HostWord>(chars); }

using Services = HostTest;

TEST_F(Services, UnknownServicesAnswerNotFoundOnEitherPath) {
    EXPECT_EQ(call("No/Such/Service"), serviceNotFound);
    EXPECT_EQ(call(nullptr), serviceNotFound);
    EXPECT_EQ(hostLinkTable()->callService("No/Such/Service", 1, 2), serviceNotFound);
    ASSERT_EQ(hostPluginServiceCalls().size(), 1u);
    EXPECT_EQ(hostPluginServiceCalls()[0].name, "No/Such/Service");
}

TEST_F(Services, WalksContactsInTheOrderTheyWereAdded) {
    EXPECT_EQ(call(hostnames::findFirstContact), 0);
    HostWord alice = hostAddContact("Alice");
    HostWord bob = hostAddContact("Bob", false);
    HostWord carol = hostAddContact("Carol");
    EXPECT_EQ(call(hostnames::findFirstContact), alice);
    EXPECT_EQ(call(hostnames::findNextContact, alice), bob);
    EXPECT_EQ(call(hostnames::findNextContact, bob), carol);
    EXPECT_EQ(call(hostnames::findNextContact, carol), 0);
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
    const Case cases[] = {
        {12, "Twelve", true}, {11, "Eleven", false}, {16, "Sixteen", false}, {12, nullptr, false}};
    for (const Case& c : cases) {
        ModuleRecord record = {c.size, c.name, filterModuleType};
        EXPECT_EQ(call(hostnames::registerModule, 0, address(record)) == 0, c.registered) << c.size;
    }
    EXPECT_NE(call(hostnames::registerModule, 0, 0), 0);
    ASSERT_EQ(hostModules().size(), 1u);
    EXPECT_EQ(hostModules()[0].name, "Twelve");
    EXPECT_EQ(hostModules()[0].type, filterModuleType);
}

TEST_F(Services, AttachesModulesOnceAtTheEndOfTheChain) {
    HostWord alice = hostAddContact("Alice");
    hostAttachModule(alice, "First");
    EXPECT_EQ(call(hostnames::isProtoOnContact, alice, text("Second")), 0);
    EXPECT_EQ(call(hostnames::addToContact, alice, text("Second")), 0);
    EXPECT_EQ(call(hostnames::addToContact, alice, text("Second")), 0);
    EXPECT_NE(call(hostnames::isProtoOnContact, alice, text("Second")), 0);
    EXPECT_EQ(hostModulesOnContact(alice), (std::vector<std::string>{"First", "Second"}));
    EXPECT_NE(call(hostnames::addToContact, 12345, text("Second")), 0);
    EXPECT_EQ(call(hostnames::isProtoOnContact, 12345, text("Second")), 0);
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

    item.size = 40;
    EXPECT_NE(call(hostnames::addContactMenuItem, 0, address(item)), 0);
    item.text = "changed after the call";
    ASSERT_EQ(hostMenuItems().size(), 1u);
    EXPECT_EQ(hostMenuItems()[0].text, "Play");
    EXPECT_EQ(hostMenuItems()[0].service, "Test/Menu");
    EXPECT_TRUE(hostMenuItems()[0].popupNameNull);
    EXPECT_TRUE(hostMenuItems()[0].contactOwnerNull);
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
}

HostWord lastMenuWParam = 0;
HostWord lastMenuLParam = -1;
HostWord recordMenuCall(HostWord wParam, HostWord lParam) {
    lastMenuWParam = wParam;
    lastMenuLParam = lParam;
    return 77;
}

TEST_F(Services, ChoosingAnItemCallsItsServiceWithTheContact) {
    HostWord alice = hostAddContact("Alice");
    hostCreateService("Test/Menu", recordMenuCall);
    MenuItemRecord item = menuItem("Play", 0, 0);
    call(hostnames::addContactMenuItem, 0, address(item));
    EXPECT_EQ(hostChooseMenuItem(alice, 0), 77);
    EXPECT_EQ(lastMenuWParam, alice);
    EXPECT_EQ(lastMenuLParam, 0);
    EXPECT_EQ(hostChooseMenuItem(alice, 1), serviceNotFound);
}

TEST_F(Services, SendingATextRecordsItAndHandsItToTheTransport) {
    HostWord alice = hostAddContact("Alice");
    std::vector<std::string> handed;
    hostSetSendHandler([&](HostWord contact, const std::string& sent) {
        EXPECT_EQ(contact, alice);
        handed.push_back(sent);
    });
    CallRecord record = {alice, hostnames::sendMessage, 0, text("one")};
    HostWord firstId = call(hostnames::callContactService, 0, address(record));
    record.lParam = text("two");
    HostWord secondId = call(hostnames::callContactService, 0, address(record));
    EXPECT_NE(firstId, 0);
    EXPECT_NE(secondId, firstId);
    EXPECT_EQ(handed, (std::vector<std::string>{"one", "two"}));
    ASSERT_EQ(hostSentTexts().size(), 2u);
    EXPECT_EQ(hostSentTexts()[1].contact, alice);
    EXPECT_EQ(hostSentTexts()[1].text, "two");

    CallRecord other = {alice, "/GetInfo", 0, 0};
    EXPECT_EQ(call(hostnames::callContactService, 0, address(other)), serviceNotFound);
    EXPECT_EQ(call(hostnames::callContactService, 0, 0), serviceNotFound);
    EXPECT_EQ(hostSentTexts().size(), 2u);
}

std::vector<int> hooksCalled;
int firstHook(HostWord wParam, HostWord) {
    hooksCalled.push_back(static_cast<int>(wParam) * 10 + 1);
    return 0;
}
int secondHook(HostWord wParam, HostWord) {
    hooksCalled.push_back(static_cast<int>(wParam) * 10 + 2);
    return 5;
}

TEST_F(Services, NotifiesEveryHookOfAnEventInHookOrder) {
    hooksCalled.clear();
    EXPECT_NE(hostLinkTable()->hookEvent("Test/Event", secondHook), nullptr);
    hostLinkTable()->hookEvent("Test/Event", firstHook);
    hostLinkTable()->hookEvent("Test/Other", firstHook);
    EXPECT_EQ(hostHookCount("Test/Event"), 2u);
    EXPECT_EQ(hostNotifyEvent("Test/Event", 3, 0), 5);
    EXPECT_EQ(hooksCalled, (std::vector<int>{32, 31}));
}

TEST_F(Services, APluginCannotTakeAServiceNameTwice) {
    EXPECT_NE(hostLinkTable()->createServiceFunction("Test/Menu", recordMenuCall), nullptr);
    EXPECT_EQ(hostLinkTable()->createServiceFunction("Test/Menu", recordMenuCall), nullptr);
    EXPECT_EQ(hostLinkTable()->createServiceFunction(hostnames::chainReceive, recordMenuCall), nullptr);
    EXPECT_TRUE(hostServiceExists("Test/Menu"));
}
} // namespace
