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
#include <functional>
#include <memory>
#include <set>
#include <sstream>

namespace {
constexpr char presenceChannel[] = "#kelvaron";
// The login's user field; the nick is what other clients address.
constexpr char loginUser[] = "devhost";
constexpr DWORD connectTimeoutMs = 10000;
constexpr DWORD connectRetryPauseMs = 100;
// How long the login and the join may take; the reader thread then waits as long as it must.
constexpr DWORD loginTimeoutMs = 15000;
constexpr DWORD noTimeout = 0;
// After QUIT the server ends the connection once it has handled everything sent before.
constexpr DWORD quitTimeoutMs = 5000;
// An IRC line holds 512 bytes with its CR LF; the server puts the sender's address (nick!user@host,
// up to about 100 bytes) and "PRIVMSG nick :" before a relayed text.
constexpr std::size_t longestText = 380;
constexpr std::size_t readChunk = 4096;
// A server that sends this much without a line break is not speaking IRC.
constexpr std::size_t longestPending = 64 * 1024;

SOCKET server = INVALID_SOCKET;
std::string serverAddress; // HOST:PORT, for messages
HANDLE reader = nullptr;
// The bytes read after the last whole line: the login's, then the reader thread's.
std::string unread;
// The rest belongs to the UI thread.
bool linkUp = false;
std::string ownNick;
std::set<std::string> channelNames; // the nicks of a NAMES list while it comes in, folded
HostWord peerContact = 0;           // the auto-player hears of its coming and going

bool sendLines(const std::string& lines) {
    for (std::size_t at = 0; server != INVALID_SOCKET && at < lines.size();) {
        int sent = send(server, lines.data() + at, static_cast<int>(lines.size() - at), 0);
        if (sent <= 0)
            return false;
        at += static_cast<std::size_t>(sent);
    }
    return server != INVALID_SOCKET;
}

// How long a read may wait (0: for ever).
void setReadTimeout(DWORD timeoutMs) {
    setsockopt(server, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
}

// The next line from the server; false on the end, an error, a timeout, or a server that sends too
// much without a line break.
bool readLine(std::string& line) {
    while (!takeLine(unread, line)) {
        char chunk[readChunk];
        int got = recv(server, chunk, sizeof chunk, 0);
        if (got <= 0 || unread.size() > longestPending)
            return false;
        unread.append(chunk, static_cast<std::size_t>(got));
    }
    return true;
}

// Hands a line to the UI thread, which deletes it.
void postLine(HWND mainWindow, const std::string& line) {
    auto posted = std::make_unique<std::string>(line);
    if (PostMessageA(mainWindow, ircLineMessage, 0, reinterpret_cast<LPARAM>(posted.get())))
        posted.release();
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
            setReadTimeout(loginTimeoutMs);
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
    for (std::string line; readLine(line);) {
        IrcMessage message = parse(line);
        const std::string& command = message.command;
        if (command == "PING")
            sendLines("PONG :" + lastParam(message) + "\r\n");
        if (command == "433" || command == "436")
            error = "the nick " + nick + " is already taken on " + serverAddress;
        else if (command == "432" || command == "465" || command == "ERROR")
            error = "the IRC server " + serverAddress + " refused the login of " + nick + ": " +
                    lastParam(message);
        if (!error.empty())
            return false;
        if (command == "001") {
            ownNick = message.params.empty() ? nick : message.params[0];
            return true;
        }
    }
    error = "the IRC server " + serverAddress + " did not welcome " + nick;
    return false;
}

DWORD WINAPI readServer(void* mainWindow) {
    setReadTimeout(noTimeout);
    std::string line;
    while (readLine(line))
        postLine(static_cast<HWND>(mainWindow), line);
    PostMessageA(static_cast<HWND>(mainWindow), ircClosedMessage, 0, 0);
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

void setOnline(HWND mainWindow, HostWord contact, bool online) {
    if (!contact || contactOnline(contact) == online)
        return;
    hostSetContactOnline(contact, online);
    refreshContactList(mainWindow);
    printLine("status " + contactNameShown(contact) + ": " + (online ? "online" : "offline"));
    if (contact == peerContact)
        autoplayPeerPresence(online);
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

// A private message: from a contact, or from a stranger, who becomes a contact as in a real messenger.
void receive(HWND mainWindow, const std::string& nick, const std::string& utf8Text) {
    HostWord contact = contactOfNick(nick);
    if (!contact) {
        contact = hostAddContact(ansiFromUtf8(nick), false);
        setOnline(mainWindow, contact, true);
    }
    hostReceiveText(contact, ansiFromUtf8(utf8Text).c_str());
}

// Joins the channel and waits for its list of nicks, so that the contacts show who is there before the
// plug-in loads and a script starts. Private messages wait in the main window's queue for the plug-in.
void joinPresenceChannel(HWND mainWindow) {
    sendLines(std::string("JOIN ") + presenceChannel + "\r\n");
    for (std::string line; readLine(line);) {
        std::string command = parse(line).command;
        if (command == "PRIVMSG")
            postLine(mainWindow, line);
        else
            handleIrcLine(mainWindow, line);
        if (command == "366")
            return;
        if (isRefusal(command) && line.find(presenceChannel) != std::string::npos)
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
    if (!linkUp)
        why = "no connection to the server";
    else if (!contactOnline(contact))
        why = "shown offline, not on the server";
    else if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        why = "a line break, which one IRC message cannot carry";
    else if (text.size() > longestText)
        why = std::to_string(text.size()) + " bytes, where one IRC line holds " + std::to_string(longestText);
    if (!why.empty()) {
        printLine("irc: not sent to " + nick + " (" + why + "): " + shownText);
        return;
    }
    sendLines("PRIVMSG " + nick + " :" + text + "\r\n");
}

void handleIrcLine(HWND mainWindow, const std::string& line) {
    IrcMessage message = parse(line);
    const std::string& command = message.command;
    std::string from = nickOf(message.prefix);
    if (command == "PING")
        sendLines("PONG :" + lastParam(message) + "\r\n");
    else if (command == "PRIVMSG" && message.params.size() == 2 &&
             folded(message.params[0]) == folded(ownNick) && message.prefix.find('!') != std::string::npos)
        receive(mainWindow, from, message.params[1]);
    else if (command == "JOIN")
        setOnline(mainWindow, contactOfNick(from), true);
    else if (command == "PART" || command == "QUIT")
        setOnline(mainWindow, contactOfNick(from), false);
    else if (command == "353") {
        std::istringstream names(lastParam(message)); // ranks such as @ go before nicks
        for (std::string nick; names >> nick;)
            channelNames.insert(folded(nick.substr(std::min(nick.find_first_not_of("~&@%+"), nick.size()))));
    } else if (command == "366")
        applyChannelNames(mainWindow);
    else if (command == "ERROR")
        printLine("irc: the server says: " + lastParam(message));
    else if (isRefusal(command))
        printLine("irc: the server refused: " + line.substr(line.find(command)));
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
