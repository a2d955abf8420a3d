// Kelvaron.dll loaded as the messenger loads it: the version gate, the records and manifest it carries,
// what Load registers in which order, the menu item for each kind of core, and the window class's life (the
// manifest is checked with the archive).
#include "plugin_test.h"

#include <cstring>

namespace {
constexpr char dll[] = "Plugins\\Kelvaron.dll";
// What Load asks of a host without contacts, and what it asks about each contact between.
const std::string loadStart =
                      "Utils/AllocWindowList(0, 0); Proto/RegisterModule(0, p); create Kelvaron/RecvMessage; "
                      "DB/Contact/FindFirst(0, 0)",
                  loadEnd =
                      "; hook DB/Contact/Added; hook Miranda/System/Shutdown; create Kelvaron/PlayGame; "
                      "Miranda/System/GetVersionText(128, p); CList/AddContactMenuItem(0, p)";

std::wstring from1251(const char* text) { return widened(text, 1251); }
template <typename Function> Function exported(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
} // namespace

// The gate on the host's version; the information record as a whole, 40 bytes in the messenger's
// 32-bit edition and 72 in its 64-bit one, its version 0.0.0.6 a byte a part, major first; the DLL's
// version record with the same version and a Russian description.
TEST_F(PluginTest, VersionGateAndTheRecordsTheDllCarries) {
    for (std::uint32_t version : {0x0u, 0x00010200u, 0x00010201u, 0xFFFFFFFFu}) {
        EXPECT_EQ(hostLoadPlugin(dll, version),
                  version > 0x00010200u ? HostLoadResult::Loaded : HostLoadResult::Declined)
            << version;
        hostShutdown();
    }
    ASSERT_TRUE(loaded());
    const PluginInfo& info = *hostPluginInfo();
    EXPECT_EQ(line(info.size, from1251(info.shortName), info.version, from1251(info.description), info.flags,
                   info.replacesDefaultModule),
              line(build64 ? 72 : 40, "Карточная игра в дурака 6 Карточная игра в дурака 0 0"));
    EXPECT_TRUE(*info.author && *info.authorEmail && *info.copyright &&
                !std::strncmp(info.homepage, "http://", 7));
    std::vector<BYTE> record(GetFileVersionInfoSizeA(dll, nullptr));
    GetFileVersionInfoA(dll, 0, static_cast<DWORD>(record.size()), record.data());
    VS_FIXEDFILEINFO* fixed = nullptr;
    wchar_t* description = nullptr;
    UINT size = 0;
    VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &size);
    VerQueryValueW(record.data(), L"\\StringFileInfo\\041904E3\\FileDescription",
                   reinterpret_cast<void**>(&description), &size);
    ASSERT_TRUE(fixed && description);
    EXPECT_EQ(line(fixed->dwFileVersionMS, fixed->dwFileVersionLS, std::wstring(description)),
              "0 6 Карточная игра в дурака");
}

// A scan of the plug-in folder loads, asks and frees the DLL, several times; its record and Unload ask
// nothing of the host. Regression: the window class outlived the DLL that registered it, pointing into
// freed code, so a messenger that lists its plug-ins so could not open a game window afterwards.
// Regression: the class's brush was deleted even when a window of the class kept the class alive.
TEST_F(PluginTest, WindowClassLivesAsLongAsTheDllOrAWindowOfIt) {
    WNDCLASSW windowClass = {};
    for (int scan = 0; scan < 3; ++scan) {
        HMODULE module = LoadLibraryA(dll);
        auto info = exported<const PluginInfo* (*)(DWORD)>(module, "MirandaPluginInfo");
        EXPECT_EQ(info(defaultHostVersion), info(0xFFFFFFFF)) << "one record for the module's life";
        EXPECT_EQ(exported<int (*)()>(module, "Unload")(), 0);
        EXPECT_TRUE(GetClassInfoW(module, gameWindowClassNameW, &windowClass));
        FreeLibrary(module);
        EXPECT_FALSE(GetClassInfoW(module, gameWindowClassNameW, &windowClass)) << "outlived the DLL";
    }
    EXPECT_EQ(uses(), "");
    HMODULE module = LoadLibraryA(dll);
    HWND kept =
        CreateWindowExW(0, gameWindowClassNameW, L"", 0, 0, 0, 9, 9, nullptr, nullptr, module, nullptr);
    // Its procedure goes with the DLL: the default one serves the window from now on.
    SetWindowLongPtrW(kept, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    auto brush = reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(kept, GCLP_HBRBACKGROUND));
    FreeLibrary(module);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH)) << "the class brush was deleted";
    DestroyWindow(kept);
    UnregisterClassW(gameWindowClassNameW, module);
    DeleteObject(brush);
    ASSERT_TRUE(loaded());
    choose(alice);
    EXPECT_NE(window(), nullptr);
}

// Bob has the module from an earlier run of the messenger: each contact is asked once and only Alice is
// attached; a contact added while the messenger runs is attached when the host announces it.
TEST_F(PluginTest, LoadRegistersInItsOrderAndAttachesEveryContactOnce) {
    hostCallService(hostnames::addToContact, bob, HostWord("Kelvaron"));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(
        uses(),
        loadStart +
            "; Proto/IsProtoOnContact(Alice, p); Proto/AddToContact(Alice, p); "
            "DB/Contact/FindNext(Alice, 0); Proto/IsProtoOnContact(Bob, p); DB/Contact/FindNext(Bob, 0)" +
            loadEnd);
    EXPECT_EQ(line(hostModules().size(), hostModules().at(0).name, hostModules()[0].type), "1 Kelvaron 1991");
    hostClearLogs();
    hostAddContact("Carol");
    EXPECT_EQ(uses(), "Proto/IsProtoOnContact(Carol, p); Proto/AddToContact(Carol, p)");
    for (const HostContact& contact : hostContacts())
        EXPECT_EQ(contact.modules, std::vector<std::string>{"Kelvaron"}) << contact.name;
}

// The contact-menu item as each kind of core without contacts reads it: a Unicode core gets the name as
// UTF-16 and the flag that says so (flags 8 | 0x200, 520); an ANSI core, and a host that does not say it
// is Unicode, gets Windows-1251 bytes (flags 8). The icon is the small contact-menu one (LoadIcon hands
// out one shared handle per resource). A host without contacts is asked about none.
TEST_F(PluginTest, MenuItemIsUtf16ForAUnicodeCoreAndWindows1251BytesOtherwise) {
    enum Service { present, missing, failing }; // failing: writes a Unicode core's text, reports failure
    for (auto [unicodeCore, version, unicodeItem] :
         {std::tuple{false, present, false}, std::tuple{true, present, true},
          std::tuple{true, missing, false}, std::tuple{true, failing, false}}) {
        hostReset();
        hostSetUnicodeCore(unicodeCore);
        if (version == missing)
            hostRemoveService(hostnames::getVersionText);
        if (version == failing)
            hostCreateService(hostnames::getVersionText, [](HostWord size, HostWord text) -> HostWord {
                return std::strncpy(reinterpret_cast<char*>(text), "0.10.24 Unicode", size) != nullptr;
            });
        ASSERT_TRUE(loaded());
        const HostMenuItem& item = hostMenuItems().at(0);
        const MenuItemRecord& r = item.record;
        EXPECT_EQ(line(uses(), hostMenuItems().size(), r.size,
                       unicodeItem ? item.wideText : from1251(item.text.c_str()), r.flags, r.position,
                       item.service, !r.popupName && !r.popupPosition && !r.hotKey && !r.contactOwner),
                  line(loadStart + loadEnd, 1, build64 ? 64 : 40, "Игра в дурака", unicodeItem ? 520 : 8,
                       "5 Kelvaron/PlayGame 1"))
            << "Unicode core " << unicodeCore << ", version service " << version;
        EXPECT_EQ(r.icon, LoadIconA(GetModuleHandleA("Kelvaron.dll"), MAKEINTRESOURCEA(119)));
        hostShutdown();
    }
}
