// The host's Windows side: window lists, the message pump, and code-page conversions.
#include "devhost/messenger/host_state.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {
// --- window lists

HostWord allocWindowList(HostWord, HostWord) {
    HostState& state = hostState();
    HostWord list = ++state.lastWindowList;
    state.windowLists[list];
    return list;
}

HostWord addToWindowList(HostWord, HostWord lParam) {
    auto entry = reinterpret_cast<const WindowListEntry*>(lParam);
    auto& lists = hostState().windowLists;
    if (!entry || lists.count(entry->list) == 0)
        return serviceFailed;
    lists[entry->list].push_back(entry->window);
    return serviceSucceeded;
}

HostWord removeFromWindowList(HostWord list, HostWord window) {
    auto found = hostState().windowLists.find(list);
    if (found == hostState().windowLists.end())
        return serviceFailed;
    auto& members = found->second;
    auto member = std::find(members.begin(), members.end(), reinterpret_cast<HostHandle>(window));
    if (member == members.end())
        return serviceFailed;
    members.erase(member);
    return serviceSucceeded;
}

HostWord broadcastToWindowList(HostWord list, HostWord lParam) {
    auto message = reinterpret_cast<const MSG*>(lParam);
    if (!message)
        return serviceFailed;
    // Receivers may leave the list (or close other members) while the broadcast runs: go through a
    // copy, and skip windows that left before their turn.
    for (HostHandle window : hostWindowList(list)) {
        std::vector<HostHandle> members = hostWindowList(list);
        if (std::find(members.begin(), members.end(), window) != members.end())
            SendMessageA(static_cast<HWND>(window), message->message, message->wParam, message->lParam);
    }
    return serviceSucceeded;
}

} // namespace

void addWindowListServices() {
    hostCreateService(hostnames::allocWindowList, allocWindowList);
    hostCreateService(hostnames::addToWindowList, addToWindowList);
    hostCreateService(hostnames::removeFromWindowList, removeFromWindowList);
    hostCreateService(hostnames::broadcastToWindowList, broadcastToWindowList);
}

void hostStart() { hostState(); }

// One byte never makes more than one UTF-16 unit, and one UTF-16 unit no more than four bytes.
std::wstring widened(const std::string& text, unsigned codePage) {
    std::wstring wide(text.size(), L'\0');
    int size = static_cast<int>(text.size());
    wide.resize(
        static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], size)));
    return wide;
}

std::string narrowed(const std::wstring& text, unsigned codePage) {
    std::string narrow(4 * text.size(), '\0');
    int size = static_cast<int>(narrow.size());
    narrow.resize(static_cast<std::size_t>(WideCharToMultiByte(
        codePage, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr)));
    return narrow;
}

std::wstring wideWindowText(HostHandle window) {
    auto handle = static_cast<HWND>(window);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(handle, &text[0], int(text.size())), 0)));
    return text;
}

std::string windowText(HostHandle window) { return narrowed(wideWindowText(window), CP_ACP); }

std::vector<HostHandle> hostWindowList(HostWord list) {
    auto found = hostState().windowLists.find(list);
    return found != hostState().windowLists.end() ? found->second : std::vector<HostHandle>{};
}

void hostPumpMessages(unsigned ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Leave it for the loop that owns the thread.
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}
