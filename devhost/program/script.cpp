// devhost.exe's script: one command a line from standard input, each run on the UI thread in turn.
// A command that cannot be carried out prints "error: <why>" and the script goes on.
#include "devhost/program/devhost_app.h"

#include "devhost/instruments/instruments.h"
#include "devhost/program/irc_message.h"

#include <algorithm>
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

// A line's words after the command, and what follows the first of them, verbatim but for the one
// space between (the text of "recv NAME TEXT...").
struct Line {
    std::vector<std::string> words;
    std::string afterFirstWord;
};
// Each command returns why it failed, or nothing.
constexpr char badArguments[] = "?";

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
    hostChooseMenuItem(contact, items[static_cast<std::size_t>(item)]);
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

std::string run(const std::string& text, HWND mainWindow) {
    std::istringstream stream(text);
    std::string name;
    stream >> name;
    Line line;
    for (std::string word; stream >> word;)
        line.words.push_back(word);
    if (!line.words.empty()) {
        std::size_t rest = text.find(line.words[0], text.find(name) + name.size()) + line.words[0].size();
        line.afterFirstWord = text.substr(std::min(rest + 1, text.size()));
    }
    using Command = std::string (*)(const Line&);
    const std::map<std::string, Command> withWords = {{"recv", receiveText},    {"send", sendText},
                                                      {"menu", chooseMenuItem}, {"click", click},
                                                      {"wait", wait},           {"coin", steerCoin}};
    auto command = withWords.find(name);
    std::string why = command != withWords.end() ? command->second(line) : "";
    if (command == withWords.end() && !line.words.empty())
        why = badArguments;
    else if (name == "button")
        why = hostPressActionButton() ? "" : "no game window with an action button";
    else if (name == "close")
        why = hostCloseGameWindow() ? "" : "no game window";
    else if (name == "hold")
        holdOutgoing();
    else if (name == "release")
        releaseOutgoing();
    else if (name == "lose")
        loseNextOutgoing();
    else if (name == shutdownCommand)
        closeHost(mainWindow);
    else if (command == withWords.end())
        why = badArguments;
    return why == badArguments ? "cannot run \"" + text + "\": unknown command or wrong arguments" : why;
}

bool isBlankOrComment(const std::string& line) {
    std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
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
