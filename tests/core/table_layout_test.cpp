// Table geometry, with the numbers of a 647 by 388 card picture in a 624 by 462 client.
#include "layout/table_layout.h"
#include "stand_in/card_notation.h"

#include <gtest/gtest.h>

namespace {
using Numbers = std::vector<std::int32_t>;
const CardMetrics metrics = cardMetricsForPicture(647, 388);
const ClientSize client = {624, 462};

Numbers of(Rect r) { return {r.left, r.top, r.right, r.bottom}; }
Numbers of(Point p) { return {p.x, p.y}; }

// Where a face is copied from in a picture of the given size; nothing when it is never copied.
Numbers face(Card c, std::uint32_t width = 647, std::uint32_t height = 388) {
    Rect source = {-1, -1, -1, -1};
    return cardFaceSource(c, cardMetricsForPicture(width, height), width, height, source) ? of(source)
                                                                                          : Numbers{};
}

Numbers myHandCard(const char* hand, std::size_t index) {
    GameState game;
    game.myHand = cards(hand);
    std::vector<Rect> rects;
    layoutHand(game, rects, metrics, client);
    return index < rects.size() ? of(rects[index]) : Numbers{};
}
} // namespace

TEST(TableLayout, Geometry) {
    const char* twelve = "60 70 80 90 a0 b0 c0 d0 e0 61 71 81";
    const struct {
        const char* what;
        Numbers actual, expected;
    } rows[] = {
        {"card size", {metrics.width, metrics.height}, {72, 97}},
        {"face e2", face(card("e2")), {575, 194, 647, 291}},
        {"face 60", face(card("60")), {0, 0, 72, 97}},
        {"face 73", face(card("73")), {72, 291, 144, 388}},
        {"face d1", face(card("d1")), {504, 97, 576, 194}},
        {"face e3", face(card("e3")), {575, 291, 647, 388}},
        // In a picture whose width is not 9 x card width - 1 the ace column reaches past the right edge:
        // the face is copied up to the edge, never drawn face down.
        {"face e0, 646 wide", face(card("e0"), 646), {575, 0, 646, 97}},
        {"face e0, 648 wide", face(card("e0"), 648), {583, 0, 648, 97}},
        {"face e3, 648 wide", face(card("e3"), 648), {583, 291, 648, 388}},
        {"face d0, 646 wide", face(card("d0"), 646), {504, 0, 576, 97}},
        {"face e1, 655 wide", face(card("e1"), 655), {583, 97, 655, 194}},
        {"rank 5", face(makeCard(5, 0)), {}},
        {"rank 15", face(makeCard(15, 0)), {}},
        {"suit 4", face(makeCard(6, 4)), {}},
        {"rank and suit 255", face(makeCard(255, 255)), {}},
        {"card 0", face(Card(0)), {}},
        {"the ace column just past a picture 63 wide", face(card("e0"), 63), {}},
        {"a picture too low for a card", face(card("60"), 647, 3), {}},
        {"status bubble", of(statusBubbleRect(metrics, client)), {118, 431, 618, 456}},
        {"action button", of(actionButtonRect(647, client.height)), {6, 431, 112, 456}},
        {"an empty hand", myHandCard("", 0), {}},
        {"a hand of one", myHandCard("60", 0), {6, 328, 78, 425}},
        {"the 2nd of 12 in hand", myHandCard(twelve, 1), {55, 328, 127, 425}},
        {"the 12th of 12 in hand, within the margin", myHandCard(twelve, 11), {545, 328, 617, 425}},
        {"the 3rd of 6 opponent's cards", of(opponentCardRect(2, 6, metrics, client)), {162, 6, 234, 103}},
        {"trump card", of(trumpCardPosition(metrics, client)), {534, 115}},
        {"stock", of(stockRect(metrics, client)), {521, 158, 618, 230}},
        {"1st table pair", of(tablePairPosition(0, 114, metrics)), {6, 115}},
        {"3rd table pair", of(tablePairPosition(2, 114, metrics)), {234, 115}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.what;
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
