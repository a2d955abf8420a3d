// The development host's stand-in messenger: the messenger's side of the plug-in link, with real
// semantics (services, events, contacts, the receive chain, window lists, contact menus). Tests link
// it as a library and drive the real plug-in DLL through it; devhost.exe wraps it for people and
// scripts. It knows nothing of any particular plug-in: what measures one attaches through the hooks
// below (devhost/instruments/). Everything runs on the thread that called hostStart(), the UI thread.
#pragma once

#include "plugin/host_link.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr std::uint32_t defaultHostVersion = 0x000A1800;
inline constexpr char defaultPluginPath[] = "Plugins\\Kelvaron.dll";

enum class HostLoadResult {
    Loaded,
    DllMissing,     // LoadLibrary failed
    ExportsMissing, // MirandaPluginInfo, Load or Unload not exported
    Declined,       // MirandaPluginInfo returned null
    BadInfoSize,    // the record's size field is not 40
    NullInfoText,   // one of its six texts is null
    LoadFailed,     // Load returned nonzero
};
const char* hostLoadResultName(HostLoadResult result);

struct HostContact {
    HostWord handle;
    std::string name; // the display name, ANSI
    bool online;
    std::vector<std::string> modules; // attached modules, in chain order
};

// A menu item as it was added: a copy of its record, whose pointers only tell which were null (they
// may point into a DLL long gone), and copies of its texts.
struct HostMenuItem {
    MenuItemRecord record;
    // The bytes as given; for an item a Unicode host read as UTF-16, that text in the ANSI code page.
    std::string text;
    // The text as the menu shows it: as given for an item read as UTF-16, else the bytes in the ANSI
    // code page.
    std::wstring wideText;
    std::string service;
    std::string contactOwner; // the module whose contacts show the item ("" when null)
};

struct HostModule {
    std::string name;
    int type;
};

// A use of the link table by the plug-in: the entry ("callService", "hookEvent",
// "createServiceFunction", or one a plug-in has no business calling), the name it was given, and for
// callService its two words.
struct HostLinkUse {
    std::string entry;
    std::string name;
    HostWord wParam = 0, lParam = 0;
};

struct HostText {
    HostWord contact;
    std::string text; // ANSI bytes as the plug-in gave them
};

struct HostMessageBox {
    std::string caption;      // ANSI
    std::string text;         // ANSI
    std::wstring wideCaption; // as the box shows them, whatever the ANSI code page
    std::wstring wideText;
};

// --- life of the host and of the plug-in
// Sets up the host on the calling thread with its built-in services. Call once per process.
void hostStart();
// Makes the host a Unicode core (true) or an ANSI one, as the messenger's editions are: a Unicode core
// says so in its version text and reads menu items flagged menuItemUnicodeText as UTF-16. Set before
// loading the plug-in; the host starts, and every reset leaves it, an ANSI core.
void hostSetUnicodeCore(bool unicode);
// Forgets every contact, service, event, hook, menu item, window list, log and handler; for a fresh
// test. Only while no plug-in is loaded (one still loaded is shut down first, with a warning).
void hostReset();
// Loads the DLL, asks MirandaPluginInfo with hostVersion, checks the record, calls Load with the link
// table. On any refusal the DLL is freed again. One plug-in at a time: a loaded one is shut down first.
HostLoadResult hostLoadPlugin(const char* path = defaultPluginPath,
                              std::uint32_t hostVersion = defaultHostVersion);
bool hostPluginLoaded();
// The record MirandaPluginInfo returned for the plug-in loaded now (null when none is).
const PluginInfo* hostPluginInfo();
// Called with the DLL's module handle right after each load, before any of its code but DllMain runs;
// kept across resets. What measures the plug-in attaches here.
using HostModuleHook = void (*)(void* module);
void hostSetModuleHook(HostModuleHook hook);
// Notifies "Miranda/System/Shutdown", calls Unload, frees the DLL. The services and hooks the plug-in
// created go with its code (also when Load refused). Does nothing without a plug-in.
void hostShutdown();

// --- services, events and what the plug-in registered
HostWord hostCallService(const char* name, HostWord wParam, HostWord lParam);
// Creates a service as a plug-in would (tests use it for modules of their own in the chain), or
// replaces the one of that name.
void hostCreateService(const char* name, HostService service);
// Removes a service, built-in ones included: the host then lacks it.
void hostRemoveService(const char* name);
// Calls the hooks of an event in the order they were hooked; returns the first nonzero result, or 0.
int hostNotifyEvent(const char* name, HostWord wParam, HostWord lParam);
const std::vector<HostModule>& hostModules();
const std::vector<HostMenuItem>& hostMenuItems();
// The plug-in's uses of the link table (not the host's own calls or the test's), in order. An entry a
// plug-in has no business calling fails, and is also reported on stderr.
const std::vector<HostLinkUse>& hostPluginLinkUses();

// --- contacts
// Adds a contact and, as the messenger does, raises "DB/Contact/Added" with it; announce false stands
// for a host that adds contacts without telling its plug-ins.
HostWord hostAddContact(const std::string& name, bool online = true, bool announce = true);
const std::vector<HostContact>& hostContacts();

// --- contact menu
// Indices into hostMenuItems() of the items shown in this contact's menu.
std::vector<std::size_t> hostVisibleMenuItems(HostWord contact);
// Chooses an item for the contact: calls its service with the contact as wParam; returns its result.
HostWord hostChooseMenuItem(HostWord contact, std::size_t itemIndex);

// --- messages
// A text arrives from the contact: runs the receive chain and returns its result.
HostWord hostReceiveText(HostWord contact, const char* text);
// Texts the plug-in sent through "Proto/CallContactService" with "/SendMsg", in order.
const std::vector<HostText>& hostSentTexts();
// Texts that went through the whole chain and reached the chat, in order.
const std::vector<HostText>& hostChatLog();
// The message boxes the plug-in showed, recorded by what measures it (which answers each as if its OK
// button was pressed, so that nothing waits for a user).
const std::vector<HostMessageBox>& hostMessageBoxes();
void hostRecordMessageBox(const std::wstring& caption, const std::wstring& text);
// Clears the sent texts, the chat log, the message boxes and the plug-in's uses of the link table.
void hostClearLogs();
// Called for every sent text after it is recorded (the transport between two hosts hooks in here).
void hostSetSendHandler(std::function<void(HostWord contact, const std::string& text)> handler);
// Called as a text from a contact enters the receive chain (done false), and again once the chain has
// returned (done true); whoever watches the plug-in sees the text go in and what it left.
void hostSetReceiveObserver(std::function<void(const HostText& text, bool done)> observer);

// --- texts
// Between a code page's bytes (CP_ACP: the host's ANSI code page) and UTF-16.
std::wstring widened(const std::string& text, unsigned codePage);
std::string narrowed(const std::wstring& text, unsigned codePage);
// A window's text (a title, a control's caption) as UTF-16, and in the ANSI code page; "" for null.
std::wstring wideWindowText(HostHandle window);
std::string windowText(HostHandle window);

// --- window lists
std::vector<HostHandle> hostWindowList(HostWord list);

// Dispatches this thread's messages for about ms milliseconds (0: only what is queued).
void hostPumpMessages(unsigned ms);
