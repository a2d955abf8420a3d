// devhost.exe: the development host as a program. Loads the plug-in beside a small contact list and
// optionally runs a script from standard input, through which another program can link it to
// another host (scripts/two_hosts.py relays their texts).
#include "devhost/program/devhost_app.h"

#include "devhost/instruments/instruments.h"

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
constexpr int exitChecksFailed = 4;

// An option sets one field of the record: a flag, a number or a text (--contact adds one); a name
// with a space takes a value.
using O = DevhostOptions;
struct Option {
    const char* name;
    bool O::*flag;
    unsigned O::*number;
    std::string O::*text;
};
const Option options[] = {
    {"--user NAME", nullptr, nullptr, &O::userName}, {"--contact NAME", nullptr, nullptr, nullptr},
    {"--script", &O::script, nullptr, nullptr},      {"--quiet", &O::quiet, nullptr, nullptr},
    {"--check", &O::check, nullptr, nullptr},        {"--seed N", nullptr, &O::seed, nullptr},
    {"--help", &O::help, nullptr, nullptr},
};

std::string usage() {
    std::string text = "usage: devhost";
    for (const Option& option : options)
        text += std::string(" [") + option.name + "]";
    return text + "\nScript commands, one a line: recv NAME TEXT..., send NAME TEXT..., menu NAME [N],\n"
                  "click X Y, button, close, wait MS, hold, release, lose, coin even|odd, play, show,\n"
                  "picture PATH, audit, echo TEXT..., shutdown. See docs/development-host.md.\n";
}

// Command-line words arrive in the ANSI code page already, as the plug-in's texts are.
std::string parseOptions(int argc, char** argv, DevhostOptions& parsed) {
    for (int i = 1; i < argc; ++i) {
        const Option* option = std::find_if(std::begin(options), std::end(options), [&](const Option& o) {
            return std::string(o.name).substr(0, std::string(o.name).find(' ')) == argv[i];
        });
        if (option == std::end(options))
            return std::string("unknown option ") + argv[i];
        if (option->flag)
            parsed.*option->flag = true;
        if (!std::strchr(option->name, ' '))
            continue;
        if (++i == argc)
            return std::string(argv[i - 1]) + " needs a value";
        char* end = nullptr;
        unsigned long number = std::strtoul(argv[i], &end, 10);
        if (option->number && (*argv[i] < '0' || *argv[i] > '9' || *end != '\0' || number > UINT_MAX))
            return std::string(argv[i - 1]) + " needs a number";
        if (option->number)
            parsed.*option->number = static_cast<unsigned>(number);
        else if (option->text)
            parsed.*option->text = argv[i];
        else
            parsed.contacts.push_back(argv[i]);
    }
    return "";
}

Referee referee([](const std::string& fault) { printLine("check: FAILED " + shownOnOneLine(fault)); });
ShadowGame shadow;

// Every text the plug-in gives, every chat entry and message box is printed; the game's follower
// sees each text go in and out, and with --check its referee judges what the plug-in does.
void watchHost() {
    hostSetSendHandler([](HostWord contact, const std::string& text) {
        shadowSent(shadow, contact, text);
        sendThroughOutbox(contact, text);
    });
    hostSetReceiveObserver([](const HostText& text, bool done) { shadowReceipt(shadow, text, done); });
    hostSetChatHandler([](const HostText& entry) {
        printLine("chat " + contactNameShown(entry.contact) + ": " + shownOnOneLine(entry.text));
        if (shadow.referee)
            shadow.referee->noteChat(entry);
    });
    hostSetMessageBoxHandler([](const HostMessageBox& box) {
        printLine("box " + shownOnOneLine(box.caption) + ": " + shownOnOneLine(box.text));
        if (shadow.referee)
            shadow.referee->noteMessageBox(box);
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

ShadowGame& shadowGame() { return shadow; }

int main(int argc, char** argv) {
    // The output is UTF-8 lines ending in \n, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DevhostOptions options;
    std::string error = parseOptions(argc, argv, options);
    if (!error.empty() || options.help) {
        std::fprintf(error.empty() ? stdout : stderr, "%s%s",
                     error.empty() ? "" : ("devhost: " + error + "\n").c_str(), usage().c_str());
        return error.empty() ? 0 : exitBadOptions;
    }
    shadow.random.seed(options.seed);
    shadow.referee = options.check ? &referee : nullptr;
    hostStart();
    attachInstruments();
    openOutbox(options.quiet);
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
