// Lines of the IRC protocol as devhost.exe reads them: a message's parts, nicks compared without
// letter case, refusals told by their numeric reply, and lines taken off what the server sent.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

struct IrcMessage {
    std::string prefix; // who sent it: a server name, or nick!user@host
    std::string command;
    std::vector<std::string> params; // the last may hold spaces
};

// Nicks compare without regard to ASCII letter case.
inline std::string folded(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A line without its CR LF: an optional prefix, the command, and the parameters, the last after ":".
inline IrcMessage parse(const std::string& line) {
    IrcMessage message;
    std::size_t at = 0;
    auto word = [&] {
        std::size_t end = std::min(line.find(' ', at), line.size());
        std::string text = line.substr(at, end - at);
        at = std::min(line.find_first_not_of(' ', end), line.size());
        return text;
    };
    if (!line.empty() && line[0] == ':') {
        ++at;
        message.prefix = word();
    }
    message.command = word();
    while (at < line.size()) {
        if (line[at] == ':') {
            message.params.push_back(line.substr(at + 1));
            break;
        }
        message.params.push_back(word());
    }
    return message;
}

inline std::string nickOf(const std::string& prefix) { return prefix.substr(0, prefix.find('!')); }

inline std::string lastParam(const IrcMessage& message) {
    return message.params.empty() ? std::string() : message.params.back();
}

inline bool isRefusal(const std::string& command) {
    return command.size() == 3 && (command[0] == '4' || command[0] == '5') &&
           std::all_of(command.begin(), command.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Takes one line (without its LF or CR LF) from the front of pending, if a whole one is there: a line
// from the IRC server or of the script.
inline bool takeLine(std::string& pending, std::string& line) {
    std::size_t end = pending.find('\n');
    if (end == std::string::npos)
        return false;
    line = pending.substr(0, end);
    pending.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}
