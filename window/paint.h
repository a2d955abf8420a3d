// Painting the table: card faces, the status bubble, the whole scene, and the off-screen redraw.
#pragma once

#include "layout/table_layout.h"

#include <windows.h>

#include <vector>

// Copies card's face from the sheet context to (x, y); a card outside the 36 is drawn as a card back.
void drawCardFace(Card card, HDC sheet, HDC target, int x, int y);
// The status bubble with the brush selected in dc, and one centred line of text.
void drawStatusBubble(HDC dc, const char* text);
// Appends one rectangle per card of the game's myHand, for the current window and picture.
void layoutMyHand(const GameState& state, std::vector<Rect>& rects);
// Draws everything of the game but the background into dc.
void paintScene(const GameState& state, HDC dc);
