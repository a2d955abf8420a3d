// The console side of devhost.exe: code-page conversions, output lines, and contacts by name.
#include "devhost/program/devhost_app.h"

#include <cstdio>

std::string ansiFromUtf8(const std::string& text) { return narrowed(widened(text, CP_UTF8), CP_ACP); }

std::string utf8FromAnsi(const std::string& text) { return narrowed(widened(text, CP_ACP), CP_UTF8); }

std::string shownOnOneLine(const std::string& ansiText) {
    std::string text = utf8FromAnsi(ansiText), shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' || i + 1 == text.size() || text[i + 1] != '\n') // a Windows line break shows as one \n
            shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : std::string(1, c);
    }
    return shown;
}

void printLine(const std::string& line) {
    std::string withEnd = line + "\n";
    std::fwrite(withEnd.data(), 1, withEnd.size(), stdout);
    std::fflush(stdout);
}

HostWord contactNamed(const std::string& ansiName) {
    for (const HostContact& contact : hostContacts())
        if (contact.name == ansiName)
            return contact.handle;
    return 0;
}

std::string contactNameShown(HostWord contact) {
    auto name = reinterpret_cast<const char*>(hostCallService(hostnames::getContactDisplayName, contact, 0));
    return shownOnOneLine(name ? name : "");
}
