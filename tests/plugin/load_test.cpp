// Loading Kelvaron.dll: the version gate, the information record, the window class's life and what
// Load registers. The exports and imports are checked without loading (package_test.sh).
#include "plugin_fixture.h"

#include "engine/texts.h"
#include "window/game_window.h"

#include <algorithm>

namespace {
constexpr char pluginPath[] = "Plugins\\Kelvaron.dll";

// A version service that writes a Unicode core's text but reports failure.
HostWord failingUnicodeVersionText(HostWord size, HostWord lParam) {
    std::string text = std::string("0.10.24 ") + unicodeCoreMark;
    auto buffer = reinterpret_cast<char*>(lParam);
    if (buffer && size > static_cast<HostWord>(text.size()))
        buffer[text.copy(buffer, text.size())] = '\0';
    return 1;
}
} // namespace

// The record sizes the messenger checks: 40 and 40 bytes in its 32-bit edition, 72 and 64 in the
// 64-bit one; each build is checked against its own edition.
constexpr bool build64 = sizeof(void*) == 8;
constexpr int expectedInfoSize = build64 ? 72 : 40;
constexpr int expectedMenuItemSize = build64 ? 64 : 40;

// The gate on the host's version, the information record's version (0.0.0.6 as one word, a byte a
// part, major first) and the DLL's version record, which holds the same and a Russian description.
TEST_F(PluginTest, VersionGateAndVersionRecords) {
    const std::pair<std::uint32_t, bool> versions[] = {
        {0x00000000, false}, {0x00010200, false}, {0x00010201, true}, {0x000A1800, true}, {0xFFFFFFFF, true}};
    for (auto [version, accepted] : versions) {
        HostLoadResult result = hostLoadPlugin(pluginPath, version);
        EXPECT_EQ(result, accepted ? HostLoadResult::Loaded : HostLoadResult::Declined)
            << std::hex << "host version 0x" << version << ": " << hostLoadResultName(result);
        if (accepted) {
            ASSERT_NE(hostPluginInfo(), nullptr);
            EXPECT_EQ(hostPluginInfo()->size, expectedInfoSize);
            EXPECT_EQ(hostPluginInfo()->version, 6u);
            hostShutdown();
        }
    }
    std::vector<BYTE> record(GetFileVersionInfoSizeA(pluginPath, nullptr));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoA(pluginPath, 0, static_cast<DWORD>(record.size()), record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 0)); // 0.0
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(6, 0)); // .0.6: the low word is the last part
    wchar_t* description = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\StringFileInfo\\041904E3\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, L"Карточная игра в дурака");
}

// A scan of the plug-in folder loads, asks and frees the DLL, several times. Regression: the window
// class outlived the DLL that registered it, pointing into freed code, so a messenger that loads and
// frees its plug-ins to list them could not open a game window afterwards.
TEST_F(PluginTest, InformationRecordAsksNothingAndLeavesNothingBehind) {
    for (int scan = 0; scan < 3; ++scan) {
        HMODULE module = LoadLibraryA(pluginPath);
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        auto info = reinterpret_cast<const PluginInfo* (*)(DWORD)>(
            reinterpret_cast<void*>(GetProcAddress(module, "MirandaPluginInfo")));
        ASSERT_NE(info, nullptr);
        const PluginInfo* record = info(0x000A1800);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record, info(0x000A1800));
        for (const char* text : {record->shortName, record->description, record->author, record->authorEmail,
                                 record->copyright, record->homepage})
            EXPECT_TRUE(text && *text) << "a missing text in the information record";
        WNDCLASSA windowClass = {};
        EXPECT_TRUE(GetClassInfoA(module, gameWindowClassName, &windowClass));
        FreeLibrary(module);
        EXPECT_FALSE(GetClassInfoA(module, gameWindowClassName, &windowClass)) << "outlived the DLL";
    }
    EXPECT_TRUE(hostPluginServiceCalls().empty());
    loadPlugin();
    choosePlayGame(alice);
    EXPECT_NE(gameWindowHandle(), nullptr);
}

// Regression: the class's brush was deleted even when a window of the class kept the class alive.
TEST_F(PluginTest, ClassBrushOutlivesTheDllWhileAWindowOfTheClassExists) {
    HMODULE module = LoadLibraryA(pluginPath);
    ASSERT_NE(module, nullptr);
    HWND window = CreateWindowExW(0, gameWindowClassNameW, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, module, nullptr);
    ASSERT_NE(window, nullptr);
    // Its procedure goes with the DLL: let the default one serve the window from now on.
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    auto brush = reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    FreeLibrary(module);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH)) << "the class brush was deleted";
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassW(gameWindowClassNameW, module));
    DeleteObject(brush);
}

// Bob has the module from an earlier run of the messenger: each contact is asked once, and only Alice is
// attached; a contact added while the messenger runs is attached when the host announces it.
TEST_F(PluginTest, LoadRegistersModuleServicesHooksAndMenuItemInItsOrderAndAttachesEveryContactOnce) {
    hostCallService(hostnames::addToContact, bob, reinterpret_cast<HostWord>("Kelvaron"));
    loadPlugin();
    const std::vector<std::string> expected = {
        "callService Utils/AllocWindowList",
        "callService Proto/RegisterModule",
        "createServiceFunction Kelvaron/RecvMessage",
        "callService DB/Contact/FindFirst",
        "callService Proto/IsProtoOnContact",
        "callService Proto/AddToContact",
        "callService DB/Contact/FindNext",
        "callService Proto/IsProtoOnContact",
        "callService DB/Contact/FindNext",
        "hookEvent Miranda/System/Shutdown",
        "createServiceFunction Kelvaron/PlayGame",
        "callService CList/AddContactMenuItem",
    };
    // Each step in this order; anything else the plug-in may do in between is not this test's concern.
    const std::vector<std::string>& uses = hostPluginLinkUses();
    std::size_t next = 0;
    std::string log;
    for (const std::string& use : uses) {
        next += next < expected.size() && use == expected[next];
        log += "\n  " + use;
    }
    EXPECT_EQ(next, expected.size()) << "missing or out of order: "
                                     << expected[std::min(next, expected.size() - 1)]
                                     << "\nthe plug-in's uses of the link table:" << log;
    EXPECT_EQ(std::count(uses.begin(), uses.end(), "hookEvent DB/Contact/Added"), 1);
    ASSERT_EQ(pluginCallsTo("Utils/AllocWindowList").size(), 1u);
    EXPECT_EQ(hostPluginServiceCalls()[pluginCallsTo("Utils/AllocWindowList")[0]].lParam, 0);
    ASSERT_EQ(hostModules().size(), 1u);
    EXPECT_EQ(hostModules()[0].name, "Kelvaron");
    EXPECT_EQ(hostModules()[0].type, 1991);

    ASSERT_EQ(hostMenuItems().size(), 1u);
    const HostMenuItem& item = hostMenuItems()[0];
    EXPECT_EQ(item.record.size, expectedMenuItemSize);
    EXPECT_EQ(item.record.position, 5); // its flags and text are the next test's
    // The small contact-menu icon, not the window's (LoadIcon hands out one shared handle per resource).
    EXPECT_EQ(item.record.icon, LoadIconA(GetModuleHandleA("Kelvaron.dll"), MAKEINTRESOURCEA(119)));
    EXPECT_EQ(item.service, "Kelvaron/PlayGame");
    EXPECT_TRUE(!item.record.popupName && !item.record.contactOwner);
    EXPECT_EQ(item.record.popupPosition, 0);
    EXPECT_EQ(item.record.hotKey, 0u);

    EXPECT_EQ(pluginCallsTo("Proto/IsProtoOnContact", alice).size(), 1u);
    EXPECT_EQ(pluginCallsTo("Proto/IsProtoOnContact", bob).size(), 1u);
    EXPECT_EQ(pluginCallsTo("Proto/AddToContact", alice).size(), 1u);
    EXPECT_EQ(pluginCallsTo("Proto/AddToContact", bob).size(), 0u) << "already attached";
    EXPECT_EQ(modulesOn(alice), std::vector<std::string>{"Kelvaron"});
    EXPECT_EQ(modulesOn(bob), std::vector<std::string>{"Kelvaron"});
    HostWord carol = hostAddContact("Carol");
    EXPECT_EQ(modulesOn(carol), std::vector<std::string>{"Kelvaron"});
    EXPECT_EQ(pluginCallsTo("Proto/AddToContact", carol).size(), 1u);
}

// The contact-menu item as each kind of core reads it: a Unicode core gets the name as UTF-16 and the
// flag that says so; an ANSI core, and any host that does not say it is Unicode, gets the bytes.
TEST_F(PluginTest, MenuItemIsUtf16ForAUnicodeCoreAndWindows1251BytesOtherwise) {
    enum class VersionService { Present, Missing, Failing };
    const struct {
        const char* host;
        bool unicodeCore;
        VersionService versionService;
        bool expectUnicodeItem;
    } hosts[] = {
        {"ANSI core", false, VersionService::Present, false},
        {"Unicode core", true, VersionService::Present, true},
        {"Unicode core without the version service", true, VersionService::Missing, false},
        {"Unicode core whose version service fails", true, VersionService::Failing, false},
    };
    const std::wstring gameNameUtf16 = widened(gameName, gameTextCodePage);
    for (const auto& row : hosts) {
        SCOPED_TRACE(row.host);
        hostReset();
        hostAddContact("Alice");
        hostSetUnicodeCore(row.unicodeCore);
        if (row.versionService == VersionService::Missing)
            hostRemoveService(hostnames::getVersionText);
        else if (row.versionService == VersionService::Failing)
            hostCreateService(hostnames::getVersionText, failingUnicodeVersionText);
        loadPlugin();
        ASSERT_EQ(hostMenuItems().size(), 1u);
        const HostMenuItem& item = hostMenuItems()[0];
        if (row.expectUnicodeItem) {
            EXPECT_EQ(item.record.flags, menuItemHiddenWhenOffline | menuItemUnicodeText)
                << "flags 0x" << std::hex << item.record.flags;
            EXPECT_EQ(item.wideText, gameNameUtf16) << "the item's text read as UTF-16";
        } else {
            EXPECT_EQ(item.record.flags, menuItemHiddenWhenOffline)
                << "flags 0x" << std::hex << item.record.flags;
            EXPECT_EQ(item.text, gameName); // Windows-1251 bytes
        }
        EXPECT_NE(item.record.text, nullptr);
        hostShutdown();
    }
}

TEST_F(PluginTest, HostWithoutContactsIsNeverAskedAboutThem) {
    hostReset();
    loadPlugin();
    EXPECT_TRUE(pluginCallsTo("Proto/IsProtoOnContact").empty());
    EXPECT_TRUE(pluginCallsTo("Proto/AddToContact").empty());
    EXPECT_FALSE(pluginCallsTo("DB/Contact/FindFirst").empty());
}

TEST_F(PluginTest, ManifestRedirectsCommonControlsToVersionSix) {
    wchar_t path[MAX_PATH];
    std::wstring dll(path, GetFullPathNameW(L"Plugins\\Kelvaron.dll", MAX_PATH, path, nullptr));
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = dll.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(2); // the manifest a DLL carries for its own use
    HANDLE activation = CreateActCtxW(&context);
    ASSERT_NE(activation, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(activation, &cookie));
    HMODULE commonControls = LoadLibraryW(L"comctl32.dll");
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(activation);
    ASSERT_NE(commonControls, nullptr);
    // Version 6 lives in its own side-by-side folder, named after the assembly and its version;
    // DllGetVersion cannot tell, as Wine's copies all report 5.81.
    std::wstring loadedFrom(path, GetModuleFileNameW(commonControls, path, MAX_PATH));
    CharLowerBuffW(loadedFrom.data(), static_cast<DWORD>(loadedFrom.size()));
    const std::wstring assembly = build64 ? L"\\winsxs\\amd64_microsoft.windows.common-controls"
                                          : L"\\winsxs\\x86_microsoft.windows.common-controls";
    EXPECT_NE(loadedFrom.find(assembly + L"_6595b64144ccf1df_6."), std::wstring::npos)
        << std::string(loadedFrom.begin(), loadedFrom.end());
    FreeLibrary(commonControls);
}

// Regression: the deals were seeded with the time alone, so two messengers loaded in the same second
// dealt the very same games.
TEST_F(PluginTest, TwoLoadsInTheSameSecondDealDifferentGames) {
    std::string deals[2];
    for (std::string& deal : deals) {
        if (hostPluginLoaded()) {
            hostShutdown();
            SetUp();
        }
        loadPlugin();
        choosePlayGame(alice);
        ASSERT_EQ(hostSentTexts().size(), 1u);
        deal = hostSentTexts()[0].text;
    }
    EXPECT_NE(deals[0], deals[1]);
}
