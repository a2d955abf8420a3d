// The module's outer shell: the loader entry, the three exports, what Load registers in the host,
// the contact-menu service that starts a game, the receive filter and the host's shutdown.
#include "plugin/plugin.h"

#include "exchange/show_and_send.h"
#include "engine/deal.h"
#include "exchange/frontend.h"
#include "engine/texts.h"
#include "exchange/exchange.h"
#include "exchange/state_message.h"
#include "resources/resource_ids.h"
#include "window/game_window.h"
#include "window/gdiplus_flat.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {
constexpr std::uint32_t pluginVersion = 0x00000006; // 0.0.0.6
constexpr std::uint32_t oldestHostVersion = 0x00010201;
constexpr int menuItemPosition = 5;

const HostLinkTable* hostLink = nullptr;
HINSTANCE moduleInstance = nullptr;
// The host's window list that holds the game window while it is open (0 when the host gave none).
HostWord windowList = 0;
ULONG_PTR gdiplusToken = 0;
// The contact-menu item's text for a Unicode core: lives as long as the module, as the host may keep
// the pointer rather than a copy.
WideText menuItemWideText;

void startGdiplus() {
    if (gdiplusToken)
        return;
    gdiplus::StartupInput input = {1, nullptr, FALSE, FALSE};
    GdiplusStartup(&gdiplusToken, &input, nullptr);
}

void stopGdiplus() {
    if (!gdiplusToken)
        return;
    GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
}

// Puts the receive filter into the contact's chain unless it is there already: without it, the
// contact's state messages would reach the chat as text.
void attachToContact(HostWord contact) {
    auto name = reinterpret_cast<HostWord>(moduleName);
    if (callHostService(hostnames::isProtoOnContact, contact, name) == 0)
        callHostService(hostnames::addToContact, contact, name);
}

void attachToEveryContact() {
    for (HostWord contact = callHostService(hostnames::findFirstContact, 0, 0); contact != 0;
         contact = callHostService(hostnames::findNextContact, contact, 0))
        attachToContact(contact);
}

int onContactAdded(HostWord contact, HostWord) {
    if (contact != 0)
        attachToContact(contact);
    return 0;
}

HostWord onFilterReceive(HostWord wParam, HostWord lParam) {
    // Anything that cannot be read as a message with a text is someone else's business.
    auto record = reinterpret_cast<const CallRecord*>(lParam);
    auto event = record ? reinterpret_cast<const ReceivedEvent*>(record->lParam) : nullptr;
    const char* text = event ? event->text : nullptr;
    if (!isStateMessage(text))
        return callHostService(hostnames::chainReceive, wParam, lParam);
    receiveStateMessage(game, static_cast<ContactHandle>(record->contact), text);
    return 0; // state messages never reach the chat
}

HostWord playGameService(HostWord contact, HostWord) {
    if (gameWindowIsOpen(game)) {
        bringGameWindowToFront();
        resendGameTo(game, static_cast<ContactHandle>(contact));
        return 1;
    }
    // A host that did not announce the contact's addition has not given it the filter: the answer to
    // the first state would otherwise land in the chat.
    attachToContact(contact);
    game.opponentContact = static_cast<ContactHandle>(contact);
    openGameWindow(game);
    if (gameWindowIsOpen(game))
        newGame(game, nextRandom15() % 2 == 0 ? 1 : 0);
    return 1;
}

// A Unicode core says so in its version text; a host without the service, or that fails it, is an
// ANSI core.
bool hostIsUnicodeCore() {
    char version[128] = "";
    HostWord result =
        callHostService(hostnames::getVersionText, sizeof version, reinterpret_cast<HostWord>(version));
    version[sizeof version - 1] = '\0';
    return result == 0 && std::strstr(version, unicodeCoreMark) != nullptr;
}

// The host's side of the game window's life.
const char* contactDisplayName(ContactHandle contact) {
    HostWord name = callHostService(hostnames::getContactDisplayName, static_cast<HostWord>(contact), 0);
    return name == 0 || name == serviceNotFound ? nullptr : reinterpret_cast<const char*>(name);
}

void gameWindowOpened(HWND window, ContactHandle contact) {
    WindowListEntry entry = {windowList, window, static_cast<HostWord>(contact)};
    callHostService(hostnames::addToWindowList, 0, reinterpret_cast<HostWord>(&entry));
}

void gameWindowClosing(HWND window) {
    callHostService(hostnames::removeFromWindowList, windowList, reinterpret_cast<HostWord>(window));
}

// The time alone would give two messengers started in the same second the same deals: the process id
// and the high-resolution counter differ between them.
unsigned randomSeed() {
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
    auto seed = static_cast<std::uint32_t>(std::time(nullptr)) * 2654435761u;
    seed ^= static_cast<std::uint32_t>(GetCurrentProcessId()) * 40503u;
    seed ^= static_cast<std::uint32_t>(ticks) ^ static_cast<std::uint32_t>(ticks >> 32);
    return seed;
}

int onHostShutdown(HostWord, HostWord) {
    if (windowList != 0) {
        MSG close = {};
        close.message = WM_CLOSE;
        callHostService(hostnames::broadcastToWindowList, windowList, reinterpret_cast<HostWord>(&close));
    }
    // The window and its picture are gone now; only then may GDI+ stop.
    stopGdiplus();
    return 0;
}
} // namespace

const PluginInfo pluginInfo = {
    sizeof(PluginInfo),     pluginName,      pluginVersion, pluginName, pluginAuthor,
    "kelvaron@example.org", pluginCopyright, homePageUrl,   0,          0,
};

HostWord callHostService(const char* name, HostWord wParam, HostWord lParam) {
    return hostLink ? hostLink->callService(name, wParam, lParam) : 0;
}

// What the portable core asks of the host: the one game's texts go to its opponent through the host.
void sendTextToContact(const GameState&, ContactHandle contact, const char* text) {
    CallRecord record = {static_cast<HostWord>(contact), hostnames::sendMessage, 0,
                         reinterpret_cast<HostWord>(text)};
    callHostService(hostnames::callContactService, 0, reinterpret_cast<HostWord>(&record));
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
        DisableThreadLibraryCalls(instance);
        setGameWindowHost({instance, pluginVersion, contactDisplayName, gameWindowOpened, gameWindowClosing});
        registerGameWindowClass();
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Freed while the process goes on (the host rescans its plug-ins): the class must not
        // outlive the code its window procedure lives in.
        unregisterGameWindowClass();
    }
    return TRUE;
}

extern "C" const PluginInfo* MirandaPluginInfo(DWORD hostVersion) {
    return hostVersion < oldestHostVersion ? nullptr : &pluginInfo;
}

extern "C" int Load(const HostLinkTable* link) {
    startGdiplus();
    hostLink = link;
    windowList = callHostService(hostnames::allocWindowList, 0, 0);

    static const ModuleRecord module = {sizeof(ModuleRecord), moduleName, filterModuleType};
    callHostService(hostnames::registerModule, 0, reinterpret_cast<HostWord>(&module));
    hostLink->createServiceFunction(receiveService, onFilterReceive);
    attachToEveryContact();
    hostLink->hookEvent(hostnames::contactAddedEvent, onContactAdded);
    hostLink->hookEvent(hostnames::shutdownEvent, onHostShutdown);
    hostLink->createServiceFunction(playGameServiceName, playGameService);

    MenuItemRecord item = {};
    item.size = sizeof(MenuItemRecord);
    item.text = gameName;
    item.flags = menuItemHiddenWhenOffline;
    // A Unicode core reads the Windows-1251 bytes in the system's code page: give it UTF-16 instead.
    if (hostIsUnicodeCore()) {
        menuItemWideText = wideText(gameName);
        item.text = reinterpret_cast<const char*>(menuItemWideText.c_str());
        item.flags |= menuItemUnicodeText;
    }
    item.position = menuItemPosition;
    item.icon = LoadIconA(moduleInstance, MAKEINTRESOURCEA(IDI_CONTACT_MENU));
    item.service = playGameServiceName;
    callHostService(hostnames::addContactMenuItem, 0, reinterpret_cast<HostWord>(&item));

    std::srand(randomSeed());
    return 0;
}

extern "C" int Unload() { return 0; }
