// The link to the other host through an IRC server: devhost.exe logs in with the user's name as its
// nick, sends each text for a contact as one private message to the contact's nick, and hands every
// private message to the receive chain. Presence comes from a channel that the hosts join: a contact is
// online while its nick is in that channel. A thread reads lines; the UI thread handles them and sends.
// Winsock's headers go before <windows.h>, which devhost_app.h brings.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "devhost/program/devhost_app.h"

#include "devhost/program/autoplay.h"
#include "devhost/program/irc_message.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace {
constexpr char presenceChannel[] = "#kelvaron";
// The login's user field; the nick is what other clients address.
constexpr char loginUser[] = "devhost";
constexpr DWORD connectTimeoutMs = 10000;
constexpr DWORD connectRetryPauseMs = 100;
constexpr DWORD loginTimeoutMs = 15000;
// After QUIT the server ends the connection once it has handled everything sent before.
constexpr DWORD quitTimeoutMs = 5000;
// An IRC line holds 512 bytes with its CR LF.
constexpr std::size_t longestLine = 510;
// Room for "user@host" in the address the server puts before a relayed text, when the welcome did not
// tell the real one: a user name of 10 characters with the server's "~" and a host name of 63.
constexpr std::size_t longestUserAndHost = 11 + 1 + 63;
constexpr std::size_t readChunk = 4096;
// A server that sends this much without a line break is not speaking IRC.
constexpr std::size_t longestPending = 64 * 1024;
// Texts to a contact shown offline kept to name the one the server refuses, at most.
constexpr std::size_t longestAwaitingRefusal = 64;

SOCKET server = INVALID_SOCKET;
std::string serverAddress; // HOST:PORT, for messages
HANDLE reader = nullptr;
// Read before the reader thread starts: the bytes after the last whole line, and the lines left for the
// UI thread once the plug-in is loaded.
std::string unreadBeforeReader;
std::vector<std::string> linesBeforeReader;
// The rest belongs to the UI thread.
bool linkUp = false;
std::string ownNick;
std::string ownAddress; // nick!user@host, when the welcome told it
// The texts (as shown) sent to a contact shown offline, by folded nick, in order: the server refuses
// texts to a nick that is not there in the order they came, so each refusal names the oldest.
std::map<std::string, std::deque<std::string>> awaitingRefusal;
std::set<std::string> channelNames; // the nicks of a NAMES list while it comes in, folded
HostWord peerContact = 0;           // the auto-player hears of its coming and going

bool sendAll(const std::string& data) {
    const char* next = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        int sent = send(server, next, static_cast<int>(left), 0);
        if (sent <= 0)
            return false;
        next += sent;
        left -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool sendLines(const std::string& lines) { return server != INVALID_SOCKET && sendAll(lines); }

// Reads more bytes, waiting at most until the deadline (GetTickCount); false on the end or an error.
bool readMore(std::string& pending, DWORD deadline) {
    DWORD now = GetTickCount();
    if (static_cast<LONG>(deadline - now) <= 0)
        return false;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(server, &readable);
    DWORD waitMs = deadline - now;
    timeval timeout = {static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000 * 1000)};
    if (select(0, &readable, nullptr, nullptr, &timeout) != 1)
        return false;
    char chunk[readChunk];
    int got = recv(server, chunk, sizeof chunk, 0);
    if (got <= 0)
        return false;
    pending.append(chunk, static_cast<std::size_t>(got));
    return true;
}

bool readLine(std::string& line, DWORD deadline) {
    while (!takeLine(unreadBeforeReader, line))
        if (!readMore(unreadBeforeReader, deadline))
            return false;
    return true;
}

bool connectToServer(const std::string& host, const std::string& port, std::string& error) {
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    DWORD start = GetTickCount();
    // The server may still be starting: try again for a while.
    do {
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) == 0) {
            for (addrinfo* address = found; address && server == INVALID_SOCKET; address = address->ai_next) {
                SOCKET attempt = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
                if (attempt == INVALID_SOCKET)
                    continue;
                if (connect(attempt, address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0)
                    server = attempt;
                else
                    closesocket(attempt);
            }
            freeaddrinfo(found);
        }
        if (server != INVALID_SOCKET) {
            BOOL noDelay = TRUE; // each line is a whole message: send it at once
            setsockopt(server, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                       sizeof noDelay);
            return true;
        }
        Sleep(connectRetryPauseMs);
    } while (GetTickCount() - start < connectTimeoutMs);
    error = "cannot reach the IRC server " + serverAddress + " within " +
            std::to_string(connectTimeoutMs / 1000) + " s";
    return false;
}

// Logs in and waits for the welcome; the nick in use, refused nicks and the server's errors end it.
bool logIn(const std::string& nick, std::string& error) {
    if (!sendLines("NICK " + nick + "\r\nUSER " + loginUser + " 0 * :Kelvaron development host\r\n")) {
        error = "cannot write to the IRC server " + serverAddress;
        return false;
    }
    DWORD deadline = GetTickCount() + loginTimeoutMs;
    for (;;) {
        std::string line;
        if (!readLine(line, deadline)) {
            error = "the IRC server " + serverAddress + " did not welcome " + nick;
            return false;
        }
        IrcMessage message = parse(line);
        const std::string& command = message.command;
        if (command == "PING") {
            sendLines("PONG :" + lastParam(message) + "\r\n");
        } else if (command == "001") {
            ownNick = message.params.empty() ? nick : message.params[0];
            std::string welcome = lastParam(message);
            std::string address = welcome.substr(welcome.find_last_of(' ') + 1);
            if (address.find('!') != std::string::npos && address.find('@') != std::string::npos)
                ownAddress = address;
            return true;
        } else if (command == "433" || command == "436") {
            error = "the nick " + nick + " is already taken on " + serverAddress;
            return false;
        } else if (command == "432") {
            error =
                "the IRC server " + serverAddress + " refuses the nick " + nick + ": " + lastParam(message);
            return false;
        } else if (command == "ERROR" || command == "465") {
            error = "the IRC server " + serverAddress + " refused the login: " + lastParam(message);
            return false;
        }
    }
}

DWORD WINAPI readServer(void* parameter) {
    auto mainWindow = static_cast<HWND>(parameter);
    SOCKET connection = server;
    std::string pending;
    pending.swap(unreadBeforeReader);
    for (const std::string& line : linesBeforeReader) {
        auto posted = std::make_unique<std::string>(line);
        if (PostMessageA(mainWindow, ircLineMessage, 0, reinterpret_cast<LPARAM>(posted.get())))
            posted.release();
    }
    for (;;) {
        std::string line;
        while (takeLine(pending, line)) {
            auto posted = std::make_unique<std::string>(line);
            if (PostMessageA(mainWindow, ircLineMessage, 0, reinterpret_cast<LPARAM>(posted.get())))
                posted.release(); // the window owns it now
        }
        char chunk[readChunk];
        int got = recv(connection, chunk, sizeof chunk, 0);
        if (got <= 0 || pending.size() > longestPending)
            break;
        pending.append(chunk, static_cast<std::size_t>(got));
    }
    PostMessageA(mainWindow, ircClosedMessage, 0, 0);
    return 0;
}

// A contact's nick is its name, in UTF-8 as IRC carries it.
std::string nickOfContact(const HostContact& contact) { return utf8FromAnsi(contact.name); }

HostWord contactOfNick(const std::string& nick) {
    for (const HostContact& contact : hostContacts())
        if (folded(nickOfContact(contact)) == folded(nick))
            return contact.handle;
    return 0;
}

bool contactOnline(HostWord handle) {
    for (const HostContact& contact : hostContacts())
        if (contact.handle == handle)
            return contact.online;
    return false;
}

void setOnline(HWND mainWindow, HostWord contact, bool online) {
    if (!contact || contactOnline(contact) == online)
        return;
    hostSetContactOnline(contact, online);
    refreshContactList(mainWindow);
    printLine("status " + contactNameShown(contact) + ": " + (online ? "online" : "offline"));
    if (contact == peerContact)
        autoplayPeerPresence(online);
}

void setNickOnline(HWND mainWindow, const std::string& nick, bool online) {
    if (folded(nick) != folded(ownNick))
        setOnline(mainWindow, contactOfNick(nick), online);
}

// Sets every contact online or offline (a copy: setting one must not disturb the walk).
void setEveryContact(HWND mainWindow, const std::function<bool(const std::string& foldedNick)>& online) {
    std::vector<HostContact> contacts = hostContacts();
    for (const HostContact& contact : contacts)
        setOnline(mainWindow, contact.handle, online(folded(nickOfContact(contact))));
}

// The channel's list of nicks is complete: every contact is online exactly when it is listed.
void applyChannelNames(HWND mainWindow) {
    setEveryContact(mainWindow, [](const std::string& nick) { return channelNames.count(nick) > 0; });
    channelNames.clear();
}

void noteChannelNames(const std::string& names) {
    std::size_t at = 0;
    while (at < names.size()) {
        std::size_t end = std::min(names.find(' ', at), names.size());
        std::string nick = names.substr(at, end - at);
        nick.erase(0, std::min(nick.find_first_not_of("~&@%+"), nick.size())); // channel ranks
        if (!nick.empty())
            channelNames.insert(folded(nick));
        at = end + 1;
    }
}

// A private message: from a contact, or from a stranger, who becomes a contact as in a real messenger.
void receive(HWND mainWindow, const std::string& nick, const std::string& utf8Text) {
    HostWord contact = contactOfNick(nick);
    if (!contact) {
        contact = hostAddContact(ansiFromUtf8(nick), false);
        setOnline(mainWindow, contact, true);
    }
    hostReceiveText(contact, ansiFromUtf8(utf8Text).c_str());
}

// The server refused something: a text, when it names a nick we sent to while it was shown offline.
void reportRefusal(const IrcMessage& message) {
    std::string what;
    for (std::size_t i = 1; i < message.params.size(); ++i)
        what += (what.empty() ? "" : " ") + message.params[i];
    std::string nick = message.params.size() > 2 ? message.params[1] : "";
    std::deque<std::string>& texts = awaitingRefusal[folded(nick)];
    if (texts.empty()) {
        printLine("irc: the server refused: " + message.command + " " + what);
        return;
    }
    printLine("irc: the server refused the text to " + nick + " (" + message.command + " " + what +
              "): " + texts.front());
    texts.pop_front();
}

// How many bytes of text fit in one line as the server relays it: ":address PRIVMSG nick :text".
std::size_t roomForText(const std::string& nick) {
    std::size_t address = ownAddress.empty() ? ownNick.size() + 1 + longestUserAndHost : ownAddress.size();
    std::size_t framing = 1 + address + std::strlen(" PRIVMSG ") + nick.size() + std::strlen(" :");
    return framing < longestLine ? longestLine - framing : 0;
}

// Joins the channel and waits for its list of nicks, so that the contacts show who is there before the
// plug-in loads and a script starts. Private messages wait for the plug-in.
void joinPresenceChannel(HWND mainWindow) {
    sendLines(std::string("JOIN ") + presenceChannel + "\r\n");
    DWORD deadline = GetTickCount() + loginTimeoutMs;
    std::string line;
    while (readLine(line, deadline)) {
        IrcMessage message = parse(line);
        if (message.command == "PRIVMSG") {
            linesBeforeReader.push_back(line);
            continue;
        }
        handleIrcLine(mainWindow, line);
        if (message.command == "366")
            return;
        if (isRefusal(message.command) && message.params.size() > 1 && message.params[1] == presenceChannel)
            break;
    }
    // Without the channel the server tells nobody's presence: every contact stays usable.
    printLine(std::string("irc: no presence from ") + presenceChannel + ": every contact is shown online");
    setEveryContact(mainWindow, [](const std::string&) { return true; });
}
} // namespace

bool openIrcLink(const DevhostOptions& options, HWND mainWindow, std::string& error) {
    peerContact = contactNamed(options.peerName);
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) {
        error = "cannot start Winsock";
        return false;
    }
    serverAddress = options.ircServer;
    std::size_t colon = serverAddress.rfind(':');
    if (!connectToServer(serverAddress.substr(0, colon), serverAddress.substr(colon + 1), error) ||
        !logIn(utf8FromAnsi(options.userName), error))
        return false;
    linkUp = true;
    printLine("irc: logged in to " + serverAddress + " as " + ownNick);
    joinPresenceChannel(mainWindow);
    return true;
}

void startIrcReader(HWND mainWindow) {
    reader = CreateThread(nullptr, 0, readServer, mainWindow, 0, nullptr);
}

void sendOverIrc(HostWord contact, const std::string& ansiText) {
    std::string nick;
    for (const HostContact& known : hostContacts())
        if (known.handle == contact)
            nick = nickOfContact(known);
    std::string text = utf8FromAnsi(ansiText);
    std::string shownText = shownOnOneLine(ansiText);
    std::string why;
    if (nick.empty())
        why = "not a contact";
    else if (!linkUp)
        why = "no connection to the server";
    else if (text.empty())
        why = "an empty text";
    else if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        why = "a line break, which one IRC message cannot carry";
    else if (text.size() > roomForText(nick))
        why = std::to_string(text.size()) + " bytes, where one IRC line holds " +
              std::to_string(roomForText(nick));
    if (!why.empty()) {
        printLine("irc: not sent to " + nick + " (" + why + "): " + shownText);
        return;
    }
    sendLines("PRIVMSG " + nick + " :" + text + "\r\n");
    // A contact shown offline may well not be there: the server's refusal names this text.
    if (!contactOnline(contact)) {
        std::deque<std::string>& texts = awaitingRefusal[folded(nick)];
        texts.push_back(shownText);
        if (texts.size() > longestAwaitingRefusal)
            texts.pop_front();
    }
}

void handleIrcLine(HWND mainWindow, const std::string& line) {
    IrcMessage message = parse(line);
    const std::string& command = message.command;
    std::string from = nickOf(message.prefix);
    bool hasParam = !message.params.empty();
    if (command == "PING")
        sendLines("PONG :" + lastParam(message) + "\r\n");
    else if (command == "PRIVMSG" && message.params.size() == 2 &&
             folded(message.params[0]) == folded(ownNick) && message.prefix.find('!') != std::string::npos)
        receive(mainWindow, from, message.params[1]);
    else if (command == "NOTICE" && message.params.size() == 2)
        printLine("irc: notice from " + from + ": " + message.params[1]);
    else if (command == "JOIN")
        setNickOnline(mainWindow, from, true);
    else if (command == "PART" || command == "QUIT")
        setNickOnline(mainWindow, from, false);
    else if (command == "KICK" && message.params.size() >= 2)
        setNickOnline(mainWindow, message.params[1], false);
    else if (command == "NICK" && hasParam) {
        if (folded(from) == folded(ownNick))
            ownNick = message.params[0];
        setNickOnline(mainWindow, from, false);
        setNickOnline(mainWindow, message.params[0], true);
    } else if (command == "353")
        noteChannelNames(lastParam(message));
    else if (command == "366")
        applyChannelNames(mainWindow);
    else if (command == "ERROR")
        printLine("irc: the server says: " + lastParam(message));
    else if (isRefusal(command))
        reportRefusal(message);
}

void onIrcClosed(HWND mainWindow) {
    if (!linkUp)
        return;
    linkUp = false;
    printLine("irc: the connection to " + serverAddress + " has ended");
    setEveryContact(mainWindow, [](const std::string&) { return false; });
}

void closeIrcLink() {
    if (server == INVALID_SOCKET)
        return;
    // Whatever was sent before the QUIT still reaches its addressee; the server then ends the connection.
    if (sendLines("QUIT :bye\r\n") && reader)
        WaitForSingleObject(reader, quitTimeoutMs);
    closesocket(server);
    server = INVALID_SOCKET;
    if (reader)
        CloseHandle(reader);
    reader = nullptr;
}
