// The auto-player's run: paced steps on the main window's timers, its moves through the real game
// window (cards clicked where they show, the button pressed, the menu item chosen), the crossed deals
// it stages, and its start and end.
#include "devhost/program/autoplay_run.h"

#include "devhost/instruments/instruments.h"
#include "engine/actions.h"
#include "engine/texts.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace autoplay {
Run run;

namespace {
constexpr UINT_PTR stepTimer = 1;
constexpr UINT_PTR endTimer = 2;
constexpr UINT_PTR stallTimer = 3;
// A game in which nothing happens for this long (or this many delays, if longer) is stuck.
constexpr UINT stallMs = 15000;
constexpr UINT stallDelays = 20;
// The first crossed deals start from the menu of a closed window, the later ones with the button.
constexpr unsigned menuCrossings = 4;
constexpr unsigned seedsTried = 100000;

UINT stallLimitMs() { return std::max(stallMs, stallDelays * run.options.delayMs); }

void printMove(const std::string& description) {
    printLine("move " + shownOnOneLine(run.options.userName) + ": " + description);
}

// Runs an action of the user's on the plug-in; the texts it sent meanwhile are timed and returned.
std::vector<std::string> callPlugin(const std::function<bool()>& action, bool& done) {
    std::uint64_t before = hostMicroseconds();
    ++run.pluginCalls;
    done = action();
    --run.pluginCalls;
    std::vector<std::string> texts = takeSentWaiting();
    printTimings("click", before, texts);
    return texts;
}

void startFromMenu() {
    run.menuChosen = true;
    std::vector<std::size_t> items = hostVisibleMenuItems(run.peer);
    if (items.empty()) {
        fail("the peer's contact menu has no item to start a game");
        stopPlaying();
        return;
    }
    printMove("starts a new game");
    bool done = false;
    std::vector<std::string> texts = callPlugin(
        [&] {
            hostChooseMenuItem(run.peer, items[0]);
            return true;
        },
        done);
    if (texts.empty())
        fail("choosing the contact-menu item sent no game");
    for (const std::string& text : texts)
        readState(text, TextSource::Sent);
}

void perform(const Action& action) {
    std::string description = describeAction(run.view, action);
    // A new deal is shuffled at random: only what follows a move can be foretold.
    bool newGame = action.kind == ActionKind::PressButton && actionButtonCaption(run.view) == captionNewGame;
    Prediction prediction; // not for a new game: the core's deal would draw on the plug-in's rand()
    if (!newGame)
        prediction = predictAction(run.view, action);
    printMove(description);
    bool done = false;
    std::vector<std::string> texts = callPlugin(
        [&] {
            if (action.kind == ActionKind::PressButton)
                return hostPressActionButton();
            RECT client = {};
            GetClientRect(static_cast<HWND>(hostGameWindow()), &client);
            Point point = cardClickPoint(run.view, action.card, ClientSize{client.right, client.bottom});
            return hostClickGameWindow(point.x, point.y);
        },
        done);
    if (!done) {
        fail("no game window to play in during " + gameLabel());
        stopPlaying();
    } else if (checking() && !newGame && texts != prediction.sent) {
        fail("after \"" + description + "\" in " + gameLabel() + " the plug-in sent " + listed(texts) +
             "; the core foretells " + listed(prediction.sent));
    }
    if (done && texts.empty() && !newGame && prediction.sent.empty()) {
        run.view = prediction.after; // a throw-in choice: only the selection changed
        watchForStall();
        schedule();
    } else if (done && texts.empty()) {
        run.waitingForText = true; // no move can follow a state the plug-in did not send
    }
    for (const std::string& text : texts)
        readState(text, TextSource::Sent);
}

bool crossingNext() {
    unsigned every = run.options.crossEvery;
    return every != 0 && (run.gameNumber + 1) % every == 0 && !run.cross.active;
}

// Seeds the C runtime, whose rand() the plug-in shares on this thread, so that the plug-in's next deal
// fits: each candidate seed's values are dealt on devhost's own copy of the shuffle first.
void steerNextDeal(const std::function<bool(const GameState&)>& fits) {
    unsigned first = static_cast<unsigned>(run.random()); // each game's deal a new one
    for (unsigned seed = first; seed < first + seedsTried; ++seed) {
        std::srand(seed);
        std::vector<int> values(deckSize);
        for (int& value : values)
            value = std::rand();
        if (fits(dealFromRandomValues(values, true, 0))) {
            std::srand(seed);
            return;
        }
    }
    fail("no seed gives the deal wanted for " + gameLabel());
}

// Both sides deal the next game; the side whose move ended this one holds its texts until the other's
// deal has come. The first crossings start from the menu of a freshly closed window, each side's coin
// steered so that these deals cover every pairing of who attacks, and the later ones with the button.
void startCrossedGame() {
    unsigned crossing = run.crossingsStarted++;
    bool holder = run.endedByMe;
    run.cross = {};
    run.cross.active = true;
    // In the first crossing both sides attack, and the side that does not hold wins and lays its first
    // card before the held deal arrives.
    run.cross.early = crossing == 0 && !holder;
    run.cross.holding = holder;
    if (holder)
        holdOutgoing();
    if (crossing >= menuCrossings) {
        perform(Action{ActionKind::PressButton, 0});
        return;
    }
    // The starter's coin follows the crossing's first bit, the other side's its second.
    bool defends = (crossing & (run.options.startsGames ? 1u : 2u)) != 0;
    const Card lowest = makeCard(lowestRank, 0); // a stock whose bottom card is this sorts first
    steerNextDeal([&](const GameState& deal) {
        return (deal.localDefends != 0) == defends && (deal.deck[0] == lowest) == run.cross.early;
    });
    printMove("closes the window");
    bool done = false;
    callPlugin(hostCloseGameWindow, done);
    run.view = GameState{}; // the closed window forgot the game and the deal
    run.view.opponentContact = run.peer;
    run.seenInGame.clear();
    run.lastOutcome = InProgress; // a deal from the menu tosses its coin whoever won
    startFromMenu();
}

void step() {
    run.stepPending = false;
    if (!run.playing)
        return;
    if (run.pluginCalls > 0) {
        schedule(); // reached from a modal loop inside the plug-in: never call into it from there
        return;
    }
    readSentTexts();
    if (run.windowForOther && hostGameWindow())
        return; // not our game to play
    run.windowForOther = false;
    if (!run.haveView) {
        // The menu item shows for an online contact only: the first game waits for the peer.
        if (run.options.startsGames && !run.menuChosen && contactOnline(run.peer))
            startFromMenu();
        return;
    }
    bool earlyCard = run.cross.early && run.cross.copies == 0 && isFreshDeal(run.view);
    if (run.waitingForText || !run.playing || (run.cross.active && !earlyCard))
        return;
    if (gameOutcome(run.view) != InProgress) {
        if (run.finished < run.options.games && crossingNext())
            startCrossedGame();
        else if (run.finished < run.options.games && run.options.startsGames)
            perform(Action{ActionKind::PressButton, 0});
        return;
    }
    Action action = chooseAction(run.view, run.random, run.plan);
    if (action.kind != ActionKind::None)
        perform(action);
    // The side whose move ended the game deals the next crossed one at once, before the other's deal
    // can arrive.
    if (run.gameOver && run.endedByMe && crossingNext() && run.finished < run.options.games)
        startCrossedGame();
}

void onStall() {
    if (!run.playing)
        return;
    fail("nothing happened for " + std::to_string(stallLimitMs() / 1000) + " s in " + gameLabel());
    printSummary();
    endHostAfter(endAtOnceMs);
}
} // namespace

std::string listed(const std::vector<std::string>& texts) {
    std::string list;
    for (const std::string& text : texts)
        list += (list.empty() ? "" : " and ") + text;
    return list.empty() ? "nothing" : list;
}

void printTimings(const char* what, std::uint64_t microseconds, const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        if (run.options.timing)
            printLine(std::string("timing ") + what + " " + std::to_string(microseconds) + " " + text);
}

void schedule() {
    if (!run.playing || run.stepPending)
        return;
    run.stepPending = true;
    if (run.options.delayMs == 0)
        PostMessageA(run.mainWindow, autoplayStepMessage, 0, 0);
    else
        SetTimer(run.mainWindow, stepTimer, run.options.delayMs, nullptr);
}

void watchForStall() {
    if (checking() && run.playing)
        SetTimer(run.mainWindow, stallTimer, stallLimitMs(), nullptr);
}

void endHostAfter(UINT ms) {
    if (!run.options.script)
        SetTimer(run.mainWindow, endTimer, ms, nullptr);
}

void stopPlaying() {
    run.playing = false;
    KillTimer(run.mainWindow, stepTimer);
    KillTimer(run.mainWindow, stallTimer);
}
} // namespace autoplay

using namespace autoplay;

void autoplayStart(const DevhostOptions& options, HWND mainWindow) {
    run.options = options;
    run.mainWindow = mainWindow;
    run.peer = contactNamed(options.peerName);
    run.referee =
        Referee([](const std::string& fault) { printLine("check: FAILED " + shownOnOneLine(fault)); });
    run.random.seed(options.seed);
    if (!options.snapshotDir.empty())
        CreateDirectoryA(options.snapshotDir.c_str(), nullptr);
    run.active = true;
    run.playing = true;
    watchForStall();
    if (options.startsGames)
        schedule();
}

void autoplayOnMessage(UINT message) {
    if (message == autoplayStepMessage)
        step();
    else if (message == autoplayReadSentMessage && run.pluginCalls == 0 && run.active && !run.summaryPrinted)
        readSentTexts();
}

void autoplayOnTimer(UINT_PTR timer) {
    KillTimer(run.mainWindow, timer);
    if (timer == stepTimer)
        step();
    else if (timer == stallTimer)
        onStall();
    else if (timer == endTimer)
        closeHost(run.mainWindow);
}

void autoplayPeerPresence(bool online) {
    if (online && run.active && !run.haveView)
        schedule();
    if (online)
        return;
    run.peerGone = true;
    if (!run.active)
        return;
    if (run.summaryPrinted) {
        if (!run.options.startsGames)
            endHostAfter(endAtOnceMs);
        return;
    }
    if (checking())
        fail("the peer left during " + gameLabel() + ", after " + std::to_string(run.finished) + " of " +
             std::to_string(run.options.games) + " games");
    stopPlaying();
    endHostAfter(peerLeaveWaitMs);
}

void autoplayEnd() {
    if (!run.active)
        return;
    printSummary();
    run.active = false;
}

bool autoplayChecksFailed() { return run.referee.failed(); }
