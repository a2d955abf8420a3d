// The auto-player's reading: every state message the host sends and receives read into its view of
// the game, the crossings of two deals followed, the games counted, and the texts the plug-in sends
// while it receives one compared with what the core foretells; with --check the referee looks on.
#include "devhost/program/autoplay_run.h"

#include "devhost/instruments/instruments.h"
#include "exchange/state_message.h"

#include <algorithm>
#include <cstdio>

namespace autoplay {
namespace {
constexpr unsigned memoryBaselineGame = 10;
} // namespace

void snapshot(const char* moment) {
    const DevhostOptions& options = run.options;
    std::string path = options.snapshotDir + "\\" + options.userName + "-game" +
                       std::to_string(run.gameNumber) + "-" + moment + ".png";
    if (!options.snapshotDir.empty() && !hostSaveGameWindowPng(path.c_str()))
        printLine("snapshot: cannot save " + shownOnOneLine(path));
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
    HostResourceTally live = hostResourceCounts().live;
    constexpr std::size_t bytesPerKb = 1024;
    printLine("summary: games=" + std::to_string(run.finished) + " won=" + std::to_string(run.won) +
              " lost=" + std::to_string(run.lost) + " draw=" + std::to_string(run.draws) + " checks=" +
              (run.referee.failed() ? "FAILED" : "ok") + " gdi=" + std::to_string(live.gdiObjects) +
              " dcs=" + std::to_string(live.memoryDcs + live.windowDcs) +
              " images=" + std::to_string(live.gdiplusImages) +
              " memory-kb=" + std::to_string(run.referee.memoryFirst() / bytesPerKb) + "->" +
              std::to_string(run.referee.memoryLast() / bytesPerKb));
}

void endOfGame(GameOutcome outcome) {
    run.gameOver = true;
    run.lastOutcome = outcome;
    ++run.finished;
    (outcome == Won ? run.won : outcome == Lost ? run.lost : run.draws) += 1;
    printLine(gameLabel() + " over: " + (outcome == Won ? "won" : outcome == Lost ? "lost" : "draw"));
    // The host's own logs would grow with every game and hide what the plug-in does to the memory.
    hostClearLogs();
    unsigned games = run.options.games;
    run.referee.noteMemory(run.finished == (games >= memoryBaselineGame ? memoryBaselineGame : 1));
    snapshot("end");
    if (run.finished < games)
        return;
    printSummary();
    // The starter leaves first, which the other host sees as the end of the link.
    endHostAfter(run.options.startsGames ? starterLingerMs : run.peerGone ? endAtOnceMs : peerLeaveWaitMs);
}

// A fresh deal of the peer's during a crossing: the held texts go once it has come.
void notePeerDeal(const std::string& text) {
    auto& cross = run.cross;
    if (!cross.active || text == run.view.crossing.ownDeal || (!cross.peerDeal.empty() && text != cross.peerDeal))
        return;
    cross.peerDeal = text;
    ++cross.copies;
    if (cross.holding) {
        cross.holding = false;
        releaseOutgoing();
    }
    bool mineStands = cross.peerDeal > run.view.crossing.ownDeal;
    if (cross.copies < 2 && !(cross.copies == 1 && mineStands))
        return; // the other deal wins and comes again
    cross.active = false;
    GameState mine, theirs;
    viewFromStateMessage(run.view.crossing.ownDeal, TextSource::Sent, mine);
    viewFromStateMessage(cross.peerDeal, TextSource::Received, theirs);
    auto role = [](const GameState& deal) { return deal.localDefends ? "defend" : "attack"; };
    printLine(gameLabel() + ": deals crossed, I " + role(mine) + " in mine and " + role(theirs) +
              " in theirs, " + (mineStands ? "mine" : "theirs") + " stands" +
              (cross.early ? ", my first card laid before theirs came" : ""));
}

void readState(const std::string& text, TextSource source) {
    bool received = source == TextSource::Received;
    if (received && run.windowForOther)
        return; // dropped unseen: the window shows another contact's game
    if (!received)
        run.windowForOther = false; // the plug-in sends only the game of its own window
    GameState next = run.view;
    // A received state the core foretells the plug-in drops belongs to a game that crossed our deal.
    if ((received && !run.forecast.adopted) || !viewFromStateMessage(text, source, next)) {
        if (received && run.forecast.freshDeal)
            notePeerDeal(text);
        if (checking() && (!received || !run.forecast.sound))
            fail("a state message that does not decode: " + text);
        else if (checking())
            run.referee.checkWindow(cardPicturePath, run.view, gameLabel()); // still the game as it was
        if (received && !run.cross.active)
            schedule();
        return;
    }
    // A state seen before in this game was sent again (a lost move brought back, a crossing settled).
    std::string asSent = encodeStateMessage(next).text;
    bool again = std::find(run.seenInGame.begin(), run.seenInGame.end(), asSent) != run.seenInGame.end();
    bool fresh = isFreshDeal(next) && !again;
    bool replacesCrossedDeal = received && run.view.crossing.ownDeal[0] != '\0' && !run.view.crossing.ownDealAnswered;
    if (received && next.crossing.ownDeal[0] != '\0')
        next.crossing.ownDealAnswered = true;
    if (!received && fresh) {
        std::snprintf(next.crossing.ownDeal, sizeof next.crossing.ownDeal, "%s", text.c_str());
        next.crossing.ownDealAnswered = false;
    }
    if (fresh && !replacesCrossedDeal) {
        ++run.gameNumber;
        run.seenInGame.clear();
    }
    run.gameOver = run.gameOver && !fresh;
    if (!fresh && !again && !run.haveView && checking())
        fail("a state message before any deal: " + text);
    run.gameNumber = std::max(run.gameNumber, 1u);
    run.seenInGame.push_back(asSent);
    run.view = next;
    run.haveView = true;
    run.plan = ThrowInPlan{};
    run.waitingForText = false;
    if (received && isFreshDeal(next))
        notePeerDeal(text);
    if (checking())
        run.referee.checkWindow(cardPicturePath, run.view, gameLabel());
    if (fresh && run.gameNumber == 1)
        snapshot("deal");
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

// Texts the plug-in sent without the auto-player (a script's click, a person's).
void readSentTexts() {
    for (const std::string& text : takeSentWaiting())
        readState(text, TextSource::Sent);
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
        run.windowForOther = run.windowForOther && run.windowBeforeReceipt;
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
    std::size_t sentBefore = std::min(run.sentBeforeReceipt, run.sentWaiting.size());
    std::vector<std::string> answer(run.sentWaiting.begin() + static_cast<std::ptrdiff_t>(sentBefore),
                                    run.sentWaiting.end());
    run.sentWaiting.resize(sentBefore);
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
