// The auto-player's run: paced steps on a message-only window of its own, its moves through the real
// game window, its reading of every state message, the checks, the output lines and the summary.
#include "devhost/program/autoplay.h"

#include "devhost/instruments/instruments.h"
#include "devhost/program/autoplay_view.h"
#include "devhost/program/table_readback.h"
#include "engine/actions.h"
#include "engine/texts.h"
#include "exchange/state_message.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <cstdio>
#include <fstream>

namespace {
constexpr char pacerClass[] = "DevhostAutoplayPacer";
constexpr UINT stepMessage = WM_APP + 1;
constexpr UINT readSentMessage = WM_APP + 2;
constexpr UINT_PTR stepTimer = 1;
constexpr UINT_PTR endTimer = 2;
constexpr UINT_PTR stallTimer = 3;
// The starter lets its last text reach the peer before its link closes.
constexpr UINT starterLingerMs = 1000;
// The other host waits this long for the starter to leave first.
constexpr UINT peerLeaveWaitMs = 5000;
constexpr UINT endAtOnceMs = 1;
// A game in which nothing happens for this long (or this many delays, if longer) is stuck.
constexpr UINT stallMs = 15000;
constexpr UINT stallDelays = 20;
constexpr unsigned memoryBaselineGame = 10;
constexpr std::size_t memoryGrowthLimit = 4u << 20;
constexpr std::size_t bytesPerKb = 1024;
constexpr unsigned snapshotEveryMoves = 10;
constexpr int actionButtonId = 1020;
constexpr char cardPictureInFolder[] = "Plugins\\cards.png";
constexpr char cardPictureName[] = "cards.png";
constexpr std::size_t pngHeaderBytes = 24;
constexpr unsigned char pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct Run {
    AutoplaySettings settings;
    AutoplayHost host;
    bool active = false;  // started and not ended
    bool playing = false; // may still act
    bool summaryPrinted = false;
    bool peerGone = false;
    bool menuChosen = false;
    HWND pacer = nullptr;
    std::mt19937 random;
    CardMetrics metrics = {};
    std::string picturePath;

    GameState view;
    bool haveView = false;
    ThrowInPlan plan;
    unsigned gameNumber = 0;
    bool gameOver = false;
    unsigned movesInGame = 0;
    GameOutcome lastOutcome = InProgress;
    unsigned finished = 0, won = 0, lost = 0, draws = 0;

    std::vector<std::string> seenInGame; // the current game's states, as this side would send them
    bool endedByMe = false;              // this side's own move ended the last game
    // A game whose two deals cross: no move until the other deal has come, twice when it wins (its
    // dealer drops ours and sends it again).
    struct {
        bool active = false;
        bool holding = false;
        bool early = false; // lays its first card before the other deal comes: its own deal wins
        std::string peerDeal;
        unsigned copies = 0;
    } cross;
    unsigned crossingsStarted = 0;
    // The game window was opened by another contact's state: the plug-in plays that game, not ours,
    // and drops the peer's states until the window closes.
    bool windowForOther = false;
    ReceiptForecast forecast; // of the text being received

    std::vector<std::string> sentWaiting;
    int pluginCalls = 0; // depth of the auto-player's own calls into the plug-in
    bool stepPending = false;
    bool waitingForText = false; // an action that should have sent sent nothing
    bool failed = false;
    std::string title;
    std::size_t memoryFirst = 0, memoryLast = 0;

    // While a received text goes through the receive chain: the text, and what reached the chat and
    // the message boxes meanwhile.
    const std::string* receivedText = nullptr;
    HostWord receivedFrom = 0;
    unsigned chatsDuringReceive = 0, boxesDuringReceive = 0;
    bool chatAsReceived = true;
};
Run run;

void print(const std::string& line) { run.host.print(line); }

void fail(const std::string& what) {
    run.failed = true;
    print("check: FAILED " + what);
}

std::string gameLabel() { return "game " + std::to_string(run.gameNumber); }

std::string listed(const std::vector<std::string>& texts) {
    if (texts.empty())
        return "nothing";
    std::string list;
    for (const std::string& text : texts)
        list += (list.empty() ? "" : " and ") + text;
    return list;
}

std::string windowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The card picture's size from its PNG header: the plug-in reads the same file.
bool readPictureSize(const std::string& path, std::uint32_t& width, std::uint32_t& height) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[pngHeaderBytes] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) ||
        !std::equal(std::begin(pngSignature), std::end(pngSignature), header))
        return false;
    auto bigEndian = [&](std::size_t at) {
        return std::uint32_t{header[at]} << 24 | std::uint32_t{header[at + 1]} << 16 |
               std::uint32_t{header[at + 2]} << 8 | header[at + 3];
    };
    width = bigEndian(16);
    height = bigEndian(20);
    return width > 0 && height > 0;
}

// Where the plug-in finds it: in the messenger's folder, or beside the DLL.
bool findCardMetrics() {
    std::string besidePlugin = run.settings.pluginPath;
    std::size_t slash = besidePlugin.find_last_of("\\/");
    besidePlugin = (slash == std::string::npos ? "" : besidePlugin.substr(0, slash + 1)) + cardPictureName;
    for (const std::string& path : {std::string(cardPictureInFolder), besidePlugin}) {
        std::uint32_t width = 0, height = 0;
        if (readPictureSize(path, width, height)) {
            run.metrics = cardMetricsForPicture(width, height);
            run.picturePath = path;
            return true;
        }
    }
    return false;
}

std::vector<Rect> currentHandRects() {
    RECT client = {};
    GetClientRect(static_cast<HWND>(hostGameWindow()), &client);
    return handRects(run.view, run.metrics, ClientSize{client.right, client.bottom});
}

std::vector<bool> reachableCards(const std::vector<Rect>& rects) {
    std::vector<bool> reachable;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        Point point;
        reachable.push_back(visibleCardPoint(rects, i, point));
    }
    return reachable;
}

bool peerOnline() {
    for (const HostContact& contact : hostContacts())
        if (contact.handle == run.host.peer)
            return contact.online;
    return false;
}

// --- pacing

void schedule() {
    if (!run.playing || run.stepPending)
        return;
    run.stepPending = true;
    if (run.settings.delayMs == 0)
        PostMessageA(run.pacer, stepMessage, 0, 0);
    else
        SetTimer(run.pacer, stepTimer, run.settings.delayMs, nullptr);
}

void watchForStall() {
    if (run.settings.check && run.playing)
        SetTimer(run.pacer, stallTimer, std::max(stallMs, stallDelays * run.settings.delayMs), nullptr);
}

void endHostAfter(UINT ms) {
    if (run.host.endsHost)
        SetTimer(run.pacer, endTimer, ms, nullptr);
}

void stopPlaying() {
    run.playing = false;
    KillTimer(run.pacer, stepTimer);
    KillTimer(run.pacer, stallTimer);
}

// --- what the auto-player sees

void snapshot(const std::string& moment) {
    if (run.settings.snapshotDir.empty())
        return;
    std::string path = run.settings.snapshotDir + "\\" + run.settings.userName + "-game" +
                       std::to_string(run.gameNumber) + "-" + moment + ".png";
    if (!hostSaveGameWindowPng(path.c_str()))
        print("snapshot: cannot save " + run.host.shown(path));
}

void checkWindow() {
    auto window = static_cast<HWND>(hostGameWindow());
    if (!window) {
        fail("no game window after a state message in " + gameLabel());
        return;
    }
    HWND button = GetDlgItem(window, actionButtonId);
    std::string caption = button ? windowText(button) : "(no button)";
    std::string expected = actionButtonCaption(run.view);
    if (caption != expected)
        fail("the button says \"" + run.host.shown(caption) + "\" where the game calls for \"" +
             run.host.shown(expected) + "\" in " + gameLabel());
    else if (button && (IsWindowEnabled(button) != FALSE) != !expected.empty())
        fail(std::string("the button is ") + (expected.empty() ? "enabled" : "disabled") +
             " where the game calls for the opposite in " + gameLabel());
    std::string drawn = tableMismatch(run.picturePath, run.view);
    if (!drawn.empty())
        fail("the window does not show " + gameLabel() + ": " + drawn);
    std::string title = windowText(window);
    if (run.title.empty())
        run.title = title;
    else if (title != run.title)
        fail("the window title changed from \"" + run.host.shown(run.title) + "\" to \"" +
             run.host.shown(title) + "\"");
}

void printSummary() {
    if (run.summaryPrinted)
        return;
    run.summaryPrinted = true;
    stopPlaying();
    hostCloseGameWindow(); // the handles are counted with no window open
    HostResourceCounts counts = hostResourceCounts();
    std::size_t dcs = counts.live.memoryDcs + counts.live.windowDcs;
    if (run.settings.check) {
        if (run.finished < run.settings.games && !run.settings.hostilePeer)
            fail("only " + std::to_string(run.finished) + " of " + std::to_string(run.settings.games) +
                 " games finished");
        if (counts.live.gdiObjects || dcs || counts.live.gdiplusImages)
            fail("with no game window the plug-in still holds " + std::to_string(counts.live.gdiObjects) +
                 " GDI objects, " + std::to_string(dcs) + " DCs and " +
                 std::to_string(counts.live.gdiplusImages) + " GDI+ images");
        if (run.memoryFirst && run.memoryLast > run.memoryFirst + memoryGrowthLimit)
            fail("the memory grew by " + std::to_string((run.memoryLast - run.memoryFirst) / bytesPerKb) +
                 " KB from game " +
                 std::to_string(run.settings.games >= memoryBaselineGame ? memoryBaselineGame : 1) +
                 " to the last");
    }
    print("summary: games=" + std::to_string(run.finished) + " won=" + std::to_string(run.won) +
          " lost=" + std::to_string(run.lost) + " draw=" + std::to_string(run.draws) +
          " checks=" + (run.failed ? "FAILED" : "ok") + " gdi=" + std::to_string(counts.live.gdiObjects) +
          " dcs=" + std::to_string(dcs) + " images=" + std::to_string(counts.live.gdiplusImages) +
          " memory-kb=" + std::to_string(run.memoryFirst / bytesPerKb) + "->" +
          std::to_string(run.memoryLast / bytesPerKb));
}

void endOfGame(GameOutcome outcome) {
    run.gameOver = true;
    run.lastOutcome = outcome;
    ++run.finished;
    const char* word = outcome == Won ? "won" : outcome == Lost ? "lost" : "draw";
    (outcome == Won ? run.won : outcome == Lost ? run.lost : run.draws) += 1;
    print(gameLabel() + " over: " + word);
    if (run.settings.check && !hostUnexpectedCalls().empty())
        fail("the plug-in called the link table's " + hostUnexpectedCalls().front() + " in " + gameLabel());
    // The host's own logs would grow with every game and hide what the plug-in does to the memory.
    hostClearLogs();
    std::size_t memory = hostProcessMemory();
    unsigned baseline = run.settings.games >= memoryBaselineGame ? memoryBaselineGame : 1;
    if (run.finished == baseline)
        run.memoryFirst = memory;
    run.memoryLast = memory;
    snapshot("end");
    if (run.finished < run.settings.games)
        return;
    printSummary();
    // The starter leaves first, which the other host sees as the end of the link.
    if (run.settings.startsGames)
        endHostAfter(starterLingerMs);
    else
        endHostAfter(run.peerGone ? endAtOnceMs : peerLeaveWaitMs);
}

void checkNewDeal(const GameState& deal, bool replacesCrossedDeal) {
    if (run.haveView && !run.gameOver && !replacesCrossedDeal)
        fail("a new deal during " + gameLabel());
    // The winner attacks first; after a draw either may.
    if (run.lastOutcome == Won && deal.localDefends)
        fail("the winner of " + gameLabel() + " defends in the next game");
    if (run.lastOutcome == Lost && !deal.localDefends)
        fail("the loser of " + gameLabel() + " attacks in the next game");
}

bool crossingSettled() {
    const auto& cross = run.cross;
    return cross.copies >= 2 || (cross.copies == 1 && cross.peerDeal > run.view.ownDeal);
}

// A fresh deal of the peer's during a crossing: the held texts go once it has come.
void notePeerDeal(const std::string& text) {
    auto& cross = run.cross;
    if (!cross.active || text == run.view.ownDeal || (!cross.peerDeal.empty() && text != cross.peerDeal))
        return;
    cross.peerDeal = text;
    ++cross.copies;
    if (cross.holding) {
        cross.holding = false;
        run.host.releaseTexts();
    }
    if (!crossingSettled())
        return;
    cross.active = false;
    GameState mine, theirs;
    viewFromStateMessage(run.view.ownDeal, TextSource::Sent, mine);
    viewFromStateMessage(cross.peerDeal, TextSource::Received, theirs);
    auto role = [](const GameState& deal) { return deal.localDefends ? "defend" : "attack"; };
    print(gameLabel() + ": deals crossed, I " + role(mine) + " in mine and " + role(theirs) + " in theirs, " +
          (cross.peerDeal > run.view.ownDeal ? "mine" : "theirs") + " stands" +
          (cross.early ? ", my first card laid before theirs came" : ""));
}

void readState(const std::string& text, TextSource source) {
    bool received = source == TextSource::Received;
    // A hostile peer's states follow no game: only what the window shows of them is checked.
    bool hostile = run.settings.hostilePeer && received;
    if (received && run.windowForOther)
        return; // dropped unseen: the window shows another contact's game
    if (!received)
        run.windowForOther = false; // the plug-in sends only the game of its own window
    GameState next = run.view;
    if (received && !run.forecast.adopted) {
        if (run.forecast.freshDeal)
            notePeerDeal(text);
        if (run.settings.check && (hostile || run.forecast.sound))
            checkWindow(); // still the game as it was: a malformed state, or a game that crossed ours
        else if (run.settings.check)
            fail("a state message that does not decode: " + text);
        if (!run.cross.active)
            schedule();
        return;
    }
    if (!viewFromStateMessage(text, source, next)) {
        if (run.settings.check)
            fail("a state message that does not decode: " + text);
        return;
    }
    // A state seen before in this game was sent again (a lost move brought back, a crossing settled).
    std::string asSent = encodeStateMessage(next).text;
    bool again = std::find(run.seenInGame.begin(), run.seenInGame.end(), asSent) != run.seenInGame.end();
    bool fresh = isFreshDeal(next) && !again;
    bool replacesCrossedDeal = received && run.view.ownDeal[0] != '\0' && !run.view.ownDealAnswered;
    if (received && next.ownDeal[0] != '\0')
        next.ownDealAnswered = true;
    if (!received && fresh) {
        std::snprintf(next.ownDeal, sizeof next.ownDeal, "%s", text.c_str());
        next.ownDealAnswered = false;
    }
    if (run.settings.check && !hostile && !again) {
        std::string problem = cardFlowProblem(run.haveView ? &run.view : nullptr, next);
        if (!problem.empty())
            fail(problem + " in " + text);
    }
    if (fresh) {
        if (run.settings.check && !hostile)
            checkNewDeal(next, replacesCrossedDeal);
        if (!replacesCrossedDeal) {
            ++run.gameNumber;
            run.seenInGame.clear();
        }
        run.movesInGame = 0;
        run.gameOver = false;
    } else if (!again) {
        if (!run.haveView && run.settings.check && !hostile)
            fail("a state message before any deal: " + text);
        run.gameNumber = std::max(run.gameNumber, 1u);
        ++run.movesInGame;
    }
    run.seenInGame.push_back(asSent);
    run.view = next;
    run.haveView = true;
    run.plan = ThrowInPlan{};
    run.waitingForText = false;
    if (received && isFreshDeal(next))
        notePeerDeal(text);
    if (run.settings.check)
        checkWindow();
    if (fresh && run.gameNumber == 1)
        snapshot("deal");
    else if (!fresh && !again && run.movesInGame % snapshotEveryMoves == 0) {
        char moment[16];
        std::snprintf(moment, sizeof moment, "move%03u", run.movesInGame);
        snapshot(moment);
    }
    GameOutcome outcome = gameOutcome(run.view);
    if (outcome != InProgress && !run.gameOver) {
        run.endedByMe = !received;
        endOfGame(outcome);
    }
    watchForStall();
    if (outcome == InProgress ? sideHasMove(run.view) : run.finished < run.settings.games)
        schedule();
}

std::vector<std::string> takeSentWaiting() {
    std::vector<std::string> texts;
    texts.swap(run.sentWaiting);
    return texts;
}

// Texts the plug-in sent without the auto-player (a script's click, a person's).
void readSentTexts() {
    for (const std::string& text : takeSentWaiting())
        readState(text, TextSource::Sent);
}

// --- what the auto-player does

void printTimings(const char* what, std::uint64_t microseconds, const std::vector<std::string>& texts) {
    if (!run.settings.timing)
        return;
    for (const std::string& text : texts)
        print(std::string("timing ") + what + " " + std::to_string(microseconds) + " " + text);
}

void printMove(const std::string& description) {
    print("move " + run.settings.userNameShown + ": " + description);
}

// What the plug-in sent for a new game: its shuffle cannot be foretold, so only its shape is checked.
void readNewDeal(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        GameState deal;
        if (run.settings.check && viewFromStateMessage(text, TextSource::Sent, deal) && !isFreshDeal(deal))
            fail("the new game is no fresh deal: " + text);
        readState(text, TextSource::Sent);
    }
}

void startFromMenu() {
    run.menuChosen = true;
    std::vector<std::size_t> items = hostVisibleMenuItems(run.host.peer);
    if (items.empty()) {
        fail("the peer's contact menu has no item to start a game");
        stopPlaying();
        return;
    }
    printMove("starts a new game");
    std::uint64_t before = hostMicroseconds();
    ++run.pluginCalls;
    hostChooseMenuItem(run.host.peer, items[0]);
    --run.pluginCalls;
    std::vector<std::string> texts = takeSentWaiting();
    printTimings("click", before, texts);
    if (texts.empty())
        fail("choosing the contact-menu item sent no game");
    readNewDeal(texts);
}

void perform(const Action& action) {
    std::string description = describeAction(run.view, action);
    bool newGame = action.kind == ActionKind::PressButton && actionButtonCaption(run.view) == captionNewGame;
    // A new deal is shuffled at random: only its shape can be foretold.
    Prediction prediction;
    if (!newGame)
        prediction = predictAction(run.view, action);
    Point point = {};
    if (action.kind == ActionKind::ClickCard && !visibleCardPoint(currentHandRects(), action.card, point))
        return;
    printMove(description);
    std::uint64_t before = hostMicroseconds();
    ++run.pluginCalls;
    bool done = action.kind == ActionKind::ClickCard ? hostClickGameWindow(point.x, point.y)
                                                     : hostPressActionButton();
    --run.pluginCalls;
    std::vector<std::string> texts = takeSentWaiting();
    if (!done) {
        fail("no game window to play in during " + gameLabel());
        stopPlaying();
        return;
    }
    printTimings("click", before, texts);
    if (run.settings.check && !newGame && texts != prediction.sent)
        fail("after \"" + description + "\" in " + gameLabel() + " the plug-in sent " + listed(texts) +
             "; the core foretells " + listed(prediction.sent));
    if (texts.empty()) {
        if (!newGame && prediction.sent.empty()) {
            run.view = prediction.after; // a throw-in choice: only the selection changed
            watchForStall();
            schedule();
        } else {
            run.waitingForText = true; // no move can follow a state the plug-in did not send
        }
        return;
    }
    if (newGame) {
        readNewDeal(texts);
        return;
    }
    for (const std::string& text : texts)
        readState(text, TextSource::Sent);
}

bool crossingNext() {
    unsigned every = run.settings.crossEvery;
    return every != 0 && (run.gameNumber + 1) % every == 0 && !run.cross.active;
}

// Seeds the C runtime, whose rand() the plug-in shares on this thread, so that the plug-in's next deal
// fits: each candidate seed's values are dealt on devhost's own copy of the shuffle first.
void steerNextDeal(bool tossesCoin, std::uint8_t dealerDefends,
                   const std::function<bool(const GameState&)>& fits) {
    constexpr unsigned seedsTried = 100000;
    unsigned first = static_cast<unsigned>(run.random()); // each game's deal a new one
    for (unsigned seed = first; seed < first + seedsTried; ++seed) {
        std::srand(seed);
        std::vector<int> values(deckSize);
        for (int& value : values)
            value = std::rand();
        if (fits(dealFromRandomValues(values, tossesCoin, dealerDefends))) {
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
    constexpr unsigned menuCrossings = 4;
    unsigned crossing = run.crossingsStarted++;
    bool byMenu = crossing < menuCrossings;
    bool holder = run.endedByMe;
    run.cross = {};
    run.cross.active = true;
    // In the first crossing both sides attack, and the side that does not hold wins and lays its first
    // card before the held deal arrives.
    run.cross.early = crossing == 0 && !holder;
    if (holder) {
        run.cross.holding = true;
        run.host.holdTexts();
    }
    if (!byMenu) {
        perform(Action{ActionKind::PressButton, 0});
        return;
    }
    // The starter's coin follows the crossing's first bit, the other side's its second.
    bool defends = (crossing & (run.settings.startsGames ? 1u : 2u)) != 0;
    const Card lowest = makeCard(lowestRank, 0); // a stock whose bottom card is this sorts first
    steerNextDeal(true, 0, [&](const GameState& deal) {
        return (deal.localDefends != 0) == defends && (deal.deck[0] == lowest) == run.cross.early;
    });
    printMove("closes the window");
    ++run.pluginCalls;
    hostCloseGameWindow();
    --run.pluginCalls;
    run.view = GameState{}; // the closed window forgot the game and the deal
    run.view.opponentContact = run.host.peer;
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
    if (run.settings.hostilePeer && !hostGameWindow())
        return; // closed by the script: the peer's next state opens it again
    readSentTexts();
    if (run.windowForOther && hostGameWindow())
        return; // not our game to play
    run.windowForOther = false;
    if (!run.haveView) {
        // The menu item shows for an online contact only: the first game waits for the peer.
        if (run.settings.startsGames && !run.menuChosen && peerOnline())
            startFromMenu();
        return;
    }
    bool earlyCard = run.cross.early && run.cross.copies == 0 && isFreshDeal(run.view);
    if (run.waitingForText || !run.playing || (run.cross.active && !earlyCard))
        return;
    if (gameOutcome(run.view) != InProgress) {
        if (run.finished >= run.settings.games)
            return;
        if (crossingNext())
            startCrossedGame();
        else if (run.settings.startsGames)
            perform(Action{ActionKind::PressButton, 0});
        return;
    }
    Action action = chooseAction(run.view, reachableCards(currentHandRects()), run.random, run.plan);
    if (action.kind != ActionKind::None)
        perform(action);
    // The side whose move ended the game deals the next crossed one at once, before the other's deal
    // can arrive.
    if (run.gameOver && run.endedByMe && crossingNext() && run.finished < run.settings.games)
        startCrossedGame();
}

void onStall() {
    KillTimer(run.pacer, stallTimer);
    if (!run.playing)
        return;
    fail("nothing happened for " +
         std::to_string(std::max(stallMs, stallDelays * run.settings.delayMs) / 1000) + " s in " +
         gameLabel());
    printSummary();
    endHostAfter(endAtOnceMs);
}

LRESULT CALLBACK pacerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case stepMessage:
        step();
        return 0;
    case readSentMessage:
        if (run.pluginCalls == 0 && run.active && !run.summaryPrinted)
            readSentTexts();
        return 0;
    case WM_TIMER:
        KillTimer(window, wParam);
        if (wParam == stepTimer)
            step();
        else if (wParam == stallTimer)
            onStall();
        else if (wParam == endTimer && run.host.shutDown)
            run.host.shutDown();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createPacer() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = pacerProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = pacerClass;
    RegisterClassA(&windowClass);
    return CreateWindowA(pacerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}
} // namespace

bool autoplayStart(const AutoplaySettings& settings, const AutoplayHost& host) {
    run = Run{};
    run.settings = settings;
    run.host = host;
    run.random.seed(settings.seed);
    run.pacer = createPacer();
    if (!run.pacer || !findCardMetrics()) {
        print(run.pacer ? "autoplay: cannot read the card picture's size" : "autoplay: cannot start");
        return false;
    }
    if (!settings.snapshotDir.empty())
        CreateDirectoryA(settings.snapshotDir.c_str(), nullptr);
    run.active = true;
    run.playing = true;
    watchForStall();
    if (settings.startsGames)
        schedule();
    return true;
}

void autoplayNoteSent(HostWord contact, const std::string& text) {
    if (!run.active || contact != run.host.peer || run.summaryPrinted)
        return;
    run.sentWaiting.push_back(text);
    if (run.pluginCalls == 0)
        PostMessageA(run.pacer, readSentMessage, 0, 0);
}

void autoplayReceive(HostWord contact, const std::string& text) {
    bool watching = run.active && !run.summaryPrinted;
    bool state = isStateMessage(text.c_str());
    bool hostile = watching && run.settings.hostilePeer && run.settings.check;
    if (watching && run.pluginCalls == 0)
        readSentTexts(); // the view must be the plug-in's game before the text arrives
    bool windowBefore = hostGameWindow() != nullptr;
    if (!windowBefore)
        run.windowForOther = false;
    if (hostile && state && contact == run.host.peer && !hostGameWindow()) {
        run.view = GameState{}; // the window opens on empty lists
        run.view.opponentContact = contact;
        run.haveView = true;
    }
    bool fromPeer = contact == run.host.peer && state;
    run.forecast = fromPeer && !run.windowForOther ? forecastReceipt(run.view, text) : ReceiptForecast{};
    unsigned coreTraces = run.forecast.traceBox ? 1 : 0; // what the plug-in must show for the text
    run.receivedText = &text;
    run.receivedFrom = contact;
    run.chatsDuringReceive = run.boxesDuringReceive = 0;
    run.chatAsReceived = true;
    std::size_t sentBefore = run.sentWaiting.size();
    ++run.pluginCalls;
    hostReceiveText(contact, text.c_str());
    --run.pluginCalls;
    // The plug-in adopts the state and repaints before the chain returns.
    std::uint64_t adopted = hostMicroseconds();
    run.receivedText = nullptr;
    if (state && contact != run.host.peer && !windowBefore && hostGameWindow())
        run.windowForOther = true;
    if (!watching || run.summaryPrinted)
        return;
    // What it sent meanwhile answers a deal that crossed its own: the core foretells exactly that.
    std::vector<std::string> answer(run.sentWaiting.begin() + static_cast<std::ptrdiff_t>(sentBefore),
                                    run.sentWaiting.end());
    run.sentWaiting.resize(sentBefore);
    if (run.settings.check && answer != run.forecast.answer)
        fail("the plug-in answered \"" + run.host.shown(text) + "\" with " + listed(answer) +
             "; the core foretells " + listed(run.forecast.answer));
    if (fromPeer) {
        if (run.forecast.adopted)
            printTimings("adopted", adopted, {text});
        readSentTexts();
        readState(text, TextSource::Received);
    } else if (hostile && run.haveView && hostGameWindow()) {
        checkWindow(); // another contact's text, or chat: the game as it was
    }
    if (!hostile)
        return;
    // Only a text that is no state message reaches the chat, as it is; only the opponent's state may
    // show a box: the trace box the core shows for it.
    if (run.chatsDuringReceive != (state ? 0u : 1u) || !run.chatAsReceived)
        fail(std::to_string(run.chatsDuringReceive) + " texts reached the chat for \"" +
             run.host.shown(text) + "\"" + (run.chatAsReceived ? "" : ", not as received"));
    if (run.boxesDuringReceive != coreTraces)
        fail(std::to_string(run.boxesDuringReceive) + " trace boxes for \"" + run.host.shown(text) +
             "\" where the core shows " + std::to_string(coreTraces));
}

void autoplayNoteChat(const HostText& entry) {
    if (!run.active || run.summaryPrinted || !run.settings.check)
        return;
    if (run.settings.hostilePeer && run.receivedText) {
        ++run.chatsDuringReceive;
        run.chatAsReceived =
            run.chatAsReceived && entry.contact == run.receivedFrom && entry.text == *run.receivedText;
    } else if (entry.contact == run.host.peer) {
        fail("a text reached the chat: " + run.host.shown(entry.text));
    }
}

void autoplayNoteMessageBox(const HostMessageBox& box) {
    if (!run.active || run.summaryPrinted || !run.settings.check)
        return;
    if (run.settings.hostilePeer && run.receivedText && box.caption == "trace" &&
        box.text == hexDigitErrorText)
        ++run.boxesDuringReceive;
    else
        fail("a message box: " + run.host.shown(box.caption) + ": " + run.host.shown(box.text));
}

void autoplayPeerPresence(bool online) {
    if (online) {
        if (run.active && !run.haveView)
            schedule();
        return;
    }
    run.peerGone = true;
    if (!run.active)
        return;
    if (run.summaryPrinted) {
        if (!run.settings.startsGames)
            endHostAfter(endAtOnceMs);
        return;
    }
    if (run.settings.check)
        fail("the peer left during " + gameLabel() + ", after " + std::to_string(run.finished) + " of " +
             std::to_string(run.settings.games) + " games");
    stopPlaying();
    endHostAfter(peerLeaveWaitMs);
}

void autoplayEnd() {
    if (!run.active)
        return;
    printSummary();
    run.active = false;
    DestroyWindow(run.pacer);
    run.pacer = nullptr;
}

bool autoplayChecksFailed() { return run.failed; }
