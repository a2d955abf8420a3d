// The auto-player of devhost.exe: plays whole games against the peer host through the real game
// window, reading the game only from the state messages the host sends and receives, and checks the
// plug-in on the way. Everything runs on the host's UI thread.
#pragma once

#include "devhost/messenger/host.h"

#include <functional>
#include <string>

struct AutoplaySettings {
    unsigned seed = 0;
    // Starts the first game from the contact menu and each next one with the button.
    bool startsGames = false;
    unsigned games = 1;
    unsigned delayMs = 300; // before each action; 0: as soon as the message queue is empty
    bool check = false;
    // The peer may send anything (the hostile run): a text that is no state message must reach the
    // chat as it is; a state message that does not decode must leave the game as it was, with the one
    // trace box the core shows for it if any; a sound one is adopted whatever the game before. The
    // window must not change for other contacts' texts, and after it was closed the peer's next state
    // opens it on an empty game.
    bool hostilePeer = false;
    bool timing = false;
    // Every crossEvery-th game (0: none) both sides deal at once and the deals cross: the first four
    // such games by closing the window and choosing the menu item, each with another pairing of who
    // attacks, then with the button. The side whose move ended the game holds its texts until the
    // other deal has arrived, so they cross every time. In the first crossing the other side's deal is
    // made to win, and it lays its first card before the held deal arrives.
    unsigned crossEvery = 0;
    std::string snapshotDir;   // ANSI; empty for no pictures
    std::string userName;      // ANSI, for file names
    std::string userNameShown; // UTF-8, for output lines
    std::string pluginPath;    // the card picture is also looked for beside it
};

// What devhost.exe does for the auto-player.
struct AutoplayHost {
    HostWord peer = 0;
    std::function<void(const std::string& utf8Line)> print;
    // An ANSI text of the plug-in as an output line shows it (UTF-8, on one line).
    std::function<std::string(const std::string& ansiText)> shown;
    // Shuts the host down and ends its message loop (autoplayEnd is called on the way).
    std::function<void()> shutDown;
    // Hold the host's outgoing texts, and send the held ones (crossed deals).
    std::function<void()> holdTexts;
    std::function<void()> releaseTexts;
    // False when a script decides when the host ends.
    bool endsHost = true;
};

// False (after a line saying why) when it cannot play: no card picture to measure the cards by.
bool autoplayStart(const AutoplaySettings& settings, const AutoplayHost& host);
// For the host's send handler, which runs inside the plug-in's call: the text is only noted there
// and read once the plug-in has returned.
void autoplayNoteSent(HostWord contact, const std::string& text);
// Runs the receive chain for a text from contact, then lets the auto-player (if any) read it.
void autoplayReceive(HostWord contact, const std::string& text);
// A text of the peer that reached the chat is a fault of the plug-in; a stranger's text belongs there.
void autoplayNoteChat(const HostText& entry);
void autoplayNoteMessageBox(const HostMessageBox& box);
// The peer's contact went online (the first game starts once it is) or offline: then the peer is gone,
// no more moves are made, and the host ends after a while unless a script runs it.
void autoplayPeerPresence(bool online);
// Before the host shuts down: prints the summary unless it was printed (closing the game window
// first, so that the plug-in's handles can be counted without one), and stops.
void autoplayEnd();
bool autoplayChecksFailed();
