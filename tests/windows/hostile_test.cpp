// Thousands of generated and mutated texts from the opponent and from a stranger, with and without a
// game window: no crash, at most one message box per text, other texts passed on untouched, state
// texts never passed on, and the window always showing either the old game or the decoded one.
#include "plugin_fixture.h"
#include "table_check.h"

#include "exchange/state_message.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"

#include <algorithm>
#include <numeric>
#include <random>

namespace {
constexpr unsigned textCount = 3000;

// What the plug-in should hold, from the test's side.
struct Model {
    bool windowOpen = false;
    bool buttonSet = false; // a window that has adopted nothing shows a blank button
    HostWord opponent = 0;
    GameState state;
};

std::string group(const CardList& list) {
    std::string text = codes(list);
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text + "-";
}

// A well-formed state message: the 36 cards dealt at random over the four groups.
std::string validStateText(std::mt19937& random) {
    CardList deck;
    for (unsigned suit = 0; suit < 4; ++suit)
        for (unsigned rank = 6; rank <= 14; ++rank)
            deck.push_back(makeCard(rank, suit));
    std::shuffle(deck.begin(), deck.end(), random);
    deck.resize(std::uniform_int_distribution<std::size_t>(0, 36)(random));
    std::size_t cuts[3];
    for (std::size_t& cut : cuts)
        cut = std::uniform_int_distribution<std::size_t>(0, deck.size())(random);
    std::sort(std::begin(cuts), std::end(cuts));
    std::string text = stateMarker;
    std::size_t from = 0;
    for (std::size_t to : {cuts[0], cuts[1], cuts[2], deck.size()}) {
        text += group(CardList(deck.begin() + from, deck.begin() + to));
        from = to;
    }
    text += char('0' + random() % 2);
    text += char('0' + random() % 4);
    text += char('0' + random() % 2);
    return text;
}

char randomCharacter(std::mt19937& random) {
    static const std::string pool = "0123456789abcdefABCDEF-@Kgz xyZ\x7f";
    switch (random() % 4) {
    case 0:
        return static_cast<char>(1 + random() % 255); // anything but the terminating zero
    default:
        return pool[random() % pool.size()];
    }
}

std::string mutated(std::string text, std::mt19937& random) {
    unsigned mutations = 1 + random() % 3;
    for (unsigned m = 0; m < mutations && !text.empty(); ++m) {
        std::size_t at = random() % text.size();
        switch (random() % 8) {
        case 0:
            text[at] = randomCharacter(random);
            break;
        case 1:
            text.insert(at, 1, randomCharacter(random));
            break;
        case 2:
            text.erase(at, 1);
            break;
        case 3: // a card code written twice
            if (at + 2 <= text.size())
                text.insert(text.find('-', stateMarkerLength) == std::string::npos
                                ? text.size()
                                : text.find('-', stateMarkerLength),
                            text.substr(at, 2));
            break;
        case 4:
            text[text.size() - 1 - random() % std::min<std::size_t>(3, text.size())] =
                char('0' + random() % 10);
            break;
        case 5:
            text.resize(at);
            break;
        case 6: // exactly 255 or 256 characters after the marker
            text.resize(stateMarkerLength + 255 + random() % 2, randomCharacter(random) == '-' ? '-' : '6');
            break;
        case 7:
            text.insert(at, "-");
            break;
        }
    }
    return text;
}

std::string generatedText(std::mt19937& random) {
    switch (random() % 10) {
    case 0: { // marker variants and plain texts
        static const char* variants[] = {
            "@@Kelvaron@@", "@@kelvaron@@----000", "@Kelvaron@@----000",    " @@Kelvaron@@----000", "",
            "Привет",       "@@Kelvaron@@-",       "@@Kelvaron@@----000\n", "@@KELVARON@@----000"};
        return variants[random() % (sizeof variants / sizeof variants[0])];
    }
    case 1: { // garbage after the marker, or none at all
        std::string text = random() % 2 ? stateMarker : "";
        std::size_t length = random() % 300;
        for (std::size_t i = 0; i < length; ++i)
            text += randomCharacter(random);
        return text;
    }
    case 2:
    case 3:
    case 4:
        return validStateText(random);
    default:
        return mutated(validStateText(random), random);
    }
}

// Decodes as the plug-in would, in this process's own copy of the core; true when one "trace" box was due.
bool decodeIntoModel(Model& model, const std::string& text, bool& accepted) {
    GameState saved = game;
    game = model.state;
    takeFrontendCalls();
    accepted = decodeStateMessage(text.c_str());
    if (accepted)
        model.state = game;
    std::vector<std::string> calls = takeFrontendCalls();
    game = saved;
    return std::any_of(calls.begin(), calls.end(),
                       [](const std::string& c) { return c.rfind("trace:", 0) == 0; });
}

class HostileInput : public LoadedPluginTest {};
} // namespace

TEST_F(HostileInput, GeneratedAndMutatedTexts) {
    std::mt19937 random(20261206);
    Model model;
    unsigned states = 0, adopted = 0, boxes = 0;
    for (unsigned n = 0; n < textCount && !HasFatalFailure(); ++n) {
        if (model.windowOpen && random() % 40 == 0) {
            ASSERT_TRUE(hostCloseGameWindow());
            model.windowOpen = false;
            GameState emptied = model.state;
            emptied.deck.clear(), emptied.table.clear(), emptied.myHand.clear(), emptied.opponentHand.clear();
            model.state = emptied;
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

        if (!isStateMessage(text.c_str())) {
            ASSERT_EQ(result, chainTesterResult);
            ASSERT_EQ(chainTester.calls, 1);
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
            std::string mismatch = tableMismatch(model.state, model.buttonSet);
            ASSERT_EQ(mismatch, "");
        }
        ASSERT_TRUE(hostSentTexts().empty()) << "receiving never answers";
        ASSERT_TRUE(hostChatLog().empty() || !isStateMessage(hostChatLog().back().text.c_str()));
    }
    std::printf("%u texts: %u state messages, %u adopted, %u message boxes\n", textCount, states, adopted,
                boxes);
}

TEST_F(HostileInput, NullTextsAreOrdinaryMessages) {
    ReceivedEvent noText = {0, 0, nullptr, 0};
    CallRecord record = {alice, "/RecvMessage", 0, reinterpret_cast<HostWord>(&noText)};
    for (int window = 0; window < 2; ++window) {
        std::size_t before = hostPluginServiceCalls().size();
        hostCallService("Kelvaron/RecvMessage", 0, reinterpret_cast<HostWord>(&record));
        ASSERT_EQ(hostPluginServiceCalls().size(), before + 1);
        EXPECT_EQ(hostPluginServiceCalls().back().name, "Proto/ChainRecv");
        EXPECT_EQ(gameWindowHandle() != nullptr, window == 1);
        choosePlayGame(alice);
    }
}

TEST_F(HostileInput, ClosingMidThrowInAndShuttingDownMidGame) {
    const char* hand = "60 70 80 90 a0";
    ReceiverView throwIn = {"", "93 a3", hand, "63", false, 2, true};
    hostReceiveText(alice, stateMessageFor(throwIn).c_str());
    std::vector<Rect> rects;
    GameState view;
    view.myHand = cards(hand);
    std::swap(game, view);
    RECT client;
    GetClientRect(gameWindowHandle(), &client);
    layoutHand(rects, testPictureMetrics(), {client.right, client.bottom});
    std::swap(game, view);
    ASSERT_TRUE(hostClickGameWindow(rects[3].left + 5, rects[3].top + 40)); // 90 chosen
    ASSERT_TRUE(hostCloseGameWindow());

    // The next window knows nothing of the old choice: confirming gives only the table.
    hostReceiveText(alice, stateMessageFor(throwIn).c_str());
    ASSERT_TRUE(hostPressActionButton());
    ASSERT_EQ(hostSentTexts().size(), 1u);
    GameState peer = peerViewOf(hostSentTexts()[0].text);
    EXPECT_EQ(codes(peer.myHand), "63 93 a3") << "the defender took the table and nothing else";

    // The host shuts down in the middle of the next game; a later start works.
    hostReceiveText(alice, stateMessageFor(throwIn).c_str());
    ASSERT_TRUE(hostClickGameWindow(rects[3].left + 5, rects[3].top + 40));
    HWND window = gameWindowHandle();
    hostShutdown();
    EXPECT_FALSE(IsWindow(window));
    hostReset();
    alice = hostAddContact("Alice");
    loadPlugin();
    choosePlayGame(alice);
    EXPECT_NE(gameWindowHandle(), nullptr);
}
