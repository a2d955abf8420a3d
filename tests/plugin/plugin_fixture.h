// Shared set-up for the tests of Kelvaron.dll in the development host: a fresh host and a freshly
// loaded plug-in per test, and small readers of what the user and the peer would see.
#pragma once

#include "devhost/instruments/instruments.h"
#include "devhost/messenger/host.h"
#include "devhost/instruments/table_readback.h"
#include "engine/cards.h"
#include "stand_in/card_notation.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

class PluginTest : public ::testing::Test {
  protected:
    // Contacts are added before the plug-in loads, as they would exist in the messenger's database.
    HostWord alice = 0, bob = 0;
    void SetUp() override;
    void TearDown() override;
    // Loads the plug-in; fails the test unless it loads.
    void loadPlugin();
};

HWND gameWindowHandle();
HWND actionButtonHandle();
inline bool operator==(const HostResourceTally& a, const HostResourceTally& b) {
    return a.gdiObjects == b.gdiObjects && a.memoryDcs == b.memoryDcs && a.windowDcs == b.windowDcs &&
           a.gdiplusImages == b.gdiplusImages;
}
// The game as the peer would adopt it from a text the plug-in sent (hands exchanged back).
GameState peerViewOf(const std::string& sentText);
// The modules on the contact's receive chain, in order.
std::vector<std::string> modulesOn(HostWord contact);
// Where the plug-in called the host service of this name (with this wParam, when given), as positions
// in hostPluginServiceCalls().
std::vector<std::size_t> pluginCallsTo(const std::string& name, std::optional<HostWord> wParam = {});
// Chooses the plug-in's contact-menu item for the contact.
void choosePlayGame(HostWord contact);

// The card metrics of the card pictures, the real one and the colour one.
inline const CardMetrics testMetrics = cardMetricsForPicture(cardPictureWidth, cardPictureHeight);
// A face of the colour picture, where every face is one flat colour of its own.
std::uint32_t faceColour(const char* code);
// A pixel of the game window's client area as 0x00BBGGRR, read back from the screen.
std::uint32_t clientPixel(int x, int y);
// Where the cards of a hand lie in the game window.
std::vector<Rect> myHandRects(const char* hand);
