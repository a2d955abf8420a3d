// The outward functions of devhost.exe's own copy of the portable core, which the auto-player runs to
// read state messages and to predict the plug-in's moves: nothing is shown, sent texts are kept.
#include "devhost/program/autoplay_view.h"
#include "engine/frontend.h"
#include "exchange/exchange.h"

#include <utility>

namespace {
std::vector<std::string> coreSentTexts;
unsigned coreTraces = 0;
} // namespace

std::vector<std::string> takeCoreSentTexts() {
    std::vector<std::string> texts;
    texts.swap(coreSentTexts);
    return texts;
}

void sendStateToOpponent() { sendState(); }
void sendDealToOpponent() { sendDeal(); }
void sendTextToContact(ContactHandle, const char* text) { coreSentTexts.push_back(text ? text : ""); }
void showActionButton(const char*, bool) {}
void startWinBlinkTimer() {}
void stopWinBlinkTimer() {}
void redrawWindow() {}
// Counted: the plug-in must show the same box for the same text.
void showTraceBox(const char*, std::va_list) { ++coreTraces; }

unsigned takeCoreTraces() { return std::exchange(coreTraces, 0u); }
bool gameWindowIsOpen() { return false; }
void openGameWindow() {}
void flashGameWindowIfInBackground() {}
