// Table geometry and the status line, with the numbers of a 647 by 388 picture in a 624 by 462 client.
#include "engine/texts.h"
#include "support/card_notation.h"
#include "support/recording_frontend.h"
#include "layout/table_layout.h"

#include <gtest/gtest.h>

#include <ostream>

static bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {
constexpr std::uint32_t pictureWidth = 647, pictureHeight = 388;
const CardMetrics metrics = cardMetricsForPicture(pictureWidth, pictureHeight);
const ClientSize client = {624, 462};

class TableLayout : public ::testing::Test {
  protected:
    void SetUp() override { resetCore(); }
};
} // namespace

TEST_F(TableLayout, MetricsAndFaceSources) {
    EXPECT_EQ(metrics.width, 72);
    EXPECT_EQ(metrics.height, 97);
    struct Row {
        const char* card;
        Point source;
    } rows[] = {{"e2", {575, 194}}, {"60", {0, 0}}, {"73", {72, 291}}, {"d1", {504, 97}}, {"e3", {575, 291}}};
    for (const Row& row : rows) {
        Rect source = {-1, -1, -1, -1};
        ASSERT_TRUE(cardFaceSource(card(row.card), metrics, pictureWidth, pictureHeight, source)) << row.card;
        EXPECT_EQ(source, (Rect{row.source.x, row.source.y, row.source.x + 72, row.source.y + 97}))
            << row.card;
    }
}

TEST_F(TableLayout, CardsOutsideTheDeckAreNeverCopied) {
    Rect source;
    for (Card bad : {makeCard(5, 0), makeCard(15, 0), makeCard(6, 4), makeCard(255, 255), Card(0)})
        EXPECT_FALSE(cardFaceSource(bad, metrics, pictureWidth, pictureHeight, source)) << bad;
}

// In a picture whose width is not 9 x cardWidth - 1 the ace column reaches past the right edge: the
// face is copied up to the edge, never drawn face down.
TEST_F(TableLayout, FacesAtThePicturesRightEdgeAreCutToThePicture) {
    struct Row {
        std::uint32_t width, height;
        const char* card;
        Rect source;
    } rows[] = {
        {646, 388, "e0", {575, 0, 646, 97}},    {648, 388, "e0", {583, 0, 648, 97}},
        {648, 388, "e3", {583, 291, 648, 388}}, {646, 388, "d0", {504, 0, 576, 97}},
        {655, 388, "e1", {583, 97, 655, 194}},
    };
    for (const Row& row : rows) {
        Rect source = {};
        ASSERT_TRUE(cardFaceSource(card(row.card), cardMetricsForPicture(row.width, row.height), row.width,
                                   row.height, source))
            << row.width << " " << row.card;
        EXPECT_EQ(source, row.source) << row.width << " " << row.card;
    }
}

TEST_F(TableLayout, BottomStripButtonAndBubble) {
    EXPECT_EQ(statusBubbleRect(metrics, client), (Rect{118, 431, 618, 456}));
    EXPECT_EQ(actionButtonRect(pictureWidth, client.height), (Rect{6, 431, 112, 456}));
}

TEST_F(TableLayout, HandStepsAtTheirCapSqueezedAndInNarrowWindows) {
    struct Row {
        std::size_t cards;
        std::int32_t clientWidth;
        std::int32_t step;
    } rows[] = {
        {0, 624, 0}, {1, 624, 0}, {6, 624, 78}, {12, 624, 49}, {36, 624, 15},
        {2, 90, 6},  {2, 84, 0},  {3, 40, 0},   {5, 0, 0},     {2, 10000, 78},
    };
    for (const Row& row : rows)
        EXPECT_EQ(handStep(row.cards, metrics, {row.clientWidth, 462}), row.step)
            << row.cards << " cards, width " << row.clientWidth;
}

TEST_F(TableLayout, MyHandRectanglesInHandOrder) {
    std::vector<Rect> rects;
    layoutHand(rects, metrics, client);
    EXPECT_TRUE(rects.empty());

    game.myHand = cards("60");
    layoutHand(rects, metrics, client);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0], (Rect{6, 328, 78, 425}));

    rects.clear();
    game.myHand = cards("60 70 80 90 a0 b0 c0 d0 e0 61 71 81");
    layoutHand(rects, metrics, client);
    ASSERT_EQ(rects.size(), 12u);
    EXPECT_EQ(rects[1], (Rect{55, 328, 127, 425}));
    EXPECT_EQ(rects[11].right, 6 + 11 * 49 + 72);
    EXPECT_LE(rects[11].right, client.width - 6);
}

TEST_F(TableLayout, OpponentStockTrumpAndTable) {
    EXPECT_EQ(opponentCardRect(2, 6, metrics, client), (Rect{162, 6, 234, 103}));
    Point trump = trumpCardPosition(metrics, client);
    EXPECT_EQ(trump.x, 534);
    EXPECT_EQ(trump.y, 115);
    EXPECT_EQ(stockRect(metrics, client), (Rect{521, 158, 618, 230}));
    const std::pair<std::size_t, std::int32_t> pairSteps[] = {{0, 0}, {1, 0}, {2, 114}, {6, 80}, {18, 23}};
    for (auto [pairs, step] : pairSteps)
        EXPECT_EQ(tablePairStep(pairs, metrics, client), step) << pairs << " pairs";
    EXPECT_EQ(tablePairStep(2, metrics, {150, 462}), 0) << "a negative room stacks the pairs";
    Point first = tablePairPosition(0, 114, metrics);
    Point third = tablePairPosition(2, 114, metrics);
    EXPECT_EQ(first.x, 6);
    EXPECT_EQ(first.y, 115);
    EXPECT_EQ(third.x, 234);
}

TEST_F(TableLayout, StatusLine) {
    struct Row {
        GameView view;
        const char* text;
        bool greyed;
    } rows[] = {
        {{"", "", "", "60 70", false, 2, false}, nullptr, false}, // won: the blink shows it
        {{"", "", "60 70", "", false, 2, false}, statusLost, true},
        {{"", "", "", "", false, 2, false}, statusDraw, true},
        {{"72", "91", "60", "70", true, 2, true}, statusWaitForThrowIn, false},
        {{"72", "91", "60", "70", false, 2, true}, statusChooseThrowIn, false},
        {{"72", "", "60", "70", false, 2, false}, statusYourMove, false},
        {{"72", "91 a1", "60", "70", false, 2, false}, statusYourMove, false},
        {{"72", "91", "60", "70", false, 2, false}, statusOpponentDefends, false},
        {{"72", "91 a1", "60", "70", true, 2, false}, statusOpponentAttacks, false},
        {{"72", "91", "60", "70", true, 2, false}, statusDefend, false},
        {{"72", "91 a1 93", "60", "70", true, 2, false}, statusDefend, false}, // after a pair
    };
    for (const Row& row : rows) {
        game = gameStateOf(row.view);
        EXPECT_STREQ(statusLineText(), row.text) << row.view;
        EXPECT_EQ(statusBubbleGreyed(), row.greyed) << row.view;
    }
}
