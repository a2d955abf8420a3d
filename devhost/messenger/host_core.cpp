// The development host's registry of services and event hooks, the link table handed to the plug-in,
// the version service, and the logs and their handlers.
#include "devhost/messenger/host_state.h"

#include <windows.h>

#include <cstdio>
#include <type_traits>

namespace {
HostHandle newHandle() { return reinterpret_cast<HostHandle>(++hostState().lastHandle); }

HostHandle createService(const char* name, HostService service, bool createdByPlugin) {
    if (!name || !service)
        return nullptr;
    hostState().services[name] = ServiceEntry{service, createdByPlugin};
    return newHandle();
}

// The link table's entries by their place in it.
constexpr const char* entryNames[] = {"createHookableEvent",    "destroyHookableEvent",
                                      "notifyEventHooks",       "hookEvent",
                                      "hookEventMessage",       "unhookEvent",
                                      "createServiceFunction",  "createTransientServiceFunction",
                                      "destroyServiceFunction", "callService"};

// Entries a plug-in has no business calling: each call is reported at once and remembered, and fails,
// so that a plug-in relying on one cannot pass unnoticed.
template <std::size_t entry, typename Result, typename... Arguments> Result unexpectedCall(Arguments...) {
    std::fprintf(stderr, "devhost: the plug-in called %s, which a plug-in must not use\n", entryNames[entry]);
    std::fflush(stderr);
    hostState().logs.pluginLinkUses.push_back({entryNames[entry], ""});
    if constexpr (std::is_pointer_v<Result>)
        return nullptr;
    else
        return -1;
}

void noteLinkUse(const char* entry, const char* name, HostWord wParam = 0, HostWord lParam = 0) {
    hostState().logs.pluginLinkUses.push_back({entry, name ? name : "(null)", wParam, lParam});
}

HostHandle linkHookEvent(const char* name, HostHook hook) {
    noteLinkUse("hookEvent", name);
    if (!name || !hook)
        return nullptr;
    hostState().hooks.push_back(HookEntry{name, hook});
    return newHandle();
}

HostHandle linkCreateServiceFunction(const char* name, HostService service) {
    noteLinkUse("createServiceFunction", name);
    // As in the messenger, a name is taken once: a second service of the same name is refused.
    if (name && hostState().services.count(name) != 0)
        return nullptr;
    return createService(name, service, true);
}

HostWord linkCallService(const char* name, HostWord wParam, HostWord lParam) {
    noteLinkUse("callService", name, wParam, lParam);
    return hostCallService(name, wParam, lParam);
}

const HostLinkTable linkTable = {
    unexpectedCall<0>, unexpectedCall<1>,         unexpectedCall<2>, linkHookEvent,     unexpectedCall<4>,
    unexpectedCall<5>, linkCreateServiceFunction, unexpectedCall<7>, unexpectedCall<8>, linkCallService,
};

// "Miranda/System/GetVersionText": the version as "major.minor.release[.build]", then the mark of a
// Unicode core; cut to the buffer.
HostWord getVersionText(HostWord size, HostWord lParam) {
    auto buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || size <= 0)
        return serviceFailed;
    const HostState& state = hostState();
    std::uint32_t version = state.version;
    std::string text = std::to_string(version >> 24) + "." + std::to_string(version >> 16 & 0xFF) + "." +
                       std::to_string(version >> 8 & 0xFF);
    if (version & 0xFF)
        text += "." + std::to_string(version & 0xFF);
    if (state.unicodeCore)
        text += std::string(" ") + unicodeCoreMark;
    buffer[text.copy(buffer, static_cast<std::size_t>(size) - 1)] = '\0';
    return serviceSucceeded;
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

void addBuiltInServices() {
    addContactServices();
    addWindowListServices();
    hostCreateService(hostnames::getVersionText, getVersionText);
}

void forgetPluginRegistrations() {
    HostState& state = hostState();
    for (auto it = state.services.begin(); it != state.services.end();)
        it = it->second.createdByPlugin ? state.services.erase(it) : std::next(it);
    state.hooks.clear();
}

const HostLinkTable* hostLinkTable() { return &linkTable; }

HostWord hostCallService(const char* name, HostWord wParam, HostWord lParam) {
    const auto& services = hostState().services;
    auto found = name ? services.find(name) : services.end();
    // The service may add or remove services while it runs: call through a copy of the pointer.
    HostService service = found != services.end() ? found->second.function : nullptr;
    return service ? service(wParam, lParam) : serviceNotFound;
}

void hostCreateService(const char* name, HostService service) { createService(name, service, false); }

void hostRemoveService(const char* name) {
    if (name)
        hostState().services.erase(name);
}

int hostNotifyEvent(const char* name, HostWord wParam, HostWord lParam) {
    // Hooks may hook or unhook while the event runs: call those present when it started.
    std::vector<HostHook> hooks;
    for (const HookEntry& entry : hostState().hooks)
        if (name && entry.event == name)
            hooks.push_back(entry.hook);
    int firstNonzero = 0;
    for (HostHook hook : hooks) {
        int result = hook(wParam, lParam);
        firstNonzero = firstNonzero ? firstNonzero : result;
    }
    return firstNonzero;
}

const std::vector<HostLinkUse>& hostPluginLinkUses() { return hostState().logs.pluginLinkUses; }
const std::vector<HostText>& hostSentTexts() { return hostState().logs.sentTexts; }
const std::vector<HostText>& hostChatLog() { return hostState().logs.chatLog; }
const std::vector<HostMessageBox>& hostMessageBoxes() { return hostState().logs.messageBoxes; }

void hostRecordMessageBox(const std::wstring& caption, const std::wstring& text) {
    hostState().logs.messageBoxes.push_back(
        {narrowed(caption, CP_ACP), narrowed(text, CP_ACP), caption, text});
}
void hostClearLogs() { hostState().logs = HostLogs{}; }

void hostSetSendHandler(std::function<void(HostWord contact, const std::string& text)> handler) {
    hostState().sendHandler = std::move(handler);
}

void hostSetReceiveObserver(std::function<void(const HostText& text, bool done)> observer) {
    hostState().receiveObserver = std::move(observer);
}
