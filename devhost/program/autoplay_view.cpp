// The auto-player's view of the game and its seeded policy, on devhost.exe's own copy of the core,
// which works on the view's record with the recording stand-in for a window.
#include "devhost/program/autoplay_view.h"

#include "engine/actions.h"
#include "engine/deal.h"
#include "engine/texts.h"
#include "exchange/exchange.h"
#include "exchange/show_and_send.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"
#include "window/game_window_constants.h"

#include <utility>

bool viewFromStateMessage(const std::string& text, TextSource source, GameState& view) {
    if (!isStateMessage(text.c_str()))
        return false;
    GameState decoded;
    if (readStateMessage(text.c_str(), decoded) != DecodeResult::Accepted)
        return false;
    if (source == TextSource::Sent) {
        // The sender wrote its own hand as the receiver's opponent's, and whether the receiver defends.
        std::swap(decoded.myHand, decoded.opponentHand);
        decoded.localDefends = decoded.localDefends ? 0 : 1;
    }
    adoptState(view, std::move(decoded)); // as the plug-in adopts it: the opponent and the deal stay
    return true;
}

ReceiptForecast forecastReceipt(const GameState& view, const std::string& text) {
    ReceiptForecast forecast;
    GameState received;
    if (!isStateMessage(text.c_str()))
        return forecast;
    if (readStateMessage(text.c_str(), received) != DecodeResult::Accepted)
        return forecast;
    forecast.sound = true;
    forecast.freshDeal = isFreshDeal(received);
    forecast.adopted = settleReceivedState(view, text.c_str(), received) == Settlement::Adopt;
    if (!forecast.adopted) {
        OwnDealAnswer answer = ownDealAnswer(view);
        for (unsigned i = 0; i < answer.count; ++i)
            forecast.answer.push_back(answer.texts[i].text);
    }
    return forecast;
}

bool sideHasMove(const GameState& view) {
    if (actionButtonCaption(view)[0] != '\0')
        return true;
    for (std::uint32_t i = 0; i < view.myHand.size(); ++i)
        if (cardClickAccepted(view, i))
            return true;
    return false;
}

Action chooseAction(const GameState& view, std::mt19937& random, ThrowInPlan& plan) {
    if (gameOutcome(view) != InProgress)
        return {};
    std::vector<std::uint32_t> cards;
    for (std::uint32_t i = 0; i < view.myHand.size(); ++i)
        if (cardClickAccepted(view, i))
            cards.push_back(i);
    bool button = actionButtonCaption(view)[0] != '\0';
    const Action press = {ActionKind::PressButton, 0};
    auto chance = [&](double probability) { return std::bernoulli_distribution(probability)(random); };
    auto randomCard = [&] {
        std::uniform_int_distribution<std::size_t> pick(0, cards.size() - 1);
        return Action{ActionKind::ClickCard, cards[pick(random)]};
    };

    if (view.throwInPhase) {
        if (view.localDefends)
            return {};
        if (!plan.chosen) {
            plan = ThrowInPlan{};
            plan.chosen = true;
            for (std::uint32_t card : cards)
                if (chance(throwInProbability))
                    plan.cards.push_back(card);
        }
        if (plan.next < plan.cards.size())
            return {ActionKind::ClickCard, plan.cards[plan.next++]};
        return button ? press : Action{};
    }
    double cardProbability = view.localDefends ? coverProbability : layProbability;
    if (!cards.empty() && (!button || chance(cardProbability)))
        return randomCard();
    return button ? press : Action{};
}

std::string describeAction(const GameState& view, const Action& action) {
    if (action.kind == ActionKind::ClickCard) {
        std::string card = action.card < view.myHand.size() ? code(view.myHand[action.card]) : "??";
        if (view.throwInPhase)
            return "chooses " + card + " for a throw-in";
        if (view.localDefends && !view.table.empty())
            return "covers " + code(view.table.back()) + " with " + card;
        return "lays " + card;
    }
    if (action.kind == ActionKind::None)
        return "does nothing";
    std::string caption = actionButtonCaption(view);
    if (caption == captionTake)
        return "takes the table";
    if (caption == captionBeatOff)
        return "beats off";
    if (caption == captionDone)
        return "throws in";
    if (caption == captionNewGame)
        return "starts a new game";
    return "presses a button that does nothing";
}

Prediction predictAction(const GameState& view, const Action& action) {
    Prediction prediction;
    prediction.after = view;
    if (action.kind == ActionKind::ClickCard)
        onCardClicked(prediction.after, action.card);
    else if (action.kind == ActionKind::PressButton)
        onActionButton(prediction.after);
    prediction.sent = sentTexts(prediction.after);
    forgetFakeWindow(prediction.after);
    return prediction;
}

namespace {
const std::vector<int>* scriptedValues = nullptr;
std::size_t nextScripted = 0;
int scriptedRandom() { return nextScripted < scriptedValues->size() ? (*scriptedValues)[nextScripted++] : 0; }
} // namespace

GameState dealFromRandomValues(const std::vector<int>& values, bool tossesCoin, std::uint8_t dealerDefends) {
    GameState deal;
    RandomSource saved = std::exchange(randomSource, scriptedRandom);
    scriptedValues = &values;
    nextScripted = 0;
    newGame(deal, tossesCoin ? nextRandom15() % 2 == 0 : dealerDefends);
    randomSource = saved;
    forgetFakeWindow(deal); // the deal's text is nobody's
    return deal;
}

Point cardClickPoint(const GameState& view, std::size_t index, ClientSize client) {
    std::vector<Rect> rects;
    layoutHand(view, rects, cardMetricsForPicture(cardPictureWidth, cardPictureHeight), client);
    const Rect& card = rects.at(index);
    std::int32_t right = index + 1 < rects.size() ? rects[index + 1].left : card.right;
    return {(card.left + right) / 2, (card.top + card.bottom) / 2};
}
