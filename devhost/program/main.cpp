// devhost.exe: the development host as a program. Loads the plug-in beside a small contact list,
// optionally runs a script from standard input, and meets other hosts on an IRC server.
#include "devhost/program/devhost_app.h"

#include "devhost/program/autoplay.h"

#include <fcntl.h>
#include <io.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int exitBadOptions = 1;
constexpr int exitPluginRefused = 2;
constexpr int exitNoServer = 3;
constexpr int exitChecksFailed = 4;
constexpr int exitCannotPlay = 5;
constexpr char offlineSuffix[] = ":offline";

constexpr char usage[] =
    "usage: devhost [options]\n"
    "  --plugin PATH           the plug-in to load (default Plugins\\Kelvaron.dll)\n"
    "  --version 0xVVVVVVVV    the host version handed to the plug-in (default 0x000A1800)\n"
    "  --unicode               act as a Unicode core (version text \"... Unicode\", UTF-16 menu items)\n"
    "  --user NAME             this user's name, the main window's title (default devhost)\n"
    "  --contact NAME[:offline] a contact that exists before the plug-in loads (repeatable)\n"
    "  --irc HOST:PORT         log in to this IRC server with the user's name as the nick; every\n"
    "                          contact is the nick of its name, online while in #kelvaron\n"
    "  --peer NAME             the auto-player's opponent: another devhost on the IRC server,\n"
    "                          or without --irc a contact whose texts the script's recv gives\n"
    "  --script                run commands from standard input, one a line:\n"
    "                            contact NAME [offline] | recv NAME TEXT... | send NAME TEXT...\n"
    "                            menu NAME [N] | click X Y | button | close | wait MS | snap PATH\n"
    "                            hold | release | lose | coin even|odd | shutdown\n"
    "                            (hold: texts wait until release; lose: the next to leave is lost;\n"
    "                            coin: whether the plug-in's next rand() is even or odd)\n"
    "  --quiet                 no \"sent\" or \"held\" lines\n"
    "  --autoplay SEED         play against the peer through the game window, seeded\n"
    "  --autoplay-starts       start the games (the menu item, then the button)\n"
    "  --games N               play N games, then end (default 1)\n"
    "  --delay MS              wait before each move (default 300; 0: when nothing is queued)\n"
    "  --check                 check the plug-in on every message; exit status 4 if it failed\n"
    "  --hostile               the peer may send anything: chat, malformed or unrelated states\n"
    "  --timing                print \"timing click|adopted MICROSECONDS TEXT\" lines\n"
    "  --cross-every N         both sides deal every Nth game at once, so that the deals cross\n"
    "  --snapshots DIR         save pictures of the game window there\n"
    "  --help                  show this text\n"
    "Prints \"sent NAME: TEXT\" as a text leaves (\"held\" while held back, \"lost\" when lost instead),\n"
    "\"chat NAME: TEXT\" and \"box CAPTION: TEXT\" lines; over IRC also\n"
    "\"status NAME: online|offline\" and \"irc: WHAT\" lines; the auto-player adds \"move NAME: WHAT\",\n"
    "\"game K over: won|lost|draw\", \"check: FAILED WHAT\" and \"summary: ...\" lines.\n";

bool parseCount(const char* text, unsigned& count) {
    char* end = nullptr;
    unsigned long number = std::strtoul(text, &end, 10);
    if (*text < '0' || *text > '9' || *end != '\0' || number > UINT_MAX)
        return false;
    count = static_cast<unsigned>(number);
    return true;
}

// The auto-player's options make sense only with it, and it only with a peer.
bool checkAutoplayOptions(const DevhostOptions& options, bool autoplayOnlyGiven, std::string& error) {
    if (options.autoplay && options.peerName.empty())
        error = "--autoplay needs --peer";
    else if (!options.autoplay && autoplayOnlyGiven)
        error = "--autoplay-starts, --games, --delay, --check, --hostile, --timing, --cross-every and "
                "--snapshots go with --autoplay";
    else if (options.games == 0)
        error = "--games needs at least 1";
    return error.empty();
}

HostWord peer = 0;

bool parsePort(const char* text, unsigned short& port) {
    char* end = nullptr;
    unsigned long number = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || number == 0 || number > 65535)
        return false;
    port = static_cast<unsigned short>(number);
    return true;
}

// Command-line words arrive in the ANSI code page already, as the plug-in's texts are.
bool parseOptions(int argc, char** argv, DevhostOptions& options, std::string& error) {
    bool autoplayOnlyGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool takesValue = option == "--plugin" || option == "--version" || option == "--user" ||
                          option == "--contact" || option == "--peer" || option == "--irc" ||
                          option == "--autoplay" || option == "--games" || option == "--delay" ||
                          option == "--cross-every" || option == "--snapshots";
        autoplayOnlyGiven = autoplayOnlyGiven || option == "--autoplay-starts" || option == "--games" ||
                            option == "--delay" || option == "--check" || option == "--hostile" ||
                            option == "--timing" || option == "--cross-every" || option == "--snapshots";
        if (takesValue && !value) {
            error = option + " needs a value";
            return false;
        }
        if (takesValue)
            ++i;
        if (option == "--plugin") {
            options.pluginPath = value;
        } else if (option == "--version") {
            char* end = nullptr;
            options.hostVersion = static_cast<std::uint32_t>(std::strtoul(value, &end, 0));
            if (*end != '\0') {
                error = "--version needs a number such as 0x000A1800";
                return false;
            }
        } else if (option == "--user") {
            options.userName = value;
        } else if (option == "--contact") {
            std::string name = value;
            bool offline =
                name.size() > std::strlen(offlineSuffix) &&
                name.compare(name.size() - std::strlen(offlineSuffix), std::string::npos, offlineSuffix) == 0;
            if (offline)
                name.resize(name.size() - std::strlen(offlineSuffix));
            options.contacts.push_back(ContactOption{name, !offline});
        } else if (option == "--peer") {
            options.peerName = value;
        } else if (option == "--irc") {
            options.ircServer = value;
            std::size_t colon = options.ircServer.rfind(':');
            unsigned short port = 0;
            if (colon == 0 || colon == std::string::npos || !parsePort(value + colon + 1, port)) {
                error = "--irc needs HOST:PORT";
                return false;
            }
        } else if (option == "--unicode") {
            options.unicodeCore = true;
        } else if (option == "--script") {
            options.script = true;
        } else if (option == "--quiet") {
            options.quiet = true;
        } else if (option == "--autoplay" || option == "--games" || option == "--delay" ||
                   option == "--cross-every") {
            unsigned& number = option == "--autoplay" ? options.seed
                               : option == "--games"  ? options.games
                               : option == "--delay"  ? options.delayMs
                                                      : options.crossEvery;
            options.autoplay = options.autoplay || option == "--autoplay";
            if (!parseCount(value, number)) {
                error = option + " needs a number";
                return false;
            }
        } else if (option == "--autoplay-starts") {
            options.autoplayStarts = true;
        } else if (option == "--check") {
            options.check = true;
        } else if (option == "--hostile") {
            options.hostile = true;
        } else if (option == "--timing") {
            options.timing = true;
        } else if (option == "--snapshots") {
            options.snapshotDir = value;
        } else if (option == "--help") {
            options.help = true;
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    return checkAutoplayOptions(options, autoplayOnlyGiven, error);
}

// The auto-player notes a text when the plug-in gives it, whenever the outbox lets it leave.
void printHostEvents() {
    hostSetSendHandler([](HostWord contact, const std::string& text) {
        sendThroughOutbox(contact, text);
        autoplayNoteSent(contact, text);
    });
    hostSetChatHandler([](const HostText& entry) {
        printLine("chat " + contactNameShown(entry.contact) + ": " + shownOnOneLine(entry.text));
        autoplayNoteChat(entry);
    });
    hostSetMessageBoxHandler([](const HostMessageBox& box) {
        printLine("box " + shownOnOneLine(box.caption) + ": " + shownOnOneLine(box.text));
        autoplayNoteMessageBox(box);
    });
}

bool startAutoplay(const DevhostOptions& options, HWND mainWindow) {
    AutoplaySettings settings;
    settings.seed = options.seed;
    settings.startsGames = options.autoplayStarts;
    settings.games = options.games;
    settings.delayMs = options.delayMs;
    settings.check = options.check;
    settings.hostilePeer = options.hostile;
    settings.timing = options.timing;
    settings.crossEvery = options.crossEvery;
    settings.snapshotDir = options.snapshotDir;
    settings.userName = options.userName;
    settings.userNameShown = utf8FromAnsi(options.userName);
    settings.pluginPath = options.pluginPath;
    AutoplayHost host;
    host.peer = peerContact();
    host.print = printLine;
    host.shown = shownOnOneLine;
    host.shutDown = [mainWindow] { closeHost(mainWindow); };
    host.holdTexts = holdOutgoing;
    host.releaseTexts = releaseOutgoing;
    host.endsHost = !options.script;
    return autoplayStart(settings, host);
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

HostWord peerContact() { return peer; }

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
    hostSetUnicodeCore(options.unicodeCore);
    openOutbox(options.quiet, irc);
    printHostEvents();
    for (const ContactOption& contact : options.contacts)
        hostAddContact(contact.name, contact.online);
    // Over IRC the peer is offline until the server shows its nick.
    if (!options.peerName.empty() && !contactNamed(options.peerName))
        hostAddContact(options.peerName, !irc);
    peer = contactNamed(options.peerName);
    HWND mainWindow = createMainWindow(options.userName);

    if (irc && !openIrcLink(options, mainWindow, error)) {
        std::fprintf(stderr, "devhost: %s\n", error.c_str());
        return exitNoServer;
    }
    HostLoadResult loaded = hostLoadPlugin(options.pluginPath.c_str(), options.hostVersion);
    if (loaded != HostLoadResult::Loaded) {
        printLine(std::string("devhost: plug-in refused: ") + hostLoadResultName(loaded));
        return exitPluginRefused;
    }
    if (irc)
        startIrcReader(mainWindow);
    if (options.autoplay && !startAutoplay(options, mainWindow)) {
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
