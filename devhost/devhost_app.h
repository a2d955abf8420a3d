// The parts of devhost.exe and what they share: the options, the console's texts (UTF-8) against the
// plug-in's (ANSI), the main window, the script, and the link to a peer host over TCP.
#pragma once

#include "devhost/host.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ContactOption {
    std::string name; // ANSI
    bool online;
};

struct DevhostOptions {
    std::uint32_t hostVersion = defaultHostVersion;
    std::string pluginPath = defaultPluginPath;
    std::string userName = "devhost";
    std::vector<ContactOption> contacts;
    std::string peerName; // the contact that is the other host; empty without one
    unsigned short listenPort = 0;
    unsigned short connectPort = 0;
    bool script = false;
    bool quiet = false; // no "sent" lines
    bool help = false;
    // The auto-player (--autoplay and the options that go with it).
    bool autoplay = false;
    unsigned seed = 0;
    bool autoplayStarts = false;
    unsigned games = 1;
    unsigned delayMs = 300;
    bool check = false;
    bool timing = false;
    std::string snapshotDir;
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

// --- the main window (main_window.cpp)
// A line of the script, in UTF-8: lParam is a const std::string*; sent by the script reader.
inline constexpr UINT scriptLineMessage = WM_APP + 1;
// A text from the peer, in ANSI: lParam is a std::string* that the window deletes.
inline constexpr UINT peerTextMessage = WM_APP + 2;
inline constexpr UINT peerClosedMessage = WM_APP + 3;
HWND createMainWindow(const std::string& userName);
void refreshContactList(HWND mainWindow);
// Shuts the host down (shutdown event, Unload, free) and ends the message loop.
void closeHost(HWND mainWindow);

// --- the script (script.cpp)
void runScriptLine(HWND mainWindow, const std::string& utf8Line);
// Reads standard input on a thread of its own and has the main window run each line in turn.
bool startScriptReader(HWND mainWindow);

// --- the peer (peer_link.cpp): one TCP connection on 127.0.0.1, each text as a 4-byte little-endian
// length and the bytes.
bool openPeerLink(const DevhostOptions& options, std::string& error);
void startPeerReader(HWND mainWindow);
HostWord peerContact();
// Texts for a peer that has gone (or a link that broke) are dropped without a word.
void sendToPeer(const std::string& text);
// The reader saw the peer's end of the connection: nothing more is sent.
void forgetPeer();
void closePeerLink();
