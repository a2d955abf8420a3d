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

struct Outbox {
    bool quiet = false;
    bool holding = false;
    bool loseNext = false;
    std::vector<Outgoing> held;
};
Outbox outbox;

void printText(const char* what, const Outgoing& text) {
    printLine(std::string(what) + " " + contactNameShown(text.contact) + ": " + shownOnOneLine(text.text));
}

// The moment a text leaves the host: the one loss asked for takes it, or it goes on its way, which
// the line shows: whatever links this host to another reads it there.
void leave(const Outgoing& text) {
    if (outbox.loseNext) {
        outbox.loseNext = false;
        printText("lost", text);
        return;
    }
    if (!outbox.quiet)
        printText("sent", text);
}
} // namespace

void openOutbox(bool quiet) {
    outbox = Outbox{};
    outbox.quiet = quiet;
}

void sendThroughOutbox(HostWord contact, const std::string& ansiText) {
    Outgoing text = {contact, ansiText};
    if (!outbox.holding) {
        leave(text);
        return;
    }
    if (!outbox.quiet)
        printText("held", text);
    outbox.held.push_back(std::move(text));
}

void holdOutgoing() { outbox.holding = true; }

void releaseOutgoing() {
    outbox.holding = false;
    std::vector<Outgoing> texts;
    texts.swap(outbox.held);
    for (const Outgoing& text : texts)
        leave(text);
}

void loseNextOutgoing() { outbox.loseNext = true; }
