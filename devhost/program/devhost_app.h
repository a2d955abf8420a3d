// The parts of devhost.exe and what they share: the options, the console's texts (UTF-8) against the
// plug-in's (ANSI), the main window, the script, the outbox, and the game followed on the host's own
// copy of the core, which the script's "play" moves in and --check holds the plug-in to.
#pragma once

#include "devhost/instruments/shadow_game.h"
#include "devhost/messenger/host.h"

#include <windows.h>

#include <string>
#include <vector>

// The command line, one record for the whole program (names ANSI, as the plug-in's texts are).
struct DevhostOptions {
    std::string userName = "devhost";
    std::vector<std::string> contacts; // contacts that exist before the plug-in loads
    bool script = false;
    bool check = false; // every fault of the plug-in printed as a "check: FAILED" line, and status 4
    unsigned seed = 1;  // of the moves "play" chooses
    bool help = false;
};

// The plug-in's game as the host's copy of the core follows it, and the referee of --check.
ShadowGame& shadowGame();

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

// --- the main window (main_window.cpp)
// A line of the script, in UTF-8: lParam is a const std::string*; sent by the script reader.
inline constexpr UINT scriptLineMessage = WM_APP + 1;
HWND createMainWindow(const std::string& userName);
// Shuts the host down (shutdown event, Unload, free) and ends the message loop.
void closeHost(HWND mainWindow);

// --- the script (script.cpp)
void runScriptLine(HWND mainWindow, const std::string& utf8Line); // without its line break
// Reads standard input on a thread of its own and has the main window run each line in turn.
bool startScriptReader(HWND mainWindow);

// --- the outbox (outbox.cpp): every text the plug-in or the script gives a contact leaves through it,
// with a "sent NAME: TEXT" line; while held it waits with a "held NAME: TEXT" line; a lost text shows
// as "lost NAME: TEXT" instead. Texts still held when the host ends never leave.
void sendThroughOutbox(HostWord contact, const std::string& ansiText);
// From now on texts are held, in the order given, instead of leaving.
void holdOutgoing();
// The held texts leave in order, and texts leave at once again.
void releaseOutgoing();
// The next text to leave (at once, or when released) is lost instead, as a network may drop one.
void loseNextOutgoing();
