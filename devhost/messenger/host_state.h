// The development host's state, shared by the library's source files and private to them (tests and
// devhost.exe use devhost/messenger/host.h). One instance for the process, on the host's UI thread.
#pragma once

#include "devhost/messenger/host.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// What the built-in services that change something return.
constexpr HostWord serviceFailed = 1;
constexpr HostWord serviceSucceeded = 0;

struct ServiceEntry {
    HostService function;
    bool createdByPlugin; // its code goes away with the plug-in's DLL
};

// Every hook is the plug-in's: the host itself hooks no event.
struct HookEntry {
    std::string event;
    HostHook hook;
};

struct LoadedPlugin {
    void* module = nullptr; // the DLL's HMODULE
    int (*unload)() = nullptr;
    const PluginInfo* info = nullptr; // in the DLL's memory
};

// What hostClearLogs() clears.
struct HostLogs {
    std::vector<HostLinkUse> pluginLinkUses;
    std::vector<HostText> sentTexts;
    std::vector<HostText> chatLog;
    std::vector<HostMessageBox> messageBoxes;
};

struct HostState {
    std::map<std::string, ServiceEntry> services;
    std::vector<HookEntry> hooks;
    std::uintptr_t lastHandle = 0; // service and hook handles

    std::vector<HostContact> contacts;
    // The texts "CList/GetContactDisplayName" hands out; a deque never moves what it holds.
    std::deque<std::string> displayNames;
    HostWord lastContact = 0x1000; // contact handles look nothing like indices or counts
    std::vector<HostModule> modules;
    std::vector<HostMenuItem> menuItems;
    std::map<HostWord, std::vector<HostHandle>> windowLists; // the windows of each list
    HostWord lastWindowList = 0;
    HostWord lastSendId = 0;

    HostLogs logs;
    std::function<void(HostWord, const std::string&)> sendHandler;
    std::function<void(const HostText&, bool)> receiveObserver;

    LoadedPlugin plugin;
    // What the host is: the version handed to the plug-in at its load, and the kind of core.
    std::uint32_t version = defaultHostVersion;
    bool unicodeCore = false;
};

// The state, with the built-in services registered the first time it is asked for.
HostState& hostState();

// Registers the built-in services, by topic: all of them (host_core.cpp, at start and after every
// reset), the contacts' (host_contacts.cpp) and the window lists' (host_windows.cpp).
void addBuiltInServices();
void addContactServices();
void addWindowListServices();
// Drops the services and hooks the plug-in created through the link table, once its code is gone.
void forgetPluginRegistrations();
// The table handed to the plug-in's Load.
const HostLinkTable* hostLinkTable();
