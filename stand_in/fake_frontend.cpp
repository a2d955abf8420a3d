// The fake window, host and user of each game record, and a scriptable random source.
#include "stand_in/fake_frontend.h"

#include "engine/deal.h"
#include "exchange/frontend.h"

#include <cstdio>
#include <deque>
#include <map>

namespace {
std::map<const GameState*, FakeWindow> windows;
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

void log(const GameState& game, std::string call) { fakeWindow(game).calls.push_back(std::move(call)); }
} // namespace

FakeWindow& fakeWindow(const GameState& game) { return windows[&game]; }
void forgetFakeWindow(const GameState& game) { windows.erase(&game); }
void forgetFakeWindows() { windows.clear(); }

std::vector<std::string> takeCalls(const GameState& game) {
    std::vector<std::string> calls;
    calls.swap(fakeWindow(game).calls);
    return calls;
}

std::vector<std::string> sentTexts(const GameState& game) {
    std::vector<std::string> texts;
    for (const std::string& call : fakeWindow(game).calls)
        if (call.rfind("send:", 0) == 0)
            texts.push_back(call.substr(call.find(':', 5) + 1));
    return texts;
}

void scriptRandom(std::vector<int> values) {
    scriptedValues.assign(values.begin(), values.end());
    randomSource = scriptedRandom;
}

void scriptIdentityShuffle() {
    identityCounter = 0;
    randomSource = identityRandom;
}

void resetCore(std::vector<int> randomValues) {
    forgetFakeWindows();
    scriptRandom(std::move(randomValues));
}

void showActionButton(const GameState& game, const char* caption, bool enabled) {
    log(game, std::string("button:") + caption + (enabled ? ":on" : ":off"));
}
void startWinBlinkTimer(const GameState& game) {
    FakeWindow& window = fakeWindow(game);
    if (!window.blinkRunning)
        window.calls.push_back("blink:start");
    window.blinkRunning = 1;
}
void stopWinBlinkTimer(const GameState& game) {
    FakeWindow& window = fakeWindow(game);
    if (window.blinkRunning)
        window.calls.push_back("blink:stop");
    window.blinkRunning = 0;
}
void redrawWindow(const GameState& game) { log(game, "redraw"); }
void sendTextToContact(const GameState& game, ContactHandle contact, const char* text) {
    log(game, "send:" + std::to_string(contact) + ":" + text);
}
void showTraceBox(const GameState& game, const char* format, std::va_list args) {
    char text[traceTextSize];
    std::vsnprintf(text, sizeof text, format, args);
    log(game, std::string("trace:") + text);
}
bool gameWindowIsOpen(const GameState& game) { return fakeWindow(game).open; }
void openGameWindow(const GameState& game) {
    FakeWindow& window = fakeWindow(game);
    window.calls.push_back("open");
    window.open = window.opens;
}
void flashGameWindowIfInBackground(const GameState& game) { log(game, "flash"); }
