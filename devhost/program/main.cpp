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

namespace {
constexpr int exitBadOptions = 1;
constexpr int exitPluginRefused = 2;
constexpr int exitNoServer = 3;
constexpr int exitChecksFailed = 4;
constexpr int exitCannotPlay = 5;

constexpr char usage[] =
    "usage: devhost [options]\n"
    "  --user NAME             this user's name, the main window's title (default devhost)\n"
    "  --contact NAME          a contact that exists before the plug-in loads (repeatable)\n"
    "  --irc HOST:PORT         log in to this IRC server with the user's name as the nick; every\n"
    "                          contact is the nick of its name, online while in #kelvaron\n"
    "  --peer NAME             the auto-player's opponent: another devhost on the IRC server,\n"
    "                          or without --irc a contact whose texts the script's recv gives\n"
    "  --script                run commands from standard input, one a line:\n"
    "                            recv NAME TEXT... | send NAME TEXT... | menu NAME [N]\n"
    "                            click X Y | button | close | wait MS | hold | release | lose\n"
    "                            coin even|odd | shutdown\n"
    "                            (hold: texts wait until release; lose: the next to leave is lost;\n"
    "                            coin: whether the plug-in's next rand() is even or odd)\n"
    "  --quiet                 no \"sent\" or \"held\" lines\n"
    "  --autoplay SEED         play against the peer through the game window, seeded\n"
    "  --autoplay-starts       start the games (the menu item, then the button)\n"
    "  --games N               play N games, then end (default 1)\n"
    "  --delay MS              wait before each move (default 300; 0: when nothing is queued)\n"
    "  --check                 check the plug-in on every message; exit status 4 if it failed\n"
    "  --timing                print \"timing click|adopted MICROSECONDS TEXT\" lines\n"
    "  --cross-every N         both sides deal every Nth game at once, so that the deals cross\n"
    "  --snapshots DIR         save pictures of the game window there\n"
    "  --help                  show this text\n"
    "Prints \"sent NAME: TEXT\" as a text leaves (\"held\" while held back, \"lost\" when lost instead),\n"
    "\"chat NAME: TEXT\" and \"box CAPTION: TEXT\" lines; over IRC also\n"
    "\"status NAME: online|offline\" and \"irc: WHAT\" lines; the auto-player adds \"move NAME: WHAT\",\n"
    "\"game K over: won|lost|draw\", \"check: FAILED WHAT\" and \"summary: ...\" lines.\n";

// An option sets one field of the record: a flag, a count or a text. The auto-player's go with it only.
struct OptionField {
    const char* name;
    bool DevhostOptions::*flag;
    unsigned DevhostOptions::*count;
    std::string DevhostOptions::*text;
    bool autoplayOnly;
};
using O = DevhostOptions;
const OptionField optionFields[] = {
    {"--user", nullptr, nullptr, &O::userName, false},
    {"--peer", nullptr, nullptr, &O::peerName, false},
    {"--irc", nullptr, nullptr, &O::ircServer, false},
    {"--script", &O::script, nullptr, nullptr, false},
    {"--quiet", &O::quiet, nullptr, nullptr, false},
    {"--help", &O::help, nullptr, nullptr, false},
    {"--autoplay", &O::autoplay, &O::seed, nullptr, false},
    {"--autoplay-starts", &O::startsGames, nullptr, nullptr, true},
    {"--games", nullptr, &O::games, nullptr, true},
    {"--delay", nullptr, &O::delayMs, nullptr, true},
    {"--check", &O::check, nullptr, nullptr, true},
    {"--timing", &O::timing, nullptr, nullptr, true},
    {"--cross-every", nullptr, &O::crossEvery, nullptr, true},
    {"--snapshots", nullptr, nullptr, &O::snapshotDir, true},
};

bool parseCount(const char* text, unsigned& count) {
    char* end = nullptr;
    unsigned long number = std::strtoul(text, &end, 10);
    if (*text < '0' || *text > '9' || *end != '\0' || number > UINT_MAX)
        return false;
    count = static_cast<unsigned>(number);
    return true;
}

bool validServer(const std::string& server) {
    std::size_t colon = server.rfind(':');
    unsigned port = 0;
    return colon != 0 && colon != std::string::npos && parseCount(server.c_str() + colon + 1, port) &&
           port > 0 && port <= 65535;
}

// Command-line words arrive in the ANSI code page already, as the plug-in's texts are.
bool parseOptions(int argc, char** argv, DevhostOptions& options, std::string& error) {
    bool autoplayOnlyGiven = false;
    for (int i = 1; i < argc && error.empty(); ++i) {
        std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == "--contact" && value) {
            options.contacts.push_back(argv[++i]);
            continue;
        }
        auto field = std::find_if(std::begin(optionFields), std::end(optionFields),
                                  [&](const OptionField& f) { return option == f.name; });
        if (field == std::end(optionFields)) {
            error = option == "--contact" ? "--contact needs a value" : "unknown option " + option;
            break;
        }
        autoplayOnlyGiven = autoplayOnlyGiven || field->autoplayOnly;
        if (field->flag)
            options.*field->flag = true;
        if ((field->count || field->text) && !value)
            error = option + " needs a value";
        else if (field->count && !parseCount(argv[++i], options.*field->count))
            error = option + " needs a number";
        else if (field->text)
            options.*field->text = argv[++i];
    }
    if (!error.empty())
        return false;
    if (!options.ircServer.empty() && !validServer(options.ircServer))
        error = "--irc needs HOST:PORT";
    else if (options.autoplay && options.peerName.empty())
        error = "--autoplay needs --peer";
    else if (!options.autoplay && autoplayOnlyGiven)
        error = "--autoplay-starts, --games, --delay, --check, --timing, --cross-every and --snapshots go "
                "with --autoplay";
    else if (options.games == 0)
        error = "--games needs at least 1";
    return error.empty();
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
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "devhost: %s\n%s", error.c_str(), usage);
        return exitBadOptions;
    }
    if (options.help) {
        std::fputs(usage, stdout);
        return 0;
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
    if (options.autoplay && !autoplayStart(options, mainWindow)) {
        closeHost(mainWindow);
        runMessageLoop();
        closeIrcLink();
        return exitCannotPlay;
    }
    if (options.script && !startScriptReader(mainWindow)) {
        std::fprintf(stderr, "devhost: cannot read the script\n");
        closeHost(mainWindow);
    }
    int status = runMessageLoop();
    hostShutdown();
    closeIrcLink();
    return autoplayChecksFailed() ? exitChecksFailed : status;
}
