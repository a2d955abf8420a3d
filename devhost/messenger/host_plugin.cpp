// Loading the plug-in DLL as the messenger does (information record, checks, Load) and shutting it
// down again (shutdown event, Unload, FreeLibrary); the host's version and kind of core.
#include "devhost/messenger/host_state.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {
using PluginInfoFunction = const PluginInfo* (*)(DWORD hostVersion);
using LoadFunction = int (*)(const HostLinkTable* link);
using UnloadFunction = int (*)();

HostModuleHook moduleHook = nullptr;

// Frees the DLL on every path unless the load went through.
struct LibraryGuard {
    HMODULE module;
    ~LibraryGuard() {
        if (module)
            FreeLibrary(module);
    }
    HMODULE release() {
        HMODULE kept = module;
        module = nullptr;
        return kept;
    }
};

// Keeps what the record said after the DLL (and the record with it) is gone.
void copyInfo(const PluginInfo& record) {
    PluginInfoCopy& copy = hostState().info;
    copy.present = true;
    copy.record = record;
    const char** texts[] = {&copy.record.shortName,   &copy.record.description, &copy.record.author,
                            &copy.record.authorEmail, &copy.record.copyright,   &copy.record.homepage};
    for (std::size_t i = 0; i < 6; ++i) {
        if (!*texts[i])
            continue;
        copy.texts[i] = *texts[i];
        *texts[i] = copy.texts[i].c_str();
    }
}

bool anyInfoTextNull(const PluginInfo& record) {
    return !record.shortName || !record.description || !record.author || !record.authorEmail ||
           !record.copyright || !record.homepage;
}

// The messenger looks plug-ins up relative to its folder, whatever the loader's search order says.
std::string fullPath(const char* path) {
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string(path);
}

// "Miranda/System/GetVersionText": the version as "major.minor.release[.build]", then the mark of a
// Unicode core; cut to the buffer.
HostWord getVersionText(HostWord size, HostWord lParam) {
    auto buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || size <= 0)
        return 1;
    const HostState& state = hostState();
    std::uint32_t version = state.version;
    std::string text = std::to_string(version >> 24) + "." + std::to_string(version >> 16 & 0xFF) + "." +
                       std::to_string(version >> 8 & 0xFF);
    if (version & 0xFF)
        text += "." + std::to_string(version & 0xFF);
    if (state.unicodeCore)
        text += std::string(" ") + unicodeCoreMark;
    std::size_t copied = text.copy(buffer, static_cast<std::size_t>(size) - 1);
    buffer[copied] = '\0';
    return 0;
}

HostLoadResult loadPlugin(const char* path, std::uint32_t hostVersion) {
    LibraryGuard library{LoadLibraryA(fullPath(path).c_str())};
    if (!library.module)
        return HostLoadResult::DllMissing;
    // Before any of its code but DllMain runs, so that what attached sees everything from here on.
    if (moduleHook)
        moduleHook(library.module);
    auto info = reinterpret_cast<PluginInfoFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.module, "MirandaPluginInfo")));
    auto load =
        reinterpret_cast<LoadFunction>(reinterpret_cast<void*>(GetProcAddress(library.module, "Load")));
    auto unload =
        reinterpret_cast<UnloadFunction>(reinterpret_cast<void*>(GetProcAddress(library.module, "Unload")));
    if (!info || !load || !unload)
        return HostLoadResult::ExportsMissing;

    const PluginInfo* record = info(hostVersion);
    if (!record)
        return HostLoadResult::Declined;
    copyInfo(*record);
    if (record->size != static_cast<int>(sizeof(PluginInfo)))
        return HostLoadResult::BadInfoSize;
    if (anyInfoTextNull(*record))
        return HostLoadResult::NullInfoText;

    int loaded = load(hostLinkTable());
    if (loaded != 0) {
        forgetPluginRegistrations(); // whatever Load registered dies with the DLL
        return HostLoadResult::LoadFailed;
    }
    hostState().plugin = LoadedPlugin{library.release(), unload};
    return HostLoadResult::Loaded;
}
} // namespace

const char* hostLoadResultName(HostLoadResult result) {
    switch (result) {
    case HostLoadResult::Loaded:
        return "Loaded";
    case HostLoadResult::DllMissing:
        return "DllMissing";
    case HostLoadResult::ExportsMissing:
        return "ExportsMissing";
    case HostLoadResult::Declined:
        return "Declined";
    case HostLoadResult::BadInfoSize:
        return "BadInfoSize";
    case HostLoadResult::NullInfoText:
        return "NullInfoText";
    case HostLoadResult::LoadFailed:
        return "LoadFailed";
    }
    return "?";
}

HostLoadResult hostLoadPlugin(const char* path, std::uint32_t hostVersion) {
    if (hostPluginLoaded()) {
        std::fprintf(stderr, "devhost: a plug-in is loaded already; shutting it down first\n");
        hostShutdown();
    }
    hostState().info = PluginInfoCopy{};
    hostState().version = hostVersion;
    return loadPlugin(path ? path : defaultPluginPath, hostVersion);
}

void hostSetModuleHook(HostModuleHook hook) { moduleHook = hook; }

void addSystemServices() { addBuiltInService(hostnames::getVersionText, getVersionText); }

void hostSetUnicodeCore(bool unicode) { hostState().unicodeCore = unicode; }

bool hostPluginLoaded() { return hostState().plugin.module != nullptr; }

const PluginInfo* hostPluginInfo() {
    const PluginInfoCopy& copy = hostState().info;
    return copy.present ? &copy.record : nullptr;
}

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
