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

struct ServiceEntry {
    HostService function;
    HostHandle handle;
    bool createdByPlugin; // its code goes away with the plug-in's DLL
};

struct HookEntry {
    std::string event;
    HostHook hook;
    HostHandle handle;
    bool createdByPlugin;
};

struct WindowListMember {
    HostHandle window;
    HostWord contact;
};

struct LoadedPlugin {
    void* module = nullptr; // the DLL's HMODULE
    int (*unload)() = nullptr;
};

// A copy of the plug-in's information record that outlives the DLL: its texts point into infoTexts.
struct PluginInfoCopy {
    bool present = false;
    PluginInfo record = {};
    std::string texts[6];
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
    std::map<HostWord, std::vector<WindowListMember>> windowLists;
    HostWord lastWindowList = 0;
    HostWord lastSendId = 0;

    std::vector<HostServiceCall> pluginServiceCalls;
    std::vector<std::string> pluginLinkUses;
    std::vector<std::string> unexpectedCalls;
    std::vector<HostText> sentTexts;
    std::vector<HostText> chatLog;
    std::vector<HostMessageBox> messageBoxes;
    std::function<void(HostWord, const std::string&)> sendHandler;
    std::function<void(const HostText&, bool)> receiveObserver;
    std::function<void(const HostText&)> chatHandler;
    std::function<void(const HostMessageBox&)> messageBoxHandler;

    LoadedPlugin plugin;
    PluginInfoCopy info;
    // What the host is: the version handed to the plug-in at its load, and the kind of core.
    std::uint32_t version = defaultHostVersion;
    bool unicodeCore = false;
};

HostState& hostState();

// Built-in services, by topic; hostState() registers them at start and after every reset.
void addContactServices();
void addWindowListServices();
void addSystemServices();
// Drops the services and hooks the plug-in created through the link table, once its code is gone.
void forgetPluginRegistrations();
// Adds a built-in service (not the plug-in's).
void addBuiltInService(const char* name, HostService service);
