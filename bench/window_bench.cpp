// Speed of the plug-in in the development host under Wine: loading the DLL with Load (and its
// shutdown), and the repaint of the whole table at the window's opening size of 640 by 520.
// Prints one line per figure; not a test.
#include "devhost/instruments/instruments.h"
#include "devhost/messenger/host.h"
#include "layout/table_layout.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int loadRounds = 40;
constexpr int redrawRounds = 2000;
// The receiver attacks in a throw-in with a crowded hand: a click on the 9 only toggles the choice
// and repaints, which isolates the repaint.
constexpr char throwInState[] = "@@Kelvaron@@72-93a3-63-6070809091a0b0c0d0e0617181-021";
constexpr std::size_t nineIndex = 3;

double microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1e6 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    double median = samples[samples.size() / 2];
    double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    std::printf("%-44s median %8.1f us   p99 %8.1f us   (%zu runs)\n", what, median, p99, samples.size());
}
} // namespace

int main() {
    hostStart();
    std::vector<double> loads;
    for (int round = 0; round < loadRounds; ++round) {
        hostReset();
        hostAddContact("Alice");
        LARGE_INTEGER start, loaded;
        QueryPerformanceCounter(&start);
        if (hostLoadPlugin() != HostLoadResult::Loaded) {
            std::fprintf(stderr, "window_bench: the plug-in did not load\n");
            return 1;
        }
        QueryPerformanceCounter(&loaded);
        loads.push_back(microseconds(start, loaded));
        hostShutdown();
    }
    report("load the DLL, MirandaPluginInfo and Load", loads);

    hostReset();
    HostWord alice = hostAddContact("Alice");
    hostLoadPlugin();
    hostReceiveText(alice, throwInState);
    HWND window = static_cast<HWND>(hostGameWindow());
    RECT client;
    GetClientRect(window, &client);
    RECT outer;
    GetWindowRect(window, &outer);
    std::vector<Rect> rects;
    GameState shape;
    shape.myHand.assign(13, 0x0106); // only the count matters for the layout
    layoutHand(shape, rects, cardMetricsForPicture(cardPictureWidth, cardPictureHeight),
               {client.right, client.bottom});
    int x = rects[nineIndex].left + 2, y = rects[nineIndex].top + 40;
    std::vector<double> redraws;
    for (int round = 0; round < redrawRounds; ++round) {
        LARGE_INTEGER start, done;
        QueryPerformanceCounter(&start);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        QueryPerformanceCounter(&done);
        redraws.push_back(microseconds(start, done));
    }
    char what[64];
    std::snprintf(what, sizeof what, "redraw the table at %ldx%ld (client %ldx%ld)", outer.right - outer.left,
                  outer.bottom - outer.top, client.right, client.bottom);
    report(what, redraws);
    hostShutdown();
    return 0;
}
