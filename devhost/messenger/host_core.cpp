// The development host's registry of services and event hooks, the link table handed to the plug-in,
// the logs and their handlers, and the reset between tests.
#include "devhost/messenger/host_state.h"

#include <cstdio>

namespace {
HostHandle newHandle() { return reinterpret_cast<HostHandle>(++hostState().lastHandle); }

HostHandle createService(const char* name, HostService service, bool createdByPlugin) {
    if (!name || !service)
        return nullptr;
    HostHandle handle = newHandle();
    hostState().services[name] = ServiceEntry{service, handle, createdByPlugin};
    return handle;
}

// Entries a plug-in has no business calling: each call is reported at once and remembered, and
// fails, so that a plug-in relying on one cannot pass unnoticed.
void reportUnexpectedCall(const char* entry, const char* name = nullptr) {
    std::fprintf(stderr, "devhost: the plug-in called %s%s%s%s, which a plug-in must not use\n", entry,
                 name ? "(\"" : "", name ? name : "", name ? "\")" : "");
    std::fflush(stderr);
    hostState().unexpectedCalls.push_back(entry);
}

constexpr int unexpectedCallResult = -1;

HostHandle linkCreateHookableEvent(const char* name) {
    reportUnexpectedCall("createHookableEvent", name);
    return nullptr;
}

int linkDestroyHookableEvent(HostHandle) {
    reportUnexpectedCall("destroyHookableEvent");
    return unexpectedCallResult;
}

int linkNotifyEventHooks(HostHandle, HostWord, HostWord) {
    reportUnexpectedCall("notifyEventHooks");
    return unexpectedCallResult;
}

void noteLinkUse(const char* entry, const char* name) {
    hostState().pluginLinkUses.push_back(std::string(entry) + " " + (name ? name : "(null)"));
}

HostHandle linkHookEvent(const char* name, HostHook hook) {
    noteLinkUse("hookEvent", name);
    if (!name || !hook)
        return nullptr;
    HostHandle handle = newHandle();
    hostState().hooks.push_back(HookEntry{name, hook, handle, true});
    return handle;
}

HostHandle linkHookEventMessage(const char* name, HostHandle, unsigned) {
    reportUnexpectedCall("hookEventMessage", name);
    return nullptr;
}

int linkUnhookEvent(HostHandle) {
    reportUnexpectedCall("unhookEvent");
    return unexpectedCallResult;
}

HostHandle linkCreateServiceFunction(const char* name, HostService service) {
    noteLinkUse("createServiceFunction", name);
    // As in the messenger, a name is taken once: a second service of the same name is refused.
    if (name && hostServiceExists(name))
        return nullptr;
    return createService(name, service, true);
}

HostHandle linkCreateTransientServiceFunction(const char* name, HostService) {
    reportUnexpectedCall("createTransientServiceFunction", name);
    return nullptr;
}

int linkDestroyServiceFunction(HostHandle) {
    reportUnexpectedCall("destroyServiceFunction");
    return unexpectedCallResult;
}

HostWord linkCallService(const char* name, HostWord wParam, HostWord lParam) {
    noteLinkUse("callService", name);
    hostState().pluginServiceCalls.push_back(HostServiceCall{name ? name : "", wParam, lParam});
    return hostCallService(name, wParam, lParam);
}

const HostLinkTable linkTable = {
    linkCreateHookableEvent,    linkDestroyHookableEvent,
    linkNotifyEventHooks,       linkHookEvent,
    linkHookEventMessage,       linkUnhookEvent,
    linkCreateServiceFunction,  linkCreateTransientServiceFunction,
    linkDestroyServiceFunction, linkCallService,
};

void addBuiltInServices() {
    addContactServices();
    addWindowListServices();
    addSystemServices();
}
} // namespace

HostState& hostState() {
    static HostState state;
    static bool builtInServicesAdded = false;
    if (!builtInServicesAdded) {
        builtInServicesAdded = true;
        addBuiltInServices();
    }
    return state;
}

void addBuiltInService(const char* name, HostService service) { createService(name, service, false); }

void forgetPluginRegistrations() {
    HostState& state = hostState();
    for (auto it = state.services.begin(); it != state.services.end();) {
        if (it->second.createdByPlugin)
            it = state.services.erase(it);
        else
            ++it;
    }
    std::vector<HookEntry> kept;
    for (const HookEntry& hook : state.hooks)
        if (!hook.createdByPlugin)
            kept.push_back(hook);
    state.hooks = kept;
}

void hostReset() {
    if (hostPluginLoaded()) {
        std::fprintf(stderr, "devhost: reset while a plug-in is loaded; shutting it down first\n");
        hostShutdown();
    }
    hostState() = HostState{};
    addBuiltInServices();
}

const HostLinkTable* hostLinkTable() { return &linkTable; }

HostWord hostCallService(const char* name, HostWord wParam, HostWord lParam) {
    if (!name)
        return serviceNotFound;
    const auto& services = hostState().services;
    auto found = services.find(name);
    if (found == services.end())
        return serviceNotFound;
    // The service may add or remove services while it runs: call through a copy of the pointer.
    HostService service = found->second.function;
    return service(wParam, lParam);
}

bool hostServiceExists(const char* name) { return name && hostState().services.count(name) != 0; }

void hostCreateService(const char* name, HostService service) { createService(name, service, false); }

void hostRemoveService(const char* name) {
    if (name)
        hostState().services.erase(name);
}

int hostNotifyEvent(const char* name, HostWord wParam, HostWord lParam) {
    if (!name)
        return 0;
    // Hooks may hook or unhook while the event runs: call those present when it started.
    std::vector<HostHook> hooks;
    for (const HookEntry& entry : hostState().hooks)
        if (entry.event == name)
            hooks.push_back(entry.hook);
    int firstNonzero = 0;
    for (HostHook hook : hooks) {
        int result = hook(wParam, lParam);
        if (firstNonzero == 0)
            firstNonzero = result;
    }
    return firstNonzero;
}

std::size_t hostHookCount(const char* name) {
    std::size_t count = 0;
    for (const HookEntry& entry : hostState().hooks)
        if (name && entry.event == name)
            ++count;
    return count;
}

const std::vector<HostServiceCall>& hostPluginServiceCalls() { return hostState().pluginServiceCalls; }
const std::vector<std::string>& hostPluginLinkUses() { return hostState().pluginLinkUses; }
const std::vector<std::string>& hostUnexpectedCalls() { return hostState().unexpectedCalls; }
const std::vector<HostText>& hostSentTexts() { return hostState().sentTexts; }
const std::vector<HostText>& hostChatLog() { return hostState().chatLog; }
const std::vector<HostMessageBox>& hostMessageBoxes() { return hostState().messageBoxes; }

void hostClearLogs() {
    HostState& state = hostState();
    state.pluginServiceCalls.clear();
    state.pluginLinkUses.clear();
    state.unexpectedCalls.clear();
    state.sentTexts.clear();
    state.chatLog.clear();
    state.messageBoxes.clear();
}

void hostSetSendHandler(std::function<void(HostWord contact, const std::string& text)> handler) {
    hostState().sendHandler = std::move(handler);
}

void hostSetReceiveObserver(std::function<void(const HostText& text, bool done)> observer) {
    hostState().receiveObserver = std::move(observer);
}

void hostSetChatHandler(std::function<void(const HostText&)> handler) {
    hostState().chatHandler = std::move(handler);
}

void hostSetMessageBoxHandler(std::function<void(const HostMessageBox&)> handler) {
    hostState().messageBoxHandler = std::move(handler);
}
