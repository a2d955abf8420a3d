// devhost.exe's main window: the user's contacts in a list (the window is a list box, titled with the
// user's name); it runs the script's lines on the UI thread, and closing it ends the host.
#include "devhost/program/devhost_app.h"

namespace {
constexpr int windowWidth = 260;
constexpr int windowHeight = 380;
WNDPROC listBoxProcedure = nullptr;

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case scriptLineMessage:
        runScriptLine(window, *reinterpret_cast<const std::string*>(lParam));
        return 0;
    case WM_CLOSE:
        closeHost(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return CallWindowProcA(listBoxProcedure, window, message, wParam, lParam);
}
} // namespace

HWND createMainWindow(const std::string& userName) {
    HWND window = CreateWindowExA(0, "LISTBOX", userName.c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, windowWidth, windowHeight, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return nullptr;
    listBoxProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mainWindowProcedure)));
    for (const HostContact& contact : hostContacts()) {
        LRESULT index = SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(contact.name.c_str()));
        SendMessageA(window, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(contact.handle));
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void closeHost(HWND mainWindow) {
    hostShutdown();
    DestroyWindow(mainWindow);
}
