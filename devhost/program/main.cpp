// devhost.exe: the development host as a program. Loads the plug-in beside a small contact list and
// optionally runs a script from standard input, through which another program can link it to
// another host (scripts/two_hosts.py relays their texts).
#include "devhost/program/devhost_app.h"

#include "devhost/instruments/instruments.h"

#include <fcntl.h>
#include <io.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int exitBadOptions = 1;
constexpr int exitPluginRefused = 2;
constexpr int exitChecksFailed = 4;
constexpr char usage[] =
    "usage: devhost [--user NAME] [--contact NAME]... [--script] [--check] [--seed N] [--help]\n"
    "Script commands, one a line: recv NAME TEXT..., send NAME TEXT..., menu NAME [N], click X Y,\n"
    "button, close, wait MS, hold, release, lose, coin even|odd, play, turn, show, audit,\n"
    "echo TEXT..., shutdown. See docs/development-host.md.\n";

// Command-line words arrive in the ANSI code page already, as the plug-in's texts are.
std::string parseOptions(int argc, char** argv, DevhostOptions& parsed) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool flag = option == "--script" || option == "--check" || option == "--help";
        if (!flag && option != "--user" && option != "--contact" && option != "--seed")
            return "unknown option " + option;
        if (flag) {
            (option == "--script" ? parsed.script : option == "--check" ? parsed.check : parsed.help) = true;
            continue;
        }
        if (++i == argc)
            return option + " needs a value";
        char* end = nullptr;
        unsigned long number = std::strtoul(argv[i], &end, 10);
        if (option == "--seed" && (*argv[i] < '0' || *argv[i] > '9' || *end != '\0' || number > UINT_MAX))
            return "--seed needs a number";
        if (option == "--seed")
            parsed.seed = static_cast<unsigned>(number);
        else
            (option == "--user" ? parsed.userName : parsed.contacts.emplace_back()) = argv[i];
    }
    return "";
}

Referee referee([](const std::string& fault) { printLine("check: FAILED " + shownOnOneLine(fault)); });
ShadowGame shadow;

// Every text the plug-in gives goes through the outbox; the game's follower sees each text go in and
// out, and with --check its referee judges what the plug-in does.
void watchHost() {
    hostSetSendHandler([](HostWord contact, const std::string& text) {
        shadowSent(shadow, contact, text);
        sendThroughOutbox(contact, text);
    });
    hostSetReceiveObserver([](const HostText& text, bool done) { shadowReceipt(shadow, text, done); });
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

ShadowGame& shadowGame() { return shadow; }

int main(int argc, char** argv) {
    // The output is UTF-8 lines ending in \n, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DevhostOptions options;
    std::string error = parseOptions(argc, argv, options);
    if (!error.empty() || options.help) {
        std::fprintf(error.empty() ? stdout : stderr, "%s%s",
                     error.empty() ? "" : ("devhost: " + error + "\n").c_str(), usage);
        return error.empty() ? 0 : exitBadOptions;
    }
    shadow.random.seed(options.seed);
    shadow.referee = options.check ? &referee : nullptr;
    hostStart();
    attachInstruments();
    watchHost();
    for (const std::string& contact : options.contacts)
        hostAddContact(contact);
    HWND mainWindow = createMainWindow(options.userName);
    HostLoadResult loaded = hostLoadPlugin();
    if (loaded != HostLoadResult::Loaded) {
        printLine(std::string("devhost: plug-in refused: ") + hostLoadResultName(loaded));
        return exitPluginRefused;
    }
    if (options.script && !startScriptReader(mainWindow)) {
        std::fprintf(stderr, "devhost: cannot read the script\n");
        closeHost(mainWindow);
    }
    int status = runMessageLoop();
    hostShutdown();
    return referee.failed() ? exitChecksFailed : status;
}
