// The auto-player of devhost.exe: plays whole games against the peer host through the real game
// window, reading the game only from the state messages the host sends and receives; with --check its
// referee watches the plug-in on the way. Everything runs on the host's UI thread.
#pragma once

#include "devhost/program/devhost_app.h"

void autoplayStart(const DevhostOptions& options, HWND mainWindow);
// For the host's send handler, which runs inside the plug-in's call: the text is only noted there
// and read once the plug-in has returned.
void autoplayNoteSent(HostWord contact, const std::string& text);
// The messenger's receive observer: a text enters the receive chain (done false) or has gone through.
void autoplayObserveReceipt(const HostText& text, bool done);
void autoplayNoteChat(const HostText& entry);
void autoplayNoteMessageBox(const HostMessageBox& box);
// The peer's contact went online (the first game starts once it is) or offline: then the peer is gone,
// no more moves are made, and the host ends after a while unless a script runs it.
void autoplayPeerPresence(bool online);
// The main window hands on the auto-player's messages and timers.
void autoplayOnMessage(UINT message);
void autoplayOnTimer(UINT_PTR timer);
// Before the host shuts down: prints the summary unless it was printed (closing the game window
// first, so that the plug-in's handles can be counted without one), and stops.
void autoplayEnd();
bool autoplayChecksFailed();
