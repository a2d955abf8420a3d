// devhost.exe's script: one command a line from standard input, each run on the UI thread in turn.
// A command that cannot be carried out prints "error: <why>" and the script goes on.
#include "devhost/program/devhost_app.h"

#include "devhost/instruments/instruments.h"
#include "engine/rules.h"
#include "exchange/state_message.h"
#include "stand_in/two_copies.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {
// After this command no line is read: the host is gone.
constexpr char shutdownCommand[] = "shutdown";
constexpr std::size_t readChunk = 4096;
// How many seeds "coin" tries; each gives either parity about every other time.
constexpr unsigned coinSeedTries = 1000;
constexpr std::size_t bytesPerKb = 1024;
const char* const outcomeNames[] = {"in progress", "won", "lost", "draw"};
constexpr char badArguments[] = "?";

bool number(const std::string& word, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(word.c_str(), &end, 10);
    return !word.empty() && errno == 0 && *end == '\0';
}

// The plug-in draws its coin (and then its shuffle) from the C runtime's rand(), whose state
// msvcrt.dll keeps per thread and shares with the host, and script lines run on the UI thread, as the
// plug-in does: the runtime is reseeded with a seed whose first draw has the parity asked for. The
// search starts from a draw of the current sequence, so that the deals stay as varied as the plug-in's
// own seed makes them.
std::string steerCoin(int parity) {
    auto first = static_cast<unsigned>(std::rand());
    for (unsigned seed = first; seed != first + coinSeedTries; ++seed) {
        std::srand(seed);
        if (std::rand() % 2 == parity) {
            std::srand(seed);
            return "";
        }
    }
    return "no seed gives that draw";
}

// One move of the user's, as "move CARD|CAPTION"; "game over: OUTCOME" or "no move" when there is none.
void play(ShadowGame& shadow) {
    std::string move = shadowPlay(shadow);
    GameOutcome outcome = gameOutcome(shadow.game);
    printLine(!move.empty()                               ? "move " + utf8FromAnsi(move)
              : hostGameWindow() && outcome != InProgress ? std::string("game over: ") + outcomeNames[outcome]
                                                          : "no move");
}

// With the game window closed: what the plug-in still holds, and the memory against the first audit.
std::string audit(ShadowGame& shadow) {
    if (hostGameWindow())
        return "audit with the game window open";
    if (shadow.referee)
        shadow.referee->audit();
    HostResourceTally held = hostResourceCounts().live;
    printLine(
        "audit: " + std::to_string(held.gdiObjects + held.memoryDcs + held.windowDcs + held.gdiplusImages) +
        " handles held, " + std::to_string(hostProcessMemory() / bytesPerKb) + " KB");
    return "";
}

// Runs one line: why it could not run, or nothing. `rest` is what follows the command and one space,
// verbatim; `words` its words.
std::string run(const std::string& name, const std::string& rest, HWND mainWindow) {
    std::vector<std::string> words;
    std::istringstream split(rest);
    for (std::string word; split >> word;)
        words.push_back(word);
    ShadowGame& shadow = shadowGame();
    HostWord contact = words.empty() ? 0 : contactNamed(ansiFromUtf8(words[0]));
    std::string noContact = words.empty() ? badArguments : "no contact " + words[0];
    // The text after the contact's name, as the user typed it.
    std::string text =
        words.empty() ? "" : ansiFromUtf8(rest.substr(std::min(rest.size(), words[0].size() + 1)));
    long x = 0, y = 0;
    if (name == "recv" || name == "send") {
        if (!contact)
            return noContact;
        CallRecord record = {contact, hostnames::sendMessage, 0, reinterpret_cast<HostWord>(text.c_str())};
        if (name == "recv")
            hostReceiveText(contact, text.c_str());
        else // a text the user types: it goes out as the plug-in's texts do
            hostCallService(hostnames::callContactService, 0, reinterpret_cast<HostWord>(&record));
    } else if (name == "menu") {
        if (words.size() > 2 || (words.size() == 2 && !number(words[1], x)))
            return badArguments;
        if (!contact)
            return noContact;
        std::vector<std::size_t> items = hostVisibleMenuItems(contact);
        if (x < 0 || static_cast<std::size_t>(x) >= items.size())
            return "contact " + words[0] + " has no menu item " + std::to_string(x) + " (it shows " +
                   std::to_string(items.size()) + ")";
        shadowChooseMenuItem(shadow, contact, items[static_cast<std::size_t>(x)]);
    } else if (name == "click") {
        if (words.size() != 2 || !number(words[0], x) || !number(words[1], y))
            return badArguments;
        return hostClickGameWindow(static_cast<int>(x), static_cast<int>(y)) ? "" : "no game window";
    } else if (name == "wait") {
        if (words.size() != 1 || !number(words[0], x) || x < 0)
            return badArguments;
        hostPumpMessages(static_cast<unsigned>(x));
    } else if (name == "coin") {
        if (words.size() != 1 || (words[0] != "even" && words[0] != "odd"))
            return badArguments;
        return steerCoin(words[0] == "even" ? 0 : 1);
    } else if (name == "echo") {
        printLine(rest);
    } else if (!words.empty()) {
        return badArguments;
    } else if (name == "button") {
        return hostPressActionButton() ? "" : "no game window with an action button";
    } else if (name == "close") {
        return hostCloseGameWindow() ? "" : "no game window";
    } else if (name == "hold") {
        holdOutgoing();
    } else if (name == "release") {
        releaseOutgoing();
    } else if (name == "lose") {
        loseNextOutgoing();
    } else if (name == "play") {
        play(shadow);
    } else if (name == "turn") {
        bool mine = hostGameWindow() && gameOutcome(shadow.game) == InProgress &&
                    !acceptedActions(shadow.game).empty();
        printLine(mine ? "turn mine" : "turn theirs");
    } else if (name == "show") {
        // The game the window shows, as this side would send it.
        shadowCheckWindow(shadow, "show");
        printLine(std::string("game ") + (hostGameWindow() ? encodeStateMessage(shadow.game).text : "none"));
    } else if (name == "audit") {
        return audit(shadow);
    } else if (name == shutdownCommand) {
        closeHost(mainWindow);
    } else {
        return badArguments;
    }
    return "";
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

// The chat entries and message boxes since the last line, each on a line of its own.
void printNewLogEntries() {
    static std::size_t chats = 0, boxes = 0;
    for (; chats < hostChatLog().size(); ++chats)
        printLine("chat " + contactNameShown(hostChatLog()[chats].contact) + ": " +
                  shownOnOneLine(hostChatLog()[chats].text));
    for (; boxes < hostMessageBoxes().size(); ++boxes)
        printLine("box " + shownOnOneLine(hostMessageBoxes()[boxes].caption) + ": " +
                  shownOnOneLine(hostMessageBoxes()[boxes].text));
}
} // namespace

void runScriptLine(HWND mainWindow, const std::string& line) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#')
        return; // blank or a comment
    std::size_t end = line.find(' ', start);
    std::string name = line.substr(start, end - start);
    std::string why = run(name, end == std::string::npos ? "" : line.substr(end + 1), mainWindow);
    if (why == badArguments)
        why = "cannot run \"" + line + "\": unknown command or wrong arguments";
    if (!why.empty())
        printLine("error: " + why);
    else if (IsWindow(mainWindow))
        hostPumpMessages(0); // let what the command queued happen before the next line
    printNewLogEntries();
}

bool startScriptReader(HWND mainWindow) {
    HANDLE thread = CreateThread(nullptr, 0, readScript, mainWindow, 0, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}
