// The auto-player's reading: every state message the host sends and receives read into its view of
// the game, the crossings of two deals followed, the games counted, and the texts the plug-in sends
// while it receives one compared with what the core foretells; with --check the referee looks on.
#include "devhost/program/autoplay_run.h"

#include "devhost/instruments/instruments.h"
#include "engine/actions.h"
#include "exchange/state_message.h"

#include <algorithm>
#include <cstdio>

namespace autoplay {
namespace {
constexpr unsigned memoryBaselineGame = 10;
constexpr unsigned snapshotEveryMoves = 10;

bool checking() { return run.options.check; }

void snapshot(const std::string& moment) {
    const DevhostOptions& options = run.options;
    if (options.snapshotDir.empty())
        return;
    std::string path = options.snapshotDir + "\\" + options.userName + "-game" +
                       std::to_string(run.gameNumber) + "-" + moment + ".png";
    if (!hostSaveGameWindowPng(path.c_str()))
        print("snapshot: cannot save " + shownOnOneLine(path));
}

void checkWindow() { run.referee.checkWindow(run.picturePath, run.view, gameLabel()); }

void endOfGame(GameOutcome outcome) {
    run.gameOver = true;
    run.lastOutcome = outcome;
    ++run.finished;
    const char* word = outcome == Won ? "won" : outcome == Lost ? "lost" : "draw";
    (outcome == Won ? run.won : outcome == Lost ? run.lost : run.draws) += 1;
    print(gameLabel() + " over: " + word);
    if (checking() && !hostUnexpectedCalls().empty())
        fail("the plug-in called the link table's " + hostUnexpectedCalls().front() + " in " + gameLabel());
    // The host's own logs would grow with every game and hide what the plug-in does to the memory.
    hostClearLogs();
    unsigned games = run.options.games;
    run.referee.noteMemory(run.finished == (games >= memoryBaselineGame ? memoryBaselineGame : 1));
    snapshot("end");
    if (run.finished < games)
        return;
    printSummary();
    // The starter leaves first, which the other host sees as the end of the link.
    if (run.options.startsGames)
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
        releaseOutgoing();
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

// A received state the core foretells the plug-in drops: a game that crossed our deal.
void readDroppedState(const std::string& text) {
    if (run.forecast.freshDeal)
        notePeerDeal(text);
    if (checking() && run.forecast.sound)
        checkWindow(); // still the game as it was
    else if (checking())
        fail("a state message that does not decode: " + text);
    if (!run.cross.active)
        schedule();
}

void snapshotAfter(bool fresh, bool again) {
    if (fresh && run.gameNumber == 1) {
        snapshot("deal");
    } else if (!fresh && !again && run.movesInGame % snapshotEveryMoves == 0) {
        char moment[16];
        std::snprintf(moment, sizeof moment, "move%03u", run.movesInGame);
        snapshot(moment);
    }
}
} // namespace

void readState(const std::string& text, TextSource source) {
    bool received = source == TextSource::Received;
    if (received && run.windowForOther)
        return; // dropped unseen: the window shows another contact's game
    if (!received)
        run.windowForOther = false; // the plug-in sends only the game of its own window
    if (received && !run.forecast.adopted) {
        readDroppedState(text);
        return;
    }
    GameState next = run.view;
    if (!viewFromStateMessage(text, source, next)) {
        if (checking())
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
    if (fresh) {
        if (checking())
            checkNewDeal(next, replacesCrossedDeal);
        if (!replacesCrossedDeal) {
            ++run.gameNumber;
            run.seenInGame.clear();
        }
        run.movesInGame = 0;
        run.gameOver = false;
    } else if (!again) {
        if (!run.haveView && checking())
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
    if (checking())
        checkWindow();
    snapshotAfter(fresh, again);
    GameOutcome outcome = gameOutcome(run.view);
    if (outcome != InProgress && !run.gameOver) {
        run.endedByMe = !received;
        endOfGame(outcome);
    }
    watchForStall();
    if (outcome == InProgress ? sideHasMove(run.view) : run.finished < run.options.games)
        schedule();
}

std::vector<std::string> takeSentWaiting() {
    std::vector<std::string> texts;
    texts.swap(run.sentWaiting);
    return texts;
}

void readSentTexts() {
    for (const std::string& text : takeSentWaiting())
        readState(text, TextSource::Sent);
}

void readNewDeal(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        GameState deal;
        if (checking() && viewFromStateMessage(text, TextSource::Sent, deal) && !isFreshDeal(deal))
            fail("the new game is no fresh deal: " + text);
        readState(text, TextSource::Sent);
    }
}

void printTimings(const char* what, std::uint64_t microseconds, const std::vector<std::string>& texts) {
    if (!run.options.timing)
        return;
    for (const std::string& text : texts)
        print(std::string("timing ") + what + " " + std::to_string(microseconds) + " " + text);
}

void printSummary() {
    if (run.summaryPrinted)
        return;
    run.summaryPrinted = true;
    stopPlaying();
    hostCloseGameWindow(); // the handles are counted with no window open
    if (checking()) {
        if (run.finished < run.options.games)
            fail("only " + std::to_string(run.finished) + " of " + std::to_string(run.options.games) +
                 " games finished");
        run.referee.checkNothingHeld();
        run.referee.checkMemoryFlat();
    }
    HostResourceCounts counts = hostResourceCounts();
    constexpr std::size_t bytesPerKb = 1024;
    print("summary: games=" + std::to_string(run.finished) + " won=" + std::to_string(run.won) +
          " lost=" + std::to_string(run.lost) + " draw=" + std::to_string(run.draws) + " checks=" +
          (run.referee.failed() ? "FAILED" : "ok") + " gdi=" + std::to_string(counts.live.gdiObjects) +
          " dcs=" + std::to_string(counts.live.memoryDcs + counts.live.windowDcs) +
          " images=" + std::to_string(counts.live.gdiplusImages) +
          " memory-kb=" + std::to_string(run.referee.memoryFirst() / bytesPerKb) + "->" +
          std::to_string(run.referee.memoryLast() / bytesPerKb));
}
} // namespace autoplay

using namespace autoplay;

void autoplayNoteSent(HostWord contact, const std::string& text) {
    if (!run.active || contact != run.peer || run.summaryPrinted)
        return;
    run.sentWaiting.push_back(text);
    if (run.pluginCalls == 0)
        PostMessageA(run.mainWindow, autoplayReadSentMessage, 0, 0);
}

void autoplayObserveReceipt(const HostText& received, bool done) {
    if (!run.active || run.summaryPrinted)
        return;
    bool fromPeer = received.contact == run.peer && isStateMessage(received.text.c_str());
    if (!done) {
        if (run.pluginCalls == 0)
            readSentTexts(); // the view must be the plug-in's game before the text arrives
        run.windowBeforeReceipt = hostGameWindow() != nullptr;
        if (!run.windowBeforeReceipt)
            run.windowForOther = false;
        run.forecast =
            fromPeer && !run.windowForOther ? forecastReceipt(run.view, received.text) : ReceiptForecast{};
        run.sentBeforeReceipt = run.sentWaiting.size();
        if (checking())
            run.referee.receiving(received, 0); // the peer's plug-in sends sound states only
        ++run.pluginCalls;
        return;
    }
    --run.pluginCalls;
    // The plug-in adopts the state and repaints before the chain returns.
    std::uint64_t adopted = hostMicroseconds();
    if (checking())
        run.referee.received();
    if (isStateMessage(received.text.c_str()) && received.contact != run.peer && !run.windowBeforeReceipt &&
        hostGameWindow())
        run.windowForOther = true;
    // What it sent meanwhile answers a deal that crossed its own: the core foretells exactly that.
    auto sentBefore = static_cast<std::ptrdiff_t>(std::min(run.sentBeforeReceipt, run.sentWaiting.size()));
    std::vector<std::string> answer(run.sentWaiting.begin() + sentBefore, run.sentWaiting.end());
    run.sentWaiting.resize(static_cast<std::size_t>(sentBefore));
    if (checking() && answer != run.forecast.answer)
        fail("the plug-in answered \"" + received.text + "\" with " + listed(answer) +
             "; the core foretells " + listed(run.forecast.answer));
    if (!fromPeer)
        return;
    if (run.forecast.adopted)
        printTimings("adopted", adopted, {received.text});
    readSentTexts();
    readState(received.text, TextSource::Received);
}

void autoplayNoteChat(const HostText& entry) {
    if (run.active && !run.summaryPrinted && checking())
        run.referee.noteChat(entry);
}

void autoplayNoteMessageBox(const HostMessageBox& box) {
    if (run.active && !run.summaryPrinted && checking())
        run.referee.noteMessageBox(box);
}
