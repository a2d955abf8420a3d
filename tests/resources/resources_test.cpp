// Loads the compiled resources from a DLL that carries them, as Windows does for Kelvaron.dll: the menu
// and its Russian texts, the two icons, the manifest and the version record.
#include "resources/resource_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {
constexpr UINT russianCodePage = 1251;

class ResourcesTest : public testing::Test {
  protected:
    void SetUp() override {
        // The loader looks beside the test program first.
        module = LoadLibraryW(L"resource_carrier.dll");
        ASSERT_NE(module, nullptr) << "resource_carrier.dll beside the test program";
        wchar_t path[MAX_PATH];
        carrierPath.assign(path, GetModuleFileNameW(module, path, MAX_PATH));
    }
    void TearDown() override {
        if (module)
            FreeLibrary(module);
    }
    HMODULE module = nullptr;
    std::wstring carrierPath;
};

TEST_F(ResourcesTest, GameMenuHasTheHelpPopupWithWebPageThenAbout) {
    // The ANSI texts are only Windows-1251 when Wine runs with a Russian locale (scripts/wine-run.sh).
    ASSERT_EQ(GetACP(), russianCodePage);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDM_GAME_MENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    HMENU help = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(help), 2);
    const struct {
        HMENU menu;
        UINT position;
        UINT id; // a popup has none
        const wchar_t* text;
    } items[] = {{menu, 0, static_cast<UINT>(-1), L"Справка"},
                 {help, 0, IDM_WEB_PAGE, L"&Веб-страница"},
                 {help, 1, IDM_ABOUT, L"О программе"}};
    for (const auto& item : items) {
        wchar_t wide[64] = {};
        char ansi[64] = {}, expectedAnsi[64] = {};
        GetMenuStringW(item.menu, item.position, wide, 64, MF_BYPOSITION);
        GetMenuStringA(item.menu, item.position, ansi, sizeof ansi, MF_BYPOSITION);
        WideCharToMultiByte(russianCodePage, 0, item.text, -1, expectedAnsi, sizeof expectedAnsi, nullptr,
                            nullptr);
        EXPECT_EQ(GetMenuItemID(item.menu, item.position), item.id) << "item " << item.position;
        EXPECT_STREQ(wide, item.text);
        EXPECT_STREQ(ansi, expectedAnsi) << "item " << item.position << " in the ANSI code page";
    }
    DestroyMenu(menu);
}

TEST_F(ResourcesTest, IconsAreSixteenColourImagesOfTheirSizes) {
    const struct {
        int id;
        int size;
    } icons[] = {{IDI_GAME_WINDOW, 32}, {IDI_CONTACT_MENU, 16}};
    for (const auto& expected : icons) {
        SCOPED_TRACE(expected.id);
        HRSRC found =
            FindResourceW(module, MAKEINTRESOURCEW(expected.id), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
        ASSERT_NE(found, nullptr);
        // The group's header (three words), then one entry per image: width, height and colour count
        // bytes, a reserved byte, then the planes and bits-per-pixel words.
        const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
        EXPECT_EQ(group[4], 1) << "images in the group";
        EXPECT_EQ(group[6], expected.size);
        EXPECT_EQ(group[7], expected.size);
        EXPECT_EQ(group[8], 16);
    }
}

TEST_F(ResourcesTest, ManifestRedirectsCommonControlsToVersionSix) {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = module;
    context.lpSource = carrierPath.c_str();
    // The identifier is an integer resource name, whichever character width the header declared it in.
    context.lpResourceName = reinterpret_cast<LPCWSTR>(ISOLATIONAWARE_MANIFEST_RESOURCE_ID);
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
    wchar_t path[MAX_PATH];
    std::wstring loadedFrom(path, GetModuleFileNameW(commonControls, path, MAX_PATH));
    CharLowerBuffW(loadedFrom.data(), static_cast<DWORD>(loadedFrom.size()));
    const std::wstring assembly = sizeof(void*) == 8 ? L"\\winsxs\\amd64_microsoft.windows.common-controls"
                                                     : L"\\winsxs\\x86_microsoft.windows.common-controls";
    EXPECT_NE(loadedFrom.find(assembly + L"_6595b64144ccf1df_6."), std::wstring::npos)
        << std::string(loadedFrom.begin(), loadedFrom.end());
    FreeLibrary(commonControls);
}

TEST_F(ResourcesTest, VersionRecordHasTheProjectVersionAndARussianDescription) {
    std::vector<BYTE> record(GetFileVersionInfoSizeW(carrierPath.c_str(), nullptr));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(
        GetFileVersionInfoW(carrierPath.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD high = MAKELONG(KELVARON_VERSION_MINOR, KELVARON_VERSION_MAJOR);
    const DWORD low = MAKELONG(KELVARON_VERSION_TWEAK, KELVARON_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);

    // The description is Russian: the script's Windows-1251 bytes became the right UTF-16.
    wchar_t* description = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\StringFileInfo\\041904E3\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_EQ(std::wstring(description), L"Карточная игра в дурака");
}
} // namespace
