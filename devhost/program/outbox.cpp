// devhost.exe's outbox: every text the plug-in or the script gives a contact leaves through it, at
// once, or held back in order until released, or lost on the way as a network may lose one.
#include "devhost/program/devhost_app.h"

#include <utility>
#include <vector>

namespace {
struct Outgoing {
    HostWord contact;
    std::string text; // ANSI
};
bool holding = false;
bool loseNext = false;
std::vector<Outgoing> held;

void printText(const char* what, const Outgoing& text) {
    printLine(std::string(what) + " " + contactNameShown(text.contact) + ": " + shownOnOneLine(text.text));
}

// The moment a text leaves the host: the one loss asked for takes it, or it goes on its way, which
// its line shows: whatever links this host to another reads it there.
void leave(const Outgoing& text) {
    printText(loseNext ? "lost" : "sent", text);
    loseNext = false;
}
} // namespace

void sendThroughOutbox(HostWord contact, const std::string& ansiText) {
    Outgoing text = {contact, ansiText};
    if (!holding)
        return leave(text);
    printText("held", text);
    held.push_back(std::move(text));
}

void holdOutgoing() { holding = true; }

void releaseOutgoing() {
    holding = false;
    for (const Outgoing& text : std::exchange(held, {}))
        leave(text);
}

void loseNextOutgoing() { loseNext = true; }
