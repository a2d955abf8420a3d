// Receiving through the host's chain: ordinary texts pass along it untouched, state messages are
// taken out of it, open the window and are adopted; receiving never sends. Which states are adopted
// or dropped is the core's business, tested natively.
#include "plugin_fixture.h"

#include "engine/texts.h"

namespace {
// The receiver defends against an uncovered 9: "Беру".
constexpr char defendState[] = "@@Kelvaron@@72e0-91-63a2-b0-120";

class Receiving : public LoadedPluginTest {};
} // namespace

TEST_F(Receiving, OrdinaryTextsPassAlongTheChainUntouched) {
    const char* texts[] = {"hello",
                           "",
                           "@@Kelvaron@@",
                           "@@kelvaron@@----000",
                           " @@Kelvaron@@----000",
                           "@@Kelvaron",
                           "@@KELVARON@@72e0-91-63a2-b0-120"};
    for (const char* text : texts) {
        chainTester = {};
        EXPECT_EQ(hostReceiveText(alice, text), chainTesterResult) << "'" << text << "'";
        EXPECT_EQ(chainTester.calls, 1) << text;
        EXPECT_EQ(chainTester.wParam, 1) << "the tester's own chain position";
        EXPECT_EQ(chainTester.contact, alice);
        EXPECT_EQ(chainTester.text, text);
    }
    EXPECT_EQ(gameWindowHandle(), nullptr);
    EXPECT_TRUE(hostSentTexts().empty());
}

TEST_F(Receiving, CallsWithoutARecordEventOrTextArePassedOnUnread) {
    ReceivedEvent noText = {0, 0, nullptr, 0};
    CallRecord noEvent = {alice, "/RecvMessage", 0, 0};
    CallRecord withNoText = {alice, "/RecvMessage", 0, reinterpret_cast<HostWord>(&noText)};
    const HostWord lParams[] = {0, reinterpret_cast<HostWord>(&noEvent),
                                reinterpret_cast<HostWord>(&withNoText)};
    for (HostWord lParam : lParams) {
        std::size_t before = hostPluginServiceCalls().size();
        hostCallService("Kelvaron/RecvMessage", 7, lParam);
        ASSERT_EQ(hostPluginServiceCalls().size(), before + 1);
        const HostServiceCall& call = hostPluginServiceCalls().back();
        EXPECT_EQ(call.name, "Proto/ChainRecv");
        EXPECT_EQ(call.wParam, 7);
        EXPECT_EQ(call.lParam, lParam);
    }
    EXPECT_EQ(gameWindowHandle(), nullptr);
}

TEST_F(Receiving, FirstStateOpensTheWindowForItsSenderAndIsAdopted) {
    EXPECT_EQ(hostReceiveText(bob, defendState), 0);
    EXPECT_EQ(chainTester.calls, 0) << "a state message never continues along the chain";
    EXPECT_TRUE(hostChatLog().empty());
    HWND window = gameWindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowText(window), std::string(windowTitlePrefix) + "Bob");
    EXPECT_EQ(windowText(actionButtonHandle()), captionTake);
    EXPECT_TRUE(IsWindowEnabled(actionButtonHandle()));
    EXPECT_TRUE(hostSentTexts().empty()) << "receiving never answers";

    // Taking shows what was adopted: the peer gets back its hand, and the receiver's hand grew.
    ASSERT_TRUE(hostPressActionButton());
    ASSERT_EQ(hostSentTexts().size(), 1u);
    EXPECT_EQ(hostSentTexts()[0].contact, bob);
    GameState peer = peerViewOf(hostSentTexts()[0].text);
    EXPECT_TRUE(peer.table.empty());
    EXPECT_EQ(peer.opponentHand.size(), 2u) << "b0 and the 9 taken";
    EXPECT_EQ(peer.myHand.size(), 3u) << "63 a2 and e0 from the stock";
    EXPECT_EQ(peer.deck.size(), 1u);
    EXPECT_EQ(peer.localDefends, 0) << "the attacker attacks again";
    EXPECT_EQ(peer.trumpSuit, 2);
}

TEST_F(Receiving, NonHexadecimalCharactersShowOneTraceBoxPerMessage) {
    hostReceiveText(alice, "@@Kelvaron@@zzzz-zz-zzzz-zz-zz0");
    ASSERT_EQ(hostMessageBoxes().size(), 1u);
    EXPECT_EQ(hostMessageBoxes()[0].caption, "trace");
    EXPECT_EQ(hostMessageBoxes()[0].text, "HexToDec() function error. Wrong character.");
    EXPECT_NE(gameWindowHandle(), nullptr);
    EXPECT_EQ(windowText(actionButtonHandle()), "");
}
