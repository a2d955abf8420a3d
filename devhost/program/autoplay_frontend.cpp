// The outward functions of devhost.exe's own copy of the portable core, which the auto-player runs to
// read state messages and to predict the plug-in's moves: nothing is shown, sent texts are kept.
#include "devhost/program/autoplay_view.h"
#include "engine/frontend.h"
#include "exchange/exchange.h"

namespace {
std::vector<std::string> coreSentTexts;
}

std::vector<std::string> takeCoreSentTexts() {
    std::vector<std::string> texts;
    texts.swap(coreSentTexts);
    return texts;
}

void sendStateToOpponent() { sendState(); }
void sendTextToContact(ContactHandle, const char* text) { coreSentTexts.push_back(text ? text : ""); }
void showActionButton(const char*, bool) {}
void startWinBlinkTimer() {}
void stopWinBlinkTimer() {}
void redrawWindow() {}
// A malformed text the decoder traces is reported by the auto-player as a failed decode instead.
void showTraceBox(const char*, std::va_list) {}
bool gameWindowIsOpen() { return false; }
void openGameWindow() {}
void flashGameWindowIfInBackground() {}
