// devhost.exe's script: one command a line from standard input, each run on the UI thread in turn.
// A command that cannot be carried out prints "error: <why>" and the script goes on.
#include "devhost/program/devhost_app.h"

#include "devhost/instruments/instruments.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "stand_in/two_copies.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {
// After this command no line is read: the host is gone.
constexpr char shutdownCommand[] = "shutdown";
constexpr std::size_t readChunk = 4096;
// How many seeds "coin" tries; each gives either parity about every other time.
constexpr unsigned coinSeedTries = 1000;
const char* const outcomeNames[] = {"in progress", "won", "lost", "draw"};

// A line's words after the command, and what follows the command and the first word, verbatim but
// for the one space between (the text of "recv NAME TEXT...").
struct Line {
    std::vector<std::string> words;
    std::string afterCommand;
    std::string afterFirstWord;
};
// Each command returns why it failed, or nothing.
constexpr char badArguments[] = "?";
using Command = std::string (*)(const Line&);

bool number(const std::string& word, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(word.c_str(), &end, 10);
    return !word.empty() && errno == 0 && *end == '\0';
}

HostWord contactOf(const Line& line, std::string& why) {
    HostWord contact = line.words.empty() ? 0 : contactNamed(ansiFromUtf8(line.words[0]));
    why = line.words.empty() ? badArguments : contact ? "" : "no contact " + line.words[0];
    return contact;
}

std::string receiveText(const Line& line) {
    std::string why;
    if (HostWord contact = contactOf(line, why))
        hostReceiveText(contact, ansiFromUtf8(line.afterFirstWord).c_str());
    return why;
}

// A text the user types to a contact: it goes out as the plug-in's texts do.
std::string sendText(const Line& line) {
    std::string why;
    HostWord contact = contactOf(line, why);
    std::string text = ansiFromUtf8(line.afterFirstWord);
    CallRecord record = {contact, hostnames::sendMessage, 0, reinterpret_cast<HostWord>(text.c_str())};
    if (contact)
        hostCallService(hostnames::callContactService, 0, reinterpret_cast<HostWord>(&record));
    return why;
}

std::string chooseMenuItem(const Line& line) {
    long item = 0;
    std::string why;
    HostWord contact = contactOf(line, why);
    if (line.words.size() > 2 || (line.words.size() == 2 && !number(line.words[1], item)))
        return badArguments;
    if (!contact)
        return why;
    std::vector<std::size_t> items = hostVisibleMenuItems(contact);
    if (item < 0 || static_cast<std::size_t>(item) >= items.size())
        return "contact " + line.words[0] + " has no menu item " + std::to_string(item) + " (it shows " +
               std::to_string(items.size()) + ")";
    shadowChooseMenuItem(shadowGame(), contact, items[static_cast<std::size_t>(item)]);
    return "";
}

std::string click(const Line& line) {
    long x = 0, y = 0;
    if (line.words.size() != 2 || !number(line.words[0], x) || !number(line.words[1], y))
        return badArguments;
    return hostClickGameWindow(static_cast<int>(x), static_cast<int>(y)) ? "" : "no game window";
}

std::string wait(const Line& line) {
    long ms = 0;
    if (line.words.size() != 1 || !number(line.words[0], ms) || ms < 0)
        return badArguments;
    hostPumpMessages(static_cast<unsigned>(ms));
    return "";
}

// The plug-in draws its coin (and then its shuffle) from the C runtime's rand(), whose state
// msvcrt.dll keeps per thread and shares with the host, and script lines run on the UI thread, as the
// plug-in does: the runtime is reseeded with a seed whose first draw has the parity asked for. The
// search starts from a draw of the current sequence, so that the deals stay as varied as the plug-in's
// own seed makes them.
std::string steerCoin(const Line& line) {
    if (line.words.size() != 1 || (line.words[0] != "even" && line.words[0] != "odd"))
        return badArguments;
    int parity = line.words[0] == "even" ? 0 : 1;
    auto first = static_cast<unsigned>(std::rand());
    for (unsigned seed = first; seed != first + coinSeedTries; ++seed) {
        std::srand(seed);
        if (std::rand() % 2 == parity) {
            std::srand(seed);
            return "";
        }
    }
    return "no seed gives an " + line.words[0] + " draw";
}

// One move of the user's, as "move CARD|CAPTION"; "game over: OUTCOME" or "no move" when there is none.
std::string play(const Line&) {
    ShadowGame& shadow = shadowGame();
    std::string move = shadowPlay(shadow);
    GameOutcome outcome = gameOutcome(shadow.game);
    if (!move.empty())
        printLine("move " + utf8FromAnsi(move));
    else if (hostGameWindow() && outcome != InProgress)
        printLine(std::string("game over: ") + outcomeNames[outcome]);
    else
        printLine("no move");
    return "";
}

// Whether the user may move now.
std::string turn(const Line&) {
    const GameState& game = shadowGame().game;
    bool mine = hostGameWindow() && gameOutcome(game) == InProgress && !acceptedActions(game).empty();
    printLine(mine ? "turn mine" : "turn theirs");
    return "";
}

// The game the window shows, as this side would send it, or "none" without a window.
std::string show(const Line&) {
    ShadowGame& shadow = shadowGame();
    shadowCheckWindow(shadow, "show");
    printLine(std::string("game ") + (hostGameWindow() ? encodeStateMessage(shadow.game).text : "none"));
    return "";
}

std::string picture(const Line& line) {
    if (line.afterCommand.empty())
        return badArguments;
    return hostSaveGameWindowPng(ansiFromUtf8(line.afterCommand).c_str()) ? "" : "no picture saved";
}

// With the game window closed: what the plug-in still holds, and the memory against the first audit.
std::string audit(const Line&) {
    if (hostGameWindow())
        return "audit with the game window open";
    Referee* referee = shadowGame().referee;
    if (referee) {
        referee->checkNothingHeld();
        referee->noteMemory(referee->memoryFirst() == 0);
        referee->checkMemoryFlat();
    }
    HostResourceTally held = hostResourceCounts().live;
    printLine("audit: " + std::to_string(held.gdiObjects) + " GDI objects, " +
              std::to_string(held.memoryDcs + held.windowDcs) + " DCs, " +
              std::to_string(held.gdiplusImages) + " GDI+ images, " +
              std::to_string(hostProcessMemory() / 1024) + " KB");
    return "";
}

std::string echo(const Line& line) {
    printLine(line.afterCommand);
    return "";
}

std::string pressButton(const Line&) {
    return hostPressActionButton() ? "" : "no game window with an action button";
}
std::string closeWindow(const Line&) { return hostCloseGameWindow() ? "" : "no game window"; }
std::string hold(const Line&) { return holdOutgoing(), ""; }
std::string release(const Line&) { return releaseOutgoing(), ""; }
std::string lose(const Line&) { return loseNextOutgoing(), ""; }

// Commands with their arguments' count: -1 for any.
struct Entry {
    Command run;
    int words;
};
const std::map<std::string, Entry> commands = {
    {"recv", {receiveText, -1}},  {"send", {sendText, -1}},    {"menu", {chooseMenuItem, -1}},
    {"click", {click, -1}},       {"wait", {wait, -1}},        {"coin", {steerCoin, -1}},
    {"button", {pressButton, 0}}, {"close", {closeWindow, 0}}, {"hold", {hold, 0}},
    {"release", {release, 0}},    {"lose", {lose, 0}},         {"play", {play, 0}},
    {"show", {show, 0}},          {"turn", {turn, 0}},         {"picture", {picture, -1}},
    {"audit", {audit, 0}},        {"echo", {echo, -1}},
};

// Returns why the line could not run, or nothing.
std::string run(const std::string& text, HWND mainWindow) {
    std::istringstream stream(text);
    std::string name;
    stream >> name;
    Line line;
    for (std::string word; stream >> word;)
        line.words.push_back(word);
    std::size_t start = text.find(name) + name.size();
    line.afterCommand = start < text.size() ? text.substr(start + 1) : "";
    if (!line.words.empty()) {
        std::size_t rest = text.find(line.words[0], start) + line.words[0].size();
        line.afterFirstWord = text.substr(std::min(rest + 1, text.size()));
    }
    if (name == shutdownCommand && line.words.empty()) {
        closeHost(mainWindow);
        return "";
    }
    auto command = commands.find(name);
    std::string why =
        command == commands.end() || (command->second.words >= 0 &&
                                      line.words.size() != static_cast<std::size_t>(command->second.words))
            ? badArguments
            : command->second.run(line);
    return why == badArguments ? "cannot run \"" + text + "\": unknown command or wrong arguments" : why;
}

bool isBlankOrComment(const std::string& line) {
    std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

// Takes the first whole line (without its \n or \r\n) off pending.
bool takeLine(std::string& pending, std::string& line) {
    std::size_t end = pending.find('\n');
    if (end == std::string::npos)
        return false;
    line = pending.substr(0, end > 0 && pending[end - 1] == '\r' ? end - 1 : end);
    pending.erase(0, end + 1);
    return true;
}

// Hands one line to the main window and waits until it has run; false once the host is gone.
bool deliver(HWND mainWindow, const std::string& line) {
    SendMessageA(mainWindow, scriptLineMessage, 0, reinterpret_cast<LPARAM>(&line));
    return IsWindow(mainWindow) != FALSE;
}

DWORD WINAPI readScript(void* parameter) {
    auto mainWindow = static_cast<HWND>(parameter);
    // Raw reads: the C library's stdin lock must not be held by a thread the exit cannot wait for.
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending, line;
    char chunk[readChunk];
    DWORD got = 0;
    while (ReadFile(input, chunk, sizeof chunk, &got, nullptr) && got > 0)
        for (pending.append(chunk, got); takeLine(pending, line);)
            if (!deliver(mainWindow, line))
                return 0;
    if (!pending.empty() && !deliver(mainWindow, pending))
        return 0;
    deliver(mainWindow, shutdownCommand); // the end of the script ends the host
    return 0;
}
} // namespace

void runScriptLine(HWND mainWindow, const std::string& text) {
    if (isBlankOrComment(text))
        return;
    std::string why = run(text, mainWindow);
    if (!why.empty())
        printLine("error: " + why);
    else if (IsWindow(mainWindow))
        hostPumpMessages(0); // let what the command queued happen before the next line
}

bool startScriptReader(HWND mainWindow) {
    HANDLE thread = CreateThread(nullptr, 0, readScript, mainWindow, 0, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}
