// The recording stand-in for the window, host and user, and a scriptable random source.
#include "support/recording_frontend.h"

#include "engine/deal.h"
#include "engine/frontend.h"
#include "exchange/exchange.h"

#include <cstdio>
#include <deque>

std::vector<std::string> frontendCalls;
std::uint8_t winBlinkRunning = 0;
bool fakeWindowOpen = false;
bool fakeWindowOpens = true;

namespace {
std::deque<int> scriptedValues;
int identityCounter = 0;

int scriptedRandom() {
    if (scriptedValues.empty())
        return 0;
    int value = scriptedValues.front();
    scriptedValues.pop_front();
    return value;
}

// Draw i of a shuffle gets i, and i mod (i + 1) = i.
int identityRandom() { return ++identityCounter; }

// Random values for the source; after them it yields 0.
void scriptRandom(std::vector<int> values) {
    scriptedValues.assign(values.begin(), values.end());
    randomSource = scriptedRandom;
}
} // namespace

std::vector<std::string> takeFrontendCalls() {
    std::vector<std::string> calls;
    calls.swap(frontendCalls);
    return calls;
}

std::vector<std::string> sentTexts() {
    std::vector<std::string> texts;
    for (const std::string& call : frontendCalls)
        if (call.rfind("send:", 0) == 0)
            texts.push_back(call.substr(call.find(':', 5) + 1));
    return texts;
}

void scriptIdentityShuffle() {
    identityCounter = 0;
    randomSource = identityRandom;
}

void resetCore(std::vector<int> randomValues) {
    game = GameState{};
    winBlinkRunning = 0;
    frontendCalls.clear();
    fakeWindowOpen = false;
    fakeWindowOpens = true;
    scriptRandom(std::move(randomValues));
}

void showActionButton(const char* caption, bool enabled) {
    frontendCalls.push_back(std::string("button:") + caption + (enabled ? ":on" : ":off"));
}
// As the window does: only a change of the timer's state is a call worth recording.
void startWinBlinkTimer() {
    if (!winBlinkRunning)
        frontendCalls.push_back("blink:start");
    winBlinkRunning = 1;
}
void stopWinBlinkTimer() {
    if (winBlinkRunning)
        frontendCalls.push_back("blink:stop");
    winBlinkRunning = 0;
}
void redrawWindow() { frontendCalls.push_back("redraw"); }
void sendStateToOpponent() { sendState(); }
void sendDealToOpponent() { sendDeal(); }
void sendTextToContact(ContactHandle contact, const char* text) {
    frontendCalls.push_back("send:" + std::to_string(contact) + ":" + text);
}
void showTraceBox(const char* format, std::va_list args) {
    char text[traceTextSize];
    std::vsnprintf(text, sizeof text, format, args);
    frontendCalls.push_back(std::string("trace:") + text);
}
bool gameWindowIsOpen() { return fakeWindowOpen; }
void openGameWindow() {
    frontendCalls.push_back("open");
    fakeWindowOpen = fakeWindowOpens;
}
void flashGameWindowIfInBackground() { frontendCalls.push_back("flash"); }
