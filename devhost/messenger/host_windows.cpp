// The host's Windows side: window lists, the recorder that takes the plug-in's message boxes off the
// screen, the message pump, and code-page conversions.
#include "devhost/messenger/host_state.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr char dialogClass[] = "#32770";
// The message text's static control in the system's message box.
constexpr int messageBoxTextId = 0xFFFF;
constexpr HostWord failed = 1;
constexpr HostWord succeeded = 0;

// --- window lists

HostWord allocWindowList(HostWord, HostWord) {
    HostState& state = hostState();
    HostWord list = ++state.lastWindowList;
    state.windowLists[list];
    return list;
}

HostWord addToWindowList(HostWord, HostWord lParam) {
    auto entry = reinterpret_cast<const WindowListEntry*>(lParam);
    HostState& state = hostState();
    if (!entry || state.windowLists.count(entry->list) == 0)
        return failed;
    state.windowLists[entry->list].push_back(WindowListMember{entry->window, entry->contact});
    return succeeded;
}

HostWord removeFromWindowList(HostWord list, HostWord window) {
    auto found = hostState().windowLists.find(list);
    if (found == hostState().windowLists.end())
        return failed;
    auto& members = found->second;
    auto member = std::find_if(members.begin(), members.end(), [&](const WindowListMember& m) {
        return m.window == reinterpret_cast<HostHandle>(window);
    });
    if (member == members.end())
        return failed;
    members.erase(member);
    return succeeded;
}

bool inWindowList(HostWord list, HostHandle window) {
    auto windows = hostWindowList(list);
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

HostWord broadcastToWindowList(HostWord list, HostWord lParam) {
    auto message = reinterpret_cast<const MSG*>(lParam);
    if (!message)
        return failed;
    // Receivers may leave the list (or close other members) while the broadcast runs: go through a
    // copy, and skip windows that left before their turn.
    for (HostHandle window : hostWindowList(list))
        if (inWindowList(list, window))
            SendMessageA(static_cast<HWND>(window), message->message, message->wParam, message->lParam);
    return succeeded;
}

// --- message boxes

HHOOK messageBoxHook = nullptr;

// A box between its activation (which may come more than once) and its end, with the timer that
// closes it should it ignore Enter.
struct BoxBeingDismissed {
    HWND box;
    UINT_PTR closeTimer;
};
std::vector<BoxBeingDismissed> boxesBeingDismissed;
constexpr UINT stubbornBoxDelayMs = 1000;

std::vector<BoxBeingDismissed>::iterator findBox(HWND box) {
    return std::find_if(boxesBeingDismissed.begin(), boxesBeingDismissed.end(),
                        [&](const BoxBeingDismissed& entry) { return entry.box == box; });
}

// A dialog that ignored Enter is closed as its close box would close it.
void CALLBACK closeStubbornBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    for (const BoxBeingDismissed& entry : boxesBeingDismissed)
        if (entry.closeTimer == timer)
            PostMessageA(entry.box, WM_CLOSE, 0, 0);
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::wstring wideWindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

bool hasClass(HWND window, const char* className) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

BOOL CALLBACK findTextStatic(HWND child, LPARAM found) {
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (hasClass(child, "Static") && (style & SS_TYPEMASK) != SS_ICON && GetWindowTextLengthA(child) > 0) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

// The system's message box (Windows' and Wine's alike) gives its text control the id 0xFFFF; any
// other dialog gets its first static control with a text that is not an icon.
HWND messageBoxTextControl(HWND box) {
    HWND text = GetDlgItem(box, messageBoxTextId);
    if (!text)
        EnumChildWindows(box, findTextStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Presses Enter in the box once its modal loop runs: the dialog manager then clicks the default
// button, which the box only settles after it has been activated.
void dismiss(HWND box) {
    PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    boxesBeingDismissed.push_back(
        BoxBeingDismissed{box, SetTimer(nullptr, 0, stubbornBoxDelayMs, closeStubbornBox)});
}

LRESULT CALLBACK recordMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && hasClass(window, dialogClass) &&
        findBox(window) == boxesBeingDismissed.end()) {
        HostState& state = hostState();
        HWND text = messageBoxTextControl(window);
        state.messageBoxes.push_back(
            HostMessageBox{windowText(window), text ? windowText(text) : std::string(),
                           wideWindowText(window), text ? wideWindowText(text) : std::wstring()});
        if (state.messageBoxHandler)
            state.messageBoxHandler(state.messageBoxes.back());
        dismiss(window);
    } else if (code == HCBT_DESTROYWND) {
        auto ended = findBox(window);
        if (ended != boxesBeingDismissed.end()) {
            KillTimer(nullptr, ended->closeTimer);
            boxesBeingDismissed.erase(ended);
        }
    }
    return CallNextHookEx(messageBoxHook, code, wParam, lParam);
}

} // namespace

void addWindowListServices() {
    addBuiltInService(hostnames::allocWindowList, allocWindowList);
    addBuiltInService(hostnames::addToWindowList, addToWindowList);
    addBuiltInService(hostnames::removeFromWindowList, removeFromWindowList);
    addBuiltInService(hostnames::broadcastToWindowList, broadcastToWindowList);
}

void hostStart() {
    hostState();
    if (!messageBoxHook)
        messageBoxHook = SetWindowsHookExA(WH_CBT, recordMessageBoxes, nullptr, GetCurrentThreadId());
}

std::wstring widened(const std::string& text, unsigned codePage) {
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string narrowed(const std::wstring& text, unsigned codePage) {
    if (text.empty())
        return std::string();
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr,
                        nullptr);
    return narrow;
}

std::vector<HostHandle> hostWindowList(HostWord list) {
    std::vector<HostHandle> windows;
    auto found = hostState().windowLists.find(list);
    if (found != hostState().windowLists.end())
        for (const WindowListMember& member : found->second)
            windows.push_back(member.window);
    return windows;
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
