// devhost.exe's script: one command a line from standard input, each run on the UI thread in turn.
// A command that cannot be carried out prints "error: <why>" and the script goes on.
#include "devhost/program/devhost_app.h"

#include "devhost/instruments/instruments.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {
// After this command no line is read: the host is gone.
constexpr char shutdownCommand[] = "shutdown";
constexpr std::size_t readChunk = 4096;
// How many seeds "coin" tries; each gives either parity about every other time.
constexpr unsigned coinSeedTries = 1000;

bool parseNumber(const std::string& word, long& number) {
    if (word.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    number = std::strtol(word.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

// A line's command and the words after it; afterFirstWord is what follows the first of those words,
// verbatim but for the one space that separates them (the text of "recv NAME TEXT...").
struct Line {
    std::string command;
    std::vector<std::string> words;
    std::string afterFirstWord;
};

Line split(const std::string& text) {
    Line line;
    std::istringstream stream(text);
    stream >> line.command;
    for (std::string word; stream >> word;)
        line.words.push_back(word);
    if (!line.words.empty()) {
        std::size_t commandEnd = text.find(line.command) + line.command.size();
        std::size_t first = text.find(line.words[0], commandEnd);
        std::size_t restStart = first + line.words[0].size();
        if (restStart < text.size())
            ++restStart; // the separating space
        line.afterFirstWord = text.substr(std::min(restStart, text.size()));
    }
    return line;
}

// Each command returns why it failed, or nothing.
std::string receiveText(const Line& line) {
    if (line.words.empty())
        return "usage: recv NAME TEXT...";
    HostWord contact = contactNamed(ansiFromUtf8(line.words[0]));
    if (!contact)
        return "no contact " + line.words[0];
    hostReceiveText(contact, ansiFromUtf8(line.afterFirstWord).c_str());
    return "";
}

// A text the user types to a contact: it goes out as the plug-in's texts do.
std::string sendText(const Line& line) {
    if (line.words.empty())
        return "usage: send NAME TEXT...";
    HostWord contact = contactNamed(ansiFromUtf8(line.words[0]));
    if (!contact)
        return "no contact " + line.words[0];
    std::string text = ansiFromUtf8(line.afterFirstWord);
    CallRecord record = {contact, hostnames::sendMessage, 0, reinterpret_cast<HostWord>(text.c_str())};
    hostCallService(hostnames::callContactService, 0, reinterpret_cast<HostWord>(&record));
    return "";
}

std::string chooseMenuItem(const Line& line) {
    long number = 0;
    if (line.words.empty() || line.words.size() > 2 ||
        (line.words.size() == 2 && !parseNumber(line.words[1], number)))
        return "usage: menu NAME [N]";
    HostWord contact = contactNamed(ansiFromUtf8(line.words[0]));
    if (!contact)
        return "no contact " + line.words[0];
    std::vector<std::size_t> items = hostVisibleMenuItems(contact);
    if (number < 0 || static_cast<std::size_t>(number) >= items.size())
        return "contact " + line.words[0] + " has no menu item " + std::to_string(number) + " (it shows " +
               std::to_string(items.size()) + ")";
    hostChooseMenuItem(contact, items[static_cast<std::size_t>(number)]);
    return "";
}

std::string click(const Line& line) {
    long x = 0;
    long y = 0;
    if (line.words.size() != 2 || !parseNumber(line.words[0], x) || !parseNumber(line.words[1], y))
        return "usage: click X Y";
    return hostClickGameWindow(static_cast<int>(x), static_cast<int>(y)) ? "" : "no game window";
}

std::string wait(const Line& line) {
    long ms = 0;
    if (line.words.size() != 1 || !parseNumber(line.words[0], ms) || ms < 0)
        return "usage: wait MS";
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
        return "usage: coin even|odd";
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

// The outbox's commands take no words.
bool runOutboxCommand(const std::string& command) {
    if (command == "hold")
        holdOutgoing();
    else if (command == "release")
        releaseOutgoing();
    else if (command == "lose")
        loseNextOutgoing();
    else
        return false;
    return true;
}

std::string run(const Line& line, HWND mainWindow) {
    const std::string& command = line.command;
    bool bare = line.words.empty();
    if (command == "recv")
        return receiveText(line);
    if (command == "send")
        return sendText(line);
    if (command == "menu")
        return chooseMenuItem(line);
    if (command == "click")
        return click(line);
    if (command == "button" && bare)
        return hostPressActionButton() ? "" : "no game window with an action button";
    if (command == "close" && bare)
        return hostCloseGameWindow() ? "" : "no game window";
    if (command == "wait")
        return wait(line);
    if (command == "coin")
        return steerCoin(line);
    if (bare && runOutboxCommand(command))
        return "";
    if (command == shutdownCommand && bare) {
        closeHost(mainWindow);
        return "";
    }
    return "cannot run \"" + command + (bare ? "\"" : " ...\"") + ": unknown command or wrong arguments";
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
    std::string pending;
    char chunk[readChunk];
    DWORD got = 0;
    while (ReadFile(input, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        pending.append(chunk, got);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!deliver(mainWindow, line))
                return 0;
        }
    }
    if (!pending.empty() && !deliver(mainWindow, pending))
        return 0;
    deliver(mainWindow, shutdownCommand); // the end of the script ends the host
    return 0;
}
} // namespace

void runScriptLine(HWND mainWindow, const std::string& utf8Line) {
    std::string text = utf8Line;
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    if (isBlankOrComment(text))
        return;
    std::string why = run(split(text), mainWindow);
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
