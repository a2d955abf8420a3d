// The referee's checks: the window read back against a game, the plug-in's handles and the memory.
#include "devhost/instruments/referee.h"

#include "devhost/instruments/instruments.h"
#include "devhost/instruments/table_readback.h"
#include "engine/actions.h"

#include <windows.h>
#include <psapi.h>

namespace {
constexpr std::size_t memoryGrowthLimit = 4u << 20;
constexpr std::size_t bytesPerKb = 1024;
} // namespace

std::size_t hostProcessMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

void Referee::fault(const std::string& what) {
    failed_ = true;
    if (report_)
        report_(what);
}

bool Referee::checkWindow(const std::string& picturePath, const GameState& expected,
                          const std::string& where) {
    auto window = static_cast<HWND>(hostGameWindow());
    if (!window) {
        fault("no game window in " + where);
        return false;
    }
    HWND button = GetDlgItem(window, actionButtonId);
    std::string shown = button ? windowText(button) : "(no button)";
    std::string caption = actionButtonCaption(expected);
    std::string problem;
    if (shown != caption)
        problem = "the button says \"" + shown + "\" where the game calls for \"" + caption + "\"";
    else if (button && (IsWindowEnabled(button) != FALSE) != !caption.empty())
        problem = std::string("the button is ") + (caption.empty() ? "enabled" : "disabled") +
                  " where the game calls for the opposite";
    std::string drawn = problem.empty() ? tableMismatch(picturePath, expected) : "";
    if (!drawn.empty())
        problem = "the window does not show the game: " + drawn;
    if (!problem.empty())
        fault(problem + " in " + where);
    return problem.empty();
}

void Referee::audit() {
    HostResourceTally held = hostResourceCounts().live;
    std::size_t dcs = held.memoryDcs + held.windowDcs;
    if (held.gdiObjects || dcs || held.gdiplusImages)
        fault("with no game window the plug-in still holds " + std::to_string(held.gdiObjects) +
              " GDI objects, " + std::to_string(dcs) + " DCs and " + std::to_string(held.gdiplusImages) +
              " GDI+ images");
    std::size_t memory = hostProcessMemory();
    memoryFirst_ = memoryFirst_ ? memoryFirst_ : memory;
    if (memory > memoryFirst_ + memoryGrowthLimit)
        fault("the memory grew by " + std::to_string((memory - memoryFirst_) / bytesPerKb) +
              " KB since the first audit");
}
