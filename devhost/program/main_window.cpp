// devhost.exe's main window: the user's contacts in a list, each with a context menu of the plug-ins'
// contact-menu items; it also runs the script's lines on the UI thread.
#include "devhost/program/devhost_app.h"

namespace {
constexpr char mainWindowClass[] = "DevhostMainWindow";
constexpr int contactListId = 100;
constexpr int windowWidth = 260;
constexpr int windowHeight = 380;

HWND contactList = nullptr;

// A right click on a contact shows its menu of the plug-ins' items and chooses what the user picks.
void onContextMenu(HWND mainWindow, LPARAM lParam) {
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    POINT inList = at;
    ScreenToClient(contactList, &inList);
    LRESULT hit = SendMessageA(contactList, LB_ITEMFROMPOINT, 0, MAKELPARAM(inList.x, inList.y));
    if (HIWORD(hit) != 0)
        return; // below the last contact
    SendMessageA(contactList, LB_SETCURSEL, LOWORD(hit), 0);
    auto contact = static_cast<HostWord>(SendMessageA(contactList, LB_GETITEMDATA, LOWORD(hit), 0));
    std::vector<std::size_t> items = hostVisibleMenuItems(contact);
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < items.size(); ++i)
        AppendMenuW(menu, MF_STRING, i + 1, hostMenuItems()[items[i]].wideText.c_str());
    if (items.empty())
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, "(no items)");
    auto chosen = static_cast<std::size_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, mainWindow, nullptr));
    DestroyMenu(menu);
    if (chosen > 0 && chosen <= items.size())
        shadowChooseMenuItem(shadowGame(), contact, items[chosen - 1]);
}

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        contactList =
            CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 0,
                            0, window, reinterpret_cast<HMENU>(contactListId), nullptr, nullptr);
        return 0;
    case WM_SIZE:
        MoveWindow(contactList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == contactList)
            onContextMenu(window, lParam);
        return 0;
    case scriptLineMessage:
        runScriptLine(window, *reinterpret_cast<const std::string*>(lParam));
        return 0;
    case WM_CLOSE:
        closeHost(window);
        return 0;
    case WM_DESTROY:
        contactList = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
} // namespace

HWND createMainWindow(const std::string& userName) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = mainWindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = mainWindowClass;
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowA(mainWindowClass, userName.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      windowWidth, windowHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return nullptr;
    for (const HostContact& contact : hostContacts()) {
        LRESULT index =
            SendMessageA(contactList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(contact.name.c_str()));
        SendMessageA(contactList, LB_SETITEMDATA, static_cast<WPARAM>(index),
                     static_cast<LPARAM>(contact.handle));
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void closeHost(HWND mainWindow) {
    hostShutdown();
    DestroyWindow(mainWindow);
}
