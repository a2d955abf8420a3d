// devhost.exe's main window: the user's contacts in a list (the window is a list box), each with a
// context menu of the plug-ins' contact-menu items; it also runs the script's lines on the UI thread.
#include "devhost/program/devhost_app.h"

namespace {
constexpr int windowWidth = 260;
constexpr int windowHeight = 380;
WNDPROC listBoxProcedure = nullptr;

// A right click on a contact shows its menu of the plug-ins' items and chooses what the user picks.
void onContextMenu(HWND list, LPARAM lParam) {
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    POINT inList = at;
    ScreenToClient(list, &inList);
    LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(inList.x, inList.y));
    if (HIWORD(hit) != 0)
        return; // below the last contact
    SendMessageA(list, LB_SETCURSEL, LOWORD(hit), 0);
    auto contact = static_cast<HostWord>(SendMessageA(list, LB_GETITEMDATA, LOWORD(hit), 0));
    std::vector<std::size_t> items = hostVisibleMenuItems(contact);
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < items.size(); ++i)
        AppendMenuW(menu, MF_STRING, i + 1, hostMenuItems()[items[i]].wideText.c_str());
    if (items.empty())
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, "(no items)");
    auto chosen = static_cast<std::size_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, list, nullptr));
    DestroyMenu(menu);
    if (chosen > 0 && chosen <= items.size())
        shadowChooseMenuItem(shadowGame(), contact, items[chosen - 1]);
}

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CONTEXTMENU:
        onContextMenu(window, lParam);
        return 0;
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
