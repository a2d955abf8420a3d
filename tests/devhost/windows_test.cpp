// The host's Windows side: message boxes taken off the screen, window lists and their broadcasts, the
// action button pressed as a user would, and the message pump.
#include "tests/devhost/host_fixture.h"

#include <windows.h>

namespace {
constexpr char testWindowClass[] = "DevhostTestWindow";
constexpr char gameWindowClass[] = "KelvaronWindow";
constexpr int actionButtonId = 1020;
constexpr UINT leaveListMessage = WM_APP + 1; // the receiver removes itself from the list in wParam

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> received;

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message >= WM_APP)
        received.push_back(Received{window, message, wParam, lParam});
    if (message == leaveListMessage)
        hostCallService(hostnames::removeFromWindowList, wParam, reinterpret_cast<HostWord>(window));
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerClass(const char* name) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = recordingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

// Destroys the test's window on every path out of a test.
struct WindowGuard {
    HWND window;
    ~WindowGuard() { DestroyWindow(window); }
};

struct HostWindows : HostTest {
    void SetUp() override {
        HostTest::SetUp();
        registerClass(testWindowClass);
        registerClass(gameWindowClass);
        received.clear();
    }
};

// Test windows stay hidden unless a test needs one on the screen: without a window manager, Wine
// may wait for each shown window to be taken off the screen again.
HWND createWindow(const char* windowClass, DWORD visible = 0) {
    return CreateWindowA(windowClass, "test", WS_OVERLAPPEDWINDOW | visible, 0, 0, 300, 200, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST_F(HostWindows, MessageBoxesAreRecordedAndDismissedWithTheirDefaultButton) {
    HostWord alice = hostAddContact("Alice");
    ASSERT_EQ(hostLoadPlugin(goodPlugin), HostLoadResult::Loaded);
    EXPECT_EQ(hostReceiveText(alice, "#standin box"), IDNO);
    ASSERT_EQ(hostMessageBoxes().size(), 1u);
    EXPECT_EQ(hostMessageBoxes()[0].caption, "Stand-in");
    EXPECT_EQ(hostMessageBoxes()[0].text, "The plug-in kept\na text.");
}

INT_PTR CALLBACK stubbornDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, IDCANCEL);
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

TEST_F(HostWindows, ADialogThatIgnoresEnterIsClosed) {
    struct Template {
        DLGTEMPLATE dialog;
        WORD menu, windowClass;
        wchar_t title[9];
    };
    alignas(4) Template box = {};
    box.dialog.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
    box.dialog.cx = 100;
    box.dialog.cy = 40;
    wcscpy(box.title, L"Stubborn");
    EXPECT_EQ(DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &box.dialog, nullptr, stubbornDialog, 0),
              IDCANCEL);
    ASSERT_EQ(hostMessageBoxes().size(), 1u);
    EXPECT_EQ(hostMessageBoxes()[0].caption, "Stubborn");
}

// Lists are numbered from one. A broadcast reaches the list's windows in order with the message's
// parameters, also when each receiver leaves the list as it gets the message.
TEST_F(HostWindows, WindowListsKeepTheirWindowsInOrderAndBroadcastToThem) {
    EXPECT_EQ(hostCallService(hostnames::allocWindowList, 0, 0), 1);
    EXPECT_EQ(hostCallService(hostnames::allocWindowList, 0, 0), 2);
    WindowGuard a{createWindow(testWindowClass)}, b{createWindow(testWindowClass)},
        c{createWindow(testWindowClass)};
    for (HWND window : {a.window, b.window, c.window}) {
        WindowListEntry entry = {1, window, 0x1234};
        EXPECT_EQ(hostCallService(hostnames::addToWindowList, 0, reinterpret_cast<HostWord>(&entry)), 0);
    }
    WindowListEntry other = {2, a.window, 0};
    hostCallService(hostnames::addToWindowList, 0, reinterpret_cast<HostWord>(&other));
    EXPECT_EQ(hostCallService(hostnames::removeFromWindowList, 1, reinterpret_cast<HostWord>(b.window)), 0);
    EXPECT_EQ(hostWindowList(1), (std::vector<HostHandle>{a.window, c.window}));

    MSG message = {};
    message.message = leaveListMessage;
    message.wParam = 1;
    message.lParam = 22;
    EXPECT_EQ(hostCallService(hostnames::broadcastToWindowList, 1, reinterpret_cast<HostWord>(&message)), 0);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].window, a.window);
    EXPECT_EQ(received[1].window, c.window);
    EXPECT_EQ(received[1].lParam, 22);
    EXPECT_TRUE(hostWindowList(1).empty());
    EXPECT_EQ(hostWindowList(2), (std::vector<HostHandle>{a.window}));
}

TEST_F(HostWindows, PressesTheActionButtonAsAUserWould) {
    struct Case {
        const char* what;
        DWORD style;
        int width;
        bool enabled;
        int clicks;
    };
    const Case cases[] = {
        {"shown", WS_VISIBLE, 80, true, 1},       {"hidden", 0, 80, true, 1},
        {"without size", WS_VISIBLE, 0, true, 1}, {"disabled", WS_VISIBLE, 80, false, 0},
        {"hidden and disabled", 0, 80, false, 0},
    };
    WindowGuard game{createWindow(gameWindowClass, WS_VISIBLE)};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowGuard button{CreateWindowA("BUTTON", "Take", WS_CHILD | BS_PUSHBUTTON | c.style, 10, 10,
                                         c.width, 24, game.window, reinterpret_cast<HMENU>(actionButtonId),
                                         GetModuleHandleA(nullptr), nullptr)};
        EnableWindow(button.window, c.enabled);
        received.clear();
        EXPECT_TRUE(hostPressActionButton());
        hostPumpMessages(0);
        int clicks = 0;
        for (const Received& r : received)
            if (r.window == game.window && r.message == WM_COMMAND &&
                r.wParam == MAKEWPARAM(actionButtonId, BN_CLICKED) &&
                r.lParam == reinterpret_cast<LPARAM>(button.window))
                ++clicks;
        EXPECT_EQ(clicks, c.clicks);
    }
}

TEST_F(HostWindows, PumpsForTheTimeAskedAndLeavesQuitToTheOwner) {
    WindowGuard window{createWindow(testWindowClass)};
    PostMessageA(window.window, WM_APP + 3, 0, 0);
    DWORD start = GetTickCount();
    hostPumpMessages(150);
    EXPECT_GE(GetTickCount() - start, 140u);
    EXPECT_EQ(received.size(), 1u);

    PostQuitMessage(3);
    hostPumpMessages(1000);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 3u);
}
} // namespace
