// Table geometry in literal numbers: a 647 by 388 card picture in a 624 by 462 client, and the faces of
// pictures of other sizes.
#include "core_test.h"

static const CardMetrics metrics = cardMetricsForPicture(647, 388);
static const ClientSize client = {624, 462};

static std::string of(Point p) { return std::to_string(p.x) + " " + std::to_string(p.y); }
static std::string of(Rect r) { return of(Point{r.left, r.top}) + " " + of(Point{r.right, r.bottom}); }

// Where the face of the card with this code is copied from in a picture of the given size; "none".
static std::string face(const char* code, std::uint32_t width = 647, std::uint32_t height = 388) {
    Rect source = {};
    bool copied = cardFaceSource(card(code), cardMetricsForPicture(width, height), width, height, source);
    return copied ? of(source) : "none";
}

// The rectangles of a local hand of n cards.
static std::vector<Rect> hand(std::size_t n) {
    GameState game;
    game.myHand.assign(n, card("60"));
    std::vector<Rect> rects;
    layoutHand(game, rects, metrics, client);
    return rects;
}

TEST(TableLayout, CardFacesAndPositionsInTheClient) {
    EXPECT_EQ(of(Point{metrics.width, metrics.height}), "72 97");
    EXPECT_EQ(face("e2") + ", " + face("60") + ", " + face("73"),
              "575 194 647 291, 0 0 72 97, 72 291 144 388");
    // In a picture whose width is not 9 x card width - 1 the ace column reaches past the right edge: the
    // face is copied up to the edge. Cards outside the 36 (rank 5, suit 4) and pictures too narrow or too
    // low give nothing.
    EXPECT_EQ(face("e0", 646) + ", " + face("e1", 655), "575 0 646 97, 583 97 655 194");
    EXPECT_EQ(face("50") + face("64") + face("e0", 63) + face("60", 647, 3), "nonenonenonenone");
    EXPECT_EQ(of(statusBubbleRect(metrics, client)), "118 431 618 456");
    EXPECT_EQ(of(actionButtonRect(647, client.height)), "6 431 112 456");
    EXPECT_EQ(of(trumpCardPosition(metrics, client)), "534 115");
    EXPECT_EQ(of(stockRect(metrics, client)), "521 158 618 230");
    // No rectangle for an empty hand, one card at the margin; the 2nd and the 12th of twelve, 49 apart,
    // the last one's right edge a margin inside the client; the opponent's cards at the top.
    EXPECT_EQ(hand(0).size() + hand(12).size(), 12u);
    EXPECT_EQ(of(hand(1).at(0)) + ", " + of(hand(12).at(1)) + ", " + of(hand(12).at(11)),
              "6 328 78 425, 55 328 127 425, 545 328 617 425");
    EXPECT_EQ(of(opponentCardRect(2, 6, metrics, client)), "162 6 234 103");
    // The table: the 2nd of two pairs, 114 apart; the 6th of six pairs, 80 apart.
    EXPECT_EQ(of(tablePairPosition(1, tablePairStep(2, metrics, client), metrics)), "120 115");
    EXPECT_EQ(of(tablePairPosition(5, tablePairStep(6, metrics, client), metrics)), "406 115");
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
