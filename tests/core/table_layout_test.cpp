// Table geometry in literal numbers: a 647 by 388 card picture in a 624 by 462 client, and the faces of
// pictures of other sizes.
#include "layout/table_layout.h"
#include "stand_in/card_notation.h"

#include <gtest/gtest.h>

namespace {
const CardMetrics metrics = cardMetricsForPicture(647, 388);
const ClientSize client = {624, 462};

std::string of(Point p) { return std::to_string(p.x) + " " + std::to_string(p.y); }
std::string of(Rect r) { return of(Point{r.left, r.top}) + " " + of(Point{r.right, r.bottom}); }

// Where the face of the card with this code is copied from in a picture of the given size; "none".
std::string face(const char* code, std::uint32_t width = 647, std::uint32_t height = 388) {
    Rect source = {};
    bool copied = cardFaceSource(card(code), cardMetricsForPicture(width, height), width, height, source);
    return copied ? of(source) : "none";
}

// Card i of the local hand when it holds n cards; "none" when the hand has not n rectangles.
std::string mine(std::size_t i, std::size_t n) {
    GameState game;
    game.myHand.assign(n, card("60"));
    std::vector<Rect> rects;
    layoutHand(game, rects, metrics, client);
    return rects.size() == n && i < n ? of(rects[i]) : "none";
}

// The attack card of pair k when the table holds n pairs.
std::string pair(std::size_t k, std::size_t n) {
    return of(tablePairPosition(k, tablePairStep(n, metrics, client), metrics));
}
} // namespace

TEST(TableLayout, CardFaces) {
    EXPECT_EQ(of(Point{metrics.width, metrics.height}), "72 97");
    EXPECT_EQ(face("e2") + ", " + face("60") + ", " + face("73"),
              "575 194 647 291, 0 0 72 97, 72 291 144 388");
    EXPECT_EQ(face("d1"), "504 97 576 194");
    // In a picture whose width is not 9 x card width - 1 the ace column reaches past the right edge: the
    // face is copied up to the edge.
    EXPECT_EQ(face("e0", 646) + ", " + face("d0", 646), "575 0 646 97, 504 0 576 97");
    EXPECT_EQ(face("e3", 648) + ", " + face("e1", 655), "583 291 648 388, 583 97 655 194");
    // Cards outside the 36 (rank 5, rank 15, suit 4), and pictures too narrow or too low, give nothing.
    EXPECT_EQ(face("50") + face("f0") + face("64") + face("e0", 63) + face("60", 647, 3),
              "nonenonenonenonenone");
}

TEST(TableLayout, PositionsInTheClient) {
    EXPECT_EQ(of(statusBubbleRect(metrics, client)), "118 431 618 456");
    EXPECT_EQ(of(actionButtonRect(647, client.height)), "6 431 112 456");
    EXPECT_EQ(of(trumpCardPosition(metrics, client)), "534 115");
    EXPECT_EQ(of(stockRect(metrics, client)), "521 158 618 230");
    // The hands: none; one card; the 6th of six, 78 apart; the 2nd of twelve, 49 apart, and the 12th,
    // whose right edge keeps the margin; the same for the opponent's, at the top.
    EXPECT_EQ(mine(0, 0) + ", " + mine(0, 1) + ", " + mine(5, 6), "none, 6 328 78 425, 396 328 468 425");
    EXPECT_EQ(mine(1, 12) + ", " + mine(11, 12), "55 328 127 425, 545 328 617 425");
    EXPECT_EQ(of(opponentCardRect(2, 6, metrics, client)), "162 6 234 103");
    EXPECT_EQ(of(opponentCardRect(11, 12, metrics, client)), "545 6 617 103");
    // The table: one pair; the 2nd of two pairs, 114 apart; the 6th of six pairs, 80 apart.
    EXPECT_EQ(pair(0, 1) + ", " + pair(1, 2) + ", " + pair(5, 6), "6 115, 120 115, 406 115");
}

TEST(TableLayout, StepsAtTheirCapSqueezedAndInNarrowWindows) {
    // Cards in a hand, the client's width and the step between their left edges.
    const std::int32_t hand[][3] = {{0, 624, 0}, {1, 624, 0}, {6, 624, 78}, {12, 624, 49}, {36, 624, 15},
                                    {2, 90, 6},  {2, 84, 0},  {3, 40, 0},   {5, 0, 0},     {2, 10000, 78}};
    for (auto [cards, width, step] : hand)
        EXPECT_EQ(handStep(cards, metrics, {width, 462}), step) << cards << " cards, width " << width;
    // The same for pairs on the table; a negative room stacks them.
    const std::int32_t pairs[][3] = {{0, 624, 0},  {1, 624, 0},   {2, 624, 114},
                                     {6, 624, 80}, {18, 624, 23}, {2, 150, 0}};
    for (auto [count, width, step] : pairs)
        EXPECT_EQ(tablePairStep(count, metrics, {width, 462}), step) << count << " pairs, width " << width;
}
