// The plug-in against the host's own copy of the core (devhost/instruments/shadow_game.h), which is
// the oracle here: hostile texts from the opponent and from a stranger, the window closed now and then,
// and whole games played through real clicks and presses against a second copy of the core. After
// every text and every move the referee compares the chat, the trace boxes, the texts the plug-in
// sends and the window read back from the screen with what the core does. The rules and the message
// keep literal expected values in the core's own tests.
#include "plugin_fixture.h"

#include "devhost/instruments/shadow_game.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "stand_in/fake_frontend.h"
#include "stand_in/two_copies.h"

#include <cstdlib>
#include <deque>

namespace {
// Chat and look-alikes of the marker; "\xcf\xf0\xe8\xe2\xe5\xf2" is "Привет" in Windows-1251.
const char* const chatTexts[] = {"", "\xcf\xf0\xe8\xe2\xe5\xf2", stateMarker, "@@kelvaron@@----000",
                                 " @@Kelvaron@@----000"};
// Characters a mutation puts in; 0x7F and 0xFF stand for bytes outside ASCII.
constexpr char mutationPool[] = "0123456789abcdefAz-@ \x7f\xff";

// The host watched through a shadow of the plug-in's game and a referee that fails the test.
struct Watched {
    Referee referee{[](const std::string& fault) { ADD_FAILURE() << fault; }};
    ShadowGame shadow;
    std::deque<std::string> sent; // what the plug-in sent and the opponent has not read yet
    explicit Watched(unsigned seed) {
        shadow.referee = &referee;
        shadow.random.seed(seed);
        hostSetSendHandler([this](HostWord contact, const std::string& text) {
            shadowSent(shadow, contact, text);
            sent.push_back(text);
        });
        hostSetReceiveObserver(
            [this](const HostText& text, bool done) { shadowReceipt(shadow, text, done); });
        hostSetChatHandler([this](const HostText& entry) { referee.noteChat(entry); });
        hostSetMessageBoxHandler([this](const HostMessageBox& box) { referee.noteMessageBox(box); });
    }
    ~Watched() {
        hostSetSendHandler(nullptr);
        hostSetReceiveObserver(nullptr);
        hostSetChatHandler(nullptr);
        hostSetMessageBoxHandler(nullptr);
        forgetFakeWindows();
    }
};

unsigned below(std::mt19937& random, std::size_t n) {
    return std::uniform_int_distribution<unsigned>(0, unsigned(n) - 1)(random);
}

// A random part of the 36 cards spread at random over the four groups and any digits, half the time
// with one to three characters changed, put in, taken out, doubled (often a card twice) or cut off;
// one time in ten chat or a look-alike.
std::string hostileText(std::mt19937& random) {
    if (below(random, 10) == 0)
        return chatTexts[below(random, std::size(chatTexts))];
    CardList deck;
    for (unsigned i = 0; i < deckSize; ++i)
        deck.push_back(makeCard(lowestRank + i % 9, i / 9));
    std::shuffle(deck.begin(), deck.end(), random);
    std::string groups[4];
    for (std::size_t i = 0, n = below(random, deck.size() + 1); i < n; ++i)
        groups[below(random, 4)] += cardCode(deck[i]).text;
    std::string text = std::string(stateMarker) + groups[0] + "-" + groups[1] + "-" + groups[2] + "-" +
                       groups[3] + "-" + std::to_string(below(random, 2)) + std::to_string(below(random, 4)) +
                       std::to_string(below(random, 2));
    for (unsigned changes = below(random, 2) ? 1 + below(random, 3) : 0; changes > 0 && !text.empty();
         --changes) {
        std::size_t at = below(random, text.size());
        char put = mutationPool[below(random, sizeof mutationPool - 1)];
        switch (below(random, 5)) {
        case 0:
            text[at] = put;
            break;
        case 1:
            text.insert(at, 1, put);
            break;
        case 2:
            text.erase(at, 1);
            break;
        case 3:
            text.insert(at, text.substr(at, 2));
            break;
        default:
            text.resize(at);
        }
    }
    return text;
}
} // namespace

// KELVARON_HOSTILE_TEXTS texts (default 2,000).
TEST_F(PluginTest, HostileTextsChangeTheGameOnlyAsTheCoreSays) {
    const char* wanted = std::getenv("KELVARON_HOSTILE_TEXTS");
    const unsigned count = wanted ? static_cast<unsigned>(std::strtoul(wanted, nullptr, 10)) : 2000;
    Watched watched(1);
    loadPlugin();
    std::mt19937 random(20261207);
    unsigned sound = 0, unsound = 0;
    for (unsigned i = 0; i < count && !watched.referee.failed(); ++i) {
        if (hostGameWindow() && below(random, 40) == 0) {
            ASSERT_TRUE(hostCloseGameWindow());
        }
        std::string text = hostileText(random);
        // Without a window a stranger's state would open one for the stranger: only Alice opens it.
        HostWord sender = hostGameWindow() && below(random, 10) < 3 ? bob : alice;
        GameState read;
        if (isStateMessage(text.c_str()))
            ++(readStateMessage(text.c_str(), read) == DecodeResult::Accepted ? sound : unsound);
        hostReceiveText(sender, text.c_str());
    }
    EXPECT_TRUE(watched.sent.empty()) << "the plug-in answered " << watched.sent.front();
    EXPECT_GT(sound, count / 10) << "too few sound states to tell anything";
    EXPECT_GT(unsound, count / 10) << "too few unsound states to tell anything";
}

// Five games, each move of the plug-in's side a real click on a card's visible strip or a press of the
// button; the next game dealt by the plug-in's button.
TEST_F(PluginTest, WholeGamesThroughTheWindowAsTheCorePlaysThem) {
    Watched watched(7);
    loadPlugin();
    Side plugin, opponent;
    plugin.self = alice; // how the opponent's copy hears the plug-in
    std::mt19937 random(7);
    watched.shadow.game.opponentContact = alice;
    shadowChooseMenuItem(watched.shadow, alice, hostVisibleMenuItems(alice)[0]);
    unsigned moves = 0;
    for (unsigned game = 1; game <= 5 && !watched.referee.failed(); ++game) {
        for (unsigned move = 0; gameOutcome(watched.shadow.game) == InProgress; ++move, ++moves) {
            ASSERT_LT(move, 400u) << "game " << game << " does not end";
            for (; !watched.sent.empty(); watched.sent.pop_front())
                EXPECT_TRUE(deliver(plugin, opponent, watched.sent.front()).empty());
            if (!shadowPlay(watched.shadow).empty())
                continue;
            std::vector<std::uint32_t> theirs = acceptedActions(opponent.state);
            ASSERT_FALSE(theirs.empty()) << "game " << game << ": nobody can move";
            runAction(opponent.state, theirs[below(random, theirs.size())]);
            for (const std::string& text : sentTexts(opponent.state))
                hostReceiveText(alice, text.c_str());
            ASSERT_FALSE(watched.referee.failed()) << "game " << game << " move " << move;
        }
        ASSERT_TRUE(hostPressActionButton());
        ASSERT_EQ(watched.sent.size(), 1u) << "the button dealt nothing after game " << game;
    }
    EXPECT_GT(moves, 50u) << "too few moves to tell anything";
}
