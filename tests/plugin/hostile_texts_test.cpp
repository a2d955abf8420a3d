// Hostile texts from the opponent and from a stranger, the plug-in watched against the host's own copy
// of the core. Whole games through real clicks and presses, watched the same way, are played between
// two hosts (tests/hosts).
#include "plugin_test.h"

#include "devhost/instruments/shadow_game.h"
#include "exchange/state_message.h"
#include "stand_in/fake_frontend.h"

#include <cstdlib>

// The core is the oracle here (devhost/instruments/shadow_game.h): after every text the referee
// compares the chat, the trace boxes, the texts the plug-in sends and the window read back from the
// screen with what the core does. A fault the plug-in shares with the core goes unseen here: the rules
// and the message keep literal expected values in the core's own tests.
namespace {
unsigned below(std::mt19937& random, std::size_t n) { return static_cast<unsigned>(random() % n); }

// A random part of the 36 cards spread at random over the four groups and any digits, half the time
// with one to three characters changed, put in, taken out, doubled (often a card twice) or cut off; one
// time in ten chat ("Привет" in Windows-1251) or a look-alike of the marker. 0x7F and 0xFF stand for
// bytes outside ASCII.
std::string hostileText(std::mt19937& random) {
    const char* const chat[] = {"", "\xcf\xf0\xe8\xe2\xe5\xf2", stateMarker, "@@kelvaron@@----000",
                                " @@Kelvaron@@----000"};
    if (below(random, 10) == 0)
        return chat[below(random, std::size(chat))];
    CardList deck;
    for (unsigned card = 0; card < deckSize; ++card)
        deck.push_back(makeCard(lowestRank + card % 9, card / 9));
    std::shuffle(deck.begin(), deck.end(), random);
    std::string groups[4], text = stateMarker;
    for (std::size_t i = 0, n = below(random, deck.size() + 1); i < n; ++i)
        groups[below(random, 4)] += code(deck[i]);
    text += groups[0] + "-" + groups[1] + "-" + groups[2] + "-" + groups[3] + "-" + line(below(random, 2)) +
            line(below(random, 4)) + line(below(random, 2));
    for (unsigned changes = below(random, 2) * (1 + below(random, 3)); changes > 0 && !text.empty();
         --changes) {
        std::size_t at = below(random, text.size());
        const char put = "0123456789abcdefAz-@ \x7f\xff"[below(random, 23)];
        const std::string head = text.substr(0, at), rest = text.substr(at), after = rest.substr(1);
        const std::string changed[] = {head + put + after, head + put + rest, head + after,
                                       head + rest.substr(0, 2) + rest, head};
        text = changed[below(random, std::size(changed))];
    }
    return text;
}
} // namespace

// KELVARON_HOSTILE_TEXTS texts (default 2,000); without a window a stranger's state would open one for
// the stranger, so only Alice's texts come then.
TEST_F(PluginTest, HostileTextsChangeTheGameOnlyAsTheCoreSays) {
    Referee referee{[](const std::string& fault) { ADD_FAILURE() << fault; }};
    ShadowGame shadow;
    shadow.referee = &referee;
    hostSetSendHandler([&](HostWord contact, const std::string& text) { shadowSent(shadow, contact, text); });
    hostSetReceiveObserver([&](const HostText& text, bool done) { shadowReceipt(shadow, text, done); });
    ASSERT_TRUE(loaded());
    const char* wanted = std::getenv("KELVARON_HOSTILE_TEXTS");
    const unsigned count = wanted ? static_cast<unsigned>(std::strtoul(wanted, nullptr, 10)) : 2000;
    std::mt19937 random(20261207);
    unsigned sound = 0, unsound = 0;
    for (unsigned i = 0; i < count && !referee.failed(); ++i) {
        if (hostGameWindow() && below(random, 40) == 0)
            hostCloseGameWindow();
        std::string text = hostileText(random);
        GameState read;
        if (isStateMessage(text.c_str()))
            ++(readStateMessage(text.c_str(), read) == DecodeResult::Accepted ? sound : unsound);
        hostReceiveText(hostGameWindow() && below(random, 10) < 3 ? bob : alice, text.c_str());
    }
    hostShutdown();
    forgetFakeWindows();
    EXPECT_EQ(sent(), "") << "the plug-in answered";
    EXPECT_GT(std::min(sound, unsound), count / 10)
        << "too few sound or unsound states to tell anything: " << sound << " and " << unsound;
}
