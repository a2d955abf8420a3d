// Loading the plug-in DLL as the messenger does (information record, checks, Load), shutting it down
// again (shutdown event, Unload, FreeLibrary), and the reset between tests, which shuts it down first.
#include "devhost/messenger/host_state.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {
HostModuleHook moduleHook = nullptr;

// A plug-in still loaded where none should be is shut down, with a warning.
void shutDownFirst(const char* situation) {
    if (!hostPluginLoaded())
        return;
    std::fprintf(stderr, "devhost: %s; shutting it down first\n", situation);
    hostShutdown();
}

template <typename Function> Function exported(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The messenger looks plug-ins up relative to its folder, whatever the loader's search order says.
std::string fullPath(const char* path) {
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string(path);
}

// Asks the freshly loaded DLL for its record, checks it and calls Load; the caller frees the DLL
// unless the plug-in loaded.
HostLoadResult startPlugin(HMODULE module, std::uint32_t hostVersion) {
    // Before any of its code but DllMain runs, so that what attached sees everything from here on.
    if (moduleHook)
        moduleHook(module);
    auto info = exported<const PluginInfo* (*)(DWORD)>(module, "MirandaPluginInfo");
    auto load = exported<int (*)(const HostLinkTable*)>(module, "Load");
    auto unload = exported<int (*)()>(module, "Unload");
    if (!info || !load || !unload)
        return HostLoadResult::ExportsMissing;
    const PluginInfo* record = info(hostVersion);
    if (!record)
        return HostLoadResult::Declined;
    if (record->size != static_cast<int>(sizeof(PluginInfo)))
        return HostLoadResult::BadInfoSize;
    for (const char* text : {record->shortName, record->description, record->author, record->authorEmail,
                             record->copyright, record->homepage})
        if (!text)
            return HostLoadResult::NullInfoText;
    if (load(hostLinkTable()) != 0) {
        forgetPluginRegistrations(); // whatever Load registered dies with the DLL
        return HostLoadResult::LoadFailed;
    }
    hostState().plugin = LoadedPlugin{module, unload, record};
    return HostLoadResult::Loaded;
}
} // namespace

const char* hostLoadResultName(HostLoadResult result) {
    static const char* const names[] = {"Loaded",      "DllMissing",   "ExportsMissing", "Declined",
                                        "BadInfoSize", "NullInfoText", "LoadFailed"};
    auto index = static_cast<std::size_t>(result);
    return index < std::size(names) ? names[index] : "?";
}

HostLoadResult hostLoadPlugin(const char* path, std::uint32_t hostVersion) {
    shutDownFirst("a plug-in is loaded already");
    hostState().version = hostVersion;
    HMODULE module = LoadLibraryA(fullPath(path ? path : defaultPluginPath).c_str());
    if (!module)
        return HostLoadResult::DllMissing;
    HostLoadResult result = startPlugin(module, hostVersion);
    if (result != HostLoadResult::Loaded)
        FreeLibrary(module);
    return result;
}

void hostSetModuleHook(HostModuleHook hook) { moduleHook = hook; }

void hostSetUnicodeCore(bool unicode) { hostState().unicodeCore = unicode; }

bool hostPluginLoaded() { return hostState().plugin.module != nullptr; }

const PluginInfo* hostPluginInfo() { return hostState().plugin.info; }

void hostShutdown() {
    if (!hostPluginLoaded())
        return;
    hostNotifyEvent(hostnames::shutdownEvent, 0, 0);
    LoadedPlugin plugin = hostState().plugin;
    plugin.unload();
    hostState().plugin = LoadedPlugin{};
    FreeLibrary(static_cast<HMODULE>(plugin.module));
    forgetPluginRegistrations();
}

void hostReset() {
    shutDownFirst("reset while a plug-in is loaded");
    hostState() = HostState{};
    addBuiltInServices();
}
