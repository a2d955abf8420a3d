// The game window: opening it with its picture, brushes and button, its message handling, and the
// window-side functions that the portable core calls.
#include "window/game_window.h"

#include "exchange/show_and_send.h"
#include "engine/deal.h"
#include "exchange/frontend.h"
#include "engine/texts.h"
#include "resources/resource_ids.h"
#include "window/gdi_guards.h"
#include "window/paint.h"

#include <cstring>

GameState game;
GameWindowState ui;

namespace {
constexpr DWORD gameWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int gameWindowWidth = 640;
constexpr int gameWindowHeight = 520;
constexpr UINT winBlinkPeriodMs = 100;
constexpr std::size_t titleBufferSize = 256;
constexpr std::size_t aboutTextSize = 1024;
constexpr wchar_t cardPictureFileName[] = L"cards.png";

HBRUSH classBackgroundBrush = nullptr;
GameWindowHost windowHost;

gdiplus::Bitmap* loadPicture(const wchar_t* path) {
    GdiplusImageGuard picture;
    if (GdipCreateBitmapFromFile(path, &picture.image) != gdiplus::ok)
        return nullptr;
    return picture.release();
}

// The picture beside the plug-in's own DLL: the host's file dialogs move its current directory.
gdiplus::Bitmap* loadPictureBesideModule() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(windowHost.module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    wchar_t* lastSlash = wcsrchr(path, L'\\');
    std::size_t folderLength = lastSlash ? lastSlash + 1 - path : 0;
    if (folderLength + wcslen(cardPictureFileName) >= MAX_PATH)
        return nullptr;
    wcscpy(path + folderLength, cardPictureFileName);
    return loadPicture(path);
}

// The opponent's display name in the host's ANSI code page, cut to what fits in the title beside its
// prefix; empty when the host has no name (a null result, or no such service).
const char* opponentDisplayName(char (&name)[titleBufferSize]) {
    const char* hostName =
        windowHost.contactDisplayName ? windowHost.contactDisplayName(game.opponentContact) : nullptr;
    name[0] = '\0';
    if (!hostName)
        return name;
    std::size_t room = titleBufferSize - (sizeof windowTitlePrefix - 1) - 1;
    std::size_t length = strnlen(hostName, room);
    std::memcpy(name, hostName, length);
    name[length] = '\0';
    return name;
}

void setTitle() {
    char name[titleBufferSize];
    WideText title = wideText(windowTitlePrefix);
    title.append(opponentDisplayName(name), CP_ACP);
    SetWindowTextW(ui.gameWindow, title.c_str());
}

void releaseWindowResources() {
    if (ui.cardPicture) {
        GdipDisposeImage(ui.cardPicture);
        ui.cardPicture = nullptr;
    }
    for (HBRUSH* brush : {&ui.blinkBrushA, &ui.blinkBrushB, &ui.cardBackBrush, &ui.selectionBrush}) {
        if (*brush)
            DeleteObject(*brush);
        *brush = nullptr;
    }
}

void onSize(LPARAM lParam) {
    // During creation the handles are not stored yet: nothing to move or draw.
    if (!ui.gameWindow || !ui.actionButton)
        return;
    UINT width = 0, height = 0;
    cardPictureSize(width, height);
    Rect button = actionButtonRect(width, HIWORD(lParam));
    MoveWindow(ui.actionButton, button.left, button.top, button.right - button.left,
               button.bottom - button.top, TRUE);
    redrawWindow(game);
}

void onClose(HWND window) {
    // Left running, the flag would keep the next window from starting its blink.
    stopWinBlinkTimer(game);
    if (windowHost.windowClosing)
        windowHost.windowClosing(window);
}

void onDestroy() {
    emptyGameOnClose(game);
    releaseWindowResources();
    ui.winBlinkRunning = 0; // the timer died with the window
    ui.gameWindow = nullptr;
    ui.actionButton = nullptr;
}

void onTimer(HWND window, WPARAM timerId) {
    if (timerId != winBlinkTimerId || !ui.winBlinkRunning)
        return;
    WindowDcGuard context(window);
    if (!context.dc)
        return;
    ui.winBlinkPhase ^= 1;
    SelectionGuard brush(context.dc, ui.winBlinkPhase ? ui.blinkBrushA : ui.blinkBrushB);
    drawStatusBubble(context.dc, winMessage);
}

void onLeftButtonDown(LPARAM lParam) {
    if (gameOutcome(game) != InProgress)
        return;
    POINT point = {LOWORD(lParam), HIWORD(lParam)};
    std::vector<Rect> rects;
    layoutMyHand(game, rects);
    // Later cards lie over earlier ones: the last rectangle that holds the point is the card seen there.
    for (std::size_t i = rects.size(); i-- > 0;) {
        RECT r = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        if (PtInRect(&r, point)) {
            onCardClicked(game, static_cast<std::uint32_t>(i));
            return;
        }
    }
}

void onCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case actionButtonId:
        onActionButton(game);
        break;
    case IDM_ABOUT:
        showAboutBox();
        break;
    case IDM_WEB_PAGE:
        ShellExecuteA(nullptr, "open", homePageUrl, nullptr, "", SW_SHOW);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK gameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        onSize(lParam);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc)
            paintScene(game, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        onClose(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_COMMAND:
        onCommand(wParam);
        return 0;
    case WM_TIMER:
        onTimer(window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        onLeftButtonDown(lParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

// A Unicode class: its windows take and show their texts as UTF-16.
void setGameWindowHost(const GameWindowHost& host) { windowHost = host; }

void registerGameWindowClass() {
    classBackgroundBrush = CreateSolidBrush(tableBackground);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = gameWindowProc;
    windowClass.hInstance = windowHost.module;
    windowClass.hIcon = LoadIconW(windowHost.module, MAKEINTRESOURCEW(IDI_GAME_WINDOW));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = classBackgroundBrush;
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDM_GAME_MENU);
    windowClass.lpszClassName = gameWindowClassNameW;
    RegisterClassW(&windowClass);
}

void unregisterGameWindowClass() {
    // A window of the class that still exists keeps the class, and paints with its brush.
    if (!UnregisterClassW(gameWindowClassNameW, windowHost.module))
        return;
    if (classBackgroundBrush)
        DeleteObject(classBackgroundBrush);
    classBackgroundBrush = nullptr;
}

void openGameWindow(const GameState& opened) {
    ui.cardPicture = loadPicture(cardPicturePathW);
    if (!ui.cardPicture)
        ui.cardPicture = loadPictureBesideModule();
    if (!ui.cardPicture) {
        MessageBoxW(nullptr, wideText(pictureLoadError).c_str(), wideText(gameName).c_str(),
                    MB_ICONSTOP | MB_OK);
        return;
    }
    ui.blinkBrushA = CreateSolidBrush(winBlinkColourA);
    ui.blinkBrushB = CreateSolidBrush(winBlinkColourB);
    ui.cardBackBrush = CreateSolidBrush(cardBackGreen);
    ui.selectionBrush = CreateSolidBrush(selectionBlue);

    ui.gameWindow =
        CreateWindowExW(0, gameWindowClassNameW, L"", gameWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        gameWindowWidth, gameWindowHeight, nullptr, nullptr, windowHost.module, nullptr);
    if (!ui.gameWindow) {
        releaseWindowResources();
        return;
    }
    ui.actionButton = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, ui.gameWindow,
                                      reinterpret_cast<HMENU>(actionButtonId), windowHost.module, nullptr);
    if (windowHost.windowOpened)
        windowHost.windowOpened(ui.gameWindow, opened.opponentContact);
    setTitle();
    ShowWindow(ui.gameWindow, SW_SHOW);
    UpdateWindow(ui.gameWindow);
}

void bringGameWindowToFront() {
    SetForegroundWindow(ui.gameWindow);
    SetFocus(ui.gameWindow);
}

void cardPictureSize(UINT& width, UINT& height) {
    width = height = 0;
    if (ui.cardPicture) {
        GdipGetImageWidth(ui.cardPicture, &width);
        GdipGetImageHeight(ui.cardPicture, &height);
    }
}

CardMetrics currentCardMetrics() {
    UINT width, height;
    cardPictureSize(width, height);
    return cardMetricsForPicture(width, height);
}

ClientSize currentClientSize() {
    RECT client = {};
    GetClientRect(ui.gameWindow, &client);
    return {client.right - client.left, client.bottom - client.top};
}

void showAboutBox() {
    // wsprintfA writes at most 1024 bytes, the size of the About text's buffer.
    char text[aboutTextSize];
    std::uint32_t v = windowHost.version;
    wsprintfA(text, "\t%s v%d.%d.%d.%d\n\n%s%s\n%s%s\n%s%s\n\n%s\n\n%s", pluginName, int(v >> 24 & 0xff),
              int(v >> 16 & 0xff), int(v >> 8 & 0xff), int(v & 0xff), aboutWebPage, homePageHost,
              aboutProjectBorn, aboutProjectBirthDate, aboutBuildDate, __DATE__, pluginCopyright,
              aboutThanks);

    WideText wide = wideText(text);
    WideText caption = wideText(aboutCaption);
    MSGBOXPARAMSW box = {};
    box.cbSize = sizeof box;
    box.hwndOwner = ui.gameWindow;
    box.hInstance = windowHost.module;
    box.lpszText = wide.c_str();
    box.lpszCaption = caption.c_str();
    box.dwStyle = MB_USERICON | MB_OK;
    box.lpszIcon = MAKEINTRESOURCEW(IDI_GAME_WINDOW);
    MessageBoxIndirectW(&box);
}

// --- what the portable core asks of the window: there is one window, and it shows the one game

void showActionButton(const GameState&, const char* caption, bool enabled) {
    SetWindowTextW(ui.actionButton, wideText(caption).c_str());
    EnableWindow(ui.actionButton, enabled);
}

// Both are asked for after every change that may win or end a win: each acts only on a change.
void startWinBlinkTimer(const GameState&) {
    if (ui.winBlinkRunning || !ui.gameWindow)
        return;
    if (SetTimer(ui.gameWindow, winBlinkTimerId, winBlinkPeriodMs, nullptr))
        ui.winBlinkRunning = 1;
}

void stopWinBlinkTimer(const GameState&) {
    if (!ui.winBlinkRunning)
        return;
    KillTimer(ui.gameWindow, winBlinkTimerId);
    ui.winBlinkRunning = 0;
}

bool gameWindowIsOpen(const GameState&) { return ui.gameWindow != nullptr; }

void flashGameWindowIfInBackground(const GameState&) {
    if (GetForegroundWindow() != ui.gameWindow)
        FlashWindow(ui.gameWindow, TRUE);
}

void showTraceBox(const GameState&, const char* format, std::va_list args) {
    // wvsprintfA writes at most 1024 bytes, the size of the trace text.
    static_assert(traceTextSize == 1024, "the trace text is as long as wvsprintfA writes");
    char text[traceTextSize];
    wvsprintfA(text, format, args);
    MessageBoxW(nullptr, wideText(text).c_str(), L"trace", MB_OK);
}

void WideText::append(const char* more, UINT codePage) {
    if (!more)
        return;
    int used = static_cast<int>(wcslen(text));
    int room = capacity - 1 - used;
    int written = room > 0 ? MultiByteToWideChar(codePage, 0, more, -1, text + used, room) : 0;
    if (written == 0 && room > 0) {
        // Too long for what is left: as much as fits, then the terminating zero.
        int length = static_cast<int>(strnlen(more, static_cast<std::size_t>(room)));
        written = MultiByteToWideChar(codePage, 0, more, length, text + used, room);
        text[used + written] = L'\0';
    }
}

WideText wideText(const char* text, UINT codePage) {
    WideText wide;
    wide.append(text, codePage);
    return wide;
}
