// The link between two devhost.exe processes on this machine: one TCP connection on 127.0.0.1 that
// carries each text as a 4-byte little-endian length and the bytes. A thread reads; the receive
// chain runs on the UI thread, which also sends.
// Winsock's headers go before <windows.h>, which devhost_app.h brings.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "devhost/devhost_app.h"

#include <memory>

namespace {
constexpr DWORD listenTimeoutMs = 30000;
constexpr DWORD connectTimeoutMs = 10000;
constexpr DWORD connectRetryPauseMs = 100;
constexpr std::uint32_t longestText = 16u << 20; // anything longer is not a text of ours
constexpr std::size_t lengthBytes = 4;

SOCKET peerSocket = INVALID_SOCKET;
HostWord peer = 0;
// Set on the UI thread once the peer has gone or a send failed.
bool peerGone = false;

// Closes the socket on every path unless it is kept.
struct SocketGuard {
    SOCKET socket;
    ~SocketGuard() {
        if (socket != INVALID_SOCKET)
            closesocket(socket);
    }
    SOCKET release() {
        SOCKET kept = socket;
        socket = INVALID_SOCKET;
        return kept;
    }
};

sockaddr_in loopback(unsigned short port) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

std::string portText(unsigned short port) { return "127.0.0.1:" + std::to_string(port); }

bool listenForPeer(unsigned short port, std::string& error) {
    SocketGuard listener{socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)};
    sockaddr_in address = loopback(port);
    if (listener.socket == INVALID_SOCKET ||
        bind(listener.socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener.socket, 1) != 0) {
        error = "cannot listen on " + portText(port);
        return false;
    }
    fd_set waiting;
    FD_ZERO(&waiting);
    FD_SET(listener.socket, &waiting);
    timeval timeout = {static_cast<long>(listenTimeoutMs / 1000), 0};
    if (select(0, &waiting, nullptr, nullptr, &timeout) != 1) {
        error = "no peer connected to " + portText(port) + " within " +
                std::to_string(listenTimeoutMs / 1000) + " s";
        return false;
    }
    peerSocket = accept(listener.socket, nullptr, nullptr);
    if (peerSocket == INVALID_SOCKET) {
        error = "cannot accept the peer on " + portText(port);
        return false;
    }
    return true;
}

// The peer may not be listening yet: try again for a while.
bool connectToPeer(unsigned short port, std::string& error) {
    sockaddr_in address = loopback(port);
    DWORD start = GetTickCount();
    do {
        SocketGuard attempt{socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)};
        if (attempt.socket != INVALID_SOCKET &&
            connect(attempt.socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            peerSocket = attempt.release();
            return true;
        }
        Sleep(connectRetryPauseMs);
    } while (GetTickCount() - start < connectTimeoutMs);
    error =
        "cannot connect to " + portText(port) + " within " + std::to_string(connectTimeoutMs / 1000) + " s";
    return false;
}

bool receiveAll(char* data, std::size_t size) {
    while (size > 0) {
        int got = recv(peerSocket, data, static_cast<int>(size), 0);
        if (got <= 0)
            return false;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool sendAll(const char* data, std::size_t size) {
    while (size > 0) {
        int sent = send(peerSocket, data, static_cast<int>(size), 0);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

DWORD WINAPI readPeer(void* parameter) {
    auto mainWindow = static_cast<HWND>(parameter);
    for (;;) {
        unsigned char header[lengthBytes];
        if (!receiveAll(reinterpret_cast<char*>(header), lengthBytes))
            break;
        std::uint32_t length =
            header[0] | header[1] << 8 | header[2] << 16 | static_cast<std::uint32_t>(header[3]) << 24;
        if (length > longestText)
            break;
        auto text = std::make_unique<std::string>(length, '\0');
        if (length > 0 && !receiveAll(&(*text)[0], length))
            break;
        if (PostMessageA(mainWindow, peerTextMessage, 0, reinterpret_cast<LPARAM>(text.get())))
            text.release(); // the window owns it now
    }
    PostMessageA(mainWindow, peerClosedMessage, 0, 0);
    return 0;
}
} // namespace

bool openPeerLink(const DevhostOptions& options, std::string& error) {
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) {
        error = "cannot start Winsock";
        return false;
    }
    peer = contactNamed(options.peerName);
    bool linked = options.listenPort ? listenForPeer(options.listenPort, error)
                                     : connectToPeer(options.connectPort, error);
    if (linked) {
        BOOL noDelay = TRUE; // each text is a whole message: send it at once
        setsockopt(peerSocket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                   sizeof noDelay);
    }
    return linked;
}

void startPeerReader(HWND mainWindow) {
    HANDLE thread = CreateThread(nullptr, 0, readPeer, mainWindow, 0, nullptr);
    if (thread)
        CloseHandle(thread);
}

HostWord peerContact() { return peer; }

void sendToPeer(const std::string& text) {
    auto length = static_cast<std::uint32_t>(text.size());
    char header[lengthBytes] = {static_cast<char>(length & 0xFF), static_cast<char>(length >> 8 & 0xFF),
                                static_cast<char>(length >> 16 & 0xFF),
                                static_cast<char>(length >> 24 & 0xFF)};
    if (peerSocket == INVALID_SOCKET || peerGone)
        return;
    if (!sendAll(header, lengthBytes) || !sendAll(text.data(), text.size()))
        peerGone = true; // the reader reports the end of the link
}

void forgetPeer() { peerGone = true; }

void closePeerLink() {
    if (peerSocket == INVALID_SOCKET)
        return;
    shutdown(peerSocket, SD_SEND); // what was sent still arrives
    closesocket(peerSocket);
    peerSocket = INVALID_SOCKET;
}
