// devhost.exe: the development host as a program. Loads the plug-in beside a small contact list,
// optionally runs a script from standard input, and meets other hosts on an IRC server.
#include "devhost/program/devhost_app.h"

#include "devhost/instruments/instruments.h"
#include "devhost/program/autoplay.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int exitBadOptions = 1;
constexpr int exitPluginRefused = 2;
constexpr int exitNoServer = 3;
constexpr int exitChecksFailed = 4;

// An option sets one field of the record: a flag, a count or a text (--contact adds one); a name with
// a space takes a value. Those after --autoplay go with it only.
using O = DevhostOptions;
struct Option {
    const char* name;
    bool O::*flag;
    unsigned O::*count;
    std::string O::*text;
};
const Option options[] = {
    {"--user NAME", nullptr, nullptr, &O::userName},
    {"--contact NAME", nullptr, nullptr, nullptr},
    {"--irc HOST:PORT", nullptr, nullptr, &O::ircServer},
    {"--peer NAME", nullptr, nullptr, &O::peerName},
    {"--script", &O::script, nullptr, nullptr},
    {"--quiet", &O::quiet, nullptr, nullptr},
    {"--help", &O::help, nullptr, nullptr},
    {"--autoplay SEED", &O::autoplay, &O::seed, nullptr},
    {"--autoplay-starts", &O::startsGames, nullptr, nullptr},
    {"--games N", nullptr, &O::games, nullptr},
    {"--delay MS", nullptr, &O::delayMs, nullptr},
    {"--check", &O::check, nullptr, nullptr},
    {"--timing", &O::timing, nullptr, nullptr},
    {"--cross-every N", nullptr, &O::crossEvery, nullptr},
    {"--snapshots DIR", nullptr, nullptr, &O::snapshotDir},
};
constexpr std::ptrdiff_t firstAutoplayOnly = 8; // --autoplay-starts

std::string usage() {
    std::string text = "usage: devhost";
    for (const Option& option : options)
        text += std::string(" [") + option.name + "]";
    return text +
           "\nScript commands, one a line: recv NAME TEXT..., send NAME TEXT..., menu NAME [N], click X Y,\n"
           "button, close, wait MS, hold, release, lose, coin even|odd, shutdown. See README.md.\n";
}

// Command-line words arrive in the ANSI code page already, as the plug-in's texts are.
std::string parseOptions(int argc, char** argv, DevhostOptions& parsed) {
    bool autoplayOnly = false;
    for (int i = 1; i < argc; ++i) {
        const Option* option = std::find_if(std::begin(options), std::end(options), [&](const Option& o) {
            return std::string(o.name).substr(0, std::string(o.name).find(' ')) == argv[i];
        });
        if (option == std::end(options))
            return std::string("unknown option ") + argv[i];
        autoplayOnly = autoplayOnly || option - options >= firstAutoplayOnly;
        if (option->flag)
            parsed.*option->flag = true;
        if (!std::strchr(option->name, ' '))
            continue;
        if (++i == argc)
            return std::string(argv[i - 1]) + " needs a value";
        char* end = nullptr;
        unsigned long number = std::strtoul(argv[i], &end, 10);
        if (option->count && (*argv[i] < '0' || *argv[i] > '9' || *end != '\0' || number > UINT_MAX))
            return std::string(argv[i - 1]) + " needs a number";
        if (option->count)
            parsed.*option->count = static_cast<unsigned>(number);
        else if (option->text)
            parsed.*option->text = argv[i];
        else
            parsed.contacts.push_back(argv[i]);
    }
    if (parsed.autoplay && parsed.peerName.empty())
        return "--autoplay needs --peer";
    if (!parsed.autoplay && autoplayOnly)
        return "the options after --autoplay in the usage go with it only";
    return parsed.games == 0 ? "--games needs at least 1" : "";
}

// Every text the plug-in gives, every chat entry and message box is printed; the auto-player notes a
// text when the plug-in gives it, whenever the outbox lets it leave, and watches each receipt.
void printHostEvents() {
    hostSetSendHandler([](HostWord contact, const std::string& text) {
        sendThroughOutbox(contact, text);
        autoplayNoteSent(contact, text);
    });
    hostSetReceiveObserver(autoplayObserveReceipt);
    hostSetChatHandler([](const HostText& entry) {
        printLine("chat " + contactNameShown(entry.contact) + ": " + shownOnOneLine(entry.text));
        autoplayNoteChat(entry);
    });
    hostSetMessageBoxHandler([](const HostMessageBox& box) {
        printLine("box " + shownOnOneLine(box.caption) + ": " + shownOnOneLine(box.text));
        autoplayNoteMessageBox(box);
    });
}

int runMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
} // namespace

int main(int argc, char** argv) {
    // The output is UTF-8 lines ending in \n, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DevhostOptions options;
    std::string error = parseOptions(argc, argv, options);
    if (!error.empty() || options.help) {
        std::fprintf(error.empty() ? stdout : stderr, "%s%s%s",
                     error.empty() ? "" : "devhost: ", error.empty() ? "" : (error + "\n").c_str(),
                     usage().c_str());
        return error.empty() ? 0 : exitBadOptions;
    }
    bool irc = !options.ircServer.empty();
    hostStart();
    attachInstruments();
    openOutbox(options.quiet, irc);
    printHostEvents();
    for (const std::string& contact : options.contacts)
        hostAddContact(contact);
    // Over IRC the peer is offline until the server shows its nick.
    if (!options.peerName.empty() && !contactNamed(options.peerName))
        hostAddContact(options.peerName, !irc);
    HWND mainWindow = createMainWindow(options.userName);

    if (irc && !openIrcLink(options, mainWindow, error)) {
        std::fprintf(stderr, "devhost: %s\n", error.c_str());
        return exitNoServer;
    }
    HostLoadResult loaded = hostLoadPlugin();
    if (loaded != HostLoadResult::Loaded) {
        printLine(std::string("devhost: plug-in refused: ") + hostLoadResultName(loaded));
        return exitPluginRefused;
    }
    if (irc)
        startIrcReader(mainWindow);
    if (options.autoplay)
        autoplayStart(options, mainWindow);
    if (options.script && !startScriptReader(mainWindow)) {
        std::fprintf(stderr, "devhost: cannot read the script\n");
        closeHost(mainWindow);
    }
    int status = runMessageLoop();
    hostShutdown();
    closeIrcLink();
    return autoplayChecksFailed() ? exitChecksFailed : status;
}
