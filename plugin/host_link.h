// The link between the messenger and its plug-ins: the records they exchange and the host's link
// table. Pointers and words are 32 bits wide on the 32-bit target and 64 bits in the messenger's
// 64-bit edition. Shared by the plug-in and the development host; no platform header is needed.
#pragma once

#include <cstdint>

// wParam, lParam and service results: one machine word.
using HostWord = std::intptr_t;
using HostHandle = void*;
// Services and event hooks: two word-sized arguments, an integer result (cdecl).
using HostService = HostWord (*)(HostWord wParam, HostWord lParam);
using HostHook = int (*)(HostWord wParam, HostWord lParam);

// The table handed to Load. Entries 3, 6 and 9 are the ones a plug-in uses.
struct HostLinkTable {
    HostHandle (*createHookableEvent)(const char* name);                                   // 0
    int (*destroyHookableEvent)(HostHandle event);                                         // 1
    int (*notifyEventHooks)(HostHandle event, HostWord wParam, HostWord lParam);           // 2
    HostHandle (*hookEvent)(const char* name, HostHook hook);                              // 3
    HostHandle (*hookEventMessage)(const char* name, HostHandle window, unsigned message); // 4
    int (*unhookEvent)(HostHandle hook);                                                   // 5
    HostHandle (*createServiceFunction)(const char* name, HostService service);            // 6
    HostHandle (*createTransientServiceFunction)(const char* name, HostService service);   // 7
    int (*destroyServiceFunction)(HostHandle service);                                     // 8
    HostWord (*callService)(const char* name, HostWord wParam, HostWord lParam);           // 9
};

// Returned by callService for a service that does not exist: the word with only its top bit set,
// 0x80000000 in the 32-bit messenger and 0x8000000000000000 in its 64-bit edition.
inline constexpr HostWord serviceNotFound = INTPTR_MIN;

// The plug-in information record that MirandaPluginInfo returns.
struct PluginInfo {
    int size; // 40
    const char* shortName;
    std::uint32_t version; // one byte each for major, minor, release, build, from the high byte down
    const char* description;
    const char* author;
    const char* authorEmail;
    const char* copyright;
    const char* homepage;
    std::uint32_t flags;
    int replacesDefaultModule;
};

// "Proto/RegisterModule": a module of the message chain.
struct ModuleRecord {
    int size; // 12
    const char* name;
    int type;
};

// "Proto/CallContactService" and the receive chain: a service call aimed at one contact.
struct CallRecord {
    HostWord contact;
    const char* service;
    HostWord wParam;
    HostWord lParam; // for "/RecvMessage": the ReceivedEvent
};

// An incoming message as the receive chain carries it.
struct ReceivedEvent {
    std::uint32_t flags;
    std::uint32_t timestamp;
    const char* text; // NUL-terminated, in the system's ANSI code page
    HostWord lParam;
};

// "CList/AddContactMenuItem": one item of every contact's menu.
struct MenuItemRecord {
    int size; // 40
    // ANSI bytes; with menuItemUnicodeText in flags a UTF-16 text, which only a Unicode core reads so.
    const char* text;
    std::uint32_t flags;
    int position;
    HostHandle icon;
    const char* service; // called with the contact as wParam
    const char* popupName;
    int popupPosition;
    std::uint32_t hotKey;
    const char* contactOwner; // a protocol module name, or null for all contacts
};

// "Utils/AddToWindowList".
struct WindowListEntry {
    HostWord list;
    HostHandle window;
    HostWord contact;
};

inline constexpr std::uint32_t menuItemHiddenWhenOffline = 8;
// The item's text is UTF-16: only a Unicode core reads it so, an ANSI one reads its bytes.
inline constexpr std::uint32_t menuItemUnicodeText = 0x0200;
// A Unicode core's version text ("Miranda/System/GetVersionText") holds this word, as in "0.10.24 Unicode".
inline constexpr char unicodeCoreMark[] = "Unicode";
inline constexpr int filterModuleType = 1991;

#if UINTPTR_MAX == 0xffffffffu
static_assert(sizeof(PluginInfo) == 40, "plug-in information record");
static_assert(sizeof(ModuleRecord) == 12, "module record");
static_assert(sizeof(CallRecord) == 16, "call record");
static_assert(sizeof(ReceivedEvent) == 16, "received event");
static_assert(sizeof(MenuItemRecord) == 40, "menu-item record");
static_assert(sizeof(WindowListEntry) == 12, "window-list entry");
static_assert(sizeof(HostLinkTable) == 40, "link table: ten entries");
#else // the messenger's 64-bit edition: pointers and words are 64 bits, records padded to 8 bytes
static_assert(sizeof(PluginInfo) == 72, "plug-in information record");
static_assert(sizeof(ModuleRecord) == 24, "module record");
static_assert(sizeof(CallRecord) == 32, "call record");
static_assert(sizeof(ReceivedEvent) == 24, "received event");
static_assert(sizeof(MenuItemRecord) == 64, "menu-item record");
static_assert(sizeof(WindowListEntry) == 24, "window-list entry");
static_assert(sizeof(HostLinkTable) == 80, "link table: ten entries");
#endif

// Services and events, by name.
namespace hostnames {
inline constexpr char allocWindowList[] = "Utils/AllocWindowList";
inline constexpr char addToWindowList[] = "Utils/AddToWindowList";
inline constexpr char removeFromWindowList[] = "Utils/RemoveFromWindowList";
inline constexpr char broadcastToWindowList[] = "Utils/BroadcastToWindowList";
inline constexpr char registerModule[] = "Proto/RegisterModule";
inline constexpr char isProtoOnContact[] = "Proto/IsProtoOnContact";
inline constexpr char addToContact[] = "Proto/AddToContact";
inline constexpr char findFirstContact[] = "DB/Contact/FindFirst";
inline constexpr char findNextContact[] = "DB/Contact/FindNext";
inline constexpr char addContactMenuItem[] = "CList/AddContactMenuItem";
inline constexpr char getContactDisplayName[] = "CList/GetContactDisplayName";
inline constexpr char callContactService[] = "Proto/CallContactService";
inline constexpr char chainReceive[] = "Proto/ChainRecv";
inline constexpr char shutdownEvent[] = "Miranda/System/Shutdown";
// Writes the messenger's version text into a char buffer: wParam its size, lParam the buffer; 0 on success.
inline constexpr char getVersionText[] = "Miranda/System/GetVersionText";
// Raised after a contact is added while the messenger runs; wParam is the new contact.
inline constexpr char contactAddedEvent[] = "DB/Contact/Added";
// Per-module services of the message chain: "<module>/RecvMessage", and what CallRecord names.
inline constexpr char receiveMessageSuffix[] = "/RecvMessage";
inline constexpr char sendMessage[] = "/SendMsg";
} // namespace hostnames
