// Table geometry and the status line.
#include "layout/table_layout.h"

#include "engine/texts.h"

#include <algorithm>

namespace {
constexpr std::int32_t pictureColumns = 9;
constexpr std::int32_t pictureRows = 4;

// Left edges `step` apart from the margin, the last card ending a margin inside the right edge when
// squeezed; the cap keeps a margin between cards that fit. A negative step (too narrow) stacks them.
std::int32_t spreadStep(std::size_t count, std::int32_t room, std::int32_t cap) {
    if (count <= 1)
        return 0;
    std::int32_t step = room / static_cast<std::int32_t>(count - 1);
    return std::max<std::int32_t>(0, std::min(step, cap));
}

Rect cardRectAt(std::int32_t left, std::int32_t top, CardMetrics metrics) {
    return {left, top, left + metrics.width, top + metrics.height};
}
} // namespace

CardMetrics cardMetricsForPicture(std::uint32_t pictureWidth, std::uint32_t pictureHeight) {
    return {static_cast<std::int32_t>(pictureWidth / pictureColumns + 1),
            static_cast<std::int32_t>(pictureHeight / pictureRows)};
}

bool cardFaceSource(Card card, CardMetrics metrics, std::uint32_t pictureWidth, std::uint32_t pictureHeight,
                    Rect& source) {
    if (!isValidCard(card))
        return false;
    // The ace column starts one pixel early, so a picture 9 x width - 1 wide is cut within its edge.
    std::int64_t left = metrics.width * (cardRank(card) - lowestRank) - (cardRank(card) == aceRank ? 1 : 0);
    std::int64_t top = metrics.height * cardSuit(card);
    std::int64_t right = std::min<std::int64_t>(left + metrics.width, pictureWidth);
    std::int64_t bottom = std::min<std::int64_t>(top + metrics.height, pictureHeight);
    if (right <= left || bottom <= top)
        return false;
    source = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
              static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return true;
}

std::int32_t handStep(std::size_t cards, CardMetrics metrics, ClientSize client) {
    return spreadStep(cards, client.width - metrics.width - 2 * tableMargin, metrics.width + tableMargin);
}

void layoutHand(const GameState& game, std::vector<Rect>& rects, CardMetrics metrics, ClientSize client) {
    std::int32_t step = handStep(game.myHand.size(), metrics, client);
    std::int32_t top = client.height - metrics.height - handBottomGap;
    for (std::size_t i = 0; i < game.myHand.size(); ++i)
        rects.push_back(cardRectAt(tableMargin + static_cast<std::int32_t>(i) * step, top, metrics));
}

Rect opponentCardRect(std::size_t index, std::size_t cards, CardMetrics metrics, ClientSize client) {
    std::int32_t step = handStep(cards, metrics, client);
    return cardRectAt(tableMargin + static_cast<std::int32_t>(index) * step, tableMargin, metrics);
}

Rect actionButtonRect(std::uint32_t pictureWidth, std::int32_t clientHeight) {
    std::int32_t column = static_cast<std::int32_t>(pictureWidth / pictureColumns); // cardWidth - 1
    std::int32_t top = clientHeight - bottomStripOffset;
    return {tableMargin, top, tableMargin + column + column / 2, top + bottomStripHeight};
}

Rect statusBubbleRect(CardMetrics metrics, ClientSize client) {
    std::int32_t column = metrics.width - 1;
    std::int32_t top = client.height - bottomStripOffset;
    // Six pixels right of the action button.
    return {column + column / 2 + 2 * tableMargin, top, client.width - tableMargin, top + bottomStripHeight};
}

Point trumpCardPosition(CardMetrics metrics, ClientSize client) {
    return {client.width - (metrics.height - metrics.width) / 2 - metrics.width - tableMargin,
            metrics.height + 3 * tableMargin};
}

Rect stockRect(CardMetrics metrics, ClientSize client) {
    std::int32_t bottom = 2 * (metrics.height + 3 * tableMargin);
    return {client.width - metrics.height - tableMargin, bottom - metrics.width, client.width - tableMargin,
            bottom};
}

std::int32_t tablePairStep(std::size_t pairs, CardMetrics metrics, ClientSize client) {
    std::int32_t room = client.width - metrics.width / 2 - metrics.height - metrics.width - 3 * tableMargin;
    return spreadStep(pairs, room, metrics.width / 2 + metrics.width + tableMargin);
}

Point tablePairPosition(std::size_t pair, std::int32_t pairStep, CardMetrics metrics) {
    return {tableMargin + static_cast<std::int32_t>(pair) * pairStep, metrics.height + 3 * tableMargin};
}

const char* statusLineText(const GameState& game) {
    switch (gameOutcome(game)) {
    case Won:
        return nullptr;
    case Lost:
        return statusLost;
    case Draw:
        return statusDraw;
    case InProgress:
        break;
    }
    bool uncovered = game.table.size() % 2 == 1;
    if (game.throwInPhase)
        return game.localDefends ? statusWaitForThrowIn : statusChooseThrowIn;
    if (!game.localDefends)
        return uncovered ? statusOpponentDefends : statusYourMove;
    return uncovered ? statusDefend : statusOpponentAttacks;
}

bool statusBubbleGreyed(const GameState& game) {
    GameOutcome outcome = gameOutcome(game);
    return outcome == Lost || outcome == Draw;
}
