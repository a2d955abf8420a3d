// The parts of devhost.exe and what they share: the options, the console's texts (UTF-8) against the
// plug-in's (ANSI), the main window, the script, the outbox, and the link to other hosts through an IRC
// server. The auto-player is in autoplay.h.
#pragma once

#include "devhost/messenger/host.h"

#include <windows.h>

#include <string>
#include <vector>

// The command line, one record for the whole program (names ANSI, as the plug-in's texts are).
struct DevhostOptions {
    std::string userName = "devhost";
    std::vector<std::string> contacts; // contacts that exist before the plug-in loads
    std::string peerName;              // the contact that is the other host; empty without one
    std::string ircServer;             // HOST:PORT; empty without IRC
    bool script = false;
    bool quiet = false; // no "sent" or "held" lines
    bool help = false;
    // The auto-player: --autoplay SEED and the options that go with it.
    bool autoplay = false;
    unsigned seed = 0;
    bool startsGames = false; // --autoplay-starts: the menu item, then the button
    unsigned games = 1;
    unsigned delayMs = 300; // before each action; 0: as soon as the message queue is empty
    bool check = false;
    bool timing = false;
    // Every crossEvery-th game (0: none) both sides deal at once so that the deals cross.
    unsigned crossEvery = 0;
    std::string snapshotDir; // empty for no pictures
};

// --- the console (console.cpp)
std::string ansiFromUtf8(const std::string& text);
std::string utf8FromAnsi(const std::string& text);
// An ANSI text of the plug-in as one output line shows it: UTF-8, line breaks as \n, tabs as \t.
std::string shownOnOneLine(const std::string& ansiText);
// Writes one UTF-8 line to standard output at once.
void printLine(const std::string& line);
// The contact of that ANSI display name, or 0.
HostWord contactNamed(const std::string& ansiName);
std::string contactNameShown(HostWord contact);
bool contactOnline(HostWord contact);

// --- the main window (main_window.cpp)
// A line of the script, in UTF-8: lParam is a const std::string*; sent by the script reader.
inline constexpr UINT scriptLineMessage = WM_APP + 1;
// A line from the IRC server, in UTF-8 without its line break: lParam is a std::string* that the window
// deletes.
inline constexpr UINT ircLineMessage = WM_APP + 2;
inline constexpr UINT ircClosedMessage = WM_APP + 3;
// The auto-player's next step, and its reading of the texts the plug-in sent (both without lParam);
// its timers are the main window's too.
inline constexpr UINT autoplayStepMessage = WM_APP + 4;
inline constexpr UINT autoplayReadSentMessage = WM_APP + 5;
HWND createMainWindow(const std::string& userName);
void refreshContactList(HWND mainWindow);
// Shuts the host down (shutdown event, Unload, free) and ends the message loop.
void closeHost(HWND mainWindow);

// --- the script (script.cpp)
void runScriptLine(HWND mainWindow, const std::string& utf8Line); // without its line break
// Reads standard input on a thread of its own and has the main window run each line in turn.
bool startScriptReader(HWND mainWindow);

// --- the outbox (outbox.cpp): every text the plug-in or the script gives a contact leaves through it.
// A text leaves with a "sent NAME: TEXT" line and, over IRC, as a private message; while held it
// waits with a "held NAME: TEXT" line; --quiet drops both kinds of line. A lost text shows as
// "lost NAME: TEXT" even then, since nothing else would tell that it vanished. Without IRC the lines
// are all there is of it. Texts still held when the host ends never leave.
void openOutbox(bool quiet, bool irc);
void sendThroughOutbox(HostWord contact, const std::string& ansiText);
// From now on texts are held, in the order given, instead of leaving.
void holdOutgoing();
// The held texts leave in order, and texts leave at once again.
void releaseOutgoing();
// The next text to leave (at once, or when released) is lost instead, as a network may drop one.
void loseNextOutgoing();

// --- the link through an IRC server (irc_link.cpp): every contact's name is its nick.
// Connects, logs in under the user's name and joins the channel that tells who is there, showing each
// contact online or offline; before the plug-in loads. False with the reason (no server, the nick taken
// or refused).
bool openIrcLink(const DevhostOptions& options, HWND mainWindow, std::string& error);
void startIrcReader(HWND mainWindow);
// Sends the text as one private message to the contact's nick, or says in the log why it cannot.
void sendOverIrc(HostWord contact, const std::string& ansiText);
// On the UI thread: a line the reader posted (ircLineMessage), and the end of the connection.
void handleIrcLine(HWND mainWindow, const std::string& line);
void onIrcClosed(HWND mainWindow);
void closeIrcLink();
