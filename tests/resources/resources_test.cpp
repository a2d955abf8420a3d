// Loads the compiled resources from a DLL that carries them, as Windows does for Kelvaron.dll: the menu
// and its Russian texts, the two icons, the manifest and the version record.
#include "resources/resource_ids.h"
#include "tests/resources/test_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr UINT russianCodePage = 1251;

std::string toWindows1251(const std::wstring& text) {
    const int size = WideCharToMultiByte(russianCodePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(russianCodePage, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(size - 1);
    return bytes;
}

class ResourcesTest : public testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryW(carrierPath.c_str());
        ASSERT_NE(module, nullptr) << "resource_carrier.dll beside the test program";
    }
    void TearDown() override {
        if (module)
            FreeLibrary(module);
    }
    const std::wstring carrierPath = besideTestProgram(L"resource_carrier.dll");
    HMODULE module = nullptr;
};

struct MenuItemText {
    std::string ansi;
    std::wstring wide;
};

MenuItemText menuItemText(HMENU menu, UINT position) {
    char ansi[128] = {};
    wchar_t wide[128] = {};
    GetMenuStringA(menu, position, ansi, sizeof ansi, MF_BYPOSITION);
    GetMenuStringW(menu, position, wide, 128, MF_BYPOSITION);
    return {ansi, wide};
}

void expectMenuItem(HMENU menu, UINT position, const std::wstring& text) {
    const MenuItemText item = menuItemText(menu, position);
    EXPECT_EQ(item.wide, text) << "item " << position;
    EXPECT_EQ(item.ansi, toWindows1251(text)) << "item " << position << " in the ANSI code page";
}

TEST_F(ResourcesTest, GameMenuHasTheHelpPopupWithWebPageThenAbout) {
    // The ANSI texts are only Windows-1251 when Wine runs with a Russian locale (scripts/wine-run.sh).
    ASSERT_EQ(GetACP(), russianCodePage);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDM_GAME_MENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    expectMenuItem(menu, 0, L"Справка");

    HMENU help = GetSubMenu(menu, 0);
    ASSERT_NE(help, nullptr);
    ASSERT_EQ(GetMenuItemCount(help), 2);
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(IDM_WEB_PAGE));
    expectMenuItem(help, 0, L"&Веб-страница");
    EXPECT_EQ(GetMenuItemID(help, 1), static_cast<UINT>(IDM_ABOUT));
    expectMenuItem(help, 1, L"О программе");
    DestroyMenu(menu);
}

struct IconShape {
    int width;
    int height;
    bool cornerTransparent;
    bool centreOpaque;
};

// Draws the icon over a magenta square: pixels still magenta afterwards are the transparent ones.
IconShape drawnIconShape(HICON icon, int size) {
    constexpr COLORREF background = RGB(255, 0, 255);
    IconShape shape{};
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return shape;
    BITMAP colourBitmap{};
    GetObjectW(info.hbmColor, sizeof colourBitmap, &colourBitmap);
    shape.width = colourBitmap.bmWidth;
    shape.height = colourBitmap.bmHeight;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    HDC screen = GetDC(nullptr);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ previous = SelectObject(canvas, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT square{0, 0, size, size};
    FillRect(canvas, &square, brush);
    DrawIconEx(canvas, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    shape.cornerTransparent = GetPixel(canvas, 0, 0) == background;
    shape.centreOpaque = GetPixel(canvas, size / 2, size / 2) != background;
    SelectObject(canvas, previous);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    ReleaseDC(nullptr, screen);
    return shape;
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD iconId;
};
#pragma pack(pop)

// The one image of an icon group: its size and colour depth as the group records them.
IconGroupEntry onlyIconImage(HMODULE module, int iconId) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(iconId), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    EXPECT_NE(found, nullptr);
    if (!found)
        return {};
    const auto* group = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    EXPECT_EQ(group[2], 1) << "images in icon group " << iconId;
    IconGroupEntry entry;
    CopyMemory(&entry, group + 3, sizeof entry);
    return entry;
}

TEST_F(ResourcesTest, IconsAreSixteenColourImagesOfTheirSizesWithTransparentCorners) {
    const struct {
        int id;
        int size;
    } icons[] = {{IDI_GAME_WINDOW, 32}, {IDI_CONTACT_MENU, 16}};
    for (const auto& expected : icons) {
        SCOPED_TRACE(expected.id);
        const IconGroupEntry image = onlyIconImage(module, expected.id);
        EXPECT_EQ(image.width, expected.size);
        EXPECT_EQ(image.height, expected.size);
        EXPECT_EQ(image.colourCount, 16);
        EXPECT_EQ(image.bitCount, 4);

        HICON icon = static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(expected.id), IMAGE_ICON, expected.size, expected.size, 0));
        ASSERT_NE(icon, nullptr);
        const IconShape shape = drawnIconShape(icon, expected.size);
        EXPECT_EQ(shape.width, expected.size);
        EXPECT_EQ(shape.height, expected.size);
        EXPECT_TRUE(shape.cornerTransparent);
        EXPECT_TRUE(shape.centreOpaque);
        DestroyIcon(icon);
    }
    // The window class takes the game icon with LoadIcon, at the system's icon size.
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_GAME_WINDOW)), nullptr);
}

std::wstring lowerCase(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
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
    const DWORD length = GetModuleFileNameW(commonControls, path, MAX_PATH);
    const std::wstring loadedFrom = lowerCase(std::wstring(path, length));
    EXPECT_NE(loadedFrom.find(L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << std::string(loadedFrom.begin(), loadedFrom.end());
    FreeLibrary(commonControls);
}

std::wstring versionText(const std::vector<BYTE>& record, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\041904E3\\" + name;
    if (!VerQueryValueW(record.data(), path.c_str(), &value, &length) || length == 0)
        return L"(missing " + name + L")";
    return static_cast<const wchar_t*>(value);
}

TEST_F(ResourcesTest, VersionRecordNamesTheProjectInRussian) {
    const DWORD size = GetFileVersionInfoSizeW(carrierPath.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(carrierPath.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD expectedHigh = MAKELONG(KELVARON_VERSION_MINOR, KELVARON_VERSION_MAJOR);
    const DWORD expectedLow = MAKELONG(KELVARON_VERSION_TWEAK, KELVARON_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, expectedHigh);
    EXPECT_EQ(fixed->dwFileVersionLS, expectedLow);
    EXPECT_EQ(fixed->dwProductVersionMS, expectedHigh);
    EXPECT_EQ(fixed->dwProductVersionLS, expectedLow);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0419);
    EXPECT_EQ(translation[1], russianCodePage);

    EXPECT_EQ(versionText(record, L"FileVersion"), KELVARON_VERSION_TEXT);
    EXPECT_EQ(versionText(record, L"ProductVersion"), KELVARON_VERSION_TEXT);
    EXPECT_EQ(versionText(record, L"ProductName"), L"Kelvaron");
    EXPECT_EQ(versionText(record, L"InternalName"), L"Kelvaron");
    EXPECT_EQ(versionText(record, L"OriginalFilename"), L"Kelvaron.dll");
    EXPECT_EQ(versionText(record, L"FileDescription"), L"Карточная игра в дурака");
    EXPECT_EQ(versionText(record, L"LegalCopyright").substr(0, 7), L"© 2026 ");
}

} // namespace
