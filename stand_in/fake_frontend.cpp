// The fake window, host and user of each game record, and a scriptable random source.
#include "stand_in/fake_frontend.h"

#include "engine/deal.h"
#include "exchange/frontend.h"

#include <cstdio>
#include <map>
#include <utility>

static std::map<const GameState*, FakeWindow> windows;
static std::vector<int> scripted;
static std::size_t nextScripted = 0;

static int scriptedRandom() { return nextScripted < scripted.size() ? scripted[nextScripted++] : 0; }

static void log(const GameState& game, std::string call) {
    fakeWindow(game).calls.push_back(std::move(call));
}

// The timer runs while running is 1; like the real window, only a change of it is logged.
static void setBlink(const GameState& game, std::uint8_t running, const char* call) {
    if (std::exchange(fakeWindow(game).blinkRunning, running) != running)
        log(game, call);
}

FakeWindow& fakeWindow(const GameState& game) { return windows[&game]; }
void forgetFakeWindow(const GameState& game) { windows.erase(&game); }
void forgetFakeWindows() { windows.clear(); }

std::vector<std::string> takeCalls(const GameState& game) {
    return std::exchange(fakeWindow(game).calls, {});
}

std::vector<std::string> sentTexts(const GameState& game) {
    std::vector<std::string> texts;
    for (const std::string& call : fakeWindow(game).calls)
        if (call.rfind("send:", 0) == 0)
            texts.push_back(call.substr(call.find(':', 5) + 1));
    return texts;
}

void scriptRandom(std::vector<int> values) {
    scripted = std::move(values);
    nextScripted = 0;
    randomSource = scriptedRandom;
}

void resetCore(std::vector<int> randomValues) {
    forgetFakeWindows();
    scriptRandom(std::move(randomValues));
}

void showActionButton(const GameState& game, const char* caption, bool enabled) {
    log(game, std::string("button:") + caption + (enabled ? ":on" : ":off"));
}
void startWinBlinkTimer(const GameState& game) { setBlink(game, 1, "blink:start"); }
void stopWinBlinkTimer(const GameState& game) { setBlink(game, 0, "blink:stop"); }
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
    log(game, "open");
    fakeWindow(game).open = fakeWindow(game).opens;
}
void flashGameWindowIfInBackground(const GameState& game) { log(game, "flash"); }
