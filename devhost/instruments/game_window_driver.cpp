// Driving the plug-in's game window as a user would: finding it by its class, clicking its client
// area, pressing its action button and closing it.
#include "devhost/instruments/instruments.h"

#include <windows.h>

#include <cstring>

namespace {
BOOL CALLBACK findGameWindow(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, gameWindowClassName) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

} // namespace

HostHandle hostGameWindow() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findGameWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool hostClickGameWindow(int x, int y) {
    auto window = static_cast<HWND>(hostGameWindow());
    if (!window)
        return false;
    LPARAM point = MAKELPARAM(x, y);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(window, WM_LBUTTONUP, 0, point);
    return true;
}

bool hostPressActionButton() {
    auto window = static_cast<HWND>(hostGameWindow());
    HWND button = window ? GetDlgItem(window, actionButtonId) : nullptr;
    if (!button)
        return false;
    if (!IsWindowEnabled(button))
        return true; // a disabled button ignores a click
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(actionButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
}

bool hostCloseGameWindow() {
    auto window = static_cast<HWND>(hostGameWindow());
    if (!window)
        return false;
    SendMessageA(window, WM_CLOSE, 0, 0);
    return true;
}
