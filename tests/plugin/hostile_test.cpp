// The hostile run, in the host: Alice, the opponent, sends anything: generated state messages, half of
// them mutated, now and then chat or a look-alike of the marker, and Bob, a stranger, sends too while
// a game window is open; now and then the window is closed. After every text the referee checks that
// a text that is no state message reached the chat as it came, that a state message showed exactly
// the trace boxes the core shows for it, and that the window shows the game as the core expects it:
// an unsound state leaves the game as it was, a sound one of Alice's is adopted, Bob's change nothing,
// and after a close Alice's next state opens the window on an empty game.
#include "plugin_fixture.h"

#include "devhost/instruments/referee.h"
#include "exchange/state_message.h"

#include <cstdlib>
#include <random>

namespace {
constexpr unsigned defaultTexts = 2000;
constexpr unsigned seed = 20261207;
// Chat and look-alikes of the marker; "\xcf\xf0\xe8\xe2\xe5\xf2" is "Привет" in Windows-1251.
const char* const chatTexts[] = {"",
                                 "\xcf\xf0\xe8\xe2\xe5\xf2",
                                 stateMarker,
                                 "@@kelvaron@@----000",
                                 " @@Kelvaron@@----000",
                                 "@@KELVARON@@----000"};
// Characters a mutation puts in; 0x7F and 0xFF stand for bytes outside ASCII.
constexpr char mutationPool[] = "0123456789abcdefAz-@ \x7f\xff";

unsigned textCount() {
    const char* wanted = std::getenv("KELVARON_HOSTILE_TEXTS");
    return wanted ? static_cast<unsigned>(std::strtoul(wanted, nullptr, 10)) : defaultTexts;
}

class HostileTexts {
  public:
    // One text: a random part of the 36 cards spread at random over the four groups and any digits,
    // half the time with one to three characters changed, put in, taken out, doubled or cut off; one
    // time in ten chat or a look-alike.
    std::string next() {
        if (below(10) == 0)
            return chatTexts[below(std::size(chatTexts))];
        return mutated(stateMessage());
    }
    unsigned below(std::size_t n) {
        return std::uniform_int_distribution<unsigned>(0, unsigned(n) - 1)(random_);
    }

  private:
    std::mt19937 random_{seed};

    std::string stateMessage() {
        std::vector<Card> deck;
        for (unsigned suit = 0; suit < suitCount; ++suit)
            for (unsigned rank = lowestRank; rank <= aceRank; ++rank)
                deck.push_back(makeCard(rank, suit));
        std::shuffle(deck.begin(), deck.end(), random_);
        std::string groups[4];
        for (std::size_t i = 0, n = below(deck.size() + 1); i < n; ++i)
            groups[below(4)] += code(deck[i]);
        return std::string(stateMarker) + groups[0] + "-" + groups[1] + "-" + groups[2] + "-" + groups[3] +
               "-" + std::to_string(below(2)) + std::to_string(below(4)) + std::to_string(below(2));
    }

    std::string mutated(std::string text) {
        for (unsigned changes = below(2) ? 1 + below(3) : 0; changes > 0 && !text.empty(); --changes) {
            std::size_t at = below(text.size());
            char put = mutationPool[below(sizeof mutationPool - 1)];
            switch (below(5)) {
            case 0:
                text[at] = put;
                break;
            case 1:
                text.insert(at, 1, put);
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
};
} // namespace

TEST_F(PluginTest, HostileTextsChangeTheGameOnlyAsTheCoreSays) {
    Referee referee([](const std::string& fault) { ADD_FAILURE() << fault; });
    unsigned expectedTraces = 0;
    hostSetReceiveObserver([&](const HostText& text, bool done) {
        done ? referee.received() : referee.receiving(text, expectedTraces);
    });
    hostSetChatHandler([&](const HostText& entry) { referee.noteChat(entry); });
    hostSetMessageBoxHandler([&](const HostMessageBox& box) { referee.noteMessageBox(box); });
    loadPlugin();

    HostileTexts texts;
    // Alice's game as the plug-in must hold it before the first text and after a closed window.
    GameState emptyGame;
    emptyGame.opponentContact = alice;
    GameState expected = emptyGame;
    bool windowOpen = false;
    unsigned adopted = 0, rejected = 0, chats = 0;
    const unsigned count = textCount();
    for (unsigned i = 0; i < count && !referee.failed(); ++i) {
        if (windowOpen && texts.below(40) == 0) {
            ASSERT_TRUE(hostCloseGameWindow());
            windowOpen = false;
            expected = emptyGame;
        }
        std::string text = texts.next();
        // With no window, a stranger's state would open one for the stranger: only Alice opens it.
        HostWord sender = windowOpen && texts.below(10) < 3 ? bob : alice;
        bool state = isStateMessage(text.c_str());
        GameState received;
        DecodeResult decoded = state ? readStateMessage(text.c_str(), received) : DecodeResult::Malformed;
        bool heard = state && sender == alice;
        expectedTraces = heard && decoded == DecodeResult::NotHexDigit ? 1 : 0;
        if (heard && decoded == DecodeResult::Accepted) {
            adoptState(expected, std::move(received));
            ++adopted;
        }
        rejected += heard && decoded != DecodeResult::Accepted;
        chats += !state;
        hostReceiveText(sender, text.c_str());
        windowOpen = windowOpen || heard;
        if (windowOpen)
            referee.checkWindow(cardPicturePath, expected, "text " + std::to_string(i) + " \"" + text + "\"");
        EXPECT_TRUE(hostSentTexts().empty()) << "the plug-in answered \"" << text << "\"";
        hostClearLogs();
    }
    hostSetReceiveObserver(nullptr);
    hostSetChatHandler(nullptr);
    hostSetMessageBoxHandler(nullptr);
    EXPECT_GT(adopted, count / 10) << "too few sound states to tell anything";
    EXPECT_GT(rejected, count / 10) << "too few unsound states to tell anything";
    std::printf("hostile run: %u texts, %u adopted, %u rejected, %u chat\n", count, adopted, rejected, chats);
}
