// What the auto-player's two halves share: the record of the run, and the steps each offers the other
// (autoplay.cpp paces and acts, autoplay_reading.cpp reads the states, follows the crossings and ends
// the games).
#pragma once

#include "devhost/instruments/referee.h"
#include "devhost/program/autoplay.h"
#include "devhost/program/autoplay_view.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace autoplay {
// The starter lets its last text reach the peer before its link closes; the other host waits this
// long for the starter to leave first.
inline constexpr UINT starterLingerMs = 1000;
inline constexpr UINT peerLeaveWaitMs = 5000;
inline constexpr UINT endAtOnceMs = 1;

struct Run {
    DevhostOptions options;
    HWND mainWindow = nullptr;
    HostWord peer = 0;
    bool active = false;  // started and not ended
    bool playing = false; // may still act
    bool summaryPrinted = false;
    bool peerGone = false;
    bool menuChosen = false;
    std::mt19937 random;
    Referee referee;

    GameState view;
    bool haveView = false;
    ThrowInPlan plan;
    unsigned gameNumber = 0;
    bool gameOver = false;
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
    // The text going through the receive chain: what the core foretells of it, whether a game window
    // was open before, and how many texts the plug-in had sent then.
    ReceiptForecast forecast;
    bool windowBeforeReceipt = false;
    std::size_t sentBeforeReceipt = 0;

    std::vector<std::string> sentWaiting;
    int pluginCalls = 0; // depth of calls into the plug-in: the auto-player's own and the receipts
    bool stepPending = false;
    bool waitingForText = false; // an action that should have sent sent nothing
};
extern Run run;

inline bool checking() { return run.options.check; }
inline void fail(const std::string& what) { run.referee.fault(what); }
inline std::string gameLabel() { return "game " + std::to_string(run.gameNumber); }
std::string listed(const std::vector<std::string>& texts);
void printTimings(const char* what, std::uint64_t microseconds, const std::vector<std::string>& texts);

// --- pacing (autoplay.cpp)
void schedule();
void watchForStall();
void endHostAfter(UINT ms);
void stopPlaying();

// --- reading (autoplay_reading.cpp)
void readState(const std::string& text, TextSource source);
std::vector<std::string> takeSentWaiting();
// Texts the plug-in sent without the auto-player (a script's click, a person's).
void readSentTexts();
void printSummary();
} // namespace autoplay
