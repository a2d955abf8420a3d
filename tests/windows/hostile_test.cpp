// Thousands of generated and mutated texts from the opponent and from a stranger, with and without a
// game window: no crash, at most one message box per text, other texts passed on untouched, state
// texts never passed on, and the window always showing either the old game or the decoded one.
#include "plugin_fixture.h"

#include "exchange/state_message.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <random>
#include <utility>

namespace {
// How many texts; KELVARON_HOSTILE_TEXTS sets another number.
unsigned textCount() {
    const char* count = std::getenv("KELVARON_HOSTILE_TEXTS");
    return count ? static_cast<unsigned>(std::strtoul(count, nullptr, 10)) : 3000;
}

// What the plug-in should hold, from the test's side.
struct Model {
    bool windowOpen = false;
    bool buttonSet = false; // a window that has adopted nothing shows a blank button
    HostWord opponent = 0;
    GameState state;
};

// Mostly state messages: a random part of the 36 cards spread at random over the four groups, any
// digits, and half of them with one to three characters changed, inserted, removed, doubled or cut off,
// which the decoder may or may not accept; now and then chat or a look-alike of the marker.
std::string generatedText(std::mt19937& random) {
    static const char* chat[] = {
        "", "Привет", "@@Kelvaron@@", "@@kelvaron@@----000", " @@Kelvaron@@----000", "@@KELVARON@@----000"};
    if (random() % 10 == 0)
        return chat[random() % std::size(chat)];
    CardList deck;
    for (unsigned i = 0; i < deckSize; ++i)
        deck.push_back(makeCard(6 + i % 9, i / 9));
    std::shuffle(deck.begin(), deck.end(), random);
    GameState sender;
    CardList* groups[] = {&sender.deck, &sender.table, &sender.myHand, &sender.opponentHand};
    for (std::size_t i = random() % (deckSize + 1); i > 0; --i)
        groups[random() % 4]->push_back(deck[i - 1]);
    sender.localDefends = random() % 2;
    sender.trumpSuit = random() % 4;
    sender.throwInPhase = random() % 2;
    std::string text = stateMessageSentBy(sender);
    static const std::string pool = "0123456789abcdefAz-@ \x7f\xff";
    for (unsigned m = random() % 2 ? 1 + random() % 3 : 0; m > 0 && !text.empty(); --m) {
        std::size_t at = random() % text.size();
        switch (random() % 5) {
        case 0:
            text[at] = pool[random() % pool.size()];
            break;
        case 1:
            text.insert(at, 1, pool[random() % pool.size()]);
            break;
        case 2:
            text.erase(at, 1);
            break;
        case 3: // often a card written twice
            text.insert(at, text.substr(at, 2));
            break;
        default:
            text.resize(at);
        }
    }
    return text;
}

// Decodes as the plug-in would, in this process's own copy of the core; true when one "trace" box was due.
bool decodeIntoModel(Model& model, const std::string& text, bool& accepted) {
    GameState saved = std::exchange(game, model.state);
    takeFrontendCalls();
    accepted = decodeStateMessage(text.c_str());
    if (accepted)
        model.state = game;
    std::vector<std::string> calls = takeFrontendCalls();
    game = saved;
    return std::any_of(calls.begin(), calls.end(),
                       [](const std::string& c) { return c.rfind("trace:", 0) == 0; });
}

// A module behind Kelvaron in the receive chain that notes what reached it and ends the chain.
struct ChainTesterLog {
    int calls = 0;
    HostWord contact = 0;
    std::string text; // copied: the record lives only during the call
} chainTester;
constexpr HostWord chainTesterResult = 0x5A5A;

HostWord chainTesterReceive(HostWord, HostWord lParam) {
    ++chainTester.calls;
    auto record = reinterpret_cast<const CallRecord*>(lParam);
    chainTester.contact = record ? record->contact : 0;
    auto event = record ? reinterpret_cast<const ReceivedEvent*>(record->lParam) : nullptr;
    chainTester.text = event && event->text ? event->text : "(none)";
    return chainTesterResult;
}

// A loaded plug-in with the chain tester behind it on both contacts.
class HostileInput : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        loadPlugin();
        hostCreateService("Tester/RecvMessage", chainTesterReceive);
        hostAttachModule(alice, "Tester");
        hostAttachModule(bob, "Tester");
    }
};
} // namespace

TEST_F(HostileInput, GeneratedAndMutatedTexts) {
    std::mt19937 random(20261206);
    Model model;
    unsigned states = 0, adopted = 0, boxes = 0, count = textCount();
    for (unsigned n = 0; n < count && !HasFatalFailure(); ++n) {
        if (model.windowOpen && random() % 40 == 0) {
            ASSERT_TRUE(hostCloseGameWindow());
            model.windowOpen = false;
            model.state.deck.clear(), model.state.table.clear();
            model.state.myHand.clear(), model.state.opponentHand.clear();
        }
        HostWord sender = random() % 10 < 7 ? alice : bob;
        std::string text = generatedText(random);
        SCOPED_TRACE(::testing::Message() << "text " << n << " from " << (sender == alice ? "Alice" : "Bob")
                                          << ": '" << text << "'");
        chainTester = {};
        std::size_t boxesBefore = hostMessageBoxes().size();
        HostWord result = hostReceiveText(sender, text.c_str());
        std::size_t newBoxes = hostMessageBoxes().size() - boxesBefore;
        boxes += newBoxes;
        ASSERT_LE(newBoxes, 1u);
        if (newBoxes) {
            ASSERT_EQ(hostMessageBoxes().back().caption, "trace");
            ASSERT_EQ(hostMessageBoxes().back().text, hexDigitErrorText);
        }

        if (!isStateMessage(text.c_str())) {
            ASSERT_EQ(result, chainTesterResult);
            ASSERT_EQ(chainTester.calls, 1);
            ASSERT_EQ(chainTester.contact, sender);
            ASSERT_EQ(chainTester.text, text);
            ASSERT_EQ(newBoxes, 0u);
        } else {
            ++states;
            ASSERT_EQ(result, 0);
            ASSERT_EQ(chainTester.calls, 0) << "a state message was passed on";
            if (!model.windowOpen) {
                model.windowOpen = true;
                model.buttonSet = false;
                model.opponent = sender;
            }
            if (sender == model.opponent) {
                bool accepted = false;
                bool traced = decodeIntoModel(model, text, accepted);
                adopted += accepted;
                model.buttonSet = model.buttonSet || accepted;
                ASSERT_EQ(newBoxes, traced ? 1u : 0u);
            } else {
                ASSERT_EQ(newBoxes, 0u) << "a stranger's state is dropped without a sign";
            }
        }
        ASSERT_EQ(gameWindowHandle() != nullptr, model.windowOpen);
        if (model.windowOpen) {
            ASSERT_EQ(shownGameMismatch(model.state, model.buttonSet), "");
        }
        ASSERT_TRUE(hostSentTexts().empty()) << "receiving never answers";
        ASSERT_TRUE(hostChatLog().empty() || !isStateMessage(hostChatLog().back().text.c_str()));
    }
    std::printf("%u texts: %u state messages, %u adopted, %u message boxes\n", count, states, adopted, boxes);
}

TEST_F(HostileInput, CallsWithoutARecordEventOrTextArePassedOnUnread) {
    ReceivedEvent noText = {0, 0, nullptr, 0};
    CallRecord noEvent = {alice, "/RecvMessage", 0, 0};
    CallRecord withNoText = {alice, "/RecvMessage", 0, reinterpret_cast<HostWord>(&noText)};
    const HostWord lParams[] = {0, reinterpret_cast<HostWord>(&noEvent),
                                reinterpret_cast<HostWord>(&withNoText)};
    for (int window = 0; window < 2; ++window) {
        for (HostWord lParam : lParams) {
            std::size_t before = hostPluginServiceCalls().size();
            hostCallService("Kelvaron/RecvMessage", 7, lParam);
            ASSERT_EQ(hostPluginServiceCalls().size(), before + 1);
            const HostServiceCall& call = hostPluginServiceCalls().back();
            EXPECT_EQ(call.name, "Proto/ChainRecv");
            EXPECT_EQ(call.wParam, 7);
            EXPECT_EQ(call.lParam, lParam);
            EXPECT_EQ(gameWindowHandle() != nullptr, window == 1);
        }
        choosePlayGame(alice);
    }
}
