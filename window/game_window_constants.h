// What the game window is made of that the tools around the plug-in must know as well: its class
// name, the ids of its button and blink timer, its colours and the size of the card picture.
// No platform header: colours are 0x00BBGGRR values, as the platform's colour values are laid out.
#pragma once

#include "resources/resource_ids.h"

#include <cstdint>

inline constexpr char gameWindowClassName[] = "KelvaronWindow";
inline constexpr wchar_t gameWindowClassNameW[] = L"KelvaronWindow";
inline constexpr int actionButtonId = IDC_ACTION_BUTTON;
inline constexpr unsigned winBlinkTimerId = ID_WIN_BLINK_TIMER;

inline constexpr std::uint32_t tableBackground = 0x007F7F7F;
inline constexpr std::uint32_t winBlinkColourA = 0x00BEBEFF; // a light red
inline constexpr std::uint32_t winBlinkColourB = 0x0064FFFF; // a light yellow
inline constexpr std::uint32_t cardBackGreen = 0x00007800;
inline constexpr std::uint32_t selectionBlue = 0x00FF0000;
inline constexpr std::uint32_t statusTextColour = 0x00000000;
inline constexpr std::uint32_t stockCountColour = 0x00FFFFFF;
// The status bubble: the system's white brush in play, its light grey one after a lost or drawn game;
// card backs and the bubble are outlined in its black.
inline constexpr std::uint32_t bubbleInPlay = 0x00FFFFFF;
inline constexpr std::uint32_t bubbleAfterGame = 0x00C0C0C0;
inline constexpr std::uint32_t outlineBlack = 0x00000000;

// Where the plug-in first looks for its card picture, relative to the current directory (the messenger's
// folder, unless something moved it; then it looks beside its own DLL). ANSI for the tools, UTF-16 for
// the window.
inline constexpr char cardPicturePath[] = "Plugins\\cards.png";
inline constexpr wchar_t cardPicturePathW[] = L"Plugins\\cards.png";

// The size of the card picture that scripts/make_card_picture.py draws (and of the tests' picture with
// coloured faces): the plug-in reads it from the file; the tools lay out the table by it.
inline constexpr std::uint32_t cardPictureWidth = 647;
inline constexpr std::uint32_t cardPictureHeight = 388;
