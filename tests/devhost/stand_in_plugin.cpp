// A small plug-in that the development host's tests load in place of Kelvaron.dll. Built once as a
// well-behaved plug-in and once per way the host must refuse one (compile definitions below).
// The well-behaved one attaches a chain module to every contact that keeps some texts (and asks about
// one), adds a contact-menu item that greets the contact, and offers services the tests call to make it
// misuse the link or create and free GDI handles.
#include "plugin/host_link.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {
constexpr char moduleName[] = "StandIn";
constexpr char receiveService[] = "StandIn/RecvMessage";
constexpr char greetService[] = "StandIn/Greet";
// What the receive module keeps for itself; everything else goes on along the chain.
constexpr char keptPrefix[] = "#standin";
// A kept text that makes the module ask a question in a message box; the chain's result is the answer.
constexpr char boxRequest[] = "#standin box";
// "Привет, " in Windows-1251: what the greeting sends before the contact's name.
constexpr char greeting[] = "\xCF\xF0\xE8\xE2\xE5\xF2, ";

const HostLinkTable* hostLink = nullptr;
// Made while the DLL loads, before the host can count anything.
HBRUSH earlyBrush = nullptr;

// One handle of each counted kind, held between "StandIn/MakeGdi" and "StandIn/FreeGdi".
struct GdiHandles {
    HBRUSH brush;
    HBITMAP bitmap;
    HDC memoryDc;
    HDC windowDc;
};
GdiHandles held = {};

#ifdef STAND_IN_INFO_SIZE
constexpr int infoSize = STAND_IN_INFO_SIZE;
#else
constexpr int infoSize = sizeof(PluginInfo);
#endif
#ifdef STAND_IN_NULL_TEXT
const char* const author = nullptr;
#else
const char* const author = "Kelvaron tests";
#endif
#ifdef STAND_IN_LOAD_RESULT
constexpr int loadResult = STAND_IN_LOAD_RESULT;
#else
constexpr int loadResult = 0;
#endif

const PluginInfo info = {infoSize,
                         "Stand-in",
                         0x01020304,
                         "Stands in for Kelvaron in the host's tests",
                         author,
                         "tests@example.org",
                         "(c) Kelvaron tests",
                         "https://example.org/stand-in",
                         0,
                         0};

HostWord callHost(const char* name, HostWord wParam, HostWord lParam) {
    return hostLink->callService(name, wParam, lParam);
}

HostWord receive(HostWord position, HostWord lParam) {
    auto record = reinterpret_cast<const CallRecord*>(lParam);
    auto event = reinterpret_cast<const ReceivedEvent*>(record->lParam);
    if (std::strcmp(event->text, boxRequest) == 0)
        return MessageBoxA(nullptr, "The plug-in kept\na text.", "Stand-in", MB_YESNO | MB_DEFBUTTON2);
    if (std::strncmp(event->text, keptPrefix, sizeof keptPrefix - 1) == 0)
        return 0;
    return callHost(hostnames::chainReceive, position, lParam);
}

HostWord greet(HostWord contact, HostWord) {
    auto name = reinterpret_cast<const char*>(callHost(hostnames::getContactDisplayName, contact, 0));
    std::string text = std::string(greeting) + name;
    CallRecord record = {contact, hostnames::sendMessage, 0, reinterpret_cast<HostWord>(text.c_str())};
    return callHost(hostnames::callContactService, 0, reinterpret_cast<HostWord>(&record));
}

// Calls every entry a plug-in must not use; returns how many of them failed as they should.
HostWord misuseLink(HostWord, HostWord) {
    int failures = 0;
    failures += hostLink->createHookableEvent("StandIn/Event") == nullptr;
    failures += hostLink->destroyHookableEvent(nullptr) != 0;
    failures += hostLink->notifyEventHooks(nullptr, 0, 0) != 0;
    failures += hostLink->hookEventMessage(hostnames::shutdownEvent, nullptr, WM_USER) == nullptr;
    failures += hostLink->unhookEvent(nullptr) != 0;
    failures += hostLink->createTransientServiceFunction("StandIn/Transient", greet) == nullptr;
    failures += hostLink->destroyServiceFunction(nullptr) != 0;
    return failures;
}

// Creates one handle of each kind; returns how many of them came out null.
HostWord makeGdi(HostWord, HostWord) {
    held.brush = CreateSolidBrush(RGB(1, 2, 3));
    held.windowDc = GetDC(nullptr);
    held.bitmap = held.windowDc ? CreateCompatibleBitmap(held.windowDc, 4, 4) : nullptr;
    held.memoryDc = CreateCompatibleDC(nullptr);
    return !held.brush + !held.bitmap + !held.memoryDc + !held.windowDc;
}

// Frees what makeGdi made; returns how many frees failed.
HostWord freeGdi(HostWord, HostWord) {
    int failures = 0;
    failures += held.brush && !DeleteObject(held.brush);
    failures += held.bitmap && !DeleteObject(held.bitmap);
    failures += held.memoryDc && !DeleteDC(held.memoryDc);
    failures += held.windowDc && !ReleaseDC(nullptr, held.windowDc);
    held = GdiHandles{};
    return failures;
}

HostWord freeEarlyBrush(HostWord, HostWord) {
    BOOL deleted = earlyBrush && DeleteObject(earlyBrush);
    earlyBrush = nullptr;
    return deleted;
}

// The tests read the order of shutdown from the calls the plug-in makes (to services nobody offers).
int onShutdown(HostWord, HostWord) {
    callHost("StandIn/SawShutdown", 0, 0);
    return 0;
}

void attachToEveryContact() {
    for (HostWord contact = callHost(hostnames::findFirstContact, 0, 0); contact != 0;
         contact = callHost(hostnames::findNextContact, contact, 0))
        callHost(hostnames::addToContact, contact, reinterpret_cast<HostWord>(moduleName));
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        earlyBrush = CreateSolidBrush(RGB(4, 5, 6));
    return TRUE;
}

extern "C" __declspec(dllexport) const PluginInfo* MirandaPluginInfo(DWORD) {
#ifdef STAND_IN_DECLINES
    return nullptr;
#else
    return &info;
#endif
}

extern "C" __declspec(dllexport) int Load(const HostLinkTable* link) {
    hostLink = link;
    static const ModuleRecord module = {sizeof(ModuleRecord), moduleName, filterModuleType};
    callHost(hostnames::registerModule, 0, reinterpret_cast<HostWord>(&module));
    link->createServiceFunction(receiveService, receive);
    attachToEveryContact();
    link->createServiceFunction(greetService, greet);
    link->createServiceFunction("StandIn/MisuseLink", misuseLink);
    link->createServiceFunction("StandIn/MakeGdi", makeGdi);
    link->createServiceFunction("StandIn/FreeGdi", freeGdi);
    link->createServiceFunction("StandIn/FreeEarlyBrush", freeEarlyBrush);
    link->hookEvent(hostnames::shutdownEvent, onShutdown);

    MenuItemRecord item = {};
    item.size = sizeof item;
    item.text = "Greet";
    item.flags = menuItemHiddenWhenOffline;
    item.service = greetService;
    callHost(hostnames::addContactMenuItem, 0, reinterpret_cast<HostWord>(&item));
    return loadResult;
}

#ifndef STAND_IN_WITHOUT_UNLOAD
extern "C" __declspec(dllexport) int Unload() {
    callHost("StandIn/SawUnload", 0, 0);
    return 0;
}
#endif
