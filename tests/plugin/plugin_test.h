// What the plug-in tests share: the host started once, a fresh host with Alice and Bob for every test,
// the game window, and what the plug-in asked of the host and sent, as readable lines.
#pragma once

#include "devhost/instruments/instruments.h"
#include "devhost/instruments/referee.h"
#include "devhost/instruments/table_readback.h"
#include "engine/texts.h"
#include "stand_in/card_notation.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

inline constexpr bool build64 = sizeof(void*) == 8;

// The host lives on the main thread, where GoogleTest runs every test.
struct HostEnvironment : ::testing::Environment {
    void SetUp() override {
        hostStart();
        attachInstruments();
    }
};
inline ::testing::Environment* const hostEnvironment =
    ::testing::AddGlobalTestEnvironment(new HostEnvironment);

// Every test ends with the host's shutdown; the plug-in may use only three entries of the link table.
class PluginTest : public ::testing::Test {
  protected:
    HostWord alice = 0, bob = 0;
    void SetUp() override {
        hostReset();
        alice = hostAddContact("Alice");
        bob = hostAddContact("Bob");
    }
    void TearDown() override {
        hostShutdown();
        for (const HostLinkUse& use : hostPluginLinkUses())
            EXPECT_TRUE(use.entry == "callService" || use.entry == "hookEvent" ||
                        use.entry == "createServiceFunction")
                << "the plug-in used " << use.entry << ", which it has no use for";
    }
};

inline std::ostream& operator<<(std::ostream& out, const HostResourceTally& held) {
    return out << held.gdiObjects << " GDI objects, " << held.memoryDcs << " memory DCs, " << held.windowDcs
               << " window DCs, " << held.gdiplusImages << " GDI+ images";
}
inline std::ostream& operator<<(std::ostream& out, const std::wstring& text) {
    return out << narrowed(text, CP_UTF8);
}
// Values on one line, a space apart, to compare with what a test expects.
template <typename... Values> std::string line(const Values&... values) {
    std::ostringstream out;
    ((out << values << ' '), ...);
    return out.str().substr(0, out.str().size() - 1);
}

inline bool loaded(const char* path = defaultPluginPath) {
    HostLoadResult result = hostLoadPlugin(path);
    EXPECT_EQ(result, HostLoadResult::Loaded) << hostLoadResultName(result);
    return result == HostLoadResult::Loaded;
}
inline HWND window() { return static_cast<HWND>(hostGameWindow()); }
inline HWND button() { return GetDlgItem(window(), actionButtonId); }
// Chooses the plug-in's one contact-menu item for the contact.
inline void choose(HostWord contact) {
    ASSERT_EQ(hostVisibleMenuItems(contact).size(), 1u);
    EXPECT_EQ(hostChooseMenuItem(contact, hostVisibleMenuItems(contact)[0]), 1);
}
// A word as the lines below show it: a contact by its name, a small number as it is, a pointer as "p".
inline std::string word(HostWord value) {
    for (const HostContact& contact : hostContacts())
        if (contact.handle == value)
            return contact.name;
    return value >= 0 && value < 0x10000 ? std::to_string(value) : "p";
}
// The plug-in's uses of the link table since the logs were cleared, in order: "Service(wParam, lParam)",
// "create Service", "hook Event"; and the texts it sent, each after its contact's name.
inline std::string uses() {
    std::string all;
    for (const HostLinkUse& use : hostPluginLinkUses())
        all += (all.empty() ? "" : "; ") +
               (use.entry == "callService" ? use.name + "(" + word(use.wParam) + ", " + word(use.lParam) + ")"
                                           : (use.entry == "hookEvent" ? "hook " : "create ") + use.name);
    return all;
}
inline std::string sent() {
    std::string all;
    for (const HostText& text : hostSentTexts())
        all += (all.empty() ? "" : "; ") + word(text.contact) + " " + text.text;
    return all;
}
